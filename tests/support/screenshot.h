// Pictures of the screen for the README, taken by `make screenshots`.
#pragma once

#include <string>

// Saves the whole screen as docs/<name>.bmp (make turns it into a PNG).
void SaveScreenshot(const std::string& name);
