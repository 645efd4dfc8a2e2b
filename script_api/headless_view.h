#pragma once

#include <cstdint>
#include <functional>

#include "qv_baseimage.h"
#include "vorn_view.h"
#include "xgraphics.h"

class VornDoc;

// A canvas without a window: the document's pixel size at zoom 1, centred, never rotated or
// panned. It converts view pixels to layer coordinates and picks the current vector layer's
// points as the canvas does; drawing it runs only the hook given (a tool's own overlay). Other picks find nothing.
class HeadlessView : public VornView {
public:
    explicit HeadlessView(VornDoc* doc);
    ~HeadlessView() override;

    XGraphics* Graphics() override { return &fGraphics; }
    void DrawMe() override;
    QV_Vector2 Point2Vec(const QV_Point& pt, const QV_Matrix* layerTransform) override;
    // The first point of the current vector layer whose marker reaches the tolerance square.
    int32_t PickPoint(const QV_Point& pt, int32_t tolerance) override;

    // The point of the layer's plane that the transform takes to the view point (x, y) in
    // half-heights about the centre, y up; (0, 0) when the plane is seen edge on.
    static QV_Vector2 UnprojectToLayer(const QV_Matrix& transform, float x, float y);
    // The pixel of a document point: halves away from zero.
    QV_Point DocToPixel(float x, float y) const;
    // The current layer's full transform at the document's frame (identity without a layer).
    void LayerTransform(QV_Matrix& out) const;

    VornDoc* fDoc;
    int32_t fWidth;
    int32_t fHeight;
    QV_BaseImage fImage;
    XGraphics fGraphics;
    std::function<void()> fDrawHook;
};
