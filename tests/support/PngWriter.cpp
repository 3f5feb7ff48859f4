#include "tests/support/PngWriter.h"

#include <algorithm>

namespace kzm::test {

namespace {

int ChannelCount(PngColour colour)
{
    switch (colour) {
    case PngColour::Grey:
    case PngColour::Palette:
        return 1;
    case PngColour::GreyAlpha:
        return 2;
    case PngColour::Rgb:
        return 3;
    case PngColour::Rgba:
        return 4;
    }
    return 1;
}

std::uint32_t Adler32(std::span<const std::uint8_t> bytes)
{
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : bytes) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return b << 16 | a;
}

// Appends the filtered (filter type 0) scanlines of the sub-image made of the
// pixels (x0 + i * dx, y0 + j * dy).
void AppendScanlines(std::vector<std::uint8_t>& raw, const PngLayout& layout,
                     const std::function<PngSamples(int, int)>& pixel, int x0, int y0, int dx, int dy)
{
    const int channels = ChannelCount(layout.Colour);
    const int depth = layout.BitDepth;
    for (int y = y0; y < layout.Height; y += dy) {
        if (x0 >= layout.Width)
            return;  // a pass with no columns has no scanlines at all
        raw.push_back(0);
        std::uint32_t bits = 0;
        int bitCount = 0;
        for (int x = x0; x < layout.Width; x += dx) {
            const PngSamples samples = pixel(x, y);
            for (int c = 0; c < channels; ++c) {
                if (depth == 16) {
                    raw.push_back(static_cast<std::uint8_t>(samples[c] >> 8));
                    raw.push_back(static_cast<std::uint8_t>(samples[c]));
                    continue;
                }
                bits = bits << depth | (samples[c] & ((1u << depth) - 1));
                bitCount += depth;
                if (bitCount == 8) {
                    raw.push_back(static_cast<std::uint8_t>(bits));
                    bits = 0;
                    bitCount = 0;
                }
            }
        }
        if (bitCount > 0)  // the last byte of a row is padded with zero bits
            raw.push_back(static_cast<std::uint8_t>(bits << (8 - bitCount)));
    }
}

}  // namespace

std::uint32_t Crc32(std::span<const std::uint8_t> bytes)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::uint8_t byte : bytes) {
        crc ^= byte;
        for (int k = 0; k < 8; ++k)
            crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return crc ^ 0xFFFFFFFFu;
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::vector<std::uint8_t> PngSignature()
{
    return {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
}

std::vector<std::uint8_t> PngChunk(std::string_view type, std::span<const std::uint8_t> data)
{
    std::vector<std::uint8_t> chunk;
    PutU32(chunk, static_cast<std::uint32_t>(data.size()));
    chunk.insert(chunk.end(), type.begin(), type.end());
    chunk.insert(chunk.end(), data.begin(), data.end());
    PutU32(chunk, Crc32(std::span(chunk).subspan(4)));
    return chunk;
}

std::vector<std::uint8_t> PngHeaderData(std::uint32_t width, std::uint32_t height, int bitDepth, PngColour colour,
                                        bool interlaced)
{
    std::vector<std::uint8_t> data;
    PutU32(data, width);
    PutU32(data, height);
    data.push_back(static_cast<std::uint8_t>(bitDepth));
    data.push_back(static_cast<std::uint8_t>(colour));
    data.push_back(0);  // deflate
    data.push_back(0);  // adaptive filtering
    data.push_back(interlaced ? 1 : 0);
    return data;
}

std::vector<std::uint8_t> ZlibStored(std::span<const std::uint8_t> bytes)
{
    std::vector<std::uint8_t> out = {0x78, 0x01};
    std::size_t at = 0;
    do {
        const std::size_t size = std::min<std::size_t>(bytes.size() - at, 65535);
        const bool last = at + size == bytes.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<std::uint8_t>(size));
        out.push_back(static_cast<std::uint8_t>(size >> 8));
        out.push_back(static_cast<std::uint8_t>(~size));
        out.push_back(static_cast<std::uint8_t>(~size >> 8));
        out.insert(out.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at),
                   bytes.begin() + static_cast<std::ptrdiff_t>(at + size));
        at += size;
    } while (at < bytes.size());
    PutU32(out, Adler32(bytes));
    return out;
}

std::vector<std::uint8_t> WritePng(const PngLayout& layout, const std::function<PngSamples(int x, int y)>& pixel)
{
    std::vector<std::uint8_t> raw;
    if (layout.Interlaced) {
        // Adam7: start column, start row, column step, row step of each pass.
        static constexpr int kPasses[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                              {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
        for (const auto& pass : kPasses)
            AppendScanlines(raw, layout, pixel, pass[0], pass[1], pass[2], pass[3]);
    } else {
        AppendScanlines(raw, layout, pixel, 0, 0, 1, 1);
    }

    std::vector<std::uint8_t> png = PngSignature();
    const auto append = [&png](const std::vector<std::uint8_t>& bytes) {
        png.insert(png.end(), bytes.begin(), bytes.end());
    };
    append(PngChunk("IHDR",
                    PngHeaderData(static_cast<std::uint32_t>(layout.Width), static_cast<std::uint32_t>(layout.Height),
                                  layout.BitDepth, layout.Colour, layout.Interlaced)));
    if (!layout.Palette.empty())
        append(PngChunk("PLTE", layout.Palette));
    if (!layout.Transparency.empty())
        append(PngChunk("tRNS", layout.Transparency));
    append(PngChunk("IDAT", ZlibStored(raw)));
    append(PngChunk("IEND", {}));
    return png;
}

}  // namespace kzm::test
