#include "core/Print.h"

namespace kzm {

namespace {
std::FILE* LineStream = nullptr;  // null: standard output
}

std::FILE* SetPrintLineStream(std::FILE* stream)
{
    std::FILE* previous = LineStream ? LineStream : stdout;
    LineStream = stream;
    return previous;
}

void PrintLine(std::string_view utf8)
{
    std::FILE* out = LineStream ? LineStream : stdout;
    std::fwrite(utf8.data(), 1, utf8.size(), out);
    std::fputs("\r\n", out);
    std::fflush(out);
}

void PrintLine(const String& text)
{
    PrintLine(ToUtf8(text));
}

}  // namespace kzm
