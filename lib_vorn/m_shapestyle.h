#pragma once

#include <cstdint>

class QV_IoStream;

// Base of the fill and line effects that a style holds in its three effect slots. The effect
// kinds themselves (shading, soft edge, halo, gradients, textures ...) live with the shape-style
// code; the model only stores, copies and asks them through this interface.
class M_ShapeStyle {
public:
    virtual ~M_ShapeStyle();

    // The style index 0 to 10; stored in the style record, and 10203 + index is the type id
    // that CreateShapeStyle makes.
    virtual int32_t StyleType() = 0;
    // The effect's values, which follow the index on the style record's line.
    virtual bool ReadRecord(QV_IoStream* stream) = 0;
    // The values on the current line, without a line feed.
    virtual void WriteRecord(QV_IoStream* stream) = 0;
    // Effects placed in layer space (rather than relative to the shape) answer true.
    virtual bool IsPositionDependent();
};

// Type ids: 10202 means no effect, 10203 + the style index each effect kind.
constexpr int32_t kNoShapeStyleId = 10202;
constexpr int32_t kFirstShapeStyleId = 10203;

// The effect kinds register their maker here when they are linked in; without one every type id
// answers null, so a style record that names an effect cannot be read.
using ShapeStyleFactory = M_ShapeStyle* (*)(int32_t typeId);
void SetShapeStyleFactory(ShapeStyleFactory factory);

// A new effect of the type id, owned by the caller, or null.
M_ShapeStyle* CreateShapeStyle(int32_t typeId);
