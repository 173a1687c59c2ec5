# Windows 3.1 with Win32s: the refusal, and the exit code -1.
fresh_prefix
import_registry win31.reg
launch start "$DIST\\Quillstone.exe" box ok exit
temporary_files 'qs*'
