#pragma once

#include "swf_definer.h"
#include "swf_object.h"

// What a movie defines once and then refers to by id: shapes, movie clips and bitmaps.
class SwfCharacter : public SwfObject {
public:
    // Appends the definition tag under the given id to the definer's output, defining what it
    // uses first.
    virtual void WriteDefinition(SwfDefiner& definer, uint16_t id) = 0;
};
