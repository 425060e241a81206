#pragma once
// Brush shapes: where in the brush a bristle falls. A random point of the
// brush rectangle (half-width halfWidth, half-height halfHeight, centred on
// the pointer) is bent onto the pattern of the shape, in the brush's own
// frame, before the brush is turned.
#include <cstdint>

#include "shell/host_types.h"

// A random offset for one bristle: four draws for the point, then the
// shape's own draws. A shape outside 0 to 9 is the square.
HostPoint DrawBristleOffset(std::int32_t brushShape, float halfWidth, float halfHeight);
