#include "dialog_template.h"

#include <cstring>
#include <stdexcept>

namespace {

class Reader {
public:
    explicit Reader(const std::string& bytes) : bytes_(bytes) {}

    template <typename T> T Take()
    {
        if (at_ + sizeof(T) > bytes_.size())
            throw std::runtime_error("dialog template ends early");
        T value;
        memcpy(&value, bytes_.data() + at_, sizeof value);
        at_ += sizeof value;
        return value;
    }

    // UTF-16 text up to its zero; the templates here hold ASCII only.
    std::string Text()
    {
        std::string text;
        for (WORD c = Take<WORD>(); c; c = Take<WORD>())
            text += c < 0x80 ? char(c) : '?';
        return text;
    }

    // A name or a number: 0xFFFF then the number, else text.
    std::string NameOrNumber()
    {
        WORD first = Take<WORD>();
        if (first == 0xFFFF)
            return "#" + std::to_string(Take<WORD>());
        at_ -= sizeof first;
        return Text();
    }

    void AlignToDword() { at_ = (at_ + 3) & ~size_t(3); }
    void Skip(size_t count) { at_ += count; }

private:
    const std::string& bytes_;
    size_t at_ = 0;
};

std::string ClassName(const std::string& name)
{
    const char* predefined[] = {"BUTTON", "EDIT", "STATIC", "LISTBOX", "SCROLLBAR", "COMBOBOX"};
    if (name.size() > 1 && name[0] == '#') {
        int atom = std::stoi(name.substr(1));
        if (atom >= 0x80 && atom <= 0x85)
            return predefined[atom - 0x80];
    }
    return name;
}

} // namespace

DialogTemplate ParseDialogTemplate(const std::string& bytes)
{
    Reader read(bytes);
    DialogTemplate dialog = {};
    DWORD first = read.Take<DWORD>();
    dialog.Extended = first == 0xFFFF0001;
    if (dialog.Extended) {
        read.Take<DWORD>(); // help id
        dialog.ExStyle = read.Take<DWORD>();
        dialog.Style = read.Take<DWORD>();
    } else {
        dialog.Style = first;
        dialog.ExStyle = read.Take<DWORD>();
    }
    WORD count = read.Take<WORD>();
    dialog.X = read.Take<short>();
    dialog.Y = read.Take<short>();
    dialog.Width = read.Take<short>();
    dialog.Height = read.Take<short>();
    dialog.Menu = read.NameOrNumber();
    dialog.Class = read.NameOrNumber();
    dialog.Caption = read.Text();
    if (dialog.Style & (DS_SETFONT | DS_SHELLFONT)) {
        dialog.PointSize = read.Take<WORD>();
        if (dialog.Extended) {
            dialog.Weight = read.Take<WORD>();
            dialog.Italic = read.Take<BYTE>();
            dialog.Charset = read.Take<BYTE>();
        }
        dialog.Font = read.Text();
    }
    for (WORD i = 0; i < count; ++i) {
        read.AlignToDword();
        DialogItem item = {};
        if (dialog.Extended) {
            read.Take<DWORD>(); // help id
            item.ExStyle = read.Take<DWORD>();
            item.Style = read.Take<DWORD>();
        } else {
            item.Style = read.Take<DWORD>();
            item.ExStyle = read.Take<DWORD>();
        }
        item.X = read.Take<short>();
        item.Y = read.Take<short>();
        item.Width = read.Take<short>();
        item.Height = read.Take<short>();
        item.Id = dialog.Extended ? int(read.Take<DWORD>()) : int(read.Take<short>());
        item.Class = ClassName(read.NameOrNumber());
        item.Text = read.NameOrNumber();
        read.Skip(read.Take<WORD>()); // creation data
        dialog.Items.push_back(item);
    }
    return dialog;
}
