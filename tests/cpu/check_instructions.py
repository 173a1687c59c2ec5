#!/usr/bin/python3
"""Reads every instruction of a program's code and fails on any that its
processor lacks, listing them by family and by the object they came from
(from the program's linker map). CPUID is only noted: late 486s have it.

  check_instructions.py [--cpu i486] PROGRAM MAP
  check_instructions.py --expect-in REGEX PROGRAM MAP
      the negative control: passes only if an object whose name matches
      REGEX holds an instruction the processor lacks
"""
import argparse
import collections
import re
import sys

import capstone

import processors
from image import Image, LinkerMap


def findings(image, origin, model):
    """(address, family, instruction text) of what the model lacks, read
    object by object: the code section holds data too (the constructor
    lists), which only the map tells apart."""
    decoder = capstone.Cs(capstone.CS_ARCH_X86, capstone.CS_MODE_32)
    for start, end, _ in origin.spans:
        code = image.read(start - image.base, end - start)
        offset = 0
        while offset < len(code):
            before = offset
            for address, size, mnemonic, operands in decoder.disasm_lite(code[offset:], start + offset):
                family = processors.lacking(model, mnemonic, operands, code[offset:offset + size])
                if family:
                    yield address, family, f"{mnemonic} {operands}".strip()
                offset += size
            if offset == before:  # not even capstone knows it
                yield start + offset, "undecodable", code[offset:offset + 4].hex()
                offset += 1


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cpu", default="i486", choices=processors.MODELS)
    parser.add_argument("--expect-in", help="pass only if an object matching this has findings")
    parser.add_argument("program")
    parser.add_argument("map")
    args = parser.parse_args()
    origin = LinkerMap(args.map)
    by_family, by_object, first = collections.Counter(), collections.Counter(), {}
    for address, family, text in findings(Image(args.program), origin, args.cpu):
        where = origin.object_at(address)
        by_family[family] += 1
        by_object[where, family] += 1
        first.setdefault((where, family), f"{address:#x} {text}")
    print(f"{args.program}: instructions the {args.cpu} lacks")
    for family, count in sorted(by_family.items()):
        print(f"  {count:5}  {family}")
    print("by object (first instance):")
    for (where, family), count in sorted(by_object.items()):
        tag = " (noted)" if family == processors.NOTED else ""
        print(f"  {count:5}  {family:18} {where}{tag}   {first[where, family]}")
    failing = {where for where, family in by_object
               if family != processors.NOTED}
    if args.expect_in:
        if not any(re.search(args.expect_in, where) for where in failing):
            sys.exit(f"expected findings in an object matching {args.expect_in!r}: none")
        print(f"found, as expected, in objects matching {args.expect_in!r}")
    elif failing:
        sys.exit(f"{len(failing)} objects hold instructions the {args.cpu} lacks: "
                 + ", ".join(sorted(failing)))


if __name__ == "__main__":
    main()
