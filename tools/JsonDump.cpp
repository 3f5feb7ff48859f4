#include "tools/JsonDump.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "core/ObjectList.h"
#include "mapdata/TRKLevel.h"

namespace kzm::tool {

namespace {

using Json = nlohmann::ordered_json;

// The value a float stands for in the document: the shortest decimal that
// reads back to it, as a double; JSON has no NaN or infinities.
Json FloatJson(float value)
{
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value > 0 ? "inf" : "-inf";
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    *end = '\0';
    return std::strtod(text, nullptr);
}

// Writes into a buffer that goes out in large pieces. Room is asked for
// before each record, so the pieces within it are copied without checks.
class JsonOut {
public:
    explicit JsonOut(std::FILE* out) : Out(out) {}
    ~JsonOut() { Flush(); }
    JsonOut(const JsonOut&) = delete;
    JsonOut& operator=(const JsonOut&) = delete;

    // The longest record piece written between two calls of Room.
    static constexpr std::size_t kMaxPiece = 1024;

    void Room()
    {
        if (Used + kMaxPiece > Buffer.size())
            Flush();
    }

    // For texts of any length, which may not fit the room asked for.
    void Text(std::string_view text)
    {
        if (Used + text.size() > Buffer.size()) {
            Flush();
            if (text.size() > Buffer.size()) {
                Written &= std::fwrite(text.data(), 1, text.size(), Out) == text.size();
                return;
            }
        }
        std::memcpy(Buffer.data() + Used, text.data(), text.size());
        Used += text.size();
    }

    template <std::size_t N>
    void Raw(const char (&text)[N])
    {
        std::memcpy(Buffer.data() + Used, text, N - 1);
        Used += N - 1;
    }

    void Int(std::int32_t value)
    {
        Used = static_cast<std::size_t>(std::to_chars(Buffer.data() + Used, Buffer.data() + Buffer.size(), value).ptr -
                                        Buffer.data());
    }

    void Bool(bool value)
    {
        if (value)
            Raw("true");
        else
            Raw("false");
    }

    void Quoted(const kzm::String& value)
    {
        Room();
        Text(Json(ToUtf8(value)).dump());
    }

    // Maps repeat a few scales and values over and over: the text of each
    // float is made by the JSON library once and then kept, in a small table
    // indexed by the float's bits.
    void Float(float value)
    {
        std::uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        FloatText& slot = FloatTexts[(bits * 2654435761u) >> (32 - kFloatSlotBits)];
        if (!slot.Length || slot.Bits != bits) {
            const std::string text = FloatJson(value).dump();
            slot.Bits = bits;
            slot.Length = static_cast<std::uint8_t>(text.size());
            std::memcpy(slot.Text, text.data(), text.size());
        }
        std::memcpy(Buffer.data() + Used, slot.Text, slot.Length);
        Used += slot.Length;
    }

    bool Finish()
    {
        Flush();
        return Written && std::fflush(Out) == 0 && !std::ferror(Out);
    }

private:
    void Flush()
    {
        if (Used > 0)
            Written &= std::fwrite(Buffer.data(), 1, Used, Out) == Used;
        Used = 0;
    }

    struct FloatText {
        std::uint32_t Bits = 0;
        std::uint8_t Length = 0;  // 0: empty slot
        char Text[27];            // "-1.1754943508222875e-38" and the like: 24 at most
    };
    static constexpr int kFloatSlotBits = 10;

    std::FILE* Out;
    std::array<char, 1 << 16> Buffer;
    std::size_t Used = 0;
    bool Written = true;
    std::array<FloatText, std::size_t{1} << kFloatSlotBits> FloatTexts{};
};

void WriteTileset(JsonOut& out, TRKTileset& tileset)
{
    out.Room();
    out.Raw("{\"id\":");
    out.Int(tileset.Id);
    out.Raw(",\"image_path\":");
    out.Quoted(tileset.GetImagePath());
    out.Room();
    out.Raw(",\"frame_width\":");
    out.Int(tileset.GetFrameWidth());
    out.Raw(",\"frame_height\":");
    out.Int(tileset.GetFrameHeight());
    out.Raw(",\"frame_count\":");
    out.Int(tileset.GetFrameCount());
    out.Raw(",\"has_image\":");
    out.Bool(tileset.GetImage() != nullptr);
    out.Raw("}");
}

void WriteTile(JsonOut& out, const TRKTile& t)
{
    out.Room();
    out.Raw("{\"tileset_id\":");
    out.Int(t.TilesetId);
    out.Raw(",\"frame\":");
    out.Int(t.Frame);
    out.Raw(",\"prop_a\":");
    out.Int(t.PropA);
    out.Raw(",\"prop_b\":");
    out.Int(t.PropB);
    out.Raw(",\"x\":");
    out.Int(t.X);
    out.Raw(",\"y\":");
    out.Int(t.Y);
    out.Raw(",\"width\":");
    out.Int(t.Width);
    out.Raw(",\"height\":");
    out.Int(t.Height);
    out.Raw(",\"scale_x\":");
    out.Float(t.ScaleX);
    out.Raw(",\"scale_y\":");
    out.Float(t.ScaleY);
    out.Raw(",\"layer\":");
    out.Int(t.Layer);
    out.Raw(",\"prop_c\":");
    out.Int(t.PropC);
    out.Raw(",\"prop_d\":");
    out.Int(t.PropD);
    out.Raw(",\"prop_e\":");
    out.Int(t.PropE);
    out.Raw(",\"prop_f\":");
    out.Int(t.PropF);
    out.Raw(",\"prop_g\":");
    out.Float(t.PropG);
    out.Raw(",\"prop_h\":");
    out.Float(t.PropH);
    out.Raw("}");
}

void WriteLevel(JsonOut& out, TRKLevel& level)
{
    auto& d = *level.GetDimensions();
    out.Room();
    out.Raw("{\"name\":");
    out.Quoted(d.GetName());
    out.Raw(",\"source_path\":");
    out.Quoted(d.GetSourcePath());
    out.Room();
    out.Raw(",\"columns\":");
    out.Int(d.GetColumns());
    out.Raw(",\"rows\":");
    out.Int(d.GetRows());
    out.Raw(",\"tile_width\":");
    out.Int(d.GetTileWidth());
    out.Raw(",\"tile_height\":");
    out.Int(d.GetTileHeight());
    out.Raw(",\"layer_count\":");
    out.Int(d.GetLayerCount());
    out.Raw(",\"tilesets\":[");
    bool first = true;
    for (const auto& entry : level.GetTilesets()->Entries()) {
        if (auto* tileset = As<TRKTileset>(entry)) {
            out.Room();
            if (!first)
                out.Raw(",");
            first = false;
            WriteTileset(out, *tileset);
        }
    }
    out.Room();
    out.Raw("],\"tiles\":[");
    first = true;
    for (const auto& entry : level.GetTiles()->Entries()) {
        if (auto* tile = As<TRKTile>(entry)) {
            out.Room();
            if (!first)
                out.Raw(",");
            first = false;
            WriteTile(out, *tile);
        }
    }
    out.Room();
    out.Raw("]}");
}

}  // namespace

bool WriteReadResultJson(std::FILE* file, TRespReadKZM& result)
{
    JsonOut out(file);
    out.Room();
    out.Raw("{\"errored\":");
    out.Bool(result.GetErrored() != 0);
    out.Raw(",\"header_found\":");
    out.Bool(result.GetHeaderFound() != 0);
    out.Raw(",\"version_matched\":");
    out.Bool(result.GetVersionMatched() != 0);
    out.Raw(",\"version\":");
    out.Quoted(result.GetVersion());
    out.Room();
    out.Raw(",\"level\":");
    if (Ref<TRKLevel> level = result.GetLevel())
        WriteLevel(out, *level);
    else
        out.Raw("null");
    out.Room();
    out.Raw("}\n");
    return out.Finish();
}

}  // namespace kzm::tool
