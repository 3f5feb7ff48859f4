// A file written under a temporary name beside its target and renamed onto
// the target only when complete.
//
// A write that fails halfway (a full disk, a closed pipe of a folder), or
// that is abandoned, leaves whatever was at the target untouched and no
// partial file behind: a map or picture written over the last good one
// never ends up half old and half new. Failures are reported, never thrown.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

namespace kzm {

class ReplacingFile {
public:
    // Creates the temporary file; Handle() is null when it cannot be made.
    explicit ReplacingFile(const std::filesystem::path& target);
    // Closes and removes the temporary file unless Commit succeeded.
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // The open temporary file for writing; null when it could not be
    // created or after Commit.
    std::FILE* Handle() const { return File; }
    const std::filesystem::path& Target() const { return TargetPath; }
    const std::filesystem::path& Temporary() const { return TemporaryPath; }

    // Flushes and closes the file and renames it onto the target. False,
    // with the reason in error and the temporary file removed, when the file
    // was never made or any step fails.
    bool Commit(std::string& error);

private:
    std::filesystem::path TargetPath;
    std::filesystem::path TemporaryPath;
    std::FILE* File = nullptr;
};

}  // namespace kzm
