#!/bin/sh
# Prints what `make bench` measured: the machine and the date, then the
# bench's table of times and memory, completed with the sizes of the shipped
# files. Usage: report.sh <build folder> <dist folder>
set -eu
build=$1
dist=$2
figures=$build/x64/benchmarks.md
# The bench writes its table only when every run reached its point.
if [ ! -s "$figures" ]; then
    echo "report.sh: the bench wrote no figures ($figures)" >&2
    exit 1
fi

cpu=$(sed -n 's/^model name[[:space:]]*:[[:space:]]*//p' /proc/cpuinfo | head -n 1)
echo
echo "Quillstone benchmarks, $(date -u '+%Y-%m-%d %H:%M UTC')"
echo "Machine: nproc $(nproc), ${cpu:-CPU model unknown}, $(wine --version 2>/dev/null), Linux $(uname -r);"
echo "load average $(cut -d ' ' -f 1-3 /proc/loadavg) (1, 5, 15 minutes) at the end"
echo "Times and memory: the x86_64 builds of the same sources under Wine (the shipped"
echo "i686 programs run here only in an emulated PC). Sizes: the shipped i686 files."
echo
cat "$figures"
# A shipped file's size, then what it was when the programs linked the C
# runtime DLL and the C++ library, the original program's file where its size
# is known, and the most it may be.
size_row() {
    bytes=$(stat -c %s "$1")
    detail="$(( (bytes + 512) / 1024 )) KiB"
    [ -n "$2" ] && detail="$detail; before the project's runtime: $2 bytes"
    [ -n "$3" ] && detail="$detail; the original: $3 bytes"
    [ -n "$4" ] && detail="$detail; at most $4 bytes"
    echo "| Size: $1 | $bytes bytes | $detail |"
}
size_row "$dist/Quillstone.exe" 267776 73728 65536
size_row "$dist/Quillstone.hlp" "" "" ""
size_row "$build/i686/installer/payload/Setup.cab" 107950 36039 36039
size_row "$dist/Quillstone Installer.exe" 410112 "" 163840
