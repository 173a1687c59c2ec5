#!/bin/sh
# Installs the Debian packages that building and testing need, when any is missing.
# Never adds a foreign architecture: this machine runs 64-bit Wine only; the
# 32-bit programs run in an emulated PC (emulated/) built from Debian's packages.
set -eu

# gcc-12-source: the source of the i686 compiler, whose runtime toolchain/ rebuilds
# for the i486; capstone and unicorn read and run that code in tests/cpu/.
packages="cmake make g++ googletest
g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
wine wine64 fonts-wine xvfb x11-utils imagemagick gcab cabextract icoutils
gcc-12-source python3-capstone python3-unicorn
qemu-system-x86 debootstrap zstd cpio"

missing=""
for package in $packages; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed"; then
        missing="$missing $package"
    fi
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
# shellcheck disable=SC2086
$sudo apt-get install -y -qq --no-install-recommends $missing
