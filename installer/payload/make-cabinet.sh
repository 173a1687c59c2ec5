#!/bin/sh
# Packs the six files of the program folder into the installer's cabinet: one
# MSZIP folder, the files in the order the install page reports them.
# Usage: make-cabinet.sh <cabinet> <payload folder> <Quillstone.exe> <Quillstone.hlp>
set -eu
cabinet=$1
payload=$2
program=$3
help=$4
# The cabinet is written from inside the staging folder.
case $cabinet in /*) ;; *) cabinet="$PWD/$cabinet" ;; esac

# The cabinet stores each file's name as given and its modification time:
# copies with plain names and one fixed time make two builds give the same bytes.
stage="$cabinet.files"
rm -rf "$stage"
mkdir -p "$stage"
cp "$payload/Leggimi.txt" "$payload/ReadMe.txt" "$stage/"
cp "$program" "$stage/Quillstone.exe"
cp "$help" "$stage/Quillstone.hlp"
cp "$payload/Shareware Donation For Quillstone.url" "$payload/Visit The Quillstone Website.url" "$stage/"
export TZ=UTC # the cabinet stores local times
touch -d @959860800 "$stage"/* # 1 June 2000, 12:00

# Written aside and moved into place, so that a failed run leaves no cabinet
# that looks finished.
(cd "$stage" && gcab --create --zip "$cabinet.new" \
    Leggimi.txt ReadMe.txt Quillstone.exe Quillstone.hlp \
    "Shareware Donation For Quillstone.url" "Visit The Quillstone Website.url")
mv "$cabinet.new" "$cabinet"
rm -rf "$stage"
