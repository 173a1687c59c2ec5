#!/bin/sh
# Creates the Wine prefix that every test run copies: made once per `make test`
# and removed at its end.
set -eu
template=$1
rm -rf "$template"
mkdir -p "$template"
export WINEPREFIX="$template/prefix" HOME="$template/home" WINEDEBUG=-all
# No Mono or Gecko download prompts, no Linux menu entries for saved links.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
mkdir -p "$HOME"
wineboot -i >/dev/null 2>&1
# No window manager runs on the test displays: unmanaged windows close at once
# instead of after Wine's wait for one.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wineserver -w
# Title bars draw their buttons with Marlett's glyphs. Debian's Wine looks for
# its own fonts in "<data dir>\../fonts\", a path it can't resolve, so the
# Marlett of Wine's font package is never found and the buttons show as "0 1 r";
# a font in the prefix's Fonts folder is found.
cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
# The user folders link to $HOME; make them real folders so that each copy of
# the prefix has its own desktop and documents.
for link in "$WINEPREFIX"/drive_c/users/*/*; do
    if [ -L "$link" ]; then
        rm "$link"
        mkdir "$link"
    fi
done
