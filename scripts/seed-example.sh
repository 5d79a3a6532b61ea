#!/usr/bin/env bash
# Puts the example check script beside the program when there is none yet,
# so a first start shows a working batch. Never overwrites the user's script.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=${1:?usage: seed-example.sh BIN_DIR}
if [[ ! -e "$bin/chkScript.txt" ]]; then
  cp "$here/example-chkScript.txt" "$bin/chkScript.txt"
  echo "Example check script written to $bin/chkScript.txt"
fi
