#pragma once
#include <cstdint>

// All alpha arithmetic of the raster code runs through these two byte tables:
// BlendMulTable[a][v] is a * v / 255 and BlendDivTable[a][v] is v * 255 / a
// (row 0 of the divide table is the identity). Both are computed in single
// precision, and stored files and renders depend on those exact bytes: the
// divide table differs from the integer quotient in a few entries such as
// [7][7] = 254.
extern uint8_t BlendMulTable[256][256];
extern uint8_t BlendDivTable[256][256];

// Fills both tables. Called at toolkit start-up and by anything that may run
// before it (frame rendering); every call after the first returns at once, and
// concurrent callers wait for the one that builds.
void BuildBlendTables();

// True once BuildBlendTables has finished.
bool BlendTablesBuilt();
