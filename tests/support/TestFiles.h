// Fixture helpers shared by the test programs: temporary folders and the
// capture of the system's diagnostic lines.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "mapdata/KzmWriter.h"

namespace kzm::test {

// A fresh folder under the test temp dir, removed with everything in it when
// the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return Root; }
    // Path of a file in the folder.
    std::string File(const std::string& name) const { return Root + "/" + name; }
    // Writes the bytes to a file in the folder and returns its path.
    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const;

private:
    std::string Root;
};

// Collects what PrintLine writes while it lives (PrintLine goes back to its
// previous stream afterwards). Lines come without their CR LF ends.
class CapturedLines {
public:
    CapturedLines();
    ~CapturedLines();
    CapturedLines(const CapturedLines&) = delete;
    CapturedLines& operator=(const CapturedLines&) = delete;

    std::vector<std::string> Lines() const;
    // Everything written, line ends included.
    std::string Raw() const;

private:
    std::FILE* File;
    std::FILE* Previous;
};

}  // namespace kzm::test
