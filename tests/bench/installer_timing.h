// The installer's run, clicked through with its defaults as fast as its
// pages come up, from its process to its end.
#pragma once

#include <string>

#include "measurement.h"

// The fixed pauses of the install page: ten steps of 83 ms and 1000 ms at the end.
const double InstallerPausesMs = 10 * 83 + 1000;

struct InstallationFigures : RunFigures {
    double LicenseAnswered, OptionsAnswered; // milliseconds from the start
};

// Runs an installation with the default options; it must install the compactor.
InstallationFigures TimeInstallation(const std::string& commandLine);

// Removes what an installation with the defaults leaves: the program folder,
// the Start Menu group and the desktop link.
void RemoveInstallation();
