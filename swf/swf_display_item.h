#pragma once

#include "swf_character.h"
#include "swf_matrix.h"

// One character placed on a depth of a movie or a movie clip. Its placement (scale, then
// rotation, then position) and colour multiplier may change until the frame is shown; a change
// in a later frame moves the item.
class SwfDisplayItem : public SwfObject {
public:
    SwfDisplayItem(SwfCharacter* character, int32_t depth) : fCharacter(character), fDepth(depth) {}

    void MoveTo(double x, double y);
    void ScaleTo(double sx, double sy);
    void RotateTo(double degrees);
    void SetColorMult(double r, double g, double b, double a);

    SwfCharacter* Character() const { return fCharacter.Get(); }
    int32_t Depth() const { return fDepth; }
    SwfMatrix Matrix() const { return SwfMatrix::Placement(fScaleX, fScaleY, fDegrees, fX, fY); }
    const SwfColorMult& ColorMult() const { return fColor; }

    bool fPlaced = false;   // its place tag has been written
    bool fChanged = false;  // changed since then

private:
    SwfRef<SwfCharacter> fCharacter;
    int32_t fDepth;
    double fX = 0, fY = 0, fScaleX = 1, fScaleY = 1, fDegrees = 0;
    SwfColorMult fColor;
};
