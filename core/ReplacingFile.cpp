#include "core/ReplacingFile.h"

#include <random>
#include <system_error>

namespace kzm {

namespace {

// A name beside the target that no other writer picks.
std::filesystem::path TemporaryBeside(const std::filesystem::path& target)
{
    std::random_device random;
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%08x.partial", static_cast<unsigned>(random()));
    std::filesystem::path temporary = target;
    temporary += suffix;
    return temporary;
}

}  // namespace

ReplacingFile::ReplacingFile(const std::filesystem::path& target) : TargetPath(target)
{
    try {
        TemporaryPath = TemporaryBeside(target);
    } catch (...) {
        return;  // no random source or no memory: Handle() stays null
    }
    File = std::fopen(TemporaryPath.c_str(), "wb");
}

ReplacingFile::~ReplacingFile()
{
    if (!File)
        return;
    std::fclose(File);
    std::error_code ignored;
    std::filesystem::remove(TemporaryPath, ignored);
}

bool ReplacingFile::Commit(std::string& error)
{
    if (!File) {
        error = "cannot create a file in the folder of " + TargetPath.string();
        return false;
    }
    std::FILE* file = File;
    File = nullptr;
    const bool closed = std::fflush(file) == 0 && std::fclose(file) == 0;
    std::error_code failure;
    if (closed)
        std::filesystem::rename(TemporaryPath, TargetPath, failure);
    if (!closed || failure) {
        std::filesystem::remove(TemporaryPath, failure);
        error = closed ? "cannot rename the finished file to " + TargetPath.string()
                       : "cannot write " + TemporaryPath.string() + " (is the disk full?)";
        return false;
    }
    return true;
}

}  // namespace kzm
