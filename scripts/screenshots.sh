#!/usr/bin/env bash
# Writes a screenshot of every tab page, taken under a virtual X server.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=${1:?usage: screenshots.sh BIN_DIR OUT_DIR}
out=${2:?usage: screenshots.sh BIN_DIR OUT_DIR}
mkdir -p "$out"
out=$(cd "$out" && pwd)
"$here/seed-example.sh" "$bin"
xvfb-run -a -s "-screen 0 1280x800x24" "$bin/netcheck-screenshots" "$out"
if [[ -f "$bin/tmpPDF.pdf" ]]; then
  pdftoppm -r 50 -png -f 1 -l 1 "$bin/tmpPDF.pdf" "$out/report"
fi
ls "$out"
