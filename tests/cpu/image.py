"""A 32-bit PE file as the checks read it (sections, entry point, imports,
TLS call-backs), and the linker map that names the object each byte of its
code came from."""
import bisect
import os
import re
import struct


class Image:
    def __init__(self, path):
        data = open(path, "rb").read()
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0" or struct.unpack_from("<H", data, pe + 24)[0] != 0x10B:
            raise ValueError(f"{path}: not a 32-bit PE file")
        sections, optional_size = struct.unpack_from("<2xH12xH", data, pe + 4)
        optional = pe + 24
        self.entry, self.base = struct.unpack_from("<16xI8xI", data, optional)
        self.size = struct.unpack_from("<I", data, optional + 56)[0]
        self.directories = [struct.unpack_from("<II", data, optional + 96 + 8 * i)
                            for i in range(struct.unpack_from("<I", data, optional + 92)[0])]
        self.sections = []  # (RVA, bytes as loaded)
        for i in range(sections):
            vsize, rva, raw_size, raw = struct.unpack_from(
                "<8xIIII", data, optional + optional_size + 40 * i)
            self.sections.append((rva, data[raw:raw + min(raw_size, vsize)].ljust(vsize, b"\0")))

    def read(self, rva, size):
        for start, loaded in self.sections:
            if start <= rva < start + len(loaded):
                return loaded[rva - start:rva - start + size]
        raise ValueError(f"RVA {rva:#x} is in no section")

    def string(self, rva):
        return self.read(rva, 256).split(b"\0")[0].decode()

    def imports(self):
        """(DLL, function, RVA of its address slot) of every import by name."""
        rva = self.directories[1][0]
        while rva:
            lookup, name, slots = struct.unpack_from("<I8xII", self.read(rva, 20))
            if not name:
                return
            dll = self.string(name).lower()
            while (entry := struct.unpack("<I", self.read(lookup or slots, 4))[0]) != 0:
                if entry & 0x80000000:
                    raise ValueError(f"{dll}: import by ordinal {entry & 0xFFFF}")
                yield dll, self.string(entry + 2), slots
                lookup, slots = lookup and lookup + 4, slots + 4
            rva += 20

    def tls_callbacks(self):
        """Addresses of the functions the loader calls before the entry point."""
        rva = self.directories[9][0] if len(self.directories) > 9 else 0
        if not rva:
            return []
        table = struct.unpack_from("<12xI", self.read(rva, 16))[0] - self.base
        found = []
        while (callback := struct.unpack("<I", self.read(table + 4 * len(found), 4))[0]) != 0:
            found.append(callback)
        return found


class LinkerMap:
    """The input sections of a GNU ld map's .text, to name the object at an
    address: "libgcc_eh.a(unwind-dw2.o)", or a file's own name."""

    ENTRY = re.compile(r"^ (\.text\S*)?\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$")

    def __init__(self, path):
        starts, self.spans = [], []
        in_text, pending = False, False
        for line in open(path):
            if not line.startswith(" "):
                in_text = line.startswith(".text ")
                continue
            if not in_text:
                continue
            if re.fullmatch(r" \.text\S*\n", line):  # a long name: the rest follows
                pending = True
                continue
            found = self.ENTRY.match(line)
            if found and (found.group(1) or pending) and int(found.group(3), 16):
                start = int(found.group(2), 16)
                starts.append(start)
                self.spans.append((start, start + int(found.group(3), 16), self.short(found.group(4))))
            pending = False
        order = sorted(range(len(starts)), key=starts.__getitem__)
        self.spans = [self.spans[i] for i in order]
        self.starts = [starts[i] for i in order]

    @staticmethod
    def short(path):
        return os.path.basename(path.split("(")[0]) + ("(" + path.split("(", 1)[1] if "(" in path else "")

    def object_at(self, address):
        i = bisect.bisect_right(self.starts, address) - 1
        if i >= 0 and address < self.spans[i][1]:
            return self.spans[i][2]
        return "?"
