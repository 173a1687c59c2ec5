# Windows 98, unattended, with a WinInit.ini that NUL bytes have damaged: the
# rewrite keeps every byte of it and puts both entries under its [rename].
wininit=win98-damaged-wininit.ini
. "$here/scenarios/win98-nogui.sh"
