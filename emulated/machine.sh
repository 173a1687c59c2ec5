#!/bin/bash
# Makes, once, the emulated PC that the shipped 32-bit programs run in:
# Debian's amd64 kernel (it runs 32-bit code, which this machine's kernel
# refuses) and an i386 root file system with 32-bit Wine and Xvfb, packed as a
# zstd cpio initramfs. Both are cached under ~/.cache/quillstone/emulated/, in
# a folder named after what they are made from, and only a complete folder is
# ever used. Prints that folder.
# Usage: machine.sh   (QS_CACHE names another cache folder)
set -euo pipefail

suite=bookworm
packages=wine,wine32,fonts-wine,xvfb,x11-utils,procps,libxrender1,libxrandr2,libxi6
packages=$packages,libxcursor1,libxinerama1,libxcomposite1,libxxf86vm1,libxfixes3

cache=${QS_CACHE:-$HOME/.cache/quillstone}/emulated
mkdir -p "$cache"
log=$cache/last-build.log

fail() {
    echo "emulated machine: $*" >&2
    exit 1
}

# The Debian mirror this machine's apt uses for the suite, read from its
# configuration, so that no host name is written into the repository.
mirror() {
    local file
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -e "$file" ] || continue
        awk -v suite="$suite" '
            function take() { if (deb && wanted && uri && !found) { print uri; found = 1 } }
            /^[[:space:]]*$/ { take(); deb = wanted = 0; uri = ""; next }
            tolower($1) == "types:" { for (i = 2; i <= NF; i++) if ($i == "deb") deb = 1 }
            tolower($1) == "suites:" { for (i = 2; i <= NF; i++) if ($i == suite) wanted = 1 }
            tolower($1) == "uris:" { uri = $2 }
            tolower($1) == "enabled:" && tolower($2) == "no" { deb = 0 }
            END { take() }' "$file"
    done
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -e "$file" ] || continue
        awk -v suite="$suite" '$1 == "deb" {
            i = 2
            if ($i ~ /^\[/) while ($i !~ /\]$/) i++
            if ($i ~ /^\[/ || $i ~ /\]$/) i++
            if ($(i + 1) == suite) print $i }' "$file"
    done
}

# The kernel package that linux-image-amd64 stands for, and its version.
kernel_package() {
    apt-cache depends linux-image-amd64 2>/dev/null |
        awk '$1 == "Depends:" && $2 ~ /^linux-image-/ && !found { print $2; found = 1 }'
}

kernel=$(kernel_package)
if [ -z "$kernel" ]; then
    apt-get update -qq >/dev/null 2>&1 || true
    kernel=$(kernel_package)
fi
[ -n "$kernel" ] || fail "apt knows no linux-image-amd64 (no package lists, or no network to the mirror)"
kernel_version=$(apt-cache show --no-all-versions "$kernel" | awk '$1 == "Version:" && !found { print $2; found = 1 }')

key=$( { cat "$0"; echo "$suite $packages $kernel $kernel_version"; } | sha256sum | cut -c1-16)
machine=$cache/$key
if [ -s "$machine/vmlinuz" ] && [ -s "$machine/root.cpio.zst" ]; then
    echo "$machine"
    exit 0
fi

# One build at a time, also across clones; the one that waited finds it made.
exec 9>"$cache/build.lock"
flock 9
if [ -s "$machine/vmlinuz" ] && [ -s "$machine/root.cpio.zst" ]; then
    echo "$machine"
    exit 0
fi

source_uri=$(mirror | sed -n 1p)
[ -n "$source_uri" ] || fail "no Debian mirror for $suite in /etc/apt/sources.list(.d)"
for tool in debootstrap dpkg-deb zstd cpio i686-w64-mingw32-strip; do
    command -v "$tool" >/dev/null || fail "$tool is missing (tools/setup-machine.sh installs it)"
done

work=$(mktemp -d "$cache/building.XXXXXX")
trap 'rm -rf "$work"' EXIT
root=$work/root
: >"$log"
stage_start=$SECONDS
stage() {
    echo "emulated machine: $1 took $((SECONDS - stage_start)) s" >&2
    stage_start=$SECONDS
}
echo "emulated machine: building $key from $kernel $kernel_version and $suite i386 (log: $log)" >&2

# The kernel: its vmlinuz alone; the whole root is in the initramfs, so no modules.
(cd "$work" && apt-get download "$kernel" >>"$log" 2>&1) ||
    fail "could not download $kernel (see $log)"
dpkg-deb -x "$work"/"$kernel"_*.deb "$work/kernel" >>"$log" 2>&1 || fail "could not unpack $kernel"
cp "$work"/kernel/boot/vmlinuz-* "$work/vmlinuz" || fail "$kernel holds no vmlinuz"
rm -rf "$work/kernel" "$work"/*.deb
stage "the kernel"

# The first stage only fetches and unpacks; the packages' own set-up steps
# would need i386 code to run here, so the few that matter are done below.
mkdir -p "$cache/debs"
debootstrap --arch=i386 --foreign --variant=minbase --include="$packages" \
    --cache-dir="$cache/debs" "$suite" "$root" "$source_uri" >>"$log" 2>&1 ||
    fail "debootstrap could not fetch $suite i386 from $source_uri (see $log)"
stage "fetching the packages"

# dpkg-deb -x would turn the merged-/usr links (/bin, /lib) into folders.
while read -r _ deb; do
    dpkg-deb --fsys-tarfile "$root/$deb" | tar -x --keep-directory-symlink -C "$root" ||
        fail "could not unpack $deb (disk full?)"
done <"$root/debootstrap/debpaths"
rm -rf "$root/debootstrap" "$root"/var/cache/apt/archives/*.deb
# The guest mounts these; the first stage may have left them as links to the host's.
for folder in proc sys dev; do
    rm -rf "${root:?}/$folder"
    mkdir "$root/$folder"
done
[ -e "$root/usr/bin/sh" ] || ln -s dash "$root/usr/bin/sh"
[ -e "$root/usr/bin/awk" ] || ln -s mawk "$root/usr/bin/awk"
for program in "$root"/usr/bin/wine*-stable; do
    name=$(basename "$program" -stable)
    [ -e "$root/usr/bin/$name" ] || ln -s "$name-stable" "$root/usr/bin/$name"
done
cp "$root/usr/share/base-passwd/passwd.master" "$root/etc/passwd"
cp "$root/usr/share/base-passwd/group.master" "$root/etc/group"
echo "127.0.0.1 localhost" >"$root/etc/hosts"
ln -sf /usr/share/zoneinfo/UTC "$root/etc/localtime"
rm -rf "$root"/usr/share/{doc,man,info,locale}
# Wine's PE files carry their debug information: a third of the file system.
find "$root/usr/lib/i386-linux-gnu/wine/i386-windows" -type f \( -name '*.dll' -o -name '*.exe' \
    -o -name '*.drv' -o -name '*.sys' -o -name '*.ocx' -o -name '*.cpl' -o -name '*.acm' \) \
    -print0 | xargs -0 i686-w64-mingw32-strip --strip-debug >>"$log" 2>&1 || true
# What libwine's set-up makes: zlib1.dll marked as one of Wine's own, without
# which user32.dll does not load.
zlib=$root/usr/i686-w64-mingw32/lib/zlib1.dll
{
    head -c 64 "$zlib"
    printf 'Wine builtin DLL'
    head -c 16 /dev/zero
    tail -c +97 "$zlib"
} >"$root/usr/lib/i386-linux-gnu/wine/i386-windows/zlib1.dll" || fail "no zlib1.dll to make Wine's from"
ldconfig -r "$root" || fail "ldconfig failed on the root file system"
stage "unpacking and setting up"

(cd "$root" && find . -print0 | cpio --null -o -H newc --quiet) | zstd -3 -T0 -q >"$work/root.cpio.zst" ||
    fail "could not pack the root file system (disk full?)"
rm -rf "$root"
stage "packing"

# Only now is the folder there to be trusted; older machines are dropped.
for old in "$cache"/*/; do
    case ${old%/} in
        "$cache/debs" | "$work") ;;
        *) rm -rf "$old" ;;
    esac
done
mv "$work" "$machine"
trap - EXIT
echo "emulated machine: ready, $(du -sh "$machine" | cut -f1) in $machine" >&2
echo "$machine"
