// The system's diagnostic lines.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "core/String.h"

namespace kzm {

// Writes the text and a line end (carriage return, line feed) to the line
// stream, standard output unless redirected, and flushes it.
void PrintLine(const String& text);
void PrintLine(std::string_view utf8);

// Where PrintLine writes. The `kzm` tool sends the system's lines to standard
// error so that its own output stays clean. Returns the previous stream.
std::FILE* SetPrintLineStream(std::FILE* stream);

// Takes PrintLine's lines while it lives, then gives PrintLine back its
// previous stream. Kept, the lines go to a temporary file and can be read
// back (tests check them); dropped, they go nowhere (benchmarks and fuzz
// targets, which would drown in them). Guards nest.
class PrintLineCapture {
public:
    enum Mode { Keep, Drop };
    explicit PrintLineCapture(Mode mode = Keep);
    ~PrintLineCapture();
    PrintLineCapture(const PrintLineCapture&) = delete;
    PrintLineCapture& operator=(const PrintLineCapture&) = delete;

    // The lines written so far, without their CR LF ends.
    std::vector<std::string> Lines() const;
    // Everything written so far, line ends included.
    std::string Raw() const;
    // How many bytes were written so far, without reading them back: for
    // millions of lines.
    std::int64_t Size() const;

private:
    std::FILE* File;  // null when it could not be made: the lines then go to standard output
    std::FILE* Previous;
};

}  // namespace kzm
