#include "image/PngRowWriter.h"

#include <algorithm>
#include <csetjmp>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <png.h>

#include "core/ReplacingFile.h"
#include "image/Image.h"

namespace kzm {

namespace {

// libpng reports an error by a longjmp back to the setjmp in Guarded. The
// frames it jumps over (libpng's own and the lambdas' bodies) hold nothing
// with a destructor, so the jump skips no cleanup.
[[noreturn]] void OnError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}
void OnWarning(png_structp, png_const_charp) {}

// Deflate level: 1 to 9. Large pictures are mostly flat colour and repeats
// of the same tiles, which the fast levels already pack well; the slow ones
// cost several times the time for a few per cent.
constexpr int kCompressionLevel = 3;
// No row filter: a map's picture repeats the same tile pixels along its
// rows, which deflate finds as they are; filtered, the repeats blur into
// differences. Measured on tile-map pictures, unfiltered rows pack smaller
// (12 MB instead of 19 for a 4096 x 4096 picture of a million random tiles)
// and skip the filter search, a third of the writing time.
constexpr int kRowFilter = PNG_FILTER_NONE;

}  // namespace

struct PngRowWriter::Session {
    png_structp Png = nullptr;
    png_infop Info = nullptr;
    std::unique_ptr<ReplacingFile> Out;
    png_uint_32 Width = 0;
    png_uint_32 Height = 0;
    png_uint_32 RowsWritten = 0;
    bool Alpha = false;
    bool Failed = false;
    bool Done = false;  // the file is complete and in place
    std::string Error;
    std::vector<std::uint8_t> Rgb;  // a row with the alpha bytes dropped

    ~Session()
    {
        if (Png)
            png_destroy_write_struct(&Png, Info ? &Info : nullptr);
    }

    void Fail(const std::string& why)
    {
        if (!Failed)
            Error = why;
        Failed = true;
    }

    // Runs one step of libpng; false when it raised an error.
    template <typename Step>
    bool Guarded(Step step)
    {
        if (setjmp(png_jmpbuf(Png)))
            return false;
        step();
        return true;
    }
};

PngRowWriter::PngRowWriter(const String& path, int width, int height, bool alpha) : State(std::make_unique<Session>())
{
    Session& s = *State;
    if (width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide) {
        s.Fail("a PNG of " + std::to_string(width) + " x " + std::to_string(height) + " pixels is out of range");
        return;
    }
    try {
        s.Out = std::make_unique<ReplacingFile>(std::filesystem::path(ToUtf8(ForwardSlashes(path))));
        s.Width = static_cast<png_uint_32>(width);
        s.Height = static_cast<png_uint_32>(height);
        s.Alpha = alpha;
        if (!alpha)
            s.Rgb.resize(static_cast<std::size_t>(width) * 3);
    } catch (...) {
        s.Fail("out of memory");
        return;
    }
    if (!s.Out->Handle()) {
        s.Fail("cannot create a file in the folder of " + s.Out->Target().string());
        return;
    }
    s.Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (s.Png)
        s.Info = png_create_info_struct(s.Png);
    if (!s.Png || !s.Info) {
        s.Fail("out of memory");
        return;
    }
    const bool started = s.Guarded([&s] {
        png_init_io(s.Png, s.Out->Handle());
        png_set_compression_level(s.Png, kCompressionLevel);
        png_set_filter(s.Png, PNG_FILTER_TYPE_BASE, kRowFilter);
        png_set_IHDR(s.Png, s.Info, s.Width, s.Height, 8, s.Alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(s.Png, s.Info);
    });
    if (!started)
        s.Fail("cannot write " + s.Out->Temporary().string());
}

PngRowWriter::~PngRowWriter() = default;

bool PngRowWriter::IsOpen() const
{
    return !State->Failed && !State->Done;
}

const std::string& PngRowWriter::Error() const
{
    return State->Error;
}

bool PngRowWriter::WriteRow(std::span<const std::uint8_t> rgba)
{
    Session& s = *State;
    if (s.Failed || s.Done)
        return false;
    if (s.RowsWritten >= s.Height) {
        s.Fail("more rows than the picture's height");
        return false;
    }
    if (rgba.size() < static_cast<std::size_t>(s.Width) * 4) {
        s.Fail("a row shorter than the picture's width");
        return false;
    }
    const std::uint8_t* row = rgba.data();
    if (!s.Alpha) {
        for (std::size_t x = 0; x < s.Width; ++x)
            std::copy_n(rgba.data() + x * 4, 3, s.Rgb.data() + x * 3);
        row = s.Rgb.data();
    }
    if (!s.Guarded([&s, row] { png_write_row(s.Png, row); })) {
        s.Fail("cannot write " + s.Out->Temporary().string() + " (is the disk full?)");
        return false;
    }
    ++s.RowsWritten;
    return true;
}

bool PngRowWriter::Finish()
{
    Session& s = *State;
    if (s.Failed || s.Done)
        return false;
    if (s.RowsWritten != s.Height) {
        s.Fail("rows missing");
        return false;
    }
    if (!s.Guarded([&s] { png_write_end(s.Png, nullptr); })) {
        s.Fail("cannot write " + s.Out->Temporary().string());
        return false;
    }
    std::string error;
    if (!s.Out->Commit(error)) {
        s.Fail(error);
        return false;
    }
    s.Done = true;
    return true;
}

}  // namespace kzm
