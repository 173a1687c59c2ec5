# The installer as a user runs it: the license accepted, the default options,
# Install; the program folder holds the cabinet's files byte for byte, the
# links lead to them, and the temporary folder is gone. The page's picture is
# taken in the second it rests at "Done!", so that every run takes the same.
fresh_prefix
launch start "\"$DIST\\Quillstone Installer.exe\"" page 'License Information' press 1006 \
    page Options text 1000 press 1010 page '' line 1017 'Done!' \
    shot installer-install 500 exit \
    links 'C:\users\root\AppData\Roaming\Microsoft\Windows\Start Menu\Programs\Quillstone' \
    links 'C:\users\root\Desktop'
folder="$C/Program Files/Quillstone"
fact "program folder: $(ls -m -w 0 "$folder")"
for file in "$here"/cabinet/*; do
    installed="$folder/$(basename "$file")"
    if cmp -s "$file" "$installed"; then
        fact "$(basename "$file"): as in the cabinet"
    else
        fact "$(basename "$file"): not as in the cabinet"
    fi
done
# The installer carries the compactor and help file that were built with it.
for file in Quillstone.exe Quillstone.hlp; do
    if cmp -s "$here/dist/$file" "$folder/$file"; then
        fact "$file: as shipped beside the installer"
    else
        fact "$file: not as shipped beside the installer"
    fi
done
temporary_files 'qs?'
