// The engine's drawing against a straightforward walk written here: for each
// layer from 0 to LayerCount - 1 a walk of the whole tile list, and for each
// tile of that layer the cull test, SetDrawScale, FindTilesetImage and
// DrawImageFrame. Random maps, changed between frames in every way a caller
// can change them, must give the very same calls in the same order, with
// the same arguments, from Draw and from DrawLayer.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/Display.h"
#include "render/TMapEngine.h"
#include "tests/support/RecordingSink.h"

namespace kzm {
namespace {

// One call as the engine made it: a platform call, or a lookup through the
// FindTilesetImage slot of a derived engine. Floats are kept as their bits,
// so that -0.0 and 0.0 differ.
struct Call {
    enum Kind { Scale, Frame, Lookup } What;
    std::uint32_t A = 0, B = 0;     // scale x, y or position x, y, as bits
    const void* Subject = nullptr;  // the image drawn, or the tile looked up
    int Index = 0;                  // the frame drawn
    bool operator==(const Call&) const = default;
};

std::uint32_t Bits(float value)
{
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

float FromBits(std::uint32_t bits)
{
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::ostream& operator<<(std::ostream& out, const Call& call)
{
    switch (call.What) {
    case Call::Scale:
        return out << "SetDrawScale(" << FromBits(call.A) << ", " << FromBits(call.B) << ")";
    case Call::Frame:
        return out << "DrawImageFrame(" << call.Subject << ", " << FromBits(call.A) << ", " << FromBits(call.B) << ", "
                   << call.Index << ")";
    case Call::Lookup:
        return out << "FindTilesetImage(" << call.Subject << ")";
    }
    return out;
}

// Where the calls of the moment go: the engine's, or the reference's.
std::vector<Call>* Log = nullptr;

// Puts the platform calls in the log of the moment, among the lookups.
class Recorder : public test::RecordingSink {
public:
    Recorder()
        : RecordingSink([](const test::DrawCall& call) {
              Log->push_back(call.What == test::DrawCall::Scale
                                 ? Call{Call::Scale, Bits(call.X), Bits(call.Y)}
                                 : Call{Call::Frame, Bits(call.X), Bits(call.Y), call.Picture, call.FrameIndex});
          })
    {}
};

// A derived engine with its own way of finding images: it notes every
// lookup, and answers with the tileset's image, another image or none,
// depending on the tile.
class LookupEngine : public TMapEngine {
public:
    Ref<Image> FindTilesetImage(const Ref<ObjectList>& tilesets, const TRKTile& tile) override
    {
        Log->push_back(Call{Call::Lookup, 0, 0, &tile});
        switch (tile.PropC % 3) {
        case 0:
            return TMapEngine::FindTilesetImage(tilesets, tile);
        case 1:
            return Own;
        default:
            return nullptr;
        }
    }
    Ref<Image> Own = FramesImage(2);

    static Ref<Image> FramesImage(int count)
    {
        auto image = std::make_shared<Image>();
        image->FrameWidth = image->FrameHeight = 16;
        image->FrameCount = count;
        return image;
    }
};

// A tileset of a derived class whose image is not its field.
class OtherTileset : public TRKTileset {
public:
    Ref<kzm::Image> GetImage() override { return Substitute; }
    Ref<kzm::Image> Substitute = LookupEngine::FramesImage(3);
};

// A tile of a derived class: still a tile.
class MarkedTile : public TRKTile {};

// --- The reference walk ---------------------------------------------------

std::int32_t Wrapped(std::uint32_t value)
{
    return static_cast<std::int32_t>(value);
}

void ReferenceTile(TMapEngine& engine, const TRKTile& tile)
{
    const auto u = [](std::int32_t v) { return static_cast<std::uint32_t>(v); };
    const std::int32_t right = Wrapped(u(tile.X) + u(tile.Width) + u(engine.ScrollX) + u(engine.ViewLeft));
    const std::int32_t bottom = Wrapped(u(tile.Y) + u(tile.Height) + u(engine.ScrollY) + u(engine.ViewTop));
    const bool inside = right >= Wrapped(u(engine.ViewLeft) - 3 * u(tile.Width)) &&
                        right <= Wrapped(u(engine.ViewRight) + 3 * u(tile.Width)) &&
                        bottom >= Wrapped(u(engine.ViewTop) - 3 * u(tile.Height)) &&
                        bottom <= Wrapped(u(engine.ViewBottom) + 3 * u(tile.Height));
    if (!inside)
        return;
    Log->push_back(Call{Call::Scale, Bits(tile.ScaleX), Bits(tile.ScaleY)});
    const Ref<Image> image = engine.FindTilesetImage(engine.Tilesets, tile);
    // The engine passes over what the display could not draw.
    if (!image || tile.Frame < 0 || tile.Frame >= image->FrameCount)
        return;
    const float x = static_cast<float>(Wrapped(u(right) - u(tile.Width)));
    const float y = static_cast<float>(Wrapped(u(bottom) - u(tile.Height)));
    Log->push_back(Call{Call::Frame, Bits(x), Bits(y), image.get(), tile.Frame});
}

void ReferencePass(TMapEngine& engine, std::int32_t layer)
{
    for (const Ref<Object>& entry : std::vector<Ref<Object>>(engine.Tiles->Entries()))
        if (const auto* tile = dynamic_cast<const TRKTile*>(entry.get()); tile && tile->Layer == layer)
            ReferenceTile(engine, *tile);
}

void ReferenceDraw(TMapEngine& engine)
{
    if (!engine.Tilesets || !engine.Tiles)
        return;
    // A pass over a layer that holds no tile makes no call: only the layers
    // that hold one are walked, so a layer count of two billion stays cheap.
    std::set<std::int64_t> layers;
    for (const Ref<Object>& entry : engine.Tiles->Entries())
        if (const auto* tile = dynamic_cast<const TRKTile*>(entry.get()))
            layers.insert(tile->Layer);
    for (const std::int64_t layer : layers)
        if (layer >= 0 && layer <= std::int64_t{engine.LayerCount} - 1)
            ReferencePass(engine, static_cast<std::int32_t>(layer));
}

void ReferenceDrawLayer(TMapEngine& engine, std::int32_t layer)
{
    if (engine.Tilesets && engine.Tiles)
        ReferencePass(engine, layer);
}

// --- Random maps and their changes -------------------------------------------

class World {
public:
    World(TMapEngine& engine, unsigned seed) : Engine(engine), Random(seed)
    {
        Images = {LookupEngine::FramesImage(4), LookupEngine::FramesImage(1), LookupEngine::FramesImage(0), nullptr};
        Engine.SetViewport(Pick(-50, 150), Pick(-50, 150), Pick(500, 900), Pick(400, 700));
        if (Chance(0.1))
            Engine.SetViewport(Pick(-5, 5), Pick(-5, 5), Pick(-5, 5), Pick(-5, 5));  // a view turned inside out
        Scroll();
        Engine.SetLayerCount(LayerCount());
        for (int i = Pick(0, 6); i > 0; --i)
            Engine.GetTilesets()->Append(NewTileset());
        for (int i = Pick(0, 250); i > 0; --i)
            Engine.GetTiles()->Append(NewTileEntry());
    }

    // One change of the kind a caller may make between two frames.
    void Change()
    {
        const auto& tiles = Engine.GetTiles() ? Engine.GetTiles()->Entries() : std::vector<Ref<Object>>{};
        switch (Pick(0, 13)) {
        case 0:
        case 1:
        case 2:
            if (auto* tile = AnyTile(tiles))
                ChangeField(*tile);
            break;
        case 3:
            Engine.GetTiles()->Append(NewTileEntry());
            break;
        case 4:
            if (!tiles.empty())
                Engine.GetTiles()->Remove(
                    tiles[static_cast<std::size_t>(Pick(0, static_cast<int>(tiles.size()) - 1))].get());
            break;
        case 5:
            Scroll();
            break;
        case 6:
            Engine.SetLayerCount(LayerCount());
            break;
        case 7:
            if (Engine.GetTilesets())
                Engine.GetTilesets()->Append(NewTileset());
            break;
        case 8:
            if (Engine.GetTilesets() && !Engine.GetTilesets()->Entries().empty()) {
                const auto& sets = Engine.GetTilesets()->Entries();
                const auto& entry = sets[static_cast<std::size_t>(Pick(0, static_cast<int>(sets.size()) - 1))];
                if (auto* tileset = dynamic_cast<TRKTileset*>(entry.get())) {
                    if (Chance(0.5))
                        tileset->Id = Pick(0, 3);
                    else
                        tileset->Image = Images[static_cast<std::size_t>(Pick(0, 3))];
                } else {
                    Engine.GetTilesets()->Remove(entry.get());
                }
            }
            break;
        case 9:
            // A new tile list, or the tileset list taken away and given back.
            if (Chance(0.5)) {
                auto list = std::make_shared<ObjectList>();
                for (const auto& entry : tiles)
                    if (Chance(0.8))
                        list->Append(entry);
                Engine.SetTiles(list);
            } else if (Engine.GetTilesets()) {
                Kept = Engine.GetTilesets();
                Engine.SetTilesets(nullptr);
            }
            break;
        case 10:
            if (!Engine.GetTilesets())
                Engine.SetTilesets(Kept);
            break;
        case 11:
            // The same tile once more, later in the list.
            if (!tiles.empty())
                Engine.GetTiles()->Append(tiles[static_cast<std::size_t>(Pick(0, static_cast<int>(tiles.size()) - 1))]);
            break;
        default:
            for (const auto& entry : tiles)
                if (auto* tile = dynamic_cast<TRKTile*>(entry.get()); tile && Chance(0.2))
                    tile->Layer = Pick(-2, 6);
            break;
        }
    }

    std::int32_t AnyLayer()
    {
        static const std::int32_t extremes[] = {INT_MIN, -1, INT_MAX, 1000000};
        return Chance(0.2) ? extremes[Pick(0, 3)] : Pick(-2, 7);
    }

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(Random); }
    bool Chance(double p) { return std::bernoulli_distribution(p)(Random); }

    void Scroll()
    {
        Engine.SetScrollX(Chance(0.05) ? INT_MAX - Pick(0, 2000) : Pick(-400, 100));
        Engine.SetScrollY(Chance(0.05) ? INT_MIN + Pick(0, 2000) : Pick(-400, 100));
    }

    std::int32_t LayerCount()
    {
        static const std::int32_t counts[] = {INT_MIN, -3, 0, 1, 2, 3, 4, 7, INT_MAX};
        return counts[Pick(0, 8)];
    }

    float Scale()
    {
        static const float scales[] = {1.0f, 1.0f, 1.0f, 2.0f, 0.5f, -1.0f, 0.0f, -0.0f, 3.25f};
        return scales[Pick(0, 8)];
    }

    Ref<Object> NewTileset()
    {
        if (Chance(0.1))
            return std::make_shared<TRKTile>();  // not a tileset
        Ref<TRKTileset> tileset = Chance(0.15) ? std::make_shared<OtherTileset>() : std::make_shared<TRKTileset>();
        tileset->Id = Pick(0, 3);
        tileset->Image = Images[static_cast<std::size_t>(Pick(0, 3))];
        return tileset;
    }

    Ref<Object> NewTileEntry()
    {
        if (Chance(0.05))
            return Chance(0.5) ? Ref<Object>(std::make_shared<TRKTileset>()) : std::make_shared<Object>();
        Ref<TRKTile> tile = Chance(0.1) ? std::make_shared<MarkedTile>() : std::make_shared<TRKTile>();
        tile->TilesetId = Pick(0, 4);
        tile->Frame = Pick(-1, 4);
        tile->X = Pick(-300, 1100);
        tile->Y = Pick(-300, 900);
        tile->Width = Chance(0.1) ? Pick(-40, 0) : Pick(0, 64);
        tile->Height = Chance(0.1) ? Pick(-40, 0) : Pick(0, 64);
        if (Chance(0.03))
            tile->X = INT_MAX - Pick(0, 100);
        if (Chance(0.03))
            tile->Width = 1 << 30;
        tile->ScaleX = Scale();
        tile->ScaleY = Scale();
        tile->Layer = Chance(0.1) ? AnyLayer() : Pick(-1, 4);
        tile->PropC = Pick(0, 1000);
        return tile;
    }

    TRKTile* AnyTile(const std::vector<Ref<Object>>& tiles)
    {
        if (tiles.empty())
            return nullptr;
        return dynamic_cast<TRKTile*>(
            tiles[static_cast<std::size_t>(Pick(0, static_cast<int>(tiles.size()) - 1))].get());
    }

    void ChangeField(TRKTile& tile)
    {
        switch (Pick(0, 8)) {
        case 0:
            tile.X += Pick(-200, 200);
            break;
        case 1:
            tile.Y += Pick(-200, 200);
            break;
        case 2:
            tile.Width = Pick(-10, 80);
            break;
        case 3:
            tile.Height = Pick(-10, 80);
            break;
        case 4:
            tile.Layer = AnyLayer();
            break;
        case 5:
            tile.ScaleX = Scale();
            break;
        case 6:
            tile.Frame = Pick(-1, 4);
            break;
        case 7:
            tile.TilesetId = Pick(0, 4);
            break;
        default:
            tile.PropC = Pick(0, 1000);
            break;
        }
    }

    TMapEngine& Engine;
    std::mt19937 Random;
    std::vector<Ref<Image>> Images;
    Ref<ObjectList> Kept;
};

// --- The comparison ---------------------------------------------------------

struct Setting {
    unsigned Seed;
    bool Derived;  // a LookupEngine, whose lookups are part of the calls
};

class EngineDifferential : public testing::TestWithParam<Setting> {};

TEST_P(EngineDifferential, DrawAndDrawLayerMakeTheReferenceCallsFrameAfterFrame)
{
    LookupEngine derived;
    TMapEngine plain;
    TMapEngine& engine = GetParam().Derived ? derived : plain;
    World world(engine, GetParam().Seed);
    Recorder recorder;

    for (int frame = 0; frame < 12; ++frame) {
        std::vector<Call> expected;
        std::vector<Call> made;
        Log = &expected;
        ReferenceDraw(engine);
        Log = &made;
        engine.Draw();
        ASSERT_EQ(made, expected) << "Draw, frame " << frame;

        for (int k = 0; k < 3; ++k) {
            const std::int32_t layer = world.AnyLayer();
            expected.clear();
            made.clear();
            Log = &expected;
            ReferenceDrawLayer(engine, layer);
            Log = &made;
            engine.DrawLayer(layer);
            ASSERT_EQ(made, expected) << "DrawLayer(" << layer << "), frame " << frame;
        }
        Log = nullptr;
        for (int changes = frame % 4 + 1; changes > 0; --changes)
            world.Change();
    }
    Log = nullptr;
}

std::vector<Setting> Settings()
{
    std::vector<Setting> settings;
    for (unsigned seed = 1; seed <= 60; ++seed)
        settings.push_back(Setting{seed, seed % 3 == 0});
    return settings;
}

INSTANTIATE_TEST_SUITE_P(Seeds, EngineDifferential, testing::ValuesIn(Settings()), [](const auto& info) {
    return std::string(info.param.Derived ? "Derived" : "Plain") + std::to_string(info.param.Seed);
});

// The random maps above must reach what they are for: tiles drawn in
// several layers, foreign elements, lookups by a derived engine. A check
// that the comparison is not between two empty lists.
TEST(EngineDifferentialCoverage, RandomMapsDrawSomethingInEveryWay)
{
    Recorder recorder;
    std::vector<Call> made;
    for (unsigned seed = 1; seed <= 20; ++seed) {
        LookupEngine engine;
        World world(engine, seed);
        engine.SetLayerCount(5);
        Log = &made;
        engine.Draw();
        Log = nullptr;
    }
    const auto count = [&](Call::Kind kind) {
        return std::count_if(made.begin(), made.end(), [kind](const Call& c) { return c.What == kind; });
    };
    EXPECT_GT(count(Call::Scale), 200);
    EXPECT_GT(count(Call::Frame), 50);
    EXPECT_EQ(count(Call::Lookup), count(Call::Scale));
}

}  // namespace
}  // namespace kzm
