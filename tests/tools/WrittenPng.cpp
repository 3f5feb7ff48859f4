#include "tests/tools/WrittenPng.h"

#include <fstream>
#include <iterator>

#include "image/internal/PngCodec.h"

namespace kzm::test {

WrittenPng ReadWrittenPng(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    WrittenPng picture;
    if (bytes.size() < 26)
        return picture;
    picture.BitDepth = bytes[24];
    picture.ColourType = bytes[25];
    if (auto decoded = DecodePngBytes(bytes)) {
        picture.Width = decoded->Width;
        picture.Height = decoded->Height;
        picture.Rgba = std::move(decoded->Rgba);
    }
    return picture;
}

}  // namespace kzm::test
