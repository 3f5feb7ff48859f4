#include "render/TestBedView.h"

#include <stdexcept>

#include "platform/Display.h"
#include "render/TWorldMap.h"

namespace kzm {

void SetUpEngine(TMapEngine& engine, TRKLevel& level, const ViewRect& view)
{
    const Ref<TRKMapDimensions> dimensions = level.GetDimensions();
    if (!dimensions)
        throw std::logic_error("level without dimensions");
    engine.SetMapSize(dimensions->GetRows(), dimensions->GetColumns());
    engine.SetViewport(view.Left, view.Top, view.Right, view.Bottom);
    engine.SetTilesets(level.GetTilesets());
    engine.SetTiles(level.GetTiles());
    engine.SetLayerCount(dimensions->GetLayerCount());
}

void DrawTestBedFrame(TWorldMap& world)
{
    // The loop clears after each present; clearing first instead gives the
    // same black buffer, and the first frame no less than the later ones.
    ClearFrame();
    SetBlendMode(kBlendAlpha);
    world.Draw();
}

}  // namespace kzm
