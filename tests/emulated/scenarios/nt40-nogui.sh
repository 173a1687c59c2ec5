# Windows NT 4.0, unattended: every hive of the hive list that can be saved is
# replaced by its copy (Wine only logs RegReplaceKeyA), each backup and LOG
# file is deleted at the restart, and no temporary file is left.
fresh_prefix
import_registry nt40.reg
for hive in software system default; do
    make_file "$C/WINNT/system32/config/$hive" 64 h
done
launch log fixme+reg,trace+file start "$DIST\\Quillstone.exe /nogui" exit \
    wait-gone 'System\CurrentControlSet\Control\Session Manager\PendingFileRenameOperations'
logged_replacements
logged_deletions
temporary_files 'qs*'
