#!/bin/sh
# The cabinets that the built installers carry as "FILE" 122, read by tools
# that share nothing with the build: wrestool takes the resource out and
# cabextract lists, checks and unpacks it. A fresh pack of the same files must
# give the same bytes, so that two builds give the same installer.
# Usage: cabinet_tests.sh <dist folder> <payload folder>
set -u
dist=$1
payload=$2
work=$(mktemp -d /tmp/quillstone-cabinet.XXXXXX)
trap 'rm -rf "$work"' EXIT
passed=0
failed=0

check() { # what is checked, then the command that checks it
    what=$1
    shift
    if "$@"; then
        passed=$((passed + 1))
        echo "ok: $what"
    else
        failed=$((failed + 1))
        echo "FAILED: $what"
    fi
}

top=$(git -C "$payload" rev-parse --show-toplevel)

# The date and time of a file of the cabinet as cabextract lists it.
listed_date() { # cabinet, name
    cabextract -l "$1" | awk -F ' [|] ' -v name="$2" '$3 == name { print $2 }'
}

# Each file carries the time of the last commit that changed what it is made
# from, as the cabinet keeps it: UTC, in even seconds.
dated_by_commits() { # cabinet
    status=0
    while IFS='|' read -r name sources; do
        # shellcheck disable=SC2086 # the sources are words
        time=$(IFS='|'; git -C "$top" log -1 --format=%ct -- $sources)
        want=$(TZ=UTC date -d "@$((time - time % 2))" '+%d.%m.%Y %H:%M:%S')
        got=$(listed_date "$1" "$name")
        if [ "$got" != "$want" ]; then
            echo "  $name dated $got, its sources' last commit $want"
            status=1
        fi
    done <<EOF
Leggimi.txt|installer/payload/Leggimi.txt
ReadMe.txt|installer/payload/ReadMe.txt
Quillstone.exe|compactor|common|runtime|toolchain
Quillstone.hlp|compactor/help
Shareware Donation For Quillstone.url|installer/payload/Shareware Donation For Quillstone.url
Visit The Quillstone Website.url|installer/payload/Visit The Quillstone Website.url
EOF
    return $status
}

# Each build's installer carries the compactor of that build; the other files
# are the same in both.
for build in i686 x64; do
    installer="$dist/Quillstone Installer.exe"
    program="$dist/Quillstone.exe"
    if [ "$build" = x64 ]; then
        installer="$dist/x64/Quillstone Installer.exe"
        program="$dist/x64/Quillstone.exe"
    fi
    cabinet="$work/$build.cab"
    wrestool -x --raw --type=FILE --name=122 "$installer" >"$cabinet"
    check "$build: the installer carries a cabinet" test -s "$cabinet"
    check "$build: cabextract finds every file intact" cabextract -q -t "$cabinet"

    cabextract -l "$cabinet" | sed -n 's/^ *[0-9][0-9]* | [0-9.]* [0-9:]* | //p' >"$work/names"
    printf '%s\n' Leggimi.txt ReadMe.txt Quillstone.exe Quillstone.hlp \
        "Shareware Donation For Quillstone.url" "Visit The Quillstone Website.url" >"$work/order"
    check "$build: the six files in their stored order" cmp -s "$work/order" "$work/names"
    check "$build: every file dated by the last commit of its sources" dated_by_commits "$cabinet"

    mkdir "$work/$build"
    cabextract -q -d "$work/$build" "$cabinet"
    check "$build: Quillstone.exe is the built compactor" cmp -s "$program" "$work/$build/Quillstone.exe"
done
check "both cabinets differ only in the compactor" \
    diff -r -x Quillstone.exe "$work/i686" "$work/x64"
mv "$work/i686" "$work/files"
check "Quillstone.hlp is the built help file" cmp -s "$dist/Quillstone.hlp" "$work/files/Quillstone.hlp"
for text in ReadMe.txt Leggimi.txt; do
    check "$text as committed" cmp -s "$payload/$text" "$work/files/$text"
done

# The Internet shortcuts as a browser reads them: the web page's ends with a
# line end, the donation page's does not.
printf '[DEFAULT]\r\nBASEURL=http://www.quillstone.example/\r\n[InternetShortcut]\r\nURL=http://www.quillstone.example/\r\n' \
    >"$work/website.url"
printf '[DEFAULT]\r\nBASEURL=https://payments.example/donate?to=quillstone\r\n[InternetShortcut]\r\nURL=https://payments.example/donate?to=quillstone' \
    >"$work/donation.url"
check "the web page's shortcut, byte for byte" \
    cmp -s "$work/website.url" "$work/files/Visit The Quillstone Website.url"
check "the donation shortcut, byte for byte" \
    cmp -s "$work/donation.url" "$work/files/Shareware Donation For Quillstone.url"

# Packed again from the same files, which now bear other modification times.
touch -d '2001-01-01' "$work/files"/*
"$payload/make-cabinet.sh" "$work/again.cab" "$payload" "$work/files/Quillstone.exe" \
    "$work/files/Quillstone.hlp"
check "a fresh pack gives the same bytes" cmp -s "$work/i686.cab" "$work/again.cab"
check "the pack leaves nothing beside the cabinet" test ! -e "$work/again.cab.files"

# A source tree without git history dates nothing by guess: the pack fails,
# unless SOURCE_DATE_EPOCH gives every file one time.
mkdir "$work/tarball"
cp "$payload"/* "$work/tarball/"
pack_without_history() {
    "$work/tarball/make-cabinet.sh" "$work/tarball.cab" "$work/tarball" \
        "$work/files/Quillstone.exe" "$work/files/Quillstone.hlp"
}
fails() { ! "$@" 2>/dev/null; }
check "without git history the pack fails" fails pack_without_history
check "and leaves no cabinet" test ! -e "$work/tarball.cab"
SOURCE_DATE_EPOCH=959860800 pack_without_history
check "SOURCE_DATE_EPOCH dates every file: 1 June 2000, 12:00" \
    test "$(cabextract -l "$work/tarball.cab" | grep -c '| 01.06.2000 12:00:00 |')" -eq 6

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
