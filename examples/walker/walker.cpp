// walker: a tiny game on the KZM engine, and a tour of its API. Read it top
// to bottom.
//
//   walker MAP TILESET.png [--sprite FRAME] [--walls LAYER] [--at X,Y] [--keys SCRIPT]
//
// It reads a map, attaches the picture to tileset 0, and walks a character
// (one frame of that tileset, 57 by default: the sample world's duck) over the
// map with the arrow keys. The view follows the character; the tiles of one
// layer (the map's top layer by default) are walls. Escape or the window's
// close box ends it.
//
// For tests and demos, a key script plays instead of the keyboard, from
// --keys or the environment variable WALKER_KEYS: "R20 UL5 .3" holds Right for
// 20 frames, Up and Left for 5, then nothing for 3, and the game ends with the
// script. The last line says where the character ended, in map pixels:
// "walker: ended at X,Y".
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "mapdata/TKZMReader.h"
#include "platform/Display.h"
#include "platform/Input.h"
#include "platform/System.h"
#include "render/TMapEngine.h"

using namespace kzm;

constexpr int kScreenWidth = 800, kScreenHeight = 600;
constexpr int kStep = 4;  // pixels per frame

// A rectangle in map pixels; right and bottom lie just outside it.
struct Box {
    double Left, Top, Right, Bottom;
    bool Overlaps(const Box& o) const { return Left < o.Right && o.Left < Right && Top < o.Bottom && o.Top < Bottom; }
};

// Where a tile shows on the map: its frame's size times its scale, from (X,
// Y), reaching left of (or above) it when the scale mirrors the frame.
Box Shows(const TRKTile& tile, const Image& image)
{
    const double right = tile.X + double(image.FrameWidth) * tile.ScaleX;
    const double bottom = tile.Y + double(image.FrameHeight) * tile.ScaleY;
    return {std::min<double>(tile.X, right), std::min<double>(tile.Y, bottom), std::max<double>(tile.X, right),
            std::max<double>(tile.Y, bottom)};
}

struct Keys {
    bool Left = false, Right = false, Up = false, Down = false;
};

// The key script, one entry per frame: steps such as "UL5", the keys held
// (L, R, U, D, or "." for none) and for how many frames.
std::vector<Keys> ParseScript(const std::string& text)
{
    constexpr std::size_t kMostFrames = 1000000;
    std::vector<Keys> frames;
    std::size_t at = 0;
    while ((at = text.find_first_not_of(' ', at)) != std::string::npos) {
        const std::size_t step = at;
        Keys keys;
        for (; at < text.size() && std::string("LRUD.").find(text[at]) != std::string::npos; ++at) {
            keys.Left |= text[at] == 'L', keys.Right |= text[at] == 'R';
            keys.Up |= text[at] == 'U', keys.Down |= text[at] == 'D';
        }
        std::size_t count = 0, digits = 0;
        for (; at < text.size() && text[at] >= '0' && text[at] <= '9' && count <= kMostFrames; ++at, ++digits)
            count = count * 10 + std::size_t(text[at] - '0');
        if (digits == 0 || frames.size() + count > kMostFrames)
            throw std::invalid_argument("the key script step at \"" + text.substr(step, 12) +
                                        "\" is not keys and a frame count, or runs past a million frames");
        frames.insert(frames.end(), count, keys);
    }
    return frames;
}

int Walk(const std::string& mapPath, const std::string& tilesetPath, int sprite, int wallLayer, int x, int y,
         const std::vector<Keys>* script)
{
    // 1. Read the map. Read never throws: a bad file comes back as a result
    //    with Errored set, and FailureText says why.
    Ref<TRespReadKZM> result = TKZMReader::Read(FromUtf8(mapPath));
    if (result->GetErrored()) {
        std::fprintf(stderr, "walker: cannot read %s: %s\n", mapPath.c_str(), ToUtf8(result->FailureText).c_str());
        return 1;
    }
    Ref<TRKLevel> level = result->GetLevel();

    // 2. Set the engine up. It draws the level's own two lists, not copies:
    //    a tile added to the level later is drawn too. The viewport is the
    //    whole screen, so a tile lands at its X, Y plus the scroll.
    TMapEngine engine;
    engine.SetMapSize(level->GetDimensions()->GetRows(), level->GetDimensions()->GetColumns());
    engine.SetViewport(0, 0, kScreenWidth, kScreenHeight);
    engine.SetTilesets(level->GetTilesets());
    engine.SetTiles(level->GetTiles());
    engine.SetLayerCount(level->GetLayerCount());
    if (wallLayer < 0)
        wallLayer = engine.GetLayerCount() - 1;

    // 3. Give tileset 0 its picture: SetImage cuts it into frames of the
    //    size the map gives the tileset. The character is one of them.
    Ref<Image> sprites;
    engine.GetTilesets()->ForEach([&](const Ref<Object>& element) {
        TRKTileset* tileset = As<TRKTileset>(element);  // a list may hold other classes
        if (tileset && tileset->Id == 0 && !sprites) {
            tileset->SetImage(FromUtf8(tilesetPath));
            sprites = tileset->GetImage();
        }
    });
    if (!sprites || sprite < 0 || sprite >= sprites->FrameCount) {
        std::fprintf(stderr, "walker: %s gives tileset 0 no frame %d\n", tilesetPath.c_str(), sprite);
        return 1;
    }

    // 4. The walls: where the tiles of the wall layer show.
    std::vector<Box> walls;
    engine.GetTiles()->ForEach([&](const Ref<Object>& element) {
        const TRKTile* tile = As<TRKTile>(element);
        if (tile && tile->Layer == wallLayer)
            if (Ref<Image> image = engine.FindTilesetImage(engine.GetTilesets(), *tile))
                walls.push_back(Shows(*tile, *image));
    });

    // 5. Open an 800 x 600 window (depth 0; a depth such as 32 asks for full
    //    screen instead). Where no display can be made, the process ends.
    OpenDisplay(kScreenWidth, kScreenHeight, 0, 60, 0);

    // 6. The frame loop: one pass per display refresh.
    const double width = sprites->FrameWidth, height = sprites->FrameHeight;
    bool running = true;
    for (std::size_t frame = 0; running; ++frame) {
        SetBlendMode(kBlendAlpha);  // later draws cover earlier ones, through their transparent pixels
        if (KeyWasHit(kKeyEscape) || TerminateRequested() || (script && frame + 1 >= script->size()))
            running = false;  // this frame still completes
        Keys keys;
        if (script && frame < script->size())
            keys = (*script)[frame];
        else if (!script)
            keys = {KeyIsDown(kKeyLeft) != 0, KeyIsDown(kKeyRight) != 0, KeyIsDown(kKeyUp) != 0,
                    KeyIsDown(kKeyDown) != 0};

        // One axis at a time, so the character slides along a wall. It may
        // leave a wall it stands in, but not enter one.
        const int moves[2][2] = {{(keys.Right - keys.Left) * kStep, 0}, {0, (keys.Down - keys.Up) * kStep}};
        for (const auto& move : moves) {
            const Box now{double(x), double(y), x + width, y + height};
            const Box next{now.Left + move[0], now.Top + move[1], now.Right + move[0], now.Bottom + move[1]};
            if (std::none_of(walls.begin(), walls.end(),
                             [&](const Box& wall) { return next.Overlaps(wall) && !now.Overlaps(wall); })) {
                x += move[0];
                y += move[1];
            }
        }

        // The view follows: scroll so that the character stands mid-screen.
        engine.SetScrollX(kScreenWidth / 2 - int(width) / 2 - x);
        engine.SetScrollY(kScreenHeight / 2 - int(height) / 2 - y);
        engine.Draw();  // every layer, lowest first; it leaves the last tile's scale set

        // The character over the map: one frame of the tileset, unscaled,
        // at its map position plus the scroll.
        SetDrawScale(1.0f, 1.0f);
        DrawImageFrame(sprites.get(), float(x + engine.GetScrollX()), float(y + engine.GetScrollY()), sprite);

        PresentFrame(1);     // waits for the display's refresh
        ClearFrame();        // the next frame starts on black
        PollSystemEvents();  // keys, focus and the close box
    }
    std::printf("walker: ended at %d,%d\n", x, y);
    return 0;
}

int main(int argc, char** argv)
{
    try {
        std::vector<std::string> paths;
        int sprite = 57, wallLayer = -1, x = 352, y = 608;  // the sample world's village square
        const char* keys = std::getenv("WALKER_KEYS");
        for (int i = 1; i < argc; ++i) {
            const std::string arg = argv[i];
            const bool valued = arg == "--sprite" || arg == "--walls" || arg == "--at" || arg == "--keys";
            if (valued && i + 1 >= argc)
                throw std::invalid_argument(arg + " needs a value");
            if (arg == "--sprite")
                sprite = std::stoi(argv[++i]);
            else if (arg == "--walls")
                wallLayer = std::stoi(argv[++i]);
            else if (arg == "--at" && std::sscanf(argv[++i], "%d,%d", &x, &y) != 2)
                throw std::invalid_argument("--at takes X,Y");
            else if (arg == "--keys")
                keys = argv[++i];
            else if (!valued)
                paths.push_back(arg);
        }
        if (paths.size() != 2)
            throw std::invalid_argument("give a map and a tileset picture");
        const std::vector<Keys> script = keys ? ParseScript(keys) : std::vector<Keys>{};
        return Walk(paths[0], paths[1], sprite, wallLayer, x, y, keys ? &script : nullptr);
    } catch (const std::exception& error) {
        std::fprintf(stderr,
                     "walker: %s\nusage: walker MAP TILESET.png [--sprite FRAME] [--walls LAYER] "
                     "[--at X,Y] [--keys SCRIPT]\n",
                     error.what());
        return 2;
    }
}
