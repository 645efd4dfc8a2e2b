#pragma once

#include <cstdint>

#include "qv_matrix.h"
#include "qv_rect.h"
#include "qv_vector.h"

class M_Shape;
class VornLayer;
class XGraphics;

// What tool scripts see of a canvas view: picking under the pointer, converting view pixels to
// layer coordinates, redrawing, the view's own navigation drags and its drawing context. The
// application's canvas derives from it; a view without a window (tests, the script harness)
// may too. The answers below are those of a view that shows nothing: every pick finds nothing.
class VornView {
public:
    virtual ~VornView();

    // The view's own drawing context, which lives and dies with the view.
    virtual XGraphics* Graphics() = 0;

    // Copies the offscreen image to the window.
    virtual void Refresh() { }
    // Renders the document into the offscreen image.
    virtual void DrawMe() { }
    // The view pixel in the coordinates of the layer whose full transform is given; null: the
    // current layer's.
    virtual QV_Vector2 Point2Vec(const QV_Point& pt, const QV_Matrix* layerTransform);
    // Index of the current vector layer's point under pt, or -1.
    virtual int32_t PickPoint(const QV_Point& pt, int32_t tolerance);
    // The curve and segment under pt, skipping the pair given (a segment of -1 skips the whole
    // curve); -1, -1 when none. Without a vector layer the pair stays as given.
    virtual void PickEdge(const QV_Point& pt, int32_t& curve, int32_t& segment, int32_t tolerance);
    // The shape under pt searching down from start (-1: the topmost), or -1.
    virtual int32_t PickShape(const QV_Point& pt, int32_t start, int32_t tolerance);
    // The bone of the bone or switch layer under pt; without exact, the bone nearest vec.
    virtual int32_t PickBone(const QV_Point& pt, const QV_Vector2& vec, VornLayer* layer, bool exact, int32_t tolerance);
    virtual void FloodSelect(const QV_Point& pt, int32_t tolerance);
    // A shape of any vector layer under pt, or null.
    virtual M_Shape* PickGlobalShape(const QV_Point& pt, int32_t start, int32_t tolerance);
    // Fits the view to the layer's points (0), its selected points (1) or the document frame (2).
    virtual void ResetView(int32_t mode);

    // Navigation drags; a pan or rotate drag starts by setting the drag fields below.
    virtual void PanMoved(const QV_Point& pt);
    virtual void ZoomDown(const QV_Point& pt);
    virtual void ZoomMoved(const QV_Point& pt);
    virtual void ZoomUp(const QV_Point& pt);
    virtual void RotateMoved(const QV_Point& pt);
    virtual void OrbitDown(const QV_Point& pt);
    virtual void OrbitMoved(const QV_Point& pt);
    virtual void DrawPreviewShape() { }

    // The navigation drag: where it began and where it is, and the pan and rotation of the
    // drawing context when it began.
    QV_Point fDragStart { 0, 0 };
    QV_Point fDragCurrent { 0, 0 };
    float fDragBasePanX = 0;
    float fDragBasePanY = 0;
    float fDragBaseAngle = 0;
};
