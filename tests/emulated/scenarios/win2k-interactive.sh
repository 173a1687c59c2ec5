# Windows 2000, by a user's hand: the rows as listed, one unchecked with a
# click on its box, Compact and the notice; only the checked hives are replaced.
fresh_prefix
import_registry win2k.reg
make_file "$C/WINNT/system32/config/software" 12288 h
make_file "$C/WINNT/system32/config/default" 384 h
make_file "$C/WINNT/system32/config/system" 3072 h
launch log fixme+reg start "$DIST\\Quillstone.exe" window Quillstone rows toggle 1 \
    shot compactor-win2k 1500 press 1001 box ok exit
logged_replacements
temporary_files 'qs*'
