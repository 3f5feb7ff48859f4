// Fixture helpers shared by the test programs: temporary folders. The
// system's diagnostic lines are captured with PrintLineCapture (core/Print.h).
#pragma once

#include <cstdint>
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

// The bytes of a file; empty when it cannot be read.
std::vector<std::uint8_t> ReadFileBytes(const std::string& path);

}  // namespace kzm::test
