// The installer's page sequence: the start-up checks, then each page that
// InstallerState names, until it names none.
#pragma once

// The whole run; returns the exit code: 0 after the pages, -1 after an error box.
int RunInstaller();

// Public for the tests only.

// Shows the page that the state names, as the run does; false when the state
// names no page. Throws when the page's window can't be made.
bool ShowPage(int state);
