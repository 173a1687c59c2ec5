#include <gtest/gtest.h>

#include "program_run.h"

void ExpectBox(const ShownMessageBox& box, const std::string& text, const std::string& caption,
               BoxIcon icon, HWND owner)
{
    EXPECT_EQ(text, box.Text);
    EXPECT_EQ(caption, box.Caption);
    EXPECT_EQ(icon, box.Icon);
    EXPECT_EQ(owner, box.Owner);
}
