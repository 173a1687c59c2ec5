# Windows 98, unattended: both hives are scheduled in the WinInit.ini that is
# already there, above its entry, and the restart puts the saved hives in place.
fresh_prefix
import_registry win98.reg
make_file "$C/windows/System.dat" 4096 s
make_file "$C/windows/User.dat" 64 u
make_file "$C/windows/obsolete.tmp" 1 o
# WinInit.ini is carried out at every session start: it is copied in by the
# launcher, inside the session that runs the compactor.
launch copy "$DATA\\${wininit:-win98-wininit.ini}" 'C:\windows\WinInit.ini' \
    start "$DIST\\Quillstone.exe /nogui" exit wait-file 'C:\windows\wininit.bak'
facts_of_file wininit.bak "$(file_in "$C/windows" wininit.bak)"
fact "System.dat: $(head -n 1 "$C/windows/System.dat" | tr -d '\r')"
fact "User.dat: $(head -n 1 "$C/windows/User.dat" | tr -d '\r')"
[ -e "$C/windows/obsolete.tmp" ] || fact "obsolete.tmp: deleted by the restart"
temporary_files 'qs*'
