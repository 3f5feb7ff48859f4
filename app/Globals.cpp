#include "app/Globals.h"

#include "render/TestBedView.h"

namespace kzm {

std::int32_t GraphicsWidth = kTestBedWidth;
std::int32_t GraphicsHeight = kTestBedHeight;
std::int32_t GraphicsDepth = 16;
std::int32_t ModeChoice = 0;
std::uint8_t Running = 1;
Ref<TWorldMap> World;

}  // namespace kzm
