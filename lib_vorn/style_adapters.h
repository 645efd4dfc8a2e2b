#pragma once

#include "style_document.h"
#include "style_layer.h"

class VornDoc;
class VornLayer;

// The document as the shape effects see it. Null answers as an empty document (height 0,
// frame 0, no tool), which makes the effects that need a size do nothing.
class VornDocStyleAdapter : public StyleDocument {
public:
    explicit VornDocStyleAdapter(VornDoc* doc)
        : fDoc(doc)
    {
    }
    int32_t HeightPixels() override;
    int32_t CurrentFrame() override;
    const char* CurrentToolName() override;
    int32_t CurrentLayerFrame() override;
    void StyleEdited() override;

    VornDoc* fDoc;
};

// The vector layer that renders a shape, as the layer-space effects see it.
class VornLayerStyleAdapter : public StyleLayer {
public:
    VornLayerStyleAdapter(VornLayer* layer, VornDoc* doc)
        : fLayer(layer)
        , fDoc(doc)
    {
    }
    int32_t CurrentFrame() override;
    void GetLayerTransform(int32_t frame, QV_Matrix& out) override;
    int32_t ParentLayerType() override;
    int32_t ParentBone() override;
    void TransformByParentSkeleton(QV_Vector2& point) override;

    VornLayer* fLayer;
    VornDoc* fDoc;
};
