// Writes a PNG file one row at a time, for pictures too large to hold whole.
//
// Memory stays at about one row whatever the picture's height. The file
// appears only when it is complete: rows go to a temporary file beside the
// target, which Finish renames into place. A writer that fails, or that is
// destroyed before Finish, removes its temporary file and leaves whatever
// was at the target untouched. Failures are reported as false, never thrown.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "core/String.h"

namespace kzm {

class PngRowWriter {
public:
    // An 8-bit RGBA PNG (alpha true) or RGB PNG (alpha false) of width x
    // height pixels, 1 to kMaxImageSide each. Check IsOpen: a size out of
    // range or a folder that cannot be written leaves the writer failed.
    PngRowWriter(const String& path, int width, int height, bool alpha);
    ~PngRowWriter();
    PngRowWriter(const PngRowWriter&) = delete;
    PngRowWriter& operator=(const PngRowWriter&) = delete;

    // True until something has failed or the file is finished.
    bool IsOpen() const;
    // The next row, top first, as 8-bit RGBA: width x 4 bytes (an RGB file
    // drops the alpha bytes). False when the row is short, every row has
    // been written, or writing fails; the writer is failed from then on.
    bool WriteRow(std::span<const std::uint8_t> rgba);
    // After the last row: ends the file and renames it to the target. False
    // when rows are missing or anything failed; no file is left behind then.
    bool Finish();
    // Why the writer failed, in a few words; empty while it has not.
    const std::string& Error() const;

private:
    struct Session;
    std::unique_ptr<Session> State;
};

}  // namespace kzm
