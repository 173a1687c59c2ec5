#include "page_driver.h"

#include <gtest/gtest.h>

static PageDriver* Current;

PageDriver::PageDriver(std::vector<PageAction> actions) : actions_(std::move(actions))
{
    Current = this;
    timer_ = SetTimer(NULL, 0, 50, Tick);
}

PageDriver::~PageDriver()
{
    KillTimer(NULL, timer_);
    Current = nullptr;
    EXPECT_EQ(actions_.size(), next_) << "pages that never opened";
}

void CALLBACK PageDriver::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (Current)
        Current->OnTick();
}

static BOOL CALLBACK FindPage(HWND window, LPARAM parameter)
{
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if (!IsWindowVisible(window) || lstrcmpA(className, "#32770") != 0)
        return TRUE;
    *reinterpret_cast<HWND*>(parameter) = window;
    return FALSE;
}

void PageDriver::OnTick()
{
    if (busy_)
        return; // an action's own modal loop dispatches the timer too
    HWND page = NULL;
    EnumThreadWindows(GetCurrentThreadId(), FindPage, reinterpret_cast<LPARAM>(&page));
    if (!page)
        return;
    if (page == page_) {
        // A page that outlives its action by far would hang the test run.
        if (GetTickCount() - actedAt_ > 10000) {
            ADD_FAILURE() << "the page stayed open after its action";
            PostMessageA(page, WM_CLOSE, 0, 0);
            actedAt_ = GetTickCount();
        }
        return;
    }
    page_ = page;
    actedAt_ = GetTickCount();
    char caption[64] = "";
    GetWindowTextA(page, caption, sizeof caption);
    captions_.push_back(caption);
    if (next_ == actions_.size()) {
        ADD_FAILURE() << "unexpected page: " << caption;
        PostMessageA(page, WM_CLOSE, 0, 0);
        return;
    }
    busy_ = true;
    actions_[next_++](page);
    busy_ = false;
}

INT_PTR RunPage(int templateId, DLGPROC procedure, std::vector<PageAction> actions)
{
    PageDriver pages(std::move(actions));
    return DialogBoxParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(templateId), NULL, procedure,
                           0);
}

void Press(HWND page, int control)
{
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(control, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, control)));
}

std::string ControlText(HWND page, int control)
{
    std::string text(GetWindowTextLengthA(GetDlgItem(page, control)) + 1, '\0');
    text.resize(GetDlgItemTextA(page, control, &text[0], int(text.size())));
    return text;
}

std::vector<std::string> ComboEntries(HWND page, int control)
{
    std::vector<std::string> entries;
    LRESULT count = SendDlgItemMessageA(page, control, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[MAX_PATH] = "";
        SendDlgItemMessageA(page, control, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    return entries;
}
