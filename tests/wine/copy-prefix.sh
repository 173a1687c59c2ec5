#!/bin/sh
# Copies a Wine prefix for one test run. The big system folders are only
# read: their files are linked instead of copied.
# Usage: copy-prefix.sh <prefix> <new prefix>
set -eu
from=$1
mkdir -p "$2"
to=$(cd "$2" && pwd)
(cd "$from" && find . -mindepth 1 -maxdepth 1 ! -name drive_c -exec cp -a {} "$to/" \;)
mkdir -p "$to/drive_c"
(cd "$from/drive_c" && find . -mindepth 1 -maxdepth 1 ! -name windows -exec cp -a {} "$to/drive_c/" \;)
mkdir -p "$to/drive_c/windows"
cd "$from/drive_c/windows"
for entry in * .[!.]*; do
    [ -e "$entry" ] || continue
    case "$entry" in
        system32|winsxs) cp -al "$entry" "$to/drive_c/windows/" ;;
        *) cp -a "$entry" "$to/drive_c/windows/" ;;
    esac
done
