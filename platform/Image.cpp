#include "platform/Image.h"

namespace kzm {

// Placeholder until the libpng loader lands.
Ref<Image> LoadImageFile(const String&, int) { return nullptr; }
Ref<Image> LoadImageStrip(const String&, int, int, int, int, int) { return nullptr; }
Ref<Image> DecodeImage(std::span<const std::uint8_t>, int) { return nullptr; }
Ref<Image> DecodeImageStrip(std::span<const std::uint8_t>, int, int, int, int, int) { return nullptr; }
std::vector<std::uint8_t> EncodePng(int, int, std::span<const std::uint8_t>, bool) { return {}; }
bool SavePng(const String&, int, int, std::span<const std::uint8_t>, bool) { return false; }

}  // namespace kzm
