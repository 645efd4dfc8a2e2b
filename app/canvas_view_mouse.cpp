#include <algorithm>
#include <cmath>

#include "canvas_view.h"
#include "app_prefs.h"
#include "m_mesh.h"
#include "m_point.h"
#include "main_layer.h"
#include "meshlayer.h"
#include "qv_message.h"
#include "script.h"
#include "script_events.h"
#include "script_interface.h"
#include "vorndoc.h"
#include "vornlayer.h"

namespace {

constexpr float kQuarterStep = 0.7853982f;
constexpr float kPitchLimit = 1.5607964f;

float ClampZoom(float zoom) { return std::clamp(zoom, kMinZoom, kMaxZoom); }

} // namespace

void CanvasView::CameraMatrix(QV_Matrix& out) const
{
    const QV_Point size = fOffscreen.buffer.pixels ? QV_Point { fOffscreen.buffer.width, fOffscreen.buffer.height } : Size();
    const float halfHeight = float(size.y) * 0.5f;
    out.Identity();
    out.Translate(float(size.x) * 0.5f, halfHeight, 0);
    out.Scale(halfHeight, -halfHeight, 1);
    if (std::fabs(fGraphics.fRotation) > 1e-6f)
        out.Rotate(Z_AXIS, fGraphics.fRotation);
    out.Scale(fGraphics.fZoom, fGraphics.fZoom, 1);
    out.Translate(fGraphics.fPanX, fGraphics.fPanY, 0);
}

QV_Vector2 CanvasView::ScreenToWorld(const QV_Point& pt) const
{
    QV_Matrix inverse;
    CameraMatrix(inverse);
    inverse.Invert();
    QV_Vector2 world { float(pt.x), float(pt.y) };
    inverse.Transform(world);
    return world;
}

bool CanvasView::SpaceHeld() const
{
    auto* main = dynamic_cast<MainLayer*>(HoldingLayer());
    return main && main->fSpaceHeld;
}

void CanvasView::FillMouseEvent(int32_t x, int32_t y, int32_t modifiers, QV_Message* message)
{
    fMouseEvent->pt = QV_Point { x, y };
    fMouseEvent->vec = Point2Vec(fMouseEvent->pt, nullptr);
    fMouseEvent->shiftKey = (modifiers & 1) != 0;
    fMouseEvent->ctrlKey = (modifiers & 2) != 0;
    fMouseEvent->altKey = (modifiers & 4) != 0;
    fMouseEvent->penPressure = 0;
    float pressure = 0;
    if (message && message->FindFloat("pressure", pressure))
        fMouseEvent->penPressure = pressure;
}

void CanvasView::MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message)
{
    if (fDoc)
        fDoc->SetCurrentView(this);
    fModifiers = modifiers;
    if (button != 2 && !SpaceHeld()) {
        fToolDrag = true;
        ToolScript* tool = CurrentTool();
        if (!tool || !fDoc)
            return;
        FillMouseEvent(x, y, modifiers, message);
        fMouseEvent->startPt = fMouseEvent->pt;
        fMouseEvent->startVec = fMouseEvent->vec;
        ScriptInterface record(fDoc, this);
        tool->OnMouseDown(&record, fMouseEvent);
        return;
    }
    const QV_Point pt { x, y };
    if (modifiers & 1) {
        fZoomDrag = true;
        ZoomDown(pt);
        return;
    }
    fDragStart = fDragCurrent = pt;
    if (modifiers & 2) {
        fRotateDrag = true;
        fDragBaseAngle = fGraphics.fRotation;
    } else {
        fPanDrag = true;
        fDragBasePanX = fGraphics.fPanX;
        fDragBasePanY = fGraphics.fPanY;
    }
}

void CanvasView::MouseMoved(int32_t x, int32_t y, int32_t modifiers, QV_Message* message)
{
    if (fDoc)
        fDoc->SetCurrentView(this);
    fModifiers = modifiers;
    const QV_Point pt { x, y };
    if (fPanDrag) {
        PanMoved(pt);
        return;
    }
    if (fZoomDrag) {
        ZoomMoved(pt);
        return;
    }
    if (fRotateDrag) {
        RotateMoved(pt);
        return;
    }
    ToolScript* tool = CurrentTool();
    if (!fToolDrag && !(tool && tool->fNonDragMouseMove))
        return;
    if (!tool || !fDoc)
        return;
    FillMouseEvent(x, y, modifiers, message);
    ScriptInterface record(fDoc, this);
    tool->OnMouseMoved(&record, fMouseEvent);
}

void CanvasView::MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message)
{
    (void)button;
    if (fDoc)
        fDoc->SetCurrentView(this);
    fModifiers = modifiers;
    if (fPanDrag || fZoomDrag || fRotateDrag) {
        if (fZoomDrag)
            ZoomUp(QV_Point { x, y });
        else
            DrawMe();
        fPanDrag = fZoomDrag = fRotateDrag = false;
        return;
    }
    if (!fToolDrag)
        return;
    ToolScript* tool = CurrentTool();
    if (tool && fDoc) {
        FillMouseEvent(x, y, modifiers, message);
        {
            ScriptInterface record(fDoc, this);
            tool->OnMouseUp(&record, fMouseEvent);
        }
        // The main layer redraws the other views and refreshes the bars and panels.
        PostMessage(1002);
        PostMessage(1000);
    }
    fToolDrag = false;
}

void CanvasView::MouseWheel(float distance, int32_t x, int32_t y, int32_t modifiers, QV_Message* message)
{
    (void)x;
    (void)y;
    (void)message;
    if (fDoc)
        fDoc->SetCurrentView(this);
    fModifiers = modifiers;
    fGraphics.fZoom = ClampZoom(fGraphics.fZoom * (1 - 0.2f * distance));
    DrawMe();
}

void CanvasView::PanMoved(const QV_Point& pt)
{
    fDragCurrent = pt;
    const QV_Vector2 from = ScreenToWorld(fDragStart);
    const QV_Vector2 to = ScreenToWorld(pt);
    fGraphics.fPanX = fDragBasePanX + (to.x - from.x);
    fGraphics.fPanY = fDragBasePanY + (to.y - from.y);
    DrawMe();
}

namespace {

// A dotted inverted frame: drawing it twice leaves the picture as it was.
void RubberBand(QV_BaseImage& image, const QV_Point& a, const QV_Point& b)
{
    QV_Graphics plain;
    if (plain.SetRaster(&image.buffer) != 0)
        return;
    plain.SelectionRect(std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y), false);
}

} // namespace

void CanvasView::ZoomDown(const QV_Point& pt)
{
    fStartValue = fGraphics.fZoom;
    fDragStart = fDragCurrent = pt;
    if (gPrefs.zoomBox)
        RubberBand(fOffscreen, pt, pt);
}

void CanvasView::ZoomMoved(const QV_Point& pt)
{
    if (gPrefs.zoomBox) {
        RubberBand(fOffscreen, fDragStart, fDragCurrent);
        fDragCurrent = pt;
        RubberBand(fOffscreen, fDragStart, pt);
        Refresh();
        return;
    }
    fDragCurrent = pt;
    const QV_Point size = Size();
    const float width = float(fOffscreen.buffer.pixels ? fOffscreen.buffer.width : size.x);
    const float dx = float(pt.x - fDragStart.x);
    // Dragging right zooms in twice as fast as dragging left zooms out.
    const float factor = dx > 0 ? 1 + 3 * dx / width : 1 + 1.5f * dx / width;
    fGraphics.fZoom = ClampZoom(fStartValue * factor);
    DrawMe();
}

void CanvasView::ZoomUp(const QV_Point& pt)
{
    (void)pt;
    if (!gPrefs.zoomBox)
        return;
    const QV_Vector2 w0 = ScreenToWorld(fDragStart);
    const QV_Vector2 w1 = ScreenToWorld(fDragCurrent);
    fGraphics.fPanX = -(w0.x + w1.x) / 2;
    fGraphics.fPanY = -(w0.y + w1.y) / 2;
    const float diagonal = std::hypot(w1.x - w0.x, w1.y - w0.y);
    // A click without movement has no box: the closest look there is.
    fGraphics.fZoom = diagonal > 0 ? ClampZoom(2 / diagonal) : kMaxZoom;
    DrawMe();
}

void CanvasView::RotateMoved(const QV_Point& pt)
{
    const QV_Vector2 c { -fGraphics.fPanX, -fGraphics.fPanY };
    QV_Vector2 a = ScreenToWorld(fDragCurrent);
    QV_Vector2 b = ScreenToWorld(pt);
    a = QV_Vector2 { a.x - c.x, a.y - c.y };
    b = QV_Vector2 { b.x - c.x, b.y - c.y };
    fDragCurrent = pt;
    fDragBaseAngle += std::atan2(a.x * b.y - a.y * b.x, a.x * b.x + a.y * b.y);
    fGraphics.fRotation
        = (fModifiers & 1) ? std::round(fDragBaseAngle / kQuarterStep) * kQuarterStep : fDragBaseAngle;
    DrawMe();
}

void CanvasView::OrbitDown(const QV_Point& pt)
{
    fDragStart = fDragCurrent = pt;
    if (!fDoc)
        return;
    fDoc->SetCurrentView(this);
    if (!fDoc->IsOutsideViewEnabled()) {
        fDoc->EnableOutsideView(true);
        fGraphics.fPanX = fGraphics.fPanY = 0;
        fGraphics.fZoom = 1;
        DrawMe();
    }
    QV_Vector3 centre;
    float pitch = 0, yaw = 0, distance = 0;
    fDoc->GetOutsideView(centre, pitch, yaw, distance);
    fDragBasePanX = pitch;
    fDragBasePanY = yaw;
    fStartValue = distance;
}

void CanvasView::OrbitMoved(const QV_Point& pt)
{
    fDragCurrent = pt;
    if (!fDoc)
        return;
    fDoc->SetCurrentView(this);
    const QV_Point size = fOffscreen.buffer.pixels ? QV_Point { fOffscreen.buffer.width, fOffscreen.buffer.height } : Size();
    float pitch = fDragBasePanX, yaw = fDragBasePanY, distance = fStartValue;
    if (fModifiers & 4) {
        distance = std::max(kMinZoom, distance + distance * float(fDragStart.y - pt.y) / float(size.y));
    } else {
        pitch = std::clamp(pitch - float(pt.y - fDragStart.y) * float(M_PI) / float(size.y), -kPitchLimit, kPitchLimit);
        yaw = yaw - float(pt.x - fDragStart.x) * 2 * float(M_PI) / float(size.x);
    }
    const int32_t slot = fDoc->fViewSlot;
    fDoc->fOutsidePitch[slot] = pitch;
    fDoc->fOutsideYaw[slot] = yaw;
    fDoc->fOutsideDistance[slot] = distance;
    fDoc->DepthSort();
    DrawMe();
}

QV_Vector2 CanvasView::Point2Vec(const QV_Point& pt, const QV_Matrix* layerTransform)
{
    const QV_Vector2 w = ScreenToWorld(pt);
    QV_Matrix m;
    if (layerTransform) {
        m = *layerTransform;
    } else if (fDoc && fDoc->GetSelectedLayer()) {
        fDoc->GetSelectedLayer()->GetFullTransform(fDoc->CurFrame(), m, fDoc);
    }
    QV_Matrix inverse = m;
    inverse.Invert();
    if (!fDoc || !fDoc->fAllow3D) {
        QV_Vector2 v = w;
        inverse.Transform(v);
        return v;
    }
    // The view ray through w meets the layer's plane where the plane's normal says.
    QV_Vector3 p[3] = { { 0, 0, 0 }, { 0.01f, 0, 0 }, { 0, 0.01f, 0 } };
    for (QV_Vector3& v : p)
        m.TransformHomo(v);
    const QV_Vector3 u { p[1].x - p[0].x, p[1].y - p[0].y, p[1].z - p[0].z };
    const QV_Vector3 v { p[2].x - p[0].x, p[2].y - p[0].y, p[2].z - p[0].z };
    QV_Vector3 n { u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x };
    const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    if (length > 0)
        n = QV_Vector3 { n.x / length, n.y / length, n.z / length };
    const float dot = n.x * p[0].x + n.y * p[0].y + n.z * p[0].z;
    const float z = std::fabs(n.z) > 1e-12f ? (dot - n.x * w.x - n.y * w.y) / n.z : 0;
    float h[4] = { w.x, w.y, z, 1 };
    inverse.Transform4(h);
    const float ww = h[3] < 0 ? 1e-6f : h[3];
    if (ww == 0)
        return QV_Vector2 { 0, 0 };
    return QV_Vector2 { h[0] / ww, h[1] / ww };
}

void CanvasView::ResetView(int32_t mode)
{
    if (!fDoc)
        return;
    fDoc->SetCurrentView(this);
    fDoc->EnableOutsideView(false);
    fGraphics.fRotation = 0;
    const float aspect = float(fDoc->Width()) / float(fDoc->Height());
    float left = -aspect, right = aspect, bottom = -1, top = 1;
    VornLayer* layer = fDoc->GetSelectedLayer();
    if (mode < 2 && layer && layer->LayerType() == LT_VECTOR) {
        M_Mesh* mesh = static_cast<MeshLayer*>(layer)->Mesh();
        if (mesh->GetNumPoints() >= 2) {
            QV_Matrix m;
            layer->GetFullTransform(fDoc->CurFrame(), m, fDoc);
            for (int32_t pass = mode; pass >= 0; pass--) {
                int32_t count = 0;
                for (int32_t i = 0; i < mesh->GetNumPoints(); i++) {
                    M_Point* point = mesh->GetPoint(i);
                    if (!point || (pass == 1 && !point->fSelected))
                        continue;
                    QV_Vector2 p = point->fPos;
                    m.Transform(p);
                    if (count++ == 0) {
                        left = right = p.x;
                        bottom = top = p.y;
                    } else {
                        left = std::min(left, p.x);
                        right = std::max(right, p.x);
                        bottom = std::min(bottom, p.y);
                        top = std::max(top, p.y);
                    }
                }
                if (count >= 2)
                    break;
            }
        }
    }
    fGraphics.fPanX = -(left + right) / 2;
    fGraphics.fPanY = -(bottom + top) / 2;
    const float hw = (right - left) / 2, hh = (top - bottom) / 2;
    const QV_Point size = Size();
    if (hw == 0 || hh == 0 || size.y <= 0)
        fGraphics.fZoom = 0.9f;
    else
        fGraphics.fZoom = std::max(kMinZoom, 0.9f * std::min((float(size.x) / float(size.y)) / hw, 1 / hh));
    DrawMe();
}

void CanvasView::SetCameraAngles(float pitch, float yaw)
{
    if (!fDoc)
        return;
    fDoc->SetCurrentView(this);
    fDoc->EnableOutsideView(false);
    fDoc->EnableOutsideView(true);
    fGraphics.fPanX = fGraphics.fPanY = 0;
    fGraphics.fZoom = 1;
    QV_Vector3 centre;
    float oldPitch = 0, oldYaw = 0, distance = 0;
    if (fDoc->GetOutsideView(centre, oldPitch, oldYaw, distance)) {
        fDoc->fOutsidePitch[fDoc->fViewSlot] = pitch;
        fDoc->fOutsideYaw[fDoc->fViewSlot] = yaw;
        fDoc->fOutsideDistance[fDoc->fViewSlot] = distance;
    }
    DrawMe();
}
