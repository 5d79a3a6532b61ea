#!/usr/bin/env bash
# Fails when a layer includes a layer above it, or when anything but app/gui includes a header of
# Qt Widgets, Qwt or the window's form. Arguments: the source tree, the folder of the Qt Widgets headers.
set -u
root=$1
widgets=$2
status=0
# Each layer and the folders it must not include from.
declare -A above=(
  [probe]="check report app"
  [check]="report app"
  [report]="probe check app"
  [app/cli]="app/gui"
)
for layer in "${!above[@]}"; do
  while IFS= read -r hit; do
    file=${hit%%:*}
    header=$(sed -E 's/^[^:]*:[0-9]+:\s*#\s*include\s*[<"]([^>"]+)[>"].*/\1/' <<<"$hit")
    name=${header#QtWidgets/}
    bad=""
    for folder in ${above[$layer]}; do
      [[ $header == "$folder/"* ]] && bad="a layer above it ($folder)"
    done
    [[ $header == ui_* ]] && bad="the window's form"
    [[ $header == qwt* ]] && bad="Qwt"
    [[ $header == QtWidgets/* || ( $header != */* && -e "$widgets/$name" ) ]] && bad="Qt Widgets"
    if [[ -n $bad ]]; then
      echo "$file includes $header: $bad"
      status=1
    fi
  done < <(grep -rnE '^\s*#\s*include' "$root/$layer" --include='*.cpp' --include='*.h')
done
[[ $status -eq 0 ]] && echo "every layer includes only what lies below it"
exit $status
