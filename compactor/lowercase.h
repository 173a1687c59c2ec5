// Lower-casing as the compactor's text rules mean it.
#pragma once

// Changes the letters A to Z into a to z in place; every other byte stays.
void LowerCaseAscii(char* text);
