#!/usr/bin/python3
"""Rebuilds the parts of the compiler's runtime that a C++ program with
exceptions links (libsupc++, the DWARF unwinder, the libgcc2.c helpers) from
Debian's source of the installed cross compiler, for another processor.

  rebuild_runtime.py --cc GCC --cxx G++ --march CPU --out DIR

First builds every object for the toolchain's default processor and fails
unless each is, instruction for instruction, the archive member it stands
for: the proof that the source, the flags and the stand-in headers are those
of GCC's own build, checked whenever any of them or the toolchain changes.
Then builds them for CPU and for a program with one thread, optimised for
size as the programs are, and writes into DIR copies of the toolchain's
libgcc.a, libgcc_eh.a, libstdc++.a and libsupc++.a whose members the rebuilt
ones replace, so that a link with -L DIR takes them before the toolchain's.
"""
import argparse
import concurrent.futures
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
STAND_INS = os.path.join(HERE, "include")
SINGLE_THREAD = os.path.join(HERE, "single-thread")

# The libgcc2.c helpers of libgcc.a, one object per -DL<name>. Division and
# modulo may trap, so GCC builds them to be unwound through.
LIBGCC2_HELPERS = """
    _muldi3 _negdi2 _lshrdi3 _ashldi3 _ashrdi3 _cmpdi2 _ucmpdi2 _clear_cache
    _trampoline __main _absvsi2 _absvdi2 _addvsi3 _addvdi3 _subvsi3 _subvdi3
    _mulvsi3 _mulvdi3 _negvsi2 _negvdi2 _ctors _ffssi2 _ffsdi2 _clz _clzsi2
    _clzdi2 _ctzsi2 _ctzdi2 _popcount_tab _popcountsi2 _popcountdi2
    _paritysi2 _paritydi2 _powisf2 _powidf2 _powixf2 _powitf2 _mulsc3 _muldc3
    _mulxc3 _multc3 _divsc3 _divdc3 _divxc3 _divtc3 _bswapsi2 _bswapdi2
    _clrsbsi2 _clrsbdi2 _fixunssfsi _fixunsdfsi _fixunsxfsi _fixsfdi _fixdfdi
    _fixxfdi _fixunssfdi _fixunsdfdi _fixunsxfdi _floatdisf _floatdidf
    _floatdixf _floatundisf _floatundidf _floatundixf _eprintf __gcc_bcmp
    """.split()
LIBGCC2_DIVMOD = "_divdi3 _moddi3 _divmoddi4 _udivdi3 _umoddi3 _udivmoddi4 _udiv_w_sdiv".split()
UNWINDER = "unwind-dw2 unwind-dw2-fde unwind-c emutls".split()

# The flags of GCC's own build of each part (its Makefiles), less warnings and
# debug information, which change no instruction.
LIBGCC_FLAGS = ["-O2", "-DIN_LIBGCC2",
                "-fbuilding-libgcc", "-fno-stack-protector", "-DUSE_EMUTLS"]
SUPCXX_FLAGS = ["-O2", "-std=gnu++17", "-fno-implicit-templates",
                "-ffunction-sections", "-fdata-sections"]

# What the build reads of the source package, unpacked once per version.
SOURCE_PARTS = ["libgcc/*.[ch]", "libgcc/*.inc", "libgcc/config/i386/*.h",
                "gcc/*.h", "gcc/*.def", "include/*.h", "include/*.def",
                "libstdc++-v3/libsupc++/*",
                "libstdc++-v3/config/cpu/generic/atomicity_builtins/atomicity.h",
                "libiberty/cp-demangle.[ch]"]


def run(command, **kwargs):
    return subprocess.run(command, check=True, text=True, capture_output=True, **kwargs).stdout


def fail(message):
    sys.exit(f"rebuild_runtime: {message}")


def source_version(cc):
    """The GCC source package version that the compiler was built from, which
    must be the version of the installed source package."""
    compiler = os.path.realpath(shutil.which(cc) or fail(f"no {cc}"))
    package = run(["dpkg-query", "-S", compiler]).split(":")[0]
    built_using = run(["dpkg-query", "-W", "-f", "${Built-Using}", package])
    found = re.search(r"\b(gcc-\d+) \(= ([^)]+)\)", built_using)
    if not found:
        fail(f"{package} names no GCC source in Built-Using: {built_using!r}")
    source, version = found.group(1) + "-source", found.group(2)
    installed = subprocess.run(["dpkg-query", "-W", "-f", "${Version}", source],
                               text=True, capture_output=True).stdout
    if installed != version:
        fail(f"{package} was built from {found.group(1)} {version}, but {source} "
             f"is {installed or 'not installed'}: the rebuilt runtime would not match")
    return found.group(1), version


def unpacked_source(cc):
    """The parts of the source tarball the build needs, unpacked once into a
    cache keyed by the source package version (the tarball is 80 MB)."""
    name, version = source_version(cc)
    cache = os.path.expanduser(f"~/.cache/quillstone/gcc-source/{version}")
    if os.path.isdir(cache):
        return cache
    tarballs = [f for f in os.listdir(f"/usr/src/{name}") if re.fullmatch(r"gcc-.*\.tar\.xz", f)]
    if len(tarballs) != 1:
        fail(f"expected one GCC tarball in /usr/src/{name}, found {tarballs}")
    os.makedirs(os.path.dirname(cache), exist_ok=True)
    # Unpacked beside the cache and renamed into place, so that a build that
    # stops half way, or another running at the same time, sees all or nothing.
    work = tempfile.mkdtemp(dir=os.path.dirname(cache))
    run(["tar", "-xJf", f"/usr/src/{name}/{tarballs[0]}", "-C", work, "--strip-components=1",
         "--wildcards", "--no-wildcards-match-slash"] + [f"*/{part}" for part in SOURCE_PARTS])
    try:
        os.rename(work, cache)
    except OSError:
        shutil.rmtree(work)
    return cache


def objects(src, supcxx_members):
    """(archive, member, compiler, source, flags) of every rebuilt object."""
    libgcc = ["-I", STAND_INS, "-I", f"{src}/libgcc", "-I", f"{src}/gcc", "-I", f"{src}/include"]
    for name in LIBGCC2_HELPERS + LIBGCC2_DIVMOD:
        extra = ["-fexceptions", "-fnon-call-exceptions"] if name in LIBGCC2_DIVMOD else []
        yield "libgcc.a", f"{name}.o", "cc", f"{src}/libgcc/libgcc2.c", \
            LIBGCC_FLAGS + libgcc + [f"-DL{name}"] + extra
    for name in UNWINDER:
        yield "libgcc_eh.a", f"{name}.o", "cc", f"{src}/libgcc/{name}.c", \
            LIBGCC_FLAGS + libgcc + ["-fexceptions"]
    supcxx = SUPCXX_FLAGS + ["-I", f"{src}/libstdc++-v3/libsupc++", "-I", f"{src}/libgcc"]
    for member in supcxx_members:
        stem = member.removesuffix(".o")
        if stem == "cp-demangle":
            # Built as C, with the two facts of libstdc++'s config.h it asks for.
            yield "libsupc++.a", member, "cc", f"{src}/libiberty/cp-demangle.c", [
                "-O2", "-DIN_GLIBCPP_V3", "-DHAVE_STDLIB_H", "-DHAVE_STRING_H",
                "-I", f"{src}/libiberty", "-I", f"{src}/include"]
        elif stem == "atomicity":
            # The toolchain's configure chose the compiler's atomic built-ins.
            yield "libsupc++.a", member, "cxx", \
                f"{src}/libstdc++-v3/config/cpu/generic/atomicity_builtins/atomicity.h", \
                ["-x", "c++"] + supcxx
        else:
            yield "libsupc++.a", member, "cxx", f"{src}/libstdc++-v3/libsupc++/{stem}.cc", supcxx


def compile_all(tools, src, march, out):
    """Compiles every object into out, in parallel; returns {member: archive}."""
    os.makedirs(out, exist_ok=True)
    entries = list(objects(src, members(tools, "libsupc++.a")))

    def build(entry):
        _, member, compiler, source, flags = entry
        if march:
            # For the programs: their processor, their one thread (no locks,
            # none of the thread model's calls), and their size over speed.
            flags = [f"-march={march}", "-I", SINGLE_THREAD] + \
                ["-Os" if f == "-O2" else f for f in flags]
        # GCC's own sources warn under this compiler; the warnings are not ours.
        if subprocess.run([tools[compiler]] + flags + ["-w", "-c", source,
                           "-o", os.path.join(out, member)]).returncode:
            fail(f"{member} did not compile from {source}")

    with concurrent.futures.ThreadPoolExecutor(os.cpu_count()) as pool:
        list(pool.map(build, entries))
    return {member: archive for archive, member, *_ in entries}


def members(tools, archive):
    return run([tools["ar"], "t", os.path.join(tools["lib"], archive)]).split()


def replace_members(tools, rebuilt, objects_dir, out):
    """Copies of the toolchain's archives with the rebuilt members in place of
    theirs; libstdc++.a holds libsupc++'s objects too."""
    into = {"libgcc.a": ["libgcc.a"], "libgcc_eh.a": ["libgcc_eh.a"],
            "libsupc++.a": ["libsupc++.a", "libstdc++.a"]}
    staging = tempfile.mkdtemp(dir=out)
    for source_archive, archives in into.items():
        names = sorted(m for m, a in rebuilt.items() if a == source_archive)
        for archive in archives:
            held = members(tools, archive)
            missing = [n for n in names if held.count(n) != 1]
            if missing:
                fail(f"{archive} does not hold exactly one of each of {missing}: "
                     "the toolchain's archives are not those this build knows")
            copy = os.path.join(staging, archive)
            shutil.copyfile(os.path.join(tools["lib"], archive), copy)
            run([tools["ar"], "rs", copy] + names, cwd=objects_dir)
    for archive in os.listdir(staging):
        os.replace(os.path.join(staging, archive), os.path.join(out, archive))
    os.rmdir(staging)


def instructions(tools, path):
    """An object's instructions, without its symbol names: the toolchain's
    archives keep no local symbols."""
    lines = run([tools["objdump"], "-d", path]).splitlines()[2:]
    return [re.sub(r" <[^>]*>", "", line) for line in lines
            if line and not re.fullmatch(r"[0-9a-f]+ <.*>:", line)]


def check_match(tools, rebuilt, objects_dir):
    shipped = os.path.join(objects_dir, "shipped")
    os.makedirs(shipped, exist_ok=True)
    for archive in set(rebuilt.values()):
        run([tools["ar"], "x", os.path.join(tools["lib"], archive)], cwd=shipped)
    differ = [member for member in sorted(rebuilt)
              if instructions(tools, os.path.join(objects_dir, member))
              != instructions(tools, os.path.join(shipped, member))]
    if differ:
        fail(f"built for the toolchain's default processor, {len(differ)} of {len(rebuilt)} "
             f"objects differ from the toolchain's own: {' '.join(differ)}")
    print(f"rebuild_runtime: built for the toolchain's default processor, all {len(rebuilt)} "
          "objects match its archives")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cc", required=True)
    parser.add_argument("--cxx", required=True)
    parser.add_argument("--march", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    tools = {"cc": args.cc, "cxx": args.cxx,
             "lib": os.path.dirname(run([args.cc, "-print-libgcc-file-name"]).strip()),
             "ar": run([args.cc, "-print-prog-name=ar"]).strip(),
             "objdump": run([args.cc, "-print-prog-name=objdump"]).strip()}
    src = unpacked_source(args.cc)
    match_dir = os.path.join(args.out, "default-processor")
    check_match(tools, compile_all(tools, src, None, match_dir), match_dir)
    objects_dir = os.path.join(args.out, "objects")
    replace_members(tools, compile_all(tools, src, args.march, objects_dir), objects_dir, args.out)


if __name__ == "__main__":
    main()
