#include "style_document.h"

StyleDocument::~StyleDocument() = default;

int32_t StyleDocument::CurrentLayerFrame()
{
    return CurrentFrame();
}

void StyleDocument::StyleEdited() { }
