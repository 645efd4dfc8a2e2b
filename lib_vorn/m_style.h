#pragma once

#include <cstdint>

#include "animcolor.h"
#include "qv_string.h"

class M_Brush;
class M_ShapeStyle;
class QV_BaseImage;
class QV_IoStream;

// Effect slots of a style: two fill effects, then the line effect.
constexpr int32_t kStyleEffectSlots = 3;
constexpr int32_t kLineEffectSlot = 2;

// The line width of a new style: 4 pixels of a 486-pixel-high frame, as a fraction of the height.
constexpr float kDefaultLineWidth = 4.0f / 486.0f;

// How shapes are drawn: fill colour, line colour and line width (each with a flag telling whether
// this style defines it), a line brush with its options, and up to three effects. Every shape owns
// one; the document owns the shared styles that shapes refer to by name, whose defined properties
// win over the shape's own unless the shape's own style defines them too.
class M_Style {
public:
    explicit M_Style(int32_t frame);
    ~M_Style();
    M_Style(const M_Style&) = delete;
    // Style assignment: this style becomes a copy of source (name, colours by channel
    // assignment, line width, brush settings and its cache, and effect objects of its own with
    // the same values) and stays the same object. Assigning a style to itself changes nothing.
    M_Style& operator=(const M_Style& source);

    // Every field back to the defaults, the colours keyed at the frame; the name, the brush
    // pointer and its alpha flag stay.
    void SetDefaults(int32_t frame);
    // Looks the brush up by name when it is not resolved yet; a missing brush is looked up again
    // at the next call.
    void ResolveBrush();
    // A soft edge (radius a fraction of the document height) or a shading effect goes into the
    // first empty fill slot; with both fill slots full nothing is made.
    void SetSoftEdge(float width);
    void SetShading(float angle, float offset, float blur, rgb_color color);

    bool ReadRecord(QV_IoStream* stream);
    void WriteRecord(QV_IoStream* stream);

    QV_String fName;
    bool fDefineFillCol;
    AnimColor fFillCol;
    bool fDefineLineWidth;
    float fLineWidth;
    bool fDefineLineCol;
    AnimColor fLineCol;
    QV_String fBrushName;
    // Not owned: an entry of gBrushList.
    M_Brush* fBrush;
    // Not owned: the masks of fBrush; null until the brush is resolved.
    QV_BaseImage* fBrushMask;
    QV_BaseImage* fBrushMaskCopy;
    bool fBrushHasAlpha;
    bool fBrushAlign;
    // Range of the random turn of each dab, radians.
    float fBrushAngle;
    float fBrushSpacing;
    // False: the renderer reseeds the jitter for every stroke, so it repeats from frame to frame.
    bool fBrushVaries;
    // False: a brush with transparency is drawn in its own colours.
    bool fBrushTint;
    // Owned; null for an empty slot.
    M_ShapeStyle* fEffects[kStyleEffectSlots];

private:
    void DeleteEffects();
    // The first empty one of the two fill effect slots, or -1.
    int32_t FreeFillSlot() const;
};

void DeleteStyleObject(M_Style* style);
