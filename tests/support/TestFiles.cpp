#include "tests/support/TestFiles.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include <gtest/gtest.h>

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

std::vector<std::uint8_t> ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace kzm::test
