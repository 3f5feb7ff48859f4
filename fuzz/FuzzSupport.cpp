#include "fuzz/FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <set>

namespace kzm::fuzz {

namespace {

// Every scratch file this process made, removed when it exits normally (a
// crash leaves them behind, beside the finding that explains it).
std::set<std::string>& ScratchPaths()
{
    static std::set<std::string>* paths = [] {
        auto* made = new std::set<std::string>;
        std::atexit([] {
            std::error_code ignored;
            for (const std::string& path : ScratchPaths())
                std::filesystem::remove(path, ignored);
        });
        return made;
    }();
    return *paths;
}

}  // namespace

std::string ScratchFile(const std::uint8_t* data, std::size_t size, const char* suffix)
{
    // Memory-backed /dev/shm where there is one: every execution writes the
    // file, and a disk-backed folder costs a slower round trip each time.
    static const std::string base = [] {
        const char* dir = std::getenv("TMPDIR");
        std::string folder = dir && *dir ? dir : "/tmp";
        std::error_code ignored;
        if (!(dir && *dir) && std::filesystem::is_directory("/dev/shm", ignored))
            folder = "/dev/shm";
        return folder + "/kzm-fuzz-" + std::to_string(std::random_device{}());
    }();
    const std::string path = base + suffix;
    ScratchPaths().insert(path);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        std::abort();
    if (size > 0)
        std::fwrite(data, 1, size, file);
    std::fclose(file);
    return path;
}

}  // namespace kzm::fuzz
