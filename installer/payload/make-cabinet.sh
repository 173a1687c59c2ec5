#!/bin/sh
# Packs the six files of the program folder into the installer's cabinet: one
# MSZIP folder, the files in the order the install page reports them.
# Usage: make-cabinet.sh <cabinet> <payload folder> <Quillstone.exe> <Quillstone.hlp>
#
# Each file carries the time of the last commit that changed what it is made
# from, never a time from the file system, so that two builds of one commit
# give the same bytes (changes not yet committed carry the time of the commit
# before them). A shallow clone knows no commit older than its first, so a file
# changed before it carries that commit's time, the latest it can have. Where
# git has no history at all (a source tarball), SOURCE_DATE_EPOCH, when set,
# stamps every file with its one time; when it is not set, the pack fails
# rather than guess a date.
set -eu
cabinet=$1
payload=$2
program=$3
help=$4
# The cabinet is written from inside the staging folder.
case $cabinet in /*) ;; *) cabinet="$PWD/$cabinet" ;; esac

# What the built files are made from, as folders of the source tree. A further
# folder of sources that the program is built from belongs in this list.
program_sources="compactor common runtime toolchain"
help_sources="compactor/help"

top=$(git -C "$payload" rev-parse --show-toplevel 2>/dev/null || true)
payload_dir=""
[ -z "$top" ] || payload_dir=$(git -C "$payload" rev-parse --show-prefix)

# The Unix time of the last commit that changed any of the paths (relative to
# the top of the tree); fails when git knows of none.
commit_time() {
    [ -n "$top" ] || return 1
    found=$(git -C "$top" log -1 --format=%ct -- "$@") || return 1
    [ -n "$found" ] || return 1
    echo "$found"
}

stage="$cabinet.files"
rm -rf "$stage"
mkdir -p "$stage"

# Copies a file into the staging folder under its name in the cabinet and
# dates it. Usage: add <file> <name> <source path>...
add() {
    file=$1
    name=$2
    shift 2
    cp "$file" "$stage/$name"
    if ! time=$(commit_time "$@"); then
        if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
            echo "make-cabinet.sh: no commit dates $name (made from: $*);" \
                "set SOURCE_DATE_EPOCH to date every file of the cabinet" >&2
            exit 1
        fi
        time=$SOURCE_DATE_EPOCH
    fi
    touch -d "@$time" "$stage/$name"
}

export TZ=UTC # the cabinet stores local times
for text in Leggimi.txt ReadMe.txt; do
    add "$payload/$text" "$text" "$payload_dir$text"
done
# shellcheck disable=SC2086 # the source lists are words
add "$program" Quillstone.exe $program_sources
# shellcheck disable=SC2086
add "$help" Quillstone.hlp $help_sources
for url in "Shareware Donation For Quillstone.url" "Visit The Quillstone Website.url"; do
    add "$payload/$url" "$url" "$payload_dir$url"
done

# Written aside and moved into place only when it differs, so that a failed
# run leaves no cabinet that looks finished and an unchanged one rebuilds
# nothing that carries it.
(cd "$stage" && gcab --create --zip "$cabinet.new" \
    Leggimi.txt ReadMe.txt Quillstone.exe Quillstone.hlp \
    "Shareware Donation For Quillstone.url" "Visit The Quillstone Website.url")
if cmp -s "$cabinet.new" "$cabinet"; then
    rm "$cabinet.new"
else
    mv "$cabinet.new" "$cabinet"
fi
rm -rf "$stage"
