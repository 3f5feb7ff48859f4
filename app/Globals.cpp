#include "app/Globals.h"

namespace kzm {

std::int32_t GraphicsWidth = 800;
std::int32_t GraphicsHeight = 600;
std::int32_t GraphicsDepth = 16;
std::int32_t ModeChoice = 0;
std::uint8_t Running = 1;
Ref<TWorldMap> World;

}  // namespace kzm
