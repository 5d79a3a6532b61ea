# make run   : install what is missing, build, start the program
# make test  : install what is missing, build, run every test
BUILD_DIR ?= build
JOBS ?= $(shell nproc)

.PHONY: configure build deps run test bench screenshots format clean

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

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD_DIR)
