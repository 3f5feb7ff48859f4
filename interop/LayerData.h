// Tile layer data as Tiled stores it: CSV, or base64 of little-endian 32-bit
// tile ids, raw or compressed with zlib, gzip or zstd.
//
// Decoding is bounded by what the layer can hold: a layer of n cells has
// exactly 4 x n bytes of data, and inflating stops as soon as the stream would
// give more, so a small stream cannot grow into a large buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kzm::interop {

// encoding: "csv" or "base64"; compression: "", "zlib", "gzip" or "zstd".
// Exactly cells tile ids, or TiledError naming what is wrong (where says
// which layer or chunk, for the message).
std::vector<std::uint32_t> DecodeLayerData(std::string_view text, const std::string& encoding,
                                           const std::string& compression, std::size_t cells, const std::string& where);

std::vector<std::uint8_t> DecodeBase64(std::string_view text, std::size_t maxBytes, const std::string& where);
std::string EncodeBase64(const std::vector<std::uint8_t>& bytes);
// At most maxBytes out; more is an error, as is a stream that does not end.
std::vector<std::uint8_t> Inflate(const std::vector<std::uint8_t>& bytes, bool gzip, std::size_t maxBytes,
                                  const std::string& where);
std::vector<std::uint8_t> ZstdDecompress(const std::vector<std::uint8_t>& bytes, std::size_t maxBytes,
                                         const std::string& where);
// compression: "zlib", "gzip" or "zstd".
std::vector<std::uint8_t> Compress(const std::vector<std::uint8_t>& bytes, const std::string& compression);

}  // namespace kzm::interop
