# The help file as installed: the 32-bit help viewer shows the topic of each
# context number, and F1 over the compactor's list asks for the list's help.
prefix_after installer
import_registry win2k.reg
make_file "$C/WINNT/system32/config/software" 64 h
make_file "$C/WINNT/system32/config/default" 64 h
help='C:\Program Files\Quillstone\Quillstone.hlp'
launch help "$help" 0 help "$help" 1000 help "$help" 1001 \
    log fixme+winhelp start '"C:\Program Files\Quillstone\Quillstone.exe"' window Quillstone \
    rows press 1000 key F1 wait-log MACRO_PopupContext
