#include "canvas_view.h"

#include <cmath>

#include "app_prefs.h"
#include "dither.h"
#include "grouplayer.h"
#include "imagelayer.h"
#include "main_layer.h"
#include "qv_layer.h"
#include "raster_blit.h"
#include "script.h"
#include "script_events.h"
#include "script_interface.h"
#include "shadow_frame.h"
#include "vorndoc.h"
#include "vornlayer.h"

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kHalfPi = kPi / 2;

constexpr rgb_color kFrameGuide { 152, 152, 203, 255 };
constexpr float kEditorTolerance = 10.0f;

rgb_color Scaled(rgb_color c, float factor)
{
    return rgb_color { uint8_t(std::lround(c.r * factor)), uint8_t(std::lround(c.g * factor)),
        uint8_t(std::lround(c.b * factor)), c.a };
}

void Outline(QV_Graphics& graphics, float left, float top, float right, float bottom)
{
    graphics.DrawLine(left, top, right, top);
    graphics.DrawLine(left, bottom, right, bottom);
    graphics.DrawLine(left, top, left, bottom);
    graphics.DrawLine(right, top, right, bottom);
}

bool Drawable(VornLayer* layer, VornLayer* current)
{
    return layer->fVisible && (!layer->IsRenderOnly() || layer == current);
}

} // namespace

CanvasView::CanvasView(
    VornDoc* doc, int32_t follow, bool border, int32_t left, int32_t top, int32_t right, int32_t bottom)
    : QV_View(follow)
    , fDoc(doc)
    , fTool(nullptr)
    , fToolDrag(false)
    , fPanDrag(false)
    , fZoomDrag(false)
    , fRotateDrag(false)
    , fStartValue(0)
    , fModifiers(0)
    , fNeedsFit(true)
    , fMouseEvent(new MouseEvent(this))
    , fQualityFlags(gPrefs.qualityFlags)
    , fShowTracing(false)
    , fTracingLayer(new ImageLayer)
    , fDrawBorder(border)
{
    MoveTo(left, top);
    ResizeTo(right - left + 1, bottom - top + 1);
    fGraphics.fViewMode = QV_Graphics::kViewCentered;
    fGraphics.fZoom = 0.9f;
    fGraphics.fRotation = 0;
    fTracingLayer->SetImmuneToCamera(true);
    fTracingLayer->fTracingImage = true;
}

CanvasView::~CanvasView()
{
    // The document may be gone already when the window closes: it is not touched here.
    delete fMouseEvent;
    delete fTracingLayer;
}

QV_Layer* CanvasView::HoldingLayer() const
{
    if (fLayer)
        return fLayer;
    return fParent ? fParent->OwnerLayer() : nullptr;
}

ToolScript* CanvasView::CurrentTool() const
{
    if (auto* main = dynamic_cast<MainLayer*>(HoldingLayer()))
        return main->fCurrentTool;
    return fTool;
}

void CanvasView::Draw()
{
    const QV_Point size = Size();
    if (size.x > 0 && size.y > 0
        && (!fOffscreen.buffer.pixels || fOffscreen.buffer.width != size.x || fOffscreen.buffer.height != size.y)) {
        if (fOffscreen.Allocate(size.x, size.y, 32) == 0)
            fGraphics.SetRaster(&fOffscreen.buffer);
    }
    if (fOffscreen.buffer.pixels) {
        fGraphics.Clear(gPrefs.colBack);
        if (fNeedsFit) {
            fNeedsFit = false;
            ResetView(2);
        } else {
            DrawMe();
        }
    }
    QV_View::Draw();
}

void CanvasView::Refresh()
{
    QV_Layer* layer = HoldingLayer();
    if (!layer || !fOffscreen.buffer.pixels || !layer->fImage.buffer.pixels)
        return;
    const QV_Rect frame = FrameInLayer();
    const QV_PixelBuffer& screen = layer->fImage.buffer;
    if (screen.bytesPerPixel == 4) {
        BlitRaster(fOffscreen.buffer, screen, frame.left, frame.top);
    } else if (screen.bytesPerPixel == 1 || screen.bytesPerPixel == 2) {
        // Dithered once here, so the window's image takes a plain copy.
        const QV_PixelBuffer& own = fOffscreen.buffer;
        if (!fScreenImage.buffer.pixels || fScreenImage.buffer.depth != screen.depth
            || fScreenImage.buffer.width != own.width || fScreenImage.buffer.height != own.height)
            fScreenImage.Allocate(own.width, own.height, screen.depth);
        if (!fScreenImage.buffer.pixels)
            return;
        if (screen.depth == 8)
            ConvertTo8Dithered(own, fScreenImage.buffer);
        else if (screen.depth == 15)
            ConvertTo15Dithered(own, fScreenImage.buffer);
        else
            ConvertTo16Dithered(own, fScreenImage.buffer);
        BlitRaster(fScreenImage.buffer, screen, frame.left, frame.top);
    } else {
        return;
    }
    layer->FlushRect(frame.left, frame.top, frame.right, frame.bottom);
}

void CanvasView::DrawDirect()
{
    Refresh();
}

void CanvasView::DrawMe()
{
    if (!fOffscreen.buffer.pixels)
        return;
    fScratchImage.Allocate(fOffscreen.buffer.width, fOffscreen.buffer.height, 32);
    ScopedViewQualityFlags quality(fQualityFlags);

    fGraphics.Clear(gPrefs.colBack);
    fGraphics.fViewMode = QV_Graphics::kViewCentered;
    fGraphics.BeginDraw();
    if (fDoc)
        fDoc->SetCurrentView(this);
    fGraphics.SetBezierTolerance(kEditorTolerance);

    VornLayer* current = fDoc ? fDoc->GetSelectedLayer() : nullptr;
    if (fDoc) {
        DrawLayers(current);
        DrawTracing();
        DrawGrid(current);
        if (current) {
            VornLayer* top = current;
            while (top->Parent())
                top = top->Parent();
            for (int32_t i = 0; i < fDoc->CountLayers(); i++) {
                VornLayer* layer = fDoc->Layer(i);
                if (layer && (layer == current || layer == top)) {
                    int32_t code = DRAW_EDIT;
                    layer->Draw(fDoc, &fGraphics, &fScratchImage.buffer, code, current, nullptr);
                }
            }
            DrawToolOverlay();
        }
        fGraphics.SetSmoothing(false);
        DrawOnionSkins(current);
        const float aspect = float(fDoc->Width()) / float(fDoc->Height());
        if (fDoc->IsOutsideViewEnabled())
            DrawCameraIcon();
        else
            DrawFrameGuides(aspect);
    }
    fGraphics.EndDraw();
    DrawFrameMarks();
    Refresh();
}

void CanvasView::DrawLayers(VornLayer* current)
{
    int32_t code = DRAW_BELOW;
    for (int32_t i = 0; i < fDoc->CountLayers(); i++) {
        VornLayer* layer = fDoc->LayerByDepth(i);
        if (!layer)
            continue;
        // A current layer inside a group is not among the top-level ones: everything is drawn
        // as below it, and its ancestor comes again in the edit pass.
        if (layer == current && !layer->IsGroupType())
            code = DRAW_CURRENT;
        if (Drawable(layer, current) && layer->fVisibility.value)
            layer->Draw(fDoc, &fGraphics, &fScratchImage.buffer, code, current, nullptr);
        if (layer == current)
            code = DRAW_ABOVE;
    }
}

void CanvasView::DrawTracing()
{
    if (!fShowTracing || fTracingPath.IsEmpty())
        return;
    if (fTracingLayer->fImage.buffer.pixels && fTracingLayer->fImage.buffer.bytesPerPixel != fOffscreen.buffer.bytesPerPixel)
        fTracingLayer->fImage.Free();
    if (fTracingLayer->SourceImage() != fTracingPath) {
        fTracingLayer->SetSourceImage(fTracingPath.CString());
        fTracingLayer->fShapeWidth = -1.0f;
        fTracingLayer->fShapeHeight = 2.0f;
    }
    if (fDoc->IsOutsideViewEnabled())
        return;
    ScopedViewQualityFlags tracing(fQualityFlags | 0x30);
    int32_t code = 4;
    fTracingLayer->Draw(fDoc, &fGraphics, &fScratchImage.buffer, code, nullptr, nullptr);
}

void CanvasView::DrawGrid(VornLayer* current)
{
    if (!gToggles.gridShown || !current)
        return;
    const int32_t halfHeight = fDoc->Height() / 2;
    const float spacing = halfHeight > 0 ? float(gToggles.gridSize) / float(halfHeight) : 0;
    fGraphics.Push();
    QV_Matrix transform;
    current->GetFullTransform(fDoc->CurFrame(), transform, fDoc);
    fGraphics.ApplyMatrix(transform);
    fGraphics.SetColorStruct(Scaled(gPrefs.colBack, 0.9f));
    const bool smoothing = fGraphics.fSmoothing;
    fGraphics.SetSmoothing(false);
    fGraphics.DrawGrid(spacing);
    fGraphics.SetSmoothing(smoothing);
    fGraphics.Pop();
}

void CanvasView::DrawToolOverlay()
{
    ToolScript* tool = CurrentTool();
    if (!tool)
        return;
    const bool smoothing = fGraphics.fSmoothing;
    ScriptInterface record(fDoc, this);
    tool->DrawMe(&record, this);
    fGraphics.SetSmoothing(smoothing);
}

void CanvasView::DrawOnionSkins(VornLayer* current)
{
    const int32_t frame = fDoc->CurFrame();
    if (fDoc->fCurrentTool == "QV_ManipulateBones" && frame == 0)
        return;
    ScopedViewQualityFlags onion(2);
    for (int32_t f : OnionSkinFrames) {
        if (f < 0 || f == frame)
            continue;
        fDoc->SetCurFrame(f);
        for (int32_t i = 0; i < fDoc->CountLayers(); i++) {
            VornLayer* layer = fDoc->Layer(i);
            if (layer && Drawable(layer, current)) {
                int32_t code = DRAW_ONION;
                layer->Draw(fDoc, &fGraphics, &fScratchImage.buffer, code, current, nullptr);
            }
        }
    }
    if (fDoc->CurFrame() != frame)
        fDoc->SetCurFrame(frame);
}

void CanvasView::DrawCameraIcon()
{
    QV_Vector3 centre;
    float pitch = 0, yaw = 0, distance = 0;
    fDoc->GetOutsideView(centre, pitch, yaw, distance);
    fGraphics.Push();
    const QV_Vector3 eye { centre.x + std::sin(yaw) * std::cos(pitch) * distance, centre.y - std::sin(pitch) * distance,
        centre.z + std::cos(yaw) * std::cos(pitch) * distance };
    QV_Matrix look;
    look.Perspective(1.0471976f, 0.1f, 10000.0f, 1.0f);
    look.LookAt(eye, centre);
    fGraphics.ApplyMatrix(look);
    fGraphics.Push();
    QV_Matrix camera;
    const QV_Vector3 track = fDoc->fCameraTrack.value;
    const QV_Vector2 panTilt = fDoc->fCameraPanTilt.value;
    camera.Translate(track.x, track.y, track.z);
    camera.Rotate(Y_AXIS, panTilt.y + float(M_PI / 2));
    camera.Rotate(Z_AXIS, panTilt.x);
    fGraphics.ApplyMatrix(camera);
    fGraphics.SetColorStruct(kFrameGuide);
    fGraphics.SetPenWidth(3);
    fGraphics.SetSmoothing(true);
    fGraphics.DrawLine(-0.1f, 0, 0.1f, 0.1f);
    fGraphics.DrawLine(-0.1f, 0, 0.1f, -0.1f);
    fGraphics.DrawLine(0.08f, 0.08f, 0.08f, -0.08f);
    fGraphics.DrawLine(-0.1f, 0, 0.3f, 0);
    fGraphics.DrawLine(0.3f, 0, 0.25f, 0.05f);
    fGraphics.DrawLine(0.3f, 0, 0.25f, -0.05f);
    fGraphics.SetPenWidth(1);
    fGraphics.SetSmoothing(false);
    fGraphics.Pop();
    fGraphics.Pop();
}

void CanvasView::DrawFrameGuides(float aspect)
{
    const bool turned = std::fabs(fGraphics.fRotation) > 1e-6f;
    if (gToggles.safeArea) {
        fGraphics.SetSmoothing(turned);
        fGraphics.SetColorStruct(gPrefs.colInac);
        fGraphics.SetPenWidth(1);
        for (float f : { 0.9f, 0.8f })
            Outline(fGraphics, -f * aspect, f, f * aspect, -f);
        fGraphics.SetSmoothing(false);
    }
    if (gToggles.showOutputOnly) {
        QV_Graphics plain;
        plain.SetRaster(&fOffscreen.buffer);
        const rgb_color b = gPrefs.colBack;
        auto dim = [](uint8_t c) { return uint8_t((c >> 3) + (c >> 2) + (c >> 1)); };
        plain.SetColorStruct(rgb_color { dim(b.r), dim(b.g), dim(b.b), b.a });
        QV_Point left, right, top, bottom;
        fGraphics.WorldToScreen(QV_Vector2 { -aspect, 0 }, left);
        fGraphics.WorldToScreen(QV_Vector2 { aspect, 0 }, right);
        fGraphics.WorldToScreen(QV_Vector2 { 0, 1 }, top);
        fGraphics.WorldToScreen(QV_Vector2 { 0, -1 }, bottom);
        const int32_t w = fOffscreen.buffer.width, h = fOffscreen.buffer.height;
        plain.FillRect(0, 0, left.x, h - 1);
        plain.FillRect(right.x, 0, w - 1, h - 1);
        plain.FillRect(left.x, 0, right.x, top.y);
        plain.FillRect(left.x, bottom.y, right.x, h - 1);
    }
    fGraphics.SetSmoothing(turned);
    fGraphics.SetColorStruct(kFrameGuide);
    fGraphics.SetPenWidth(3);
    Outline(fGraphics, -aspect, 1, aspect, -1);
    fGraphics.SetPenWidth(1);
    fGraphics.SetSmoothing(false);
}

void CanvasView::DrawFrameMarks()
{
    QV_Graphics plain;
    if (plain.SetRaster(&fOffscreen.buffer) != 0)
        return;
    const int32_t right = fOffscreen.buffer.width - 1, bottom = fOffscreen.buffer.height - 1;
    if (gPrefs.markZero && fDoc && fDoc->CurFrame() == 0) {
        plain.SetSmoothing(false);
        plain.SetColor(220, 64, 64, 255);
        plain.FrameRect(0, 0, right, bottom);
        plain.FrameRect(1, 1, right - 1, bottom - 1);
    }
    if (fFocused && fDrawBorder)
        DrawShadowFrame(fOffscreen.buffer, 0, 0, right, bottom);
}

void CanvasView::SetTracingImage(const char* path)
{
    fTracingLayer->fImage.Free();
    fTracingLayer->fImagePath = "";
    fShowTracing = true;
    fTracingPath = path ? path : "";
    DrawMe();
}

bool CanvasCommand(QV_View* canvas, int32_t command, const char* path)
{
    auto* view = dynamic_cast<CanvasView*>(canvas);
    if (!view)
        return false;
    // Front, top, right, back, bottom and left, as (pitch, yaw).
    static const float kPresets[6][2] = { { 0, 0 }, { -kHalfPi, kPi }, { 0, kHalfPi }, { 0, kPi }, { kHalfPi, kPi },
        { 0, -kHalfPi } };
    if (command >= 3182 && command <= 3187) {
        view->SetCameraAngles(kPresets[command - 3182][0], kPresets[command - 3182][1]);
        return true;
    }
    if (command == 3194) {
        view->fShowTracing = !view->fShowTracing;
        view->DrawMe();
        view->Refresh();
        return true;
    }
    if (command == 3126 && path) {
        view->SetTracingImage(path);
        return true;
    }
    return false;
}

QV_View* MakeCanvasView(MainLayer* layer, VornDoc* document, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    (void)layer;
    return new CanvasView(document, FOLLOW_LEFT | FOLLOW_TOP | FOLLOW_RIGHT | FOLLOW_BOTTOM, false, left, top, right, bottom);
}
