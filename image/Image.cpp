#include "image/Image.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>

#include "core/ReplacingFile.h"
#include "core/Stream.h"
#include "image/internal/PngCodec.h"

namespace kzm {

namespace {

// Black, which the decoder marked with alpha 0, takes the average colour of
// its non-black neighbours; see kImageMasked. Works on the whole picture,
// before cutting.
void ColourMaskedPixels(DecodedPng& picture)
{
    const int width = picture.Width;
    const int height = picture.Height;
    std::uint8_t* rgba = picture.Rgba.data();
    const auto at = [width](int x, int y) {
        return (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 4;
    };

    // The colours of marked pixels change below, so the mark, not the
    // colour, tells mask pixels from the rest.
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* pixel = rgba + at(x, y);
            if (pixel[3] != 0)
                continue;
            unsigned sum[3] = {0, 0, 0};
            unsigned count = 0;
            for (int ny = std::max(y - 1, 0); ny <= std::min(y + 1, height - 1); ++ny) {
                for (int nx = std::max(x - 1, 0); nx <= std::min(x + 1, width - 1); ++nx) {
                    const std::uint8_t* other = rgba + at(nx, ny);
                    if (other[3] == 0)
                        continue;  // a mask pixel, this one included
                    sum[0] += other[0];
                    sum[1] += other[1];
                    sum[2] += other[2];
                    ++count;
                }
            }
            for (int c = 0; c < 3; ++c)
                pixel[c] = count == 0 ? 0 : static_cast<std::uint8_t>((sum[c] + count / 2) / count);
        }
    }
}

std::optional<DecodedPng> DecodeWithFlags(std::span<const std::uint8_t> png, int flags)
{
    const bool masked = (flags & kImageMasked) != 0;
    std::optional<DecodedPng> picture = DecodePngBytes(png, masked);
    if (picture && masked && !picture->HasAlpha)
        ColourMaskedPixels(*picture);
    return picture;
}

// The whole file in memory, or nothing when it cannot be opened or is larger
// than the loader accepts.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const String& path)
{
    Ref<Stream> file = OpenFileForReading(path);
    if (!file)
        return std::nullopt;
    const std::int64_t length = file->Length();
    if (length < 0 || length > kMaxImageFileBytes)
        return std::nullopt;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
    bytes.resize(file->ReadBytes(bytes.data(), bytes.size()));
    file->Close();
    return bytes;
}

}  // namespace

Ref<Image> DecodeImage(std::span<const std::uint8_t> png, int flags)
{
    try {
        std::optional<DecodedPng> picture = DecodeWithFlags(png, flags);
        if (!picture)
            return nullptr;
        auto image = std::make_shared<Image>();
        image->Width = picture->Width;
        image->Height = picture->Height;
        image->FrameWidth = picture->Width;
        image->FrameHeight = picture->Height;
        image->FrameCount = 1;
        image->Pixels = std::move(picture->Rgba);
        return image;
    } catch (const std::bad_alloc&) {
        throw;  // the caller's to handle: it says nothing about the file
    } catch (...) {
        return nullptr;
    }
}

Ref<Image> DecodeImageStrip(std::span<const std::uint8_t> png, int frameWidth, int frameHeight, int firstFrame,
                            int count, int flags)
{
    try {
        if (frameWidth <= 0 || frameHeight <= 0 || firstFrame < 0 || count < 0)
            return nullptr;
        std::optional<DecodedPng> picture = DecodeWithFlags(png, flags);
        if (!picture)
            return nullptr;
        const std::int64_t columns = picture->Width / frameWidth;
        const std::int64_t cells = columns * (picture->Height / frameHeight);
        if (std::int64_t{firstFrame} + count > cells)
            return nullptr;

        auto image = std::make_shared<Image>();
        image->Width = picture->Width;
        image->Height = picture->Height;
        image->FrameWidth = frameWidth;
        image->FrameHeight = frameHeight;
        image->FrameCount = count;
        // At most the picture's own size, since only whole cells are taken.
        const std::size_t rowBytes = static_cast<std::size_t>(frameWidth) * 4;
        const std::size_t frameBytes = rowBytes * static_cast<std::size_t>(frameHeight);
        image->Pixels.resize(frameBytes * static_cast<std::size_t>(count));
        const std::size_t pictureStride = static_cast<std::size_t>(picture->Width) * 4;
        for (std::int64_t k = 0; k < count; ++k) {
            const std::int64_t cell = firstFrame + k;
            const auto left = static_cast<std::size_t>(cell % columns) * static_cast<std::size_t>(frameWidth);
            const auto top = static_cast<std::size_t>(cell / columns) * static_cast<std::size_t>(frameHeight);
            std::uint8_t* into = image->Pixels.data() + static_cast<std::size_t>(k) * frameBytes;
            for (int row = 0; row < frameHeight; ++row)
                std::memcpy(into + static_cast<std::size_t>(row) * rowBytes,
                            picture->Rgba.data() + (top + static_cast<std::size_t>(row)) * pictureStride + left * 4,
                            rowBytes);
        }
        return image;
    } catch (const std::bad_alloc&) {
        throw;  // the caller's to handle: it says nothing about the file
    } catch (...) {
        return nullptr;
    }
}

Ref<Image> LoadImageFile(const String& path, int flags)
{
    try {
        std::optional<std::vector<std::uint8_t>> bytes = ReadWholeFile(path);
        return bytes ? DecodeImage(*bytes, flags) : nullptr;
    } catch (const std::bad_alloc&) {
        throw;  // the caller's to handle: it says nothing about the file
    } catch (...) {
        return nullptr;
    }
}

Ref<Image> LoadImageStrip(const String& path, int frameWidth, int frameHeight, int firstFrame, int count, int flags)
{
    try {
        if (frameWidth <= 0 || frameHeight <= 0 || firstFrame < 0 || count < 0)
            return nullptr;
        std::optional<std::vector<std::uint8_t>> bytes = ReadWholeFile(path);
        return bytes ? DecodeImageStrip(*bytes, frameWidth, frameHeight, firstFrame, count, flags) : nullptr;
    } catch (const std::bad_alloc&) {
        throw;  // the caller's to handle: it says nothing about the file
    } catch (...) {
        return nullptr;
    }
}

std::vector<std::uint8_t> EncodePng(int width, int height, std::span<const std::uint8_t> rgba, bool alpha)
{
    try {
        if (width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide)
            return {};
        const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
        if (rgba.size() < pixels * 4)
            return {};
        if (alpha)
            return EncodePngBytes(width, height, 4, rgba.first(pixels * 4));
        std::vector<std::uint8_t> rgb(pixels * 3);
        for (std::size_t i = 0; i < pixels; ++i)
            std::memcpy(&rgb[i * 3], &rgba[i * 4], 3);
        return EncodePngBytes(width, height, 3, rgb);
    } catch (...) {
        return {};
    }
}

bool SavePng(const String& path, int width, int height, std::span<const std::uint8_t> rgba, bool alpha)
{
    try {
        const std::vector<std::uint8_t> png = EncodePng(width, height, rgba, alpha);
        if (png.empty())
            return false;
        ReplacingFile out(std::filesystem::path(ToUtf8(ForwardSlashes(path))));
        std::string error;
        return out.Handle() && std::fwrite(png.data(), 1, png.size(), out.Handle()) == png.size() && out.Commit(error);
    } catch (...) {
        return false;
    }
}

}  // namespace kzm
