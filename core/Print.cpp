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

PrintLineCapture::PrintLineCapture(Mode mode)
    : File(mode == Keep ? std::tmpfile() : std::fopen("/dev/null", "w+")), Previous(SetPrintLineStream(File))
{}

PrintLineCapture::~PrintLineCapture()
{
    SetPrintLineStream(Previous);
    if (File)
        std::fclose(File);
}

std::string PrintLineCapture::Raw() const
{
    std::string text;
    if (!File)
        return text;
    std::fflush(File);
    std::rewind(File);
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, File)) > 0)
        text.append(buffer, got);
    std::fseek(File, 0, SEEK_END);
    return text;
}

std::vector<std::string> PrintLineCapture::Lines() const
{
    std::vector<std::string> lines;
    const std::string text = Raw();
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::int64_t PrintLineCapture::Size() const
{
    return File ? static_cast<std::int64_t>(std::ftell(File)) : 0;
}

}  // namespace kzm
