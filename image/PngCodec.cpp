#include "image/internal/PngCodec.h"

#include <csetjmp>
#include <cstring>
#include <new>

#include <png.h>

#include "image/Image.h"

namespace kzm {

namespace {

// libpng reports an error by a longjmp back to the setjmp of RunGuarded. The
// frames it jumps over (libpng's own, the callbacks and the stage bodies
// below) hold nothing with a destructor, so the jump skips no cleanup:
// everything that needs freeing belongs to objects in the callers of
// RunGuarded, which the jump never leaves.
[[noreturn]] void OnPngError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

// Warnings (a bad ancillary chunk, an unknown sRGB profile) are not failures,
// and the platform writes nothing to the program's output of its own accord.
void OnPngWarning(png_structp, png_const_charp) {}

using StageBody = void (*)(png_structp png, void* context);

// Runs one stage of a decode or encode; false when libpng raised an error.
bool RunGuarded(png_structp png, StageBody body, void* context)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    body(png, context);
    return true;
}

// libpng's own memory comes from operator new, so that it counts where the
// program's does, and a failed request is remembered: libpng reports it as an
// error like any broken file, and the decoder must tell the two apart.
struct AllocationWatch {
    bool Failed = false;
};

png_voidp AllocateForPng(png_structp png, png_alloc_size_t size)
{
    void* block = ::operator new(size, std::nothrow);
    if (!block)
        static_cast<AllocationWatch*>(png_get_mem_ptr(png))->Failed = true;
    return block;
}

void FreeForPng(png_structp, png_voidp block)
{
    ::operator delete(block);
}

class ReadSession {
public:
    ReadSession()
    {
        Png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning, &Watch, AllocateForPng,
                                       FreeForPng);
        if (Png)
            Info = png_create_info_struct(Png);
        if (!Png || !Info) {
            // A constructor that throws runs no destructor: let go of the
            // read struct here when only the info struct could not be made.
            if (Png)
                png_destroy_read_struct(&Png, nullptr, nullptr);
            throw std::bad_alloc();  // creating the structs is all they need
        }
    }
    ~ReadSession()
    {
        if (Png)
            png_destroy_read_struct(&Png, Info ? &Info : nullptr, nullptr);
    }
    ReadSession(const ReadSession&) = delete;
    ReadSession& operator=(const ReadSession&) = delete;

    // A stage that libpng ended early: memory running out is raised, a
    // broken file is not.
    bool Check(bool completed) const
    {
        if (!completed && Watch.Failed)
            throw std::bad_alloc();
        return completed;
    }

    AllocationWatch Watch;
    png_structp Png = nullptr;
    png_infop Info = nullptr;
};

class WriteSession {
public:
    WriteSession()
    {
        Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
        if (Png)
            Info = png_create_info_struct(Png);
    }
    ~WriteSession()
    {
        if (Png)
            png_destroy_write_struct(&Png, Info ? &Info : nullptr);
    }
    WriteSession(const WriteSession&) = delete;
    WriteSession& operator=(const WriteSession&) = delete;

    png_structp Png = nullptr;
    png_infop Info = nullptr;
};

struct MemoryReader {
    const std::uint8_t* Data;
    std::size_t Size;
    std::size_t Pos;
};

void ReadFromMemory(png_structp png, png_bytep into, std::size_t size)
{
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (size > reader->Size - reader->Pos)
        png_error(png, "truncated");
    std::memcpy(into, reader->Data + reader->Pos, size);
    reader->Pos += size;
}

struct HeaderStage {
    png_infop Info;
    png_uint_32 Width = 0;
    png_uint_32 Height = 0;
    bool HasAlpha = false;
    // 16-bit samples without alpha: rows come as 16-bit RGB and are scaled
    // here, so that the black test sees the stored samples (a red of 1 in
    // 65535 is not black, though it scales to 0).
    bool Wide = false;
    int Passes = 1;
    std::size_t RowBytes = 0;
    int StoredBits = 0;  // bits a pixel takes in the file, before expanding
};

// Deflate packs at most 1032 bytes into one, so a file can only hold a
// picture whose raw pixel data is at most that many times its own size
// (with room to spare for headers). A header announcing more comes from a
// cut or forged file: refusing it before the pixels are allocated keeps a
// small file from costing up to the whole pixel bound.
bool FileCanHoldPixels(std::size_t fileBytes, png_uint_32 width, png_uint_32 height, int storedBits)
{
    const auto rawBytes = static_cast<std::uint64_t>(width) * height * static_cast<std::uint64_t>(storedBits) / 8;
    return rawBytes <= (static_cast<std::uint64_t>(fileBytes) + 1024) * 1032;
}

// Reads everything up to the image data and sets the transformations that
// turn every format into 8-bit RGBA.
void ReadHeader(png_structp png, void* context)
{
    auto* stage = static_cast<HeaderStage*>(context);
    png_infop info = stage->Info;
    // libpng refuses an oversized IHDR itself; the pixel-count bound is the
    // caller's, once the size is known.
    png_set_user_limits(png, static_cast<png_uint_32>(kMaxImageSide), static_cast<png_uint_32>(kMaxImageSide));
    png_read_info(png, info);

    png_uint_32 width = 0, height = 0;
    int depth = 0, colour = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &colour, nullptr, nullptr, nullptr);
    const bool transparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    stage->StoredBits = depth * png_get_channels(png, info);

    if (colour == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colour == PNG_COLOR_TYPE_GRAY && depth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (transparency)
        png_set_tRNS_to_alpha(png);
    const bool alpha = (colour & PNG_COLOR_MASK_ALPHA) != 0 || transparency;
    const bool wide = depth == 16 && !alpha;
    if (depth == 16 && !wide)
        png_set_scale_16(png);
    if ((colour & PNG_COLOR_MASK_COLOR) == 0)
        png_set_gray_to_rgb(png);
    if (!alpha && !wide)
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);

    stage->Width = width;
    stage->Height = height;
    stage->HasAlpha = alpha;
    stage->Wide = wide;
    stage->Passes = passes;
    stage->RowBytes = png_get_rowbytes(png, info);
}

struct RowsStage {
    std::uint8_t* Pixels;
    png_uint_32 Width;
    png_uint_32 Height;
    int Passes;
    std::uint8_t* WideRow;  // one row of 16-bit RGB, for a Wide header
    bool MarkBlack;
};

// A 16-bit sample rounded to the nearest of 0..255, as libpng's own scaling
// does (v x 255 / 65535 never falls half-way).
std::uint8_t ScaleSample(const std::uint8_t* big)
{
    const std::uint32_t value = static_cast<std::uint32_t>(big[0]) << 8 | big[1];
    return static_cast<std::uint8_t>((value * 255 + 32767) / 65535);
}

// The pixels of one Wide row that this pass delivered, into the RGBA row.
void StoreWideRow(const RowsStage& stage, std::uint8_t* into, int pass)
{
    for (png_uint_32 x = 0; x < stage.Width; ++x) {
        if (stage.Passes > 1 && !PNG_COL_IN_INTERLACE_PASS(x, pass))
            continue;
        const std::uint8_t* from = stage.WideRow + static_cast<std::size_t>(x) * 6;
        std::uint8_t* pixel = into + static_cast<std::size_t>(x) * 4;
        pixel[0] = ScaleSample(from);
        pixel[1] = ScaleSample(from + 2);
        pixel[2] = ScaleSample(from + 4);
        const bool black = (from[0] | from[1] | from[2] | from[3] | from[4] | from[5]) == 0;
        pixel[3] = stage.MarkBlack && black ? 0 : 255;
    }
}

// Interlaced files are read pass by pass into the same rows; libpng puts
// each pass's pixels in their places.
void ReadRows(png_structp png, void* context)
{
    auto* stage = static_cast<RowsStage*>(context);
    const std::size_t stride = static_cast<std::size_t>(stage->Width) * 4;
    for (int pass = 0; pass < stage->Passes; ++pass) {
        for (png_uint_32 y = 0; y < stage->Height; ++y) {
            if (!stage->WideRow) {
                png_read_row(png, stage->Pixels + y * stride, nullptr);
                continue;
            }
            png_read_row(png, stage->WideRow, nullptr);
            if (stage->Passes == 1 || PNG_ROW_IN_INTERLACE_PASS(y, pass))
                StoreWideRow(*stage, stage->Pixels + y * stride, pass);
        }
    }
    // Reads up to IEND, so that a bad CRC or truncation after the last row
    // still counts as a broken file.
    png_read_end(png, nullptr);
}

// Samples of 8 bits or fewer expand to 8 without changing 0, so the
// decoded black is the stored black.
void MarkNarrowBlack(DecodedPng& picture)
{
    std::uint8_t* rgba = picture.Rgba.data();
    for (std::size_t i = 0; i < picture.Rgba.size(); i += 4)
        rgba[i + 3] = (rgba[i] | rgba[i + 1] | rgba[i + 2]) == 0 ? 0 : 255;
}

struct VectorWriter {
    std::vector<std::uint8_t>* Out;
};

void WriteToVector(png_structp png, png_bytep data, std::size_t size)
{
    auto* writer = static_cast<VectorWriter*>(png_get_io_ptr(png));
    bool failed = false;
    try {
        writer->Out->insert(writer->Out->end(), data, data + size);
    } catch (...) {
        failed = true;
    }
    // Outside the handler: a longjmp must not leave a catch block.
    if (failed)
        png_error(png, "out of memory");
}

void FlushNothing(png_structp) {}

struct WriteStage {
    png_infop Info;
    const std::uint8_t* Pixels;
    png_uint_32 Width;
    png_uint_32 Height;
    int Channels;
};

void WriteAll(png_structp png, void* context)
{
    auto* stage = static_cast<WriteStage*>(context);
    png_set_IHDR(png, stage->Info, stage->Width, stage->Height, 8,
                 stage->Channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, stage->Info);
    const std::size_t stride = static_cast<std::size_t>(stage->Width) * static_cast<std::size_t>(stage->Channels);
    for (png_uint_32 y = 0; y < stage->Height; ++y)
        png_write_row(png, stage->Pixels + y * stride);
    png_write_end(png, nullptr);
}

}  // namespace

std::optional<DecodedPng> DecodePngBytes(std::span<const std::uint8_t> bytes, bool markBlack)
{
    try {
        if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0)
            return std::nullopt;
        ReadSession session;
        MemoryReader reader{bytes.data(), bytes.size(), 0};
        png_set_read_fn(session.Png, &reader, ReadFromMemory);

        HeaderStage header{session.Info};
        if (!session.Check(RunGuarded(session.Png, ReadHeader, &header)))
            return std::nullopt;
        const auto pixels = static_cast<std::int64_t>(header.Width) * static_cast<std::int64_t>(header.Height);
        if (header.Width == 0 || header.Height == 0 || header.Width > static_cast<png_uint_32>(kMaxImageSide) ||
            header.Height > static_cast<png_uint_32>(kMaxImageSide) || pixels > kMaxImagePixels ||
            !FileCanHoldPixels(bytes.size(), header.Width, header.Height, header.StoredBits))
            return std::nullopt;
        if (header.RowBytes != static_cast<std::size_t>(header.Width) * (header.Wide ? 6 : 4))
            return std::nullopt;

        DecodedPng picture;
        picture.Width = static_cast<int>(header.Width);
        picture.Height = static_cast<int>(header.Height);
        picture.HasAlpha = header.HasAlpha;
        picture.Rgba.resize(static_cast<std::size_t>(pixels) * 4);
        std::vector<std::uint8_t> wideRow(header.Wide ? header.RowBytes : 0);
        RowsStage rows{picture.Rgba.data(),
                       header.Width,
                       header.Height,
                       header.Passes,
                       header.Wide ? wideRow.data() : nullptr,
                       markBlack && !header.HasAlpha};
        if (!session.Check(RunGuarded(session.Png, ReadRows, &rows)))
            return std::nullopt;
        if (rows.MarkBlack && !header.Wide)
            MarkNarrowBlack(picture);
        return picture;
    } catch (const std::bad_alloc&) {
        throw;
    } catch (...) {
        return std::nullopt;
    }
}

std::vector<std::uint8_t> EncodePngBytes(int width, int height, int channels, std::span<const std::uint8_t> pixels)
{
    try {
        if (width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide ||
            (channels != 3 && channels != 4))
            return {};
        const std::size_t needed =
            static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * static_cast<std::size_t>(channels);
        if (pixels.size() < needed)
            return {};
        WriteSession session;
        if (!session.Png || !session.Info)
            return {};
        std::vector<std::uint8_t> out;
        VectorWriter writer{&out};
        png_set_write_fn(session.Png, &writer, WriteToVector, FlushNothing);
        WriteStage stage{session.Info, pixels.data(), static_cast<png_uint_32>(width), static_cast<png_uint_32>(height),
                         channels};
        if (!RunGuarded(session.Png, WriteAll, &stage))
            return {};
        return out;
    } catch (...) {
        return {};
    }
}

}  // namespace kzm
