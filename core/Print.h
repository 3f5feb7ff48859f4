// The system's diagnostic lines.
#pragma once

#include <cstdio>
#include <string_view>

#include "core/String.h"

namespace kzm {

// Writes the text and a line end (carriage return, line feed) to the line
// stream, standard output unless redirected, and flushes it.
void PrintLine(const String& text);
void PrintLine(std::string_view utf8);

// Where PrintLine writes. The `kzm` tool sends the system's lines to standard
// error so that its own output stays clean. Returns the previous stream.
std::FILE* SetPrintLineStream(std::FILE* stream);

}  // namespace kzm
