#!/usr/bin/python3
"""Runs a 32-bit Windows program on an emulated i486 (or Pentium) and stops it
at the first instruction that processor lacks. Unicorn executes the code, but
its processor models run every instruction they know, so each basic block is
decoded by capstone and checked before it first runs.

The program's imports are played by the functions in KERNEL32; a call to any
other stops the run and names it. What the program writes to its
standard output is printed, and so is each OutputDebugStringA, with the heap
in use at that moment.

  emulate.py [--cpu i486] [--same-heap-at-notes] PROGRAM MAP
      passes when the program exits with 0 and ran no instruction the
      processor lacks; --same-heap-at-notes: and the heap in use was the same at every note
  emulate.py --expect-stop FAMILY --expect-in REGEX PROGRAM MAP
      the negative control: passes only if the run stops at an instruction
      of FAMILY in an object matching REGEX
"""
import argparse
import collections
import re
import struct
import sys
import time

import capstone
from unicorn import UC_ARCH_X86, UC_HOOK_BLOCK, UC_HOOK_CODE, UC_MODE_32, Uc, UcError
from unicorn import x86_const as reg

import processors
from image import Image, LinkerMap

STACK_TOP, STACK_SIZE = 0x00300000, 0x00100000
HEAP, HEAP_SIZE = 0x10000000, 0x01000000
DATA, DATA_SIZE = 0x7FE00000, 0x00100000  # what the imports hand out: cells, strings
STUBS = 0x7FF00000  # the return trap, then one address per import
TEB = 0x7FFD0000
STDOUT, STDERR = 0x0B, 0x0C  # the handles GetStdHandle gives


class Heap:
    """Blocks handed out once and never reused, so that the bytes in use can
    be counted at any moment."""

    def __init__(self, uc):
        uc.mem_map(HEAP, HEAP_SIZE)
        self.next, self.blocks = HEAP, {}

    def alloc(self, size):
        address = self.next
        if address + size > HEAP + HEAP_SIZE:
            return 0
        self.next += (max(size, 1) + 15) & ~15
        self.blocks[address] = size
        return address  # never handed out before, so already zero

    def free(self, address):
        self.blocks.pop(address, None)
        return 1

    def in_use(self):
        return sum(self.blocks.values()), len(self.blocks)


class Machine:
    def __init__(self, program, origin, cpu):
        self.image, self.origin, self.cpu = Image(program), origin, cpu
        self.decoder = capstone.Cs(capstone.CS_ARCH_X86, capstone.CS_MODE_32)
        self.checked_blocks, self.blocks_run, self.called = set(), 0, set()
        self.listed, self.stopped_at, self.notes = collections.defaultdict(set), None, []
        self.stop_reason, self.exit_code = None, None
        self.uc = Uc(UC_ARCH_X86, UC_MODE_32)
        self.uc.mem_map(self.image.base, (self.image.size + 0xFFF) & ~0xFFF)
        for rva, loaded in self.image.sections:
            self.uc.mem_write(self.image.base + rva, loaded)
        self.uc.mem_map(STACK_TOP - STACK_SIZE, STACK_SIZE)
        self.uc.mem_map(DATA, DATA_SIZE)
        self.data_next = DATA
        self.command_line = self.data(b"probe.exe\0")
        self.heap = Heap(self.uc)
        self.link_imports()
        self.make_thread_block()
        self.uc.hook_add(UC_HOOK_BLOCK, self.on_block)
        self.uc.hook_add(UC_HOOK_CODE, self.on_stub, begin=STUBS + 1, end=STUBS + 0xFFFF)

    def data(self, content):
        address = self.data_next
        self.uc.mem_write(address, content)
        self.data_next += (len(content) + 15) & ~15
        return address

    def u32(self, address):
        return struct.unpack("<I", self.uc.mem_read(address, 4))[0]

    def put32(self, address, value):
        self.uc.mem_write(address, struct.pack("<I", value & 0xFFFFFFFF))

    def text(self, address):
        found = bytearray()
        while (byte := self.uc.mem_read(address + len(found), 1)) != b"\0":
            found += byte
        return found.decode("latin-1")

    def link_imports(self):
        """Each import's slot gets a stub address of its own."""
        self.stubs = []
        self.uc.mem_map(STUBS, 0x10000)
        self.uc.mem_write(STUBS, b"\xF4" * 0x10000)  # hlt, should a stub's bytes ever run
        for dll, name, slot in self.image.imports():
            self.stubs.append((dll, name))
            self.put32(self.image.base + slot, STUBS + 16 * len(self.stubs))

    def make_thread_block(self):
        """The thread information block that fs: addresses, and the flat
        32-bit segments around it: only a GDT gives fs a base here."""
        self.uc.mem_map(TEB, 0x2000)
        for offset, value in ((0, 0xFFFFFFFF), (4, STACK_TOP), (8, STACK_TOP - STACK_SIZE),
                              (0x18, TEB)):
            self.put32(TEB + offset, value)
        gdt = TEB + 0x1000
        segments = [(TEB, 0xFFF, 0xF3, 0x4), (0, 0xFFFFF, 0xFB, 0xC),  # fs, code
                    (0, 0xFFFFF, 0xF3, 0xC), (0, 0xFFFFF, 0x93, 0xC)]  # data, ring-0 stack
        for i, (base, limit, access, flags) in enumerate(segments, 1):
            self.uc.mem_write(gdt + 8 * i, struct.pack(
                "<HHBBBB", limit & 0xFFFF, base & 0xFFFF, (base >> 16) & 0xFF, access,
                flags << 4 | limit >> 16, base >> 24))
        self.uc.reg_write(reg.UC_X86_REG_GDTR, (0, gdt, 8 * len(segments) + 7, 0))
        # The stack first, while the processor is still at ring 0.
        for register, selector in ((reg.UC_X86_REG_SS, 4 << 3), (reg.UC_X86_REG_CS, 2 << 3 | 3),
                                   (reg.UC_X86_REG_DS, 3 << 3 | 3), (reg.UC_X86_REG_ES, 3 << 3 | 3),
                                   (reg.UC_X86_REG_FS, 1 << 3 | 3)):
            self.uc.reg_write(register, selector)

    def running(self):
        return self.stop_reason is None and self.exit_code is None

    def call(self, address, *args):
        """Runs a function until it returns to the trap at STUBS."""
        esp = STACK_TOP - 0x100 - 4 * len(args) - 4
        for i, value in enumerate((STUBS,) + args):
            self.put32(esp + 4 * i, value)
        self.uc.reg_write(reg.UC_X86_REG_ESP, esp)
        try:
            self.uc.emu_start(address, STUBS)
        except UcError as error:
            eip = self.uc.reg_read(reg.UC_X86_REG_EIP)
            self.stop_reason = f"{error} at {eip:#x} in {self.origin.object_at(eip)}"

    def run(self):
        """What the loader does: the TLS call-backs, then the entry point."""
        began = time.monotonic()
        for callback in self.image.tls_callbacks():
            if self.running():
                self.call(callback, self.image.base, 1, 0)  # DLL_PROCESS_ATTACH
        if self.running():
            self.call(self.image.base + self.image.entry)
        if self.running():  # returned from the entry point
            self.exit_code = self.uc.reg_read(reg.UC_X86_REG_EAX)
        self.seconds = time.monotonic() - began

    def stop(self, reason):
        self.stop_reason = reason
        self.uc.emu_stop()

    def on_block(self, uc, address, size, _):
        self.blocks_run += 1
        if address in self.checked_blocks or address >= STUBS:
            return
        code = bytes(uc.mem_read(address, size))
        decoded = 0
        for at, length, mnemonic, operands in self.decoder.disasm_lite(code, address):
            family = processors.lacking(self.cpu, mnemonic, operands, code[decoded:decoded + length])
            decoded += length
            if not family:
                continue
            where = self.origin.object_at(at)
            instruction = f"{at:#x} {mnemonic} {operands}".strip()
            if family != processors.NOTED:
                self.stopped_at = (where, family)
                return self.stop(f"the {self.cpu} lacks {family}: {instruction} in {where}")
            self.listed[where, family].add(instruction)
        if decoded < size:
            return self.stop(f"undecodable instruction at {address + decoded:#x}")
        self.checked_blocks.add(address)

    def on_stub(self, uc, address, size, _):
        dll, name = self.stubs[(address - STUBS) // 16 - 1]
        self.called.add(f"{dll}!{name}")
        function = PROVIDED.get(dll, {}).get(name)
        if function is None:
            return self.stop(f"the program called {dll}!{name}, which the emulator does not provide")
        esp = uc.reg_read(reg.UC_X86_REG_ESP)
        count = function.__code__.co_argcount - 1
        result = function(self, *(self.u32(esp + 4 + 4 * i) for i in range(count)))
        if not self.running():
            return
        popped = 4 * count if dll in STDCALL else 0
        uc.reg_write(reg.UC_X86_REG_EAX, (result or 0) & 0xFFFFFFFF)
        uc.reg_write(reg.UC_X86_REG_ESP, esp + 4 + popped)
        uc.reg_write(reg.UC_X86_REG_EIP, self.u32(esp))

    def exit(self, code):
        self.exit_code = code
        self.uc.emu_stop()

    def note(self, text):
        in_use = self.heap.in_use()
        self.notes.append(in_use)
        print(f"note: {self.text(text)}: heap in use {in_use[0]} bytes in {in_use[1]} blocks")

    def write_file(self, handle, buffer, size, written):
        if handle not in (STDOUT, STDERR):
            return 0
        sys.stdout.write(bytes(self.uc.mem_read(buffer, size)).decode("latin-1").replace("\r", ""))
        if written:
            self.put32(written, size)
        return 1


# The imports the probe's runs call, each as a function of the machine and the
# call's arguments (their number is the function's; unused ones are named only
# for their count). kernel32's remove their arguments (stdcall). Nothing here
# makes a lock: a program that asks for one on its way through a throw stops.
KERNEL32 = {
    "ExitProcess": lambda m, code: m.exit(code),
    "GetCommandLineA": lambda m: m.command_line,
    "GetModuleHandleA": lambda m, name: 0 if name else m.image.base,
    "GetProcessHeap": lambda m: 1,
    "GetStartupInfoA": lambda m, info: m.uc.mem_write(info, struct.pack("<I64x", 68)),
    "GetStdHandle": lambda m, which: {0xFFFFFFF5: STDOUT, 0xFFFFFFF4: STDERR}.get(which, 0),
    "HeapAlloc": lambda m, heap, flags, size: m.heap.alloc(size),
    "HeapFree": lambda m, heap, flags, block: m.heap.free(block),
    "OutputDebugStringA": lambda m, text: m.note(text),
    "WriteFile": lambda m, handle, buffer, size, written, overlapped:
        m.write_file(handle, buffer, size, written),
}

PROVIDED = {"kernel32.dll": KERNEL32}
STDCALL = {"kernel32.dll"}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cpu", default="i486", choices=processors.MODELS)
    parser.add_argument("--same-heap-at-notes", action="store_true")
    parser.add_argument("--expect-stop", metavar="FAMILY")
    parser.add_argument("--expect-in", metavar="REGEX", default="")
    parser.add_argument("program")
    parser.add_argument("map")
    args = parser.parse_args()
    machine = Machine(args.program, LinkerMap(args.map), args.cpu)
    machine.run()
    print(f"ran {machine.blocks_run} blocks ({len(machine.checked_blocks)} distinct) "
          f"on the {args.cpu} in {machine.seconds:.1f} s")
    print("imports called:", " ".join(sorted(machine.called)))
    for (where, family), found in sorted(machine.listed.items()):
        print(f"ran, listed only: {len(found):3}  {family:16} {where}   {min(found)}")
    if machine.stop_reason:
        print("stopped:", machine.stop_reason)
    if args.expect_stop:
        where, family = machine.stopped_at or ("", "")
        if family != args.expect_stop or not re.search(args.expect_in, where):
            sys.exit(f"expected a stop at {args.expect_stop} in {args.expect_in!r}")
        return
    if not (machine.exit_code == 0 and machine.stop_reason is None):
        sys.exit(f"the program did not finish with exit code 0 (exit code {machine.exit_code})")
    if args.same_heap_at_notes and len(set(machine.notes)) > 1:
        sys.exit(f"the heap in use differs between the notes: {machine.notes}")
    print("exit code 0")


if __name__ == "__main__":
    main()
