#include "render/ScrollOffsets.h"

namespace kzm {

std::int32_t ScrollX = -300;
std::int32_t ScrollY = -500;

}  // namespace kzm
