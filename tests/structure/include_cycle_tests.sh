#!/bin/sh
# The include check passes on the programs' files, and fails on a copy of them
# in which the compactor's catalogue includes the header of its start-up.
set -eu
source=$1
check="$(dirname "$0")/include_cycles.py"

python3 "$check" "$source"

copy=$(mktemp -d)
trap 'rm -rf "$copy"' EXIT
for folder in common compactor installer runtime; do
    mkdir "$copy/$folder"
    find "$source/$folder" -maxdepth 1 -name '*.[ch]*' -exec cp {} "$copy/$folder/" \;
done
python3 "$check" "$copy" >/dev/null
printf '#include "startup.h"\n' >>"$copy/compactor/catalogue.h"
if output=$(python3 "$check" "$copy"); then
    echo "FAILED: a back-include went unnoticed: $output"
    exit 1
fi
echo "$output"
case "$output" in
*compactor/catalogue*compactor/startup*) ;;
*) echo "FAILED: the cycle is not named"; exit 1 ;;
esac
