// The compactor's start, from its process to its list of hives, and the
// floors under it: the same saves made by programs that do nothing else.
#pragma once

#include <string>
#include <vector>

#include "measurement.h"

// Runs the compactor to its list, which must show exactly these rows, then
// closes it.
RunFigures TimeCompactorToReadyList(const std::string& commandLine,
                                    const std::vector<std::string>& rows);

// Runs a floor program until it has saved every key, then lets it end; the
// program is named so in a failure.
RunFigures TimeFloor(const std::string& commandLine, const char* program);
