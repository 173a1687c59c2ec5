#include "compact.h"

#include <cstdio>
#include <cstring>

#include "catalogue.h"
#include "export.h"
#include "failure.h"
#include "hive_list.h"
#include "platform.h"
#include "run_mode.h"
#include "wininit.h"

static const char Caption[] = "Quillstone";

void FormatReplaceWarning(const char* displayName, const char* reason, char* text, size_t size)
{
    static const char format[] = "Warning: Failed to replace the \"%.*s\" registry hive\n\n%.*s.";
    const int fixed = int(sizeof format - 1) - 2 * 4; // the text without its two "%.*s"
    int room = int(size) - 1 - fixed;
    // The reason matters most, but the hive keeps a recognisable name.
    int nameLength = int(strlen(displayName)), reasonLength = int(strlen(reason));
    int nameRoom = nameLength < 60 ? nameLength : 60;
    if (room - reasonLength > nameRoom)
        nameRoom = room - reasonLength;
    if (nameRoom > room)
        nameRoom = room;
    snprintf(text, size, format, nameRoom, displayName, room - nameRoom, reason);
}

// The replacements stay scheduled whatever happens now; without this notice the
// user, told that Windows restarts, would not know that they wait for a restart.
static void ShowRestartRefused(const char* reason)
{
    char text[2 * MAX_PATH];
    snprintf(text, sizeof text,
             "Quillstone could not restart Windows. The compacted hives will be put in place "
             "at the next restart of Windows.\n\n%s",
             reason);
    MessageBoxA(NULL, text, Caption, MB_ICONINFORMATION);
}

// Schedules one hive's replacement, saving the hive afresh first unless it is
// already scheduled; throws the reason when it can't.
static void ReplaceHive(int index)
{
    char backup[MAX_PATH];
    BackupNameOf(index, backup);
    DeleteFileA(backup);
    // The copy saved at start-up would lose whatever was written to the hive
    // while the window stayed open: save it again right before it is used. A
    // copy already scheduled is never touched again: a failed save would leave
    // the next start a missing or partial hive to put in place.
    if (!(Hives.Flags[index] & HIVE_REPLACED))
        SaveHive(index);
    if (IsNT)
        ThrowSystemError(RegReplaceKeyA(HiveRootKey(Hives.Flags[index]), Hives.SubKey[index],
                                        Hives.TempFile[index], backup));
    else
        ScheduleRename(Hives.TempFile[index], Hives.HiveFile[index]);
    Hives.Flags[index] |= HIVE_REPLACED;
}

void CompactSelectedHives()
{
    bool anySelected = false, anyReplaced = false;
    for (int row = 0, rows = ListRowCount(); row < rows; ++row) {
        if (!IsRowChecked(row))
            continue;
        int index = RowHive(row);
        anySelected = true;
        try {
            ReplaceHive(index);
            anyReplaced = true;
        } catch (const FailureText& failure) {
            char warning[MAX_PATH];
            FormatReplaceWarning(Hives.DisplayName[index], failure.Text(), warning, sizeof warning);
            MessageBoxA(NULL, warning, Caption, MB_ICONWARNING | MB_OK);
        }
    }
    if (anyReplaced) {
        if (!NoGui)
            MessageBoxA(NULL, "Quillstone will now restart Windows.", Caption, MB_ICONINFORMATION);
        // The session may end during this call: the catalogue is not touched after it.
        try {
            RestartWindows();
        } catch (const FailureText& failure) {
            ShowRestartRefused(failure.Text());
        }
        return;
    }
    if (!anySelected)
        MessageBoxA(NULL, "Please select at least one registry hive to compact.", Caption,
                    MB_ICONINFORMATION);
}

void BackupNameOf(int index, char backup[MAX_PATH])
{
    lstrcpynA(backup, Hives.TempFile[index], MAX_PATH);
    size_t length = strlen(backup);
    if (length >= 3)
        memcpy(backup + length - 3, "sav", 3);
}

void LogNameOf(int index, char log[MAX_PATH])
{
    // A cut name would have another file deleted at the next start.
    if (snprintf(log, MAX_PATH, "%s.LOG", Hives.TempFile[index]) >= MAX_PATH)
        log[0] = '\0';
}

void CleanUpTempFiles()
{
    for (int index = 0; index < Hives.Count; ++index) {
        const char* tempFile = Hives.TempFile[index];
        bool replaced = Hives.Flags[index] & HIVE_REPLACED;
        SetFileAttributesA(tempFile, FILE_ATTRIBUTE_NORMAL);
        if (IsNT) {
            DeleteFileA(tempFile);
            if (replaced) {
                char backup[MAX_PATH], log[MAX_PATH];
                BackupNameOf(index, backup);
                LogNameOf(index, log);
                MoveFileExA(backup, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
                if (log[0])
                    MoveFileExA(log, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
            }
        } else if (!replaced) {
            // A replaced hive's copy is what the rename file moves into place.
            DeleteFileA(tempFile);
        }
    }
}
