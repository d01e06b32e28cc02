#!/usr/bin/env bash
# Every #include between the program's folders points down the layers: a folder includes its own
# headers and those of the folders below it, never those of a folder above, so that each library
# builds and reads without the ones that stand on it.
#
#   includes_point_down_test.sh SOURCE_DIR
set -euo pipefail

root=$1
# From the top down.
layers=(app windows phone files library series analysis chart serial simulator text platform resources)
failures=0

rank() {
    local i
    for i in "${!layers[@]}"; do
        [[ ${layers[$i]} == "$1" ]] && echo "$i" && return
    done
    echo -1
}

for folder in "${layers[@]}"; do
    [[ -d $root/$folder ]] || continue
    own=$(rank "$folder")
    while IFS=: read -r file line target; do
        included=$(rank "$target")
        if ((included >= 0 && included < own)); then
            echo "FAIL: ${file#"$root"/}:$line includes from $target/, above $folder/"
            failures=$((failures + 1))
        elif [[ $target == tools || $target == tests || $target == bench ]]; then
            echo "FAIL: ${file#"$root"/}:$line includes from $target/, which no library stands on"
            failures=$((failures + 1))
        fi
    done < <(grep -rnoE '^#include "[a-z_]+/' "$root/$folder" --include='*.h' --include='*.cpp' |
        sed -E 's/#include "([a-z_]+)\//\1/')
done

if ((failures > 0)); then
    echo "$failures include(s) point up"
    exit 1
fi
echo "every include points down"
