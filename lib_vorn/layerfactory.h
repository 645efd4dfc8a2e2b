#pragma once

#include <cstdint>

class VornLayer;

// A new layer of the type code: 2 image, 3 group, 4 bone, 5 switch, 6 particle, 7 note, 8 3D,
// 9 audio; every other code, 0 and 1 included, a vector layer. Null when memory runs out.
VornLayer* LayerFactory(int32_t type);
