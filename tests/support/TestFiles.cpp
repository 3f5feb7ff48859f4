#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <random>

#include "core/Print.h"

namespace kzm::test {

TempDir::TempDir()
{
    static std::atomic<int> counter{0};
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "kzm";
    for (char& c : name)
        if (c == '/')
            c = '_';
    static const unsigned run = std::random_device{}();
    Root = ::testing::TempDir() + "kzm-" + std::to_string(run) + "-" + std::to_string(counter++) + "-" + name;
    std::filesystem::remove_all(Root);
    std::filesystem::create_directories(Root);
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(Root, ignored);
}

std::string TempDir::Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const
{
    const std::string path = File(name);
    if (!WriteBytesFile(path, bytes))
        ADD_FAILURE() << "cannot write " << path;
    return path;
}

CapturedLines::CapturedLines() : File(std::tmpfile())
{
    Previous = SetPrintLineStream(File);
}

CapturedLines::~CapturedLines()
{
    SetPrintLineStream(Previous);
    std::fclose(File);
}

std::string CapturedLines::Raw() const
{
    std::fflush(File);
    std::string text;
    std::rewind(File);
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, File)) > 0)
        text.append(buffer, got);
    std::fseek(File, 0, SEEK_END);
    return text;
}

std::vector<std::string> CapturedLines::Lines() const
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

}  // namespace kzm::test
