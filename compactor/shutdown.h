// The one teardown, from the end of the run or from the end of the Windows
// session, whichever comes first.
#pragma once

extern bool ShutDownDone; // the teardown has run

// Destroys the window, handles the temporary files and frees the catalogue;
// only the first call does anything.
void ShutDown();
