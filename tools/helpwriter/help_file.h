// A whole help file from its source: topics, maps, fonts, pictures.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "byte_buffer.h"
#include "help_source.h"

// Gives a picture file's bytes by its name in the source; throws
// std::runtime_error when the file can't be read.
using PictureReader = std::function<Bytes(const std::string& name)>;

// Throws SourceError for a fault that a line of the source can be blamed for.
Bytes BuildHelpFile(const HelpSource& source, const PictureReader& readPicture,
                    uint32_t generationTime);
