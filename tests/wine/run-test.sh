#!/bin/bash
# Runs one Windows test program under Wine, in a throw-away copy of the
# template prefix and with an X display of its own, and removes both afterwards.
# Usage: run-test.sh <template folder> <program> [arguments...]
set -u
template=$1
program=$2
shift 2

work=$(mktemp -d /tmp/quillstone-test.XXXXXX)
xvfb=""
cleanup() {
    WINEPREFIX="$work/prefix" wineserver -k >/dev/null 2>&1
    WINEPREFIX="$work/prefix" wineserver -w >/dev/null 2>&1
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/home"
"$(dirname "$0")/copy-prefix.sh" "$template/prefix" "$work/prefix"

# A display of our own: the server picks a free number and tells it on fd 5.
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.05
done
export DISPLAY=":$(cat "$work/display")"

export WINEPREFIX="$work/prefix" HOME="$work/home" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Rooted paths without a drive letter resolve on C: only when the program starts there.
cd "$WINEPREFIX/drive_c"
# Wine's debug output of the test and of every program it starts, kept where
# the test can read it (a program started with WINEDEBUG in its environment
# reports the calls Wine only logs, such as RegReplaceKeyA).
export QS_WINE_LOG="$work/wine.log"
if [ -n "${QS_DESKTOP:-}" ]; then
    # A Wine virtual desktop draws window frames, as a screenshot should show
    # them. Set for the whole prefix, it also leaves the exit code to the test.
    cat >>"$WINEPREFIX/user.reg" <<EOF

[Software\\\\Wine\\\\Explorer]
"Desktop"="quillstone"

[Software\\\\Wine\\\\Explorer\\\\Desktops]
"quillstone"="$QS_DESKTOP"
EOF
fi
wine "$program" "$@" 2> >(tee "$QS_WINE_LOG" >&2)
