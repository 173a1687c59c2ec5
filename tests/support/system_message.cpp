#include "system_message.h"

std::string SystemMessage(DWORD code)
{
    char text[MAX_PATH] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, code, 0, text,
                   sizeof text, NULL);
    return text;
}
