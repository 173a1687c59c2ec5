#!/bin/sh
# Runs one scenario (scenarios/<name>.sh) in a Wine prefix of its own and
# prints its facts, one a line. The scenario uses the helpers below.
# Usage: scenario.sh <name>
set -u
name=$1
here=/quillstone
export WINEDEBUG=-all DISPLAY=:0 QS_SCREENSHOTS=/out/pictures
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Wine's log of the launcher and every program it starts.
export QS_WINE_LOG=/out/$name.wine.log
: >"$QS_WINE_LOG"

# Windows paths of what the host put into the PC.
DIST='Z:\quillstone\dist'
DATA='Z:\quillstone\scenarios'

fact() {
    printf '%s\n' "$*"
}

# A copy of the prefix made at start-up, or of the one another scenario left.
fresh_prefix() {
    use_prefix /prefixes/template/prefix
}
prefix_after() {
    use_prefix "/prefixes/$1"
}
use_prefix() {
    "$here/wine/copy-prefix.sh" "$1" "/prefixes/$name"
    export WINEPREFIX="/prefixes/$name"
    C=$WINEPREFIX/drive_c
    # Rooted paths without a drive resolve on C: only when programs start there.
    cd "$C" || exit 1
}

# Imports scenarios/<file> (REGEDIT4) into the prefix's registry.
import_registry() {
    wine reg import "$DATA\\$1" >/dev/null 2>>"$QS_WINE_LOG"
}

# A file of the given size in kilobytes, filled with one letter.
make_file() { # path, kilobytes, letter
    mkdir -p "$(dirname "$1")"
    head -c $(($2 * 1024)) /dev/zero | tr '\0' "$3" >"$1"
}

# The launcher with the scenario's steps; its facts go to the output.
launch() {
    wine "$here/qs_launcher.exe" "$@" 2>>"$QS_WINE_LOG"
}

# A file of the prefix by its name in any case, as Windows finds it.
file_in() { # folder, name
    find "$1" -maxdepth 1 -iname "$2" | head -n 1
}

# Each line of a text file as a fact, its bytes shown as `cat -v` shows them.
facts_of_file() { # label, path
    if [ -f "$2" ]; then
        cat -v "$2" | sed "s|^|$1: |"
    else
        fact "$1: missing"
    fi
}

# The RegReplaceKeyA calls Wine logged (channel fixme+reg) and the deletions
# at the next start asked for (trace+file), unescaped.
logged_replacements() {
    sed -n 's/.*fixme:reg:\(RegReplaceKeyW ([^)]*)\).*/replace \1/p' "$QS_WINE_LOG" |
        sed 's/\\\\/\\/g'
}
logged_deletions() {
    sed -n 's/.*MoveFileWithProgressW (L"\([^"]*\)",(null),[0-9a-fA-F]*,[0-9a-fA-F]*,0004).*/delete at restart \1/p' \
        "$QS_WINE_LOG" | sed 's/\\\\/\\/g'
}

# The names a program left in the temporary folder that match the pattern.
temporary_files() { # pattern
    left=$(find "$C/users/root/Temp" -maxdepth 1 -iname "$1" -printf '%f ')
    fact "temporary files $1: ${left:-none}"
}

. "$here/scenarios/$name.sh"

wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
exit 0
