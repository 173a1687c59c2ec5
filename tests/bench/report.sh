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
echo "i686 programs can't run here). Sizes: the shipped i686 files."
echo
cat "$figures"
size_row() {
    bytes=$(stat -c %s "$1")
    echo "| Size: $1 | $bytes bytes | $(( (bytes + 512) / 1024 )) KiB |"
}
size_row "$dist/Quillstone.exe"
size_row "$dist/Quillstone.hlp"
size_row "$build/i686/installer/payload/Setup.cab"
size_row "$dist/Quillstone Installer.exe"
