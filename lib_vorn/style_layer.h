#pragma once

#include <cstdint>

struct QV_Matrix;
struct QV_Vector2;

// What the layer-space effects (gradients and textures placed in the layer) need of the vector
// layer that renders the shape: its frame and transform, and, when its parent is a bone or switch
// layer, how that parent's skeleton moves points. The layer implements it, or an adapter does;
// tests use stand-ins.
class StyleLayer {
public:
    virtual ~StyleLayer();

    // The frame the layer's channels were last brought to.
    virtual int32_t CurrentFrame() = 0;
    // The layer's own transform at a document frame (with the camera for a top-level layer).
    virtual void GetLayerTransform(int32_t frame, QV_Matrix& out) = 0;
    // The parent's layer type (4 bone, 5 switch ...), 0 without a parent.
    virtual int32_t ParentLayerType() = 0;
    // The bone the layer is bound to as a whole; -1 when it is not bound to a single bone.
    virtual int32_t ParentBone() = 0;
    // Moves a point of the parent's space by the parent skeleton's bones; nothing when the
    // parent has no skeleton.
    virtual void TransformByParentSkeleton(QV_Vector2& point) = 0;
};
