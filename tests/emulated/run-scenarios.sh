#!/bin/bash
# Runs every scenario of scenarios/ in one boot of the emulated 32-bit PC
# (emulated/), against the shipped files of the dist folder as they are.
# Leaves each scenario's facts in <results>/facts.txt for check-scenario.sh,
# the serial console in <results>/serial.log, and the pictures, as BMP, in
# the pictures folder. Prints how long each stage took.
# Usage: run-scenarios.sh <dist> <launcher> <results> <pictures>
set -uo pipefail
dist=$1
launcher=$2
results=$3
pictures=$4
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
# Generous: a whole run takes 5 to 10 minutes on a quiet 2-core machine.
limit=${QS_EMULATED_LIMIT:-2700}

fail() {
    echo "emulated run: $*" >&2
    exit 1
}
stage_start=$SECONDS
stage() {
    echo "emulated run: $1 took $((SECONDS - stage_start)) s"
    stage_start=$SECONDS
}

rm -rf "$results"
mkdir -p "$results" "$pictures"
for file in "$dist/Quillstone.exe" "$dist/Quillstone.hlp" "$dist/Quillstone Installer.exe" \
    "$launcher"; do
    [ -s "$file" ] || fail "$file is missing: make builds it"
done

machine=$("$repo/emulated/machine.sh") || fail "no emulated machine (see the line above)"
stage "the machine"

# What goes in beside the cached root file system: the guest's first process,
# the shipped files, the launcher, the scenarios, and the cabinet's files as
# an independent tool unpacks them, to compare the installed files with.
payload=$results/payload
mkdir -p "$payload/quillstone/dist" "$payload/quillstone/guest" "$payload/quillstone/wine"
cp "$dist/Quillstone.exe" "$dist/Quillstone.hlp" "$dist/Quillstone Installer.exe" \
    "$payload/quillstone/dist/"
cp "$launcher" "$payload/quillstone/qs_launcher.exe"
cp -r "$here/scenarios" "$payload/quillstone/"
cp "$here/guest/scenario.sh" "$here/guest/facts.awk" "$payload/quillstone/guest/"
cp "$here/guest/init" "$payload/init"
cp "$repo/tests/wine/make-template.sh" "$repo/tests/wine/copy-prefix.sh" "$payload/quillstone/wine/"
wrestool -x --raw --type=FILE --name=122 "$dist/Quillstone Installer.exe" >"$results/payload.cab" &&
    cabextract -q -d "$payload/quillstone/cabinet" "$results/payload.cab" ||
    fail "the installer carries no cabinet that cabextract can unpack"
(cd "$payload" && find . -print0 | cpio --null -o -H newc --quiet -R 0:0) | gzip -1 \
    >"$results/payload.cpio.gz" || fail "could not pack the payload"
# The kernel unpacks both archives, one after the other.
cat "$machine/root.cpio.zst" "$results/payload.cpio.gz" >"$results/initrd" ||
    fail "could not write the initramfs (disk full?)"
rm -rf "$payload" "$results/payload.cab" "$results/payload.cpio.gz"
stage "the payload"

serial=$results/serial.log
"$repo/emulated/boot.sh" "$machine/vmlinuz" "$results/initrd" "$serial" "$limit"
booted=$?
rm -f "$results/initrd"
stage "booting and running the scenarios"

tr -d '\r' <"$serial" >"$results/console.txt"
sed -n 's/^QS|//p' "$results/console.txt" >"$results/facts.txt"
sed -n 's/^QS-TIME \([^ ]*\) \(.*\)/emulated run:   in the PC, \1 took \2 s/p' "$results/console.txt"
mkdir -p "$results/pictures"
awk -v folder="$results/pictures" '
    /^QS-PICTURE-END$/ { close(out); out = ""; next }
    /^QS-PICTURE / { out = folder "/" $2 ".b64"; next }
    out != "" { print > out }' "$results/console.txt"
for encoded in "$results"/pictures/*.b64; do
    [ -e "$encoded" ] || continue
    base64 -d "$encoded" | gunzip >"$pictures/$(basename "$encoded" .b64).bmp" ||
        fail "the picture $(basename "$encoded" .b64) came back damaged"
done
rm -rf "$results/pictures"

[ $booted -eq 0 ] || exit 1
grep -q '^machine|done$' "$results/facts.txt" ||
    fail "the emulated PC stopped before it had run every scenario (serial log: $serial)"
grep '^machine|failed' "$results/facts.txt" | sed 's/^machine|failed: /emulated run: /' | grep . >&2 &&
    exit 1
exit 0
