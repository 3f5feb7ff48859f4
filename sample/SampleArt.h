// The sample tileset: 64 frames of 32 x 32 pixels on an 8 x 8 grid, drawn in
// code. Ground frames are opaque; every other frame stands on pure black,
// which the loader masks to transparent.
#pragma once

#include "sample/Canvas.h"

namespace kzm::tool {

constexpr int kSampleFrameSize = 32;
constexpr int kSampleTilesetColumns = 8;
constexpr int kSampleTilesetRows = 8;

// Frame numbers, left to right then top to bottom. The shore frames show
// land to the north, to the west, in the north-west (outer corner: water
// only in the south-east) and only at the north-west point (inner corner);
// the other orientations are the same frames mirrored.
enum SampleFrame : int {
    // Row 0: ground
    FrameGrass0,
    FrameGrass1,
    FrameGrass2,
    FrameForestFloor,
    FrameSand,
    FrameWater0,
    FrameWater1,
    FramePath,
    // Row 1: grassy banks and sandy beaches between land and water
    FrameBankN,
    FrameBankW,
    FrameBankOuter,
    FrameBankInner,
    FrameBeachN,
    FrameBeachW,
    FrameBeachOuter,
    FrameBeachInner,
    // Row 2: more ground, then the first decorations
    FramePlaza,
    FrameField,
    FramePlanks,
    FrameMeadow,
    FrameRedFlowers,
    FrameYellowFlowers,
    FrameRock,
    FrameBush,
    // Row 3: small decorations
    FrameMushrooms,
    FrameLilyPad,
    FrameReeds,
    FrameFence,
    FrameTallGrass,
    FramePebbles,
    FrameStump,
    FrameShell,
    // Row 4: objects
    FrameWell,
    FrameBarrels,
    FrameSignPost,
    FrameLamp,
    FrameBoat,
    FrameHaystack,
    FrameBench,
    FrameCrops,
    // Row 5: trees, then the top halves of the two houses
    FrameOak,
    FramePine,
    FrameBlossom,
    FrameBirch,
    FrameHouseRedTL,
    FrameHouseRedTR,
    FrameHouseBlueTL,
    FrameHouseBlueTR,
    // Row 6: the rest of the houses, the tower
    FrameTowerTop,
    FrameTowerMid,
    FrameRuin,
    FrameCampfire,
    FrameHouseRedBL,
    FrameHouseRedBR,
    FrameHouseBlueBL,
    FrameHouseBlueBR,
    // Row 7
    FrameTowerBase,
    FrameDuck,
    FrameCart,
    FrameRipple,
    FrameCrate,
    FrameFlowerPot,
    FrameSignArrow,
    FrameFish,
    SampleFrameCount
};

static_assert(SampleFrameCount == kSampleTilesetColumns * kSampleTilesetRows);

// The whole tileset picture, 256 x 256 pixels.
Canvas DrawSampleTileset();

}  // namespace kzm::tool
