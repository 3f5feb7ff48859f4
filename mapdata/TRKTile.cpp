#include "mapdata/TRKTile.h"

namespace kzm {

Ref<TRKTile> TRKTile::Copy()
{
    auto copy = std::make_shared<TRKTile>();
    copy->TilesetId = TilesetId;
    copy->Frame = Frame;
    copy->PropA = PropA;
    copy->PropB = PropB;
    copy->X = X;
    copy->Y = Y;
    copy->Width = Width;
    copy->Height = Height;
    copy->ScaleX = ScaleX;
    copy->ScaleY = ScaleY;
    copy->Layer = Layer;
    copy->PropC = PropC;
    copy->PropD = PropD;
    copy->PropE = PropE;
    copy->PropF = PropF;
    copy->PropG = PropG;
    copy->PropH = PropH;
    return copy;
}

}  // namespace kzm
