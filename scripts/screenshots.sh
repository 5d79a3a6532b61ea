#!/usr/bin/env bash
# Writes a screenshot of every tab page and of a history window, taken under a virtual X server;
# given a screen size (e.g. 1024x768), on a screen of that size with the window placed as at start,
# named after it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=${1:?usage: screenshots.sh BIN_DIR OUT_DIR [WIDTHxHEIGHT]}
out=${2:?usage: screenshots.sh BIN_DIR OUT_DIR [WIDTHxHEIGHT]}
size=${3:-}
mkdir -p "$out"
out=$(cd "$out" && pwd)
"$here/seed-example.sh" "$bin"
# The printed report goes to an opener that starts no viewer.
tools=$(mktemp -d)
trap 'rm -rf "$tools"' EXIT
printf '#!/bin/sh\nexit 0\n' > "$tools/xdg-open"
chmod +x "$tools/xdg-open"
PATH="$tools:$PATH" xvfb-run -a -s "-screen 0 ${size:-1280x800}x24" "$bin/netcheck-screenshots" "$out" $size
if [[ -z "$size" ]]; then
  # A line's history window on a generated month, at the size of a small office screen.
  xvfb-run -a -s "-screen 0 1366x768x24" "$bin/netcheck-history-screenshot" "$out"
fi
if [[ -z "$size" && -f "$bin/tmpPDF.pdf" ]]; then
  pdftoppm -r 50 -png -f 1 -l 1 "$bin/tmpPDF.pdf" "$out/report"
fi
ls "$out"
