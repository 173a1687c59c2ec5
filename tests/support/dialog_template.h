// Reads a dialog template resource back, standard or extended, so tests can
// compare a built program's windows with their tables.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct DialogItem {
    int Id; // -1 for the unnamed statics
    std::string Class; // "BUTTON", "EDIT", "STATIC", ... for the predefined classes
    std::string Text;  // "#107" when the text is a resource number
    DWORD Style;
    DWORD ExStyle;
    short X, Y, Width, Height;
};

struct DialogTemplate {
    bool Extended;
    DWORD Style;
    DWORD ExStyle;
    short X, Y, Width, Height;
    std::string Menu, Class, Caption;
    WORD PointSize;
    WORD Weight;   // extended templates only
    BYTE Italic;   // extended templates only
    BYTE Charset;  // extended templates only
    std::string Font;
    std::vector<DialogItem> Items;
};

// Throws std::runtime_error when the bytes are not a whole template.
DialogTemplate ParseDialogTemplate(const std::string& bytes);
