#include "render/ScrollOffsets.h"

#include "render/TestBedView.h"

namespace kzm {

std::int32_t ScrollX = kStartScrollX;
std::int32_t ScrollY = kStartScrollY;

}  // namespace kzm
