// Records the message boxes the code under test shows, instead of showing them.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "import_patch.h"

struct RecordedMessageBox {
    HWND Owner;
    std::string Text;
    std::string Caption;
    UINT Style;
};

class MessageBoxRecorder {
public:
    // Every box is answered with the given button at once.
    explicit MessageBoxRecorder(int answer = IDOK);
    ~MessageBoxRecorder();

    const std::vector<RecordedMessageBox>& Boxes() const { return boxes_; }

    // Runs while a box is "open", as the messages a real box's loop would
    // dispatch run then.
    std::function<void(const RecordedMessageBox&)> WhileShown;

private:
    static int WINAPI Record(HWND owner, LPCSTR text, LPCSTR caption, UINT style);
    int answer_;
    std::vector<RecordedMessageBox> boxes_;
    ImportPatch patch_;
};
