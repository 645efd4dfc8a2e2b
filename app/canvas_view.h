#pragma once

#include <cstdint>

#include "qv_baseimage.h"
#include "qv_path.h"
#include "qv_view.h"
#include "timeline_marks.h"
#include "vorn_view.h"
#include "xgraphics.h"

class ImageLayer;
class MainLayer;
class ToolScript;
class VornDoc;
struct MouseEvent;

// Zoom bounds shared by every way of zooming: a wheel held down or a long zoom drag stops at
// the top instead of running to infinity.
constexpr float kMinZoom = 0.01f;
constexpr float kMaxZoom = 10000.0f;

// The canvas of the main window: the current frame of the document through a 2D camera of its
// own (pan, zoom, rotation held in its graphics, centred, one unit half the view height) or
// through the document's orbiting outside view, with the current layer's editing overlays, the
// tool's own drawing, onion skins and the frame guides. Tool scripts see it as their VornView.
//
// It draws into a 32-bit image of its own, which Refresh copies (dithered for 8- and 16-bit
// windows) into its layer's image and onto the screen; without a layer (tests, benchmarks) it
// draws all the same.
//
// canvas_view.cpp: construction and drawing; canvas_view_mouse.cpp: the mouse, navigation
// and fitting; canvas_view_pick.cpp: picking.
class CanvasView : public QV_View, public VornView {
public:
    CanvasView(VornDoc* doc, int32_t follow, bool border, int32_t left, int32_t top, int32_t right, int32_t bottom);
    ~CanvasView() override;
    CanvasView(const CanvasView&) = delete;
    CanvasView& operator=(const CanvasView&) = delete;

    // QV_View.
    void Refresh() override;
    void DrawDirect() override;
    void MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void MouseMoved(int32_t x, int32_t y, int32_t modifiers, QV_Message* message) override;
    void MouseWheel(float distance, int32_t x, int32_t y, int32_t modifiers, QV_Message* message) override;
    void MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    // Sizes the offscreen image to the view, then fits the document on the first draw or
    // redraws.
    void Draw() override;
    bool AcceptsFocus() override { return true; }
    bool DrawsToWindow() override { return false; }

    // VornView.
    XGraphics* Graphics() override { return &fGraphics; }
    void DrawMe() override;
    QV_Vector2 Point2Vec(const QV_Point& pt, const QV_Matrix* layerTransform) override;
    int32_t PickPoint(const QV_Point& pt, int32_t tolerance) override;
    void PickEdge(const QV_Point& pt, int32_t& curve, int32_t& segment, int32_t tolerance) override;
    int32_t PickShape(const QV_Point& pt, int32_t start, int32_t tolerance) override;
    int32_t PickBone(const QV_Point& pt, const QV_Vector2& vec, VornLayer* layer, bool exact, int32_t tolerance) override;
    void FloodSelect(const QV_Point& pt, int32_t tolerance) override;
    M_Shape* PickGlobalShape(const QV_Point& pt, int32_t start, int32_t tolerance) override;
    void ResetView(int32_t mode) override;
    void PanMoved(const QV_Point& pt) override;
    void ZoomDown(const QV_Point& pt) override;
    void ZoomMoved(const QV_Point& pt) override;
    void ZoomUp(const QV_Point& pt) override;
    void RotateMoved(const QV_Point& pt) override;
    void OrbitDown(const QV_Point& pt) override;
    void OrbitMoved(const QV_Point& pt) override;
    void DrawPreviewShape() override;

    // The outside view on with these angles, seen from its freshly computed distance.
    void SetCameraAngles(float pitch, float yaw);
    // Shows the picture under the document; it loads at the next draw.
    void SetTracingImage(const char* path);

    // The tool the mouse reaches: the main layer's current tool when the view sits in one,
    // else fTool.
    ToolScript* CurrentTool() const;
    // The world point under a view pixel, through the camera as it stands now.
    QV_Vector2 ScreenToWorld(const QV_Point& pt) const;
    // The layer holding the view (its own, else its parent's).
    QV_Layer* HoldingLayer() const;

    VornDoc* fDoc;
    ToolScript* fTool;
    bool fToolDrag;
    bool fPanDrag;
    bool fZoomDrag;
    bool fRotateDrag;
    // fDragStart, fDragCurrent (VornView) are the press and latest drag pixel; fDragBasePanX/Y
    // the pan (or the outside view's pitch and yaw) when the drag began; fDragBaseAngle the
    // rotation summed over a rotate drag.
    float fStartValue;
    int32_t fModifiers;
    bool fNeedsFit;
    MouseEvent* fMouseEvent;
    int32_t fQualityFlags;
    bool fShowTracing;
    QV_Path fTracingPath;
    ImageLayer* fTracingLayer;
    bool fDrawBorder;
    QV_BaseImage fOffscreen;
    // The offscreen image at the depth of an 8- or 16-bit window.
    QV_BaseImage fScreenImage;
    XGraphics fGraphics;
    QV_BaseImage fScratchImage;

private:
    void DrawLayers(VornLayer* current);
    void DrawTracing();
    void DrawGrid(VornLayer* current);
    void DrawToolOverlay();
    void DrawOnionSkins(VornLayer* current);
    void DrawCameraIcon();
    void DrawFrameGuides(float aspect);
    void DrawFrameMarks();
    void FillMouseEvent(int32_t x, int32_t y, int32_t modifiers, QV_Message* message);
    bool SpaceHeld() const;
    void CameraMatrix(QV_Matrix& out) const;
};

// The main window's canvas factory: the canvas for the main layer's area.
// The view commands a canvas carries out on itself (orbit presets, tracing image); false for
// another kind of view.
bool CanvasCommand(QV_View* canvas, int32_t command, const char* path);
QV_View* MakeCanvasView(MainLayer* layer, VornDoc* document, int32_t left, int32_t top, int32_t right, int32_t bottom);
