# make run     : install what is missing, build the program, start it
# make test    : install what is missing, build, run every test
# make install : build for installation (files in ~/.local/share/netcheck) and install
# make package : the same build as a Debian package
BUILD_DIR ?= build
INSTALL_BUILD_DIR ?= build-install
JOBS ?= $(shell nproc)
SUDO := $(if $(filter 0,$(shell id -u)),,sudo)

.PHONY: configure build deps run test bench screenshots format clean install-build install package

configure: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD_DIR) -j$(JOBS)

deps:
	@scripts/install-deps.sh

# Only the program: tests and benchmarks wait for make test and make bench.
run: configure
	cmake --build $(BUILD_DIR) -j$(JOBS) --target netcheck
	@scripts/seed-example.sh $(BUILD_DIR)/bin
	$(BUILD_DIR)/bin/netcheck

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure

bench: build
	@for b in $(BUILD_DIR)/bin/bench_*; do [ -x "$$b" ] && echo "== $$b" && "$$b"; done; true

screenshots: build
	scripts/screenshots.sh $(BUILD_DIR)/bin docs/screenshots

install-build: deps
	cmake -S . -B $(INSTALL_BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNETCHECK_USER_DATA=ON -DBUILD_TESTING=OFF
	cmake --build $(INSTALL_BUILD_DIR) -j$(JOBS)

install: install-build
	$(SUDO) cmake --install $(INSTALL_BUILD_DIR)

package: install-build
	cd $(INSTALL_BUILD_DIR) && cpack

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD_DIR) $(INSTALL_BUILD_DIR)
