#include "fuzz/FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <random>

namespace kzm::fuzz {

std::string ScratchFile(const std::uint8_t* data, std::size_t size, const char* suffix)
{
    static const std::string base = [] {
        const char* dir = std::getenv("TMPDIR");
        return std::string(dir && *dir ? dir : "/tmp") + "/kzm-fuzz-" + std::to_string(std::random_device{}());
    }();
    const std::string path = base + suffix;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        std::abort();
    if (size > 0)
        std::fwrite(data, 1, size, file);
    std::fclose(file);
    return path;
}

}  // namespace kzm::fuzz
