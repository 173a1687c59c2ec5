#include "message_boxes.h"

static MessageBoxRecorder* Current;

MessageBoxRecorder::MessageBoxRecorder(int answer)
    : answer_(answer), patch_(&MessageBoxA, &MessageBoxRecorder::Record)
{
    Current = this;
}

MessageBoxRecorder::~MessageBoxRecorder()
{
    Current = nullptr;
}

int WINAPI MessageBoxRecorder::Record(HWND owner, LPCSTR text, LPCSTR caption, UINT style)
{
    RecordedMessageBox box{owner, text ? text : "", caption ? caption : "", style};
    Current->boxes_.push_back(box);
    if (Current->WhileShown)
        Current->WhileShown(box);
    return Current->answer_;
}
