#!/bin/sh
# Boots the emulated PC made by machine.sh with an initramfs and keeps what
# its serial console printed. QEMU emulates every instruction (there is no
# KVM here); a guest that is not done within the time limit is stopped.
# Usage: boot.sh <vmlinuz> <initramfs> <serial log> <time limit in seconds>
set -u
kernel=$1
initrd=$2
serial=$3
limit=$4
command -v qemu-system-x86_64 >/dev/null || {
    echo "emulated machine: qemu-system-x86_64 is missing (tools/setup-machine.sh installs it)" >&2
    exit 1
}
# SMAP must be off: with it, QEMU's emulation faults on the return to 32-bit
# user code and every 32-bit Wine process brings the guest kernel down.
timeout --kill-after=10 "$limit" qemu-system-x86_64 -accel tcg,thread=multi -cpu max,-smap \
    -smp 2 -m 4G -display none -no-reboot -nodefaults -monitor none -serial "file:$serial" \
    -kernel "$kernel" -initrd "$initrd" \
    -append "console=ttyS0 rdinit=/init panic=-1 quiet loglevel=3 tsc=reliable mitigations=off" \
    </dev/null
status=$?
if [ $status -eq 124 ] || [ $status -eq 137 ]; then
    echo "emulated machine: stopped after its time limit of $limit s (serial log: $serial)" >&2
    exit 1
fi
[ $status -eq 0 ] || echo "emulated machine: QEMU failed with status $status (serial log: $serial)" >&2
exit $status
