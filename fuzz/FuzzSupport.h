// Shared by the fuzz targets: the fuzzer's bytes as a file the system reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kzm::fuzz {

// Writes the bytes to this process's scratch file and returns its path. The
// reader and the image loader take paths, so the fuzzed input goes the same
// way a real file does.
std::string ScratchFile(const std::uint8_t* data, std::size_t size, const char* suffix);

}  // namespace kzm::fuzz
