#!/usr/bin/env python3
"""Fails on an include cycle among the programs' own files.

A source file and the header of the same name in the same folder are one
module (compactor/export.cpp with compactor/export.h); a module depends on the
module of every header that it includes. A header is looked for beside the
file that includes it, then in common/ and runtime/, as the build finds it.
Usage: include_cycles.py ROOT, the folder that holds the product's folders.
"""
import os
import re
import sys

FOLDERS = ("common", "compactor", "installer", "runtime")
SHARED = ("common", "runtime")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.MULTILINE)


def modules_of(root):
    """Each module's name and the files that make it up."""
    modules = {}
    for folder in FOLDERS:
        for name in sorted(os.listdir(os.path.join(root, folder))):
            stem, extension = os.path.splitext(name)
            if extension in (".h", ".c", ".cpp"):
                modules.setdefault(f"{folder}/{stem}", []).append(os.path.join(root, folder, name))
    return modules


def dependencies(root, modules):
    graph = {}
    for module, files in modules.items():
        folder = module.split("/")[0]
        needs = set()
        for path in files:
            with open(path, encoding="latin-1") as source:
                for header in INCLUDE.findall(source.read()):
                    for place in (folder,) + SHARED:
                        if os.path.exists(os.path.join(root, place, header)):
                            needs.add(f"{place}/{os.path.splitext(header)[0]}")
                            break
        needs.discard(module)
        graph[module] = sorted(needs)
    return graph


def find_cycle(graph):
    """One cycle as the list of its modules, the first one repeated at the end; or None."""
    state = {}  # absent: not seen; 1: on the current path; 2: done
    path = []

    def visit(module):
        state[module] = 1
        path.append(module)
        for needed in graph.get(module, []):
            if state.get(needed) == 1:
                return path[path.index(needed):] + [needed]
            if needed not in state:
                cycle = visit(needed)
                if cycle:
                    return cycle
        path.pop()
        state[module] = 2
        return None

    for module in sorted(graph):
        if module not in state:
            cycle = visit(module)
            if cycle:
                return cycle
    return None


def main():
    root = sys.argv[1]
    modules = modules_of(root)
    cycle = find_cycle(dependencies(root, modules))
    if cycle:
        print("include cycle: " + " -> ".join(cycle))
        return 1
    print(f"no include cycle among {len(modules)} modules")
    return 0


if __name__ == "__main__":
    sys.exit(main())
