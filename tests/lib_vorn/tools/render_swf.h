#pragma once

#include <cstdint>

class VornDoc;

// Whether the path names an SWF movie (".swf", any case).
bool IsSwfPath(const char* path);

// Renders frames first to last of the document through the frame render job into an SWF movie
// made as the export window makes it (the document's frame rate, its size, the frame count, its
// background), saves it compressed at level 9 and destroys it. Prints the failure and answers 1
// on any failure, else 0.
int RenderSwf(VornDoc& doc, int32_t first, int32_t last, const char* path);
