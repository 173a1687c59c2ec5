// Works the installer's pages while the code under test runs them modally: a
// thread timer, dispatched by the pages' own modal loops, hands each page that
// opens to the next action of a script.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

using PageAction = std::function<void(HWND page)>;

class PageDriver {
public:
    // A page that opens after the script has run out fails the test and is closed.
    explicit PageDriver(std::vector<PageAction> actions = {});
    ~PageDriver();
    PageDriver(const PageDriver&) = delete;
    PageDriver& operator=(const PageDriver&) = delete;

    // The captions of the pages that opened, in order.
    const std::vector<std::string>& Captions() const { return captions_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void OnTick();

    std::vector<PageAction> actions_;
    size_t next_ = 0;
    HWND page_ = NULL;
    DWORD actedAt_ = 0;
    bool busy_ = false;
    std::vector<std::string> captions_;
    UINT_PTR timer_;
};

// Runs one page modally, as the installer does, while the actions work it;
// returns the page's result.
INT_PTR RunPage(int templateId, DLGPROC procedure, std::vector<PageAction> actions);

// Presses a page's button as a click would.
void Press(HWND page, int control);
// A control's text, read as the page's own code reads it.
std::string ControlText(HWND page, int control);
// The entries of a combo box's list, in list order.
std::vector<std::string> ComboEntries(HWND page, int control);
