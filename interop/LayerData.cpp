#include "interop/LayerData.h"

#include <array>
#include <limits>

#include <zlib.h>
#include <zstd.h>

#include "interop/TiledMap.h"

namespace kzm::interop {

namespace {

int Base64Value(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::vector<std::uint32_t> IdsFromBytes(const std::vector<std::uint8_t>& bytes, std::size_t cells,
                                        const std::string& where)
{
    if (bytes.size() != cells * 4)
        throw TiledError(where + ": layer data holds " + std::to_string(bytes.size()) + " bytes, expected " +
                         std::to_string(cells * 4) + " (" + std::to_string(cells) + " tiles)");
    std::vector<std::uint32_t> ids(cells);
    for (std::size_t i = 0; i < cells; ++i)
        ids[i] = std::uint32_t{bytes[i * 4]} | std::uint32_t{bytes[i * 4 + 1]} << 8 |
                 std::uint32_t{bytes[i * 4 + 2]} << 16 | std::uint32_t{bytes[i * 4 + 3]} << 24;
    return ids;
}

std::vector<std::uint32_t> ParseCsv(std::string_view text, std::size_t cells, const std::string& where)
{
    std::vector<std::uint32_t> ids;
    ids.reserve(cells);
    std::size_t at = 0;
    while (true) {
        while (at < text.size() && IsSpace(text[at]))
            ++at;
        if (at == text.size())
            break;
        std::uint64_t value = 0;
        std::size_t digits = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
            value = value * 10 + static_cast<std::uint64_t>(text[at] - '0');
            if (value > std::numeric_limits<std::uint32_t>::max())
                throw TiledError(where + ": a tile id in the CSV data is larger than 32 bits");
            ++at;
            ++digits;
        }
        if (digits == 0)
            throw TiledError(where + ": unexpected '" + std::string(1, text[at]) + "' in CSV layer data");
        if (ids.size() == cells)
            throw TiledError(where + ": CSV layer data holds more than the " + std::to_string(cells) +
                             " tiles expected");
        ids.push_back(static_cast<std::uint32_t>(value));
        while (at < text.size() && IsSpace(text[at]))
            ++at;
        if (at < text.size()) {
            if (text[at] != ',')
                throw TiledError(where + ": unexpected '" + std::string(1, text[at]) + "' in CSV layer data");
            ++at;
        }
    }
    if (ids.size() != cells)
        throw TiledError(where + ": CSV layer data holds " + std::to_string(ids.size()) + " tiles, expected " +
                         std::to_string(cells));
    return ids;
}

}  // namespace

std::vector<std::uint8_t> DecodeBase64(std::string_view text, std::size_t maxBytes, const std::string& where)
{
    std::vector<std::uint8_t> out;
    std::uint32_t bits = 0;
    int count = 0;
    bool padded = false;
    for (char c : text) {
        if (IsSpace(c))
            continue;
        if (c == '=') {
            padded = true;
            continue;
        }
        const int value = Base64Value(c);
        if (value < 0 || padded)
            throw TiledError(where + ": the layer data is not valid base64");
        bits = (bits << 6) | static_cast<std::uint32_t>(value);
        if (++count == 4) {
            if (out.size() + 3 > maxBytes)
                throw TiledError(where + ": the layer data holds more than the " + std::to_string(maxBytes) +
                                 " bytes its layer can use");
            out.push_back(static_cast<std::uint8_t>(bits >> 16));
            out.push_back(static_cast<std::uint8_t>(bits >> 8));
            out.push_back(static_cast<std::uint8_t>(bits));
            bits = 0;
            count = 0;
        }
    }
    if (count == 1)
        throw TiledError(where + ": the layer data is not valid base64");
    if (count > 1) {
        if (out.size() + static_cast<std::size_t>(count - 1) > maxBytes)
            throw TiledError(where + ": the layer data holds more than the " + std::to_string(maxBytes) +
                             " bytes its layer can use");
        bits <<= 6 * (4 - count);
        out.push_back(static_cast<std::uint8_t>(bits >> 16));
        if (count == 3)
            out.push_back(static_cast<std::uint8_t>(bits >> 8));
    }
    return out;
}

std::string EncodeBase64(const std::vector<std::uint8_t>& bytes)
{
    static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t bits = std::uint32_t{bytes[i]} << 16;
        if (n > 1)
            bits |= std::uint32_t{bytes[i + 1]} << 8;
        if (n > 2)
            bits |= bytes[i + 2];
        out.push_back(kDigits[(bits >> 18) & 63]);
        out.push_back(kDigits[(bits >> 12) & 63]);
        out.push_back(n > 1 ? kDigits[(bits >> 6) & 63] : '=');
        out.push_back(n > 2 ? kDigits[bits & 63] : '=');
    }
    return out;
}

std::vector<std::uint8_t> Inflate(const std::vector<std::uint8_t>& bytes, bool gzip, std::size_t maxBytes,
                                  const std::string& where)
{
    z_stream stream{};
    if (inflateInit2(&stream, gzip ? 16 + MAX_WBITS : MAX_WBITS) != Z_OK)
        throw TiledError(where + ": cannot start inflating the layer data");
    // One byte more than allowed tells an exact fit from an overrun.
    std::vector<std::uint8_t> out(maxBytes + 1);
    stream.next_in = const_cast<Bytef*>(bytes.data());
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    const int status = inflate(&stream, Z_FINISH);
    const std::size_t produced = out.size() - stream.avail_out;
    const std::string message = stream.msg ? stream.msg : "";
    inflateEnd(&stream);
    if (produced > maxBytes)
        throw TiledError(where + ": the compressed layer data inflates past the " + std::to_string(maxBytes) +
                         " bytes its layer can hold");
    if (status != Z_STREAM_END)
        throw TiledError(where + ": the " + std::string(gzip ? "gzip" : "zlib") +
                         " layer data is damaged or cut short" + (message.empty() ? "" : " (" + message + ")"));
    out.resize(produced);
    return out;
}

std::vector<std::uint8_t> ZstdDecompress(const std::vector<std::uint8_t>& bytes, std::size_t maxBytes,
                                         const std::string& where)
{
    ZSTD_DStream* stream = ZSTD_createDStream();
    if (!stream)
        throw TiledError(where + ": cannot start decompressing the layer data");
    std::vector<std::uint8_t> out(maxBytes + 1);
    ZSTD_inBuffer in{bytes.data(), bytes.size(), 0};
    ZSTD_outBuffer output{out.data(), out.size(), 0};
    std::size_t status = 1;
    // Ends at the end of a frame, at an error, or when no progress is made
    // (the input is used up, or the output is full).
    while (status != 0) {
        const std::size_t before = in.pos + output.pos;
        status = ZSTD_decompressStream(stream, &output, &in);
        if (ZSTD_isError(status) || in.pos + output.pos == before || output.pos == output.size)
            break;
    }
    ZSTD_freeDStream(stream);
    if (output.pos > maxBytes)
        throw TiledError(where + ": the compressed layer data inflates past the " + std::to_string(maxBytes) +
                         " bytes its layer can hold");
    if (ZSTD_isError(status))
        throw TiledError(where + ": the zstd layer data is damaged (" + ZSTD_getErrorName(status) + ")");
    if (status != 0)
        throw TiledError(where + ": the zstd layer data is cut short");
    out.resize(output.pos);
    return out;
}

std::vector<std::uint8_t> Compress(const std::vector<std::uint8_t>& bytes, const std::string& compression)
{
    if (compression == "zstd") {
        std::vector<std::uint8_t> out(ZSTD_compressBound(bytes.size()));
        const std::size_t size = ZSTD_compress(out.data(), out.size(), bytes.data(), bytes.size(), 3);
        if (ZSTD_isError(size))
            throw TiledError("cannot compress layer data with zstd");
        out.resize(size);
        return out;
    }
    z_stream stream{};
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, compression == "gzip" ? 16 + MAX_WBITS : MAX_WBITS, 8,
                     Z_DEFAULT_STRATEGY) != Z_OK)
        throw TiledError("cannot compress layer data");
    std::vector<std::uint8_t> out(deflateBound(&stream, static_cast<uLong>(bytes.size())));
    stream.next_in = const_cast<Bytef*>(bytes.data());
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    const int status = deflate(&stream, Z_FINISH);
    out.resize(out.size() - stream.avail_out);
    deflateEnd(&stream);
    if (status != Z_STREAM_END)
        throw TiledError("cannot compress layer data");
    return out;
}

std::vector<std::uint32_t> DecodeLayerData(std::string_view text, const std::string& encoding,
                                           const std::string& compression, std::size_t cells, const std::string& where)
{
    if (encoding == "csv") {
        if (!compression.empty())
            throw TiledError(where + ": CSV layer data cannot be compressed (compression \"" + compression + "\")");
        return ParseCsv(text, cells, where);
    }
    if (encoding != "base64")
        throw TiledError(where + ": unknown layer data encoding \"" + encoding + "\"");
    const std::size_t expected = cells * 4;
    if (compression.empty())
        return IdsFromBytes(DecodeBase64(text, expected + 4, where), cells, where);
    // Compression grows incompressible data by a small fraction at most,
    // plus a few bytes of framing.
    const std::vector<std::uint8_t> packed = DecodeBase64(text, expected + expected / 64 + 1024, where);
    if (compression == "zlib" || compression == "gzip")
        return IdsFromBytes(Inflate(packed, compression == "gzip", expected, where), cells, where);
    if (compression == "zstd")
        return IdsFromBytes(ZstdDecompress(packed, expected, where), cells, where);
    throw TiledError(where + ": unknown layer data compression \"" + compression + "\"");
}

}  // namespace kzm::interop
