#pragma once
#include <cstdint>

// A pointer shape in the colours black and white with see-through parts,
// made from two monochrome masks of height rows of (width + 7) / 8 bytes,
// the leftmost pixel in the most significant bit of each byte:
//   and-mask bit 1              see-through
//   and 0, xor 0                black
//   and 0, xor 1                white
// Interface thread only.
struct PlatCursor;

// The cursor size the system draws best; the masks of PlatCursorCreate are
// made for it.
int32_t PlatCursorSize();

// Null for a size outside 1..256, a hot spot outside the cursor or missing
// masks. Where the video layer has no cursors of its own the object still
// exists and keeps its pixels; showing it then changes nothing.
PlatCursor* PlatCursorCreate(const uint8_t* andMask, const uint8_t* xorMask, int32_t width, int32_t height,
    int32_t hotX, int32_t hotY);
// A cursor that is shown is replaced by the arrow first.
void PlatCursorDestroy(PlatCursor* cursor);

// Shows the cursor over every window; null hides the pointer.
void PlatCursorShow(PlatCursor* cursor);
// The system's arrow.
void PlatCursorShowArrow();
// What PlatCursorShow last made visible: the cursor, or null for the arrow
// or a hidden pointer; hidden tells which of the two.
PlatCursor* PlatCursorShown(bool& hidden);

// The colour of a cursor pixel as 0xAARRGGBB (0 for see-through); false
// outside the cursor.
bool PlatCursorPixel(const PlatCursor* cursor, int32_t x, int32_t y, uint32_t& argb);
