// The drawing order of the top-level layers and the outside (orbit) views of the canvas views.

#include <cmath>
#include <vector>

#include "grouplayer.h"
#include "vorndoc.h"
#include "vornlayer.h"

namespace {

constexpr float kDefaultCameraDistance = 1.7321f;
constexpr float kOutsideFieldOfView = 1.0471976f;
constexpr float kSortTolerance = 0.000001f;

// Where the orbit puts the eye relative to its centre.
QV_Vector3 OrbitOffset(float pitch, float yaw, float distance)
{
    return QV_Vector3 { distance * std::cos(pitch) * std::sin(yaw), -distance * std::sin(pitch),
        distance * std::cos(pitch) * std::cos(yaw) };
}

float Dot(const QV_Vector3& a, const QV_Vector3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

float Length(const QV_Vector3& v)
{
    return std::sqrt(Dot(v, v));
}

// The layer's origin as its full transform at the frame places it, without the divide by w.
QV_Vector3 PlacedOrigin(VornLayer* layer, int32_t frame, VornDoc* doc)
{
    QV_Matrix full;
    layer->GetFullTransform(frame, full, doc);
    QV_Vector3 p { layer->fOrigin.x, layer->fOrigin.y, 0 };
    full.TransformAffine(p);
    return p;
}

} // namespace

void DepthSortViewer(VornDoc* doc, QV_Vector3& eye, QV_Vector3& direction)
{
    if (!doc) {
        eye = QV_Vector3 { 0, 0, kDefaultCameraDistance };
        direction = QV_Vector3 { 0, 0, -1 };
        return;
    }
    const int32_t slot = doc->fViewSlot;
    if (doc->fOutsideViewOn[slot]) {
        // The eye the outside view shows: the orbit offset from its centre, as in
        // GetOutsideViewMatrix.
        const QV_Vector3& center = doc->fOutsideCenter[slot];
        const QV_Vector3 offset
            = OrbitOffset(doc->fOutsidePitch[slot], doc->fOutsideYaw[slot], doc->fOutsideDistance[slot]);
        eye = QV_Vector3 { center.x + offset.x, center.y + offset.y, center.z + offset.z };
        direction = QV_Vector3 { center.x - eye.x, center.y - eye.y, center.z - eye.z };
        direction.NormMe();
        return;
    }
    eye = doc->fCameraTrack.value;
    const float p = doc->fCameraPanTilt.value.x, q = doc->fCameraPanTilt.value.y;
    direction = QV_Vector3 { -std::cos(p) * std::sin(q), std::sin(p), -std::cos(p) * std::cos(q) };
    direction.NormMe();
}

void VornDoc::DepthSort()
{
    QV_Vector3 eye, direction;
    DepthSortViewer(this, eye, direction);
    const int32_t n = fDepthLayers.fCount;
    std::vector<float> keys(size_t(n > 0 ? n : 0));
    for (int32_t i = 0; i < n; i++) {
        VornLayer* layer = static_cast<VornLayer*>(fDepthLayers.fItems[i]);
        QV_Vector3 p = PlacedOrigin(layer, fCurFrame, this);
        p = QV_Vector3 { p.x - eye.x, p.y - eye.y, p.z - eye.z };
        keys[size_t(i)] = fDistanceSort ? Length(p) : Dot(direction, p);
        const int32_t type = layer->LayerType();
        if (type == LT_GROUP || type == LT_BONE)
            static_cast<GroupLayer*>(layer)->DepthSort(this);
    }
    if (!fDepthSort)
        return;
    // Farther layers (larger keys) move towards index 0 and are drawn first. Camera-immune
    // layers keep their places and the others are sorted past them.
    auto immune
        = [this](int32_t i) { return static_cast<VornLayer*>(fDepthLayers.fItems[i])->fImmuneToCamera; };
    for (int32_t f = 1; f < n; f++) {
        if (immune(f))
            continue;
        int32_t j = f;
        while (j > 0) {
            int32_t i = j - 1;
            while (i >= 0 && immune(i))
                i--;
            if (i < 0 || !(keys[size_t(i)] + kSortTolerance < keys[size_t(j)]))
                break;
            std::swap(fDepthLayers.fItems[i], fDepthLayers.fItems[j]);
            std::swap(keys[size_t(i)], keys[size_t(j)]);
            j = i;
        }
    }
}

void VornDoc::SetCurrentView(QV_View* view)
{
    fCurrentView = view;
    int32_t taken = -1;
    for (int32_t slot = 0; slot < kViewSlots; slot++) {
        if (fSlotViews[slot] == view) {
            fViewSlot = slot;
            return;
        }
        if (taken < 0 && !fSlotViews[slot])
            taken = slot;
    }
    if (taken < 0) {
        for (int32_t slot = 0; slot < kViewSlots; slot++)
            fSlotViews[slot] = nullptr;
        taken = 0;
    }
    fViewSlot = taken;
    fSlotViews[taken] = view;
    fOutsideViewOn[taken] = false;
}

void VornDoc::EnableOutsideView(bool on)
{
    const int32_t slot = fViewSlot;
    if (!fAllow3D) {
        fOutsideViewOn[slot] = false;
        DepthSort();
        return;
    }
    fOutsideViewOn[slot] = on;
    if (on) {
        fOutsidePitch[slot] = -0.7853982f;
        fOutsideYaw[slot] = 0.7853982f;
        fOutsideDistance[slot] = 5;
        fOutsideCenter[slot] = QV_Vector3 { 0, 0, 0 };
        QV_Vector3 low { 1000000, 1000000, 1000000 }, high { -1000000, -1000000, -1000000 };
        auto take = [&low, &high](const QV_Vector3& p) {
            low = QV_Vector3 { std::fmin(low.x, p.x), std::fmin(low.y, p.y), std::fmin(low.z, p.z) };
            high = QV_Vector3 { std::fmax(high.x, p.x), std::fmax(high.y, p.y), std::fmax(high.z, p.z) };
        };
        for (int32_t i = 0; i < fLayers.fCount; i++) {
            VornLayer* layer = static_cast<VornLayer*>(fLayers.fItems[i]);
            if (layer->fVisible && !layer->fImmuneToCamera)
                take(PlacedOrigin(layer, fCurFrame, this));
        }
        take(QV_Vector3 { 0, 0, 0 });
        const QV_Vector3 camera = fCameraTrack.GetValue(fCurFrame);
        take(camera);
        take(QV_Vector3 { -camera.x, -camera.y, -camera.z });
        fOutsideCenter[slot]
            = QV_Vector3 { (low.x + high.x) / 2, (low.y + high.y) / 2, (low.z + high.z) / 2 };
        fOutsideDistance[slot] = Length(QV_Vector3 { high.x - low.x, high.y - low.y, high.z - low.z }) + 2;
    }
    DepthSort();
}

bool VornDoc::GetOutsideView(QV_Vector3& center, float& pitch, float& yaw, float& distance) const
{
    center = fOutsideCenter[fViewSlot];
    pitch = fOutsidePitch[fViewSlot];
    yaw = fOutsideYaw[fViewSlot];
    distance = fOutsideDistance[fViewSlot];
    return fOutsideViewOn[fViewSlot];
}

void VornDoc::GetOutsideViewMatrix(QV_Matrix& matrix) const
{
    matrix.Identity();
    const int32_t slot = fViewSlot;
    if (!fOutsideViewOn[slot])
        return;
    const QV_Vector3& center = fOutsideCenter[slot];
    const QV_Vector3 offset = OrbitOffset(fOutsidePitch[slot], fOutsideYaw[slot], fOutsideDistance[slot]);
    const QV_Vector3 eye { center.x + offset.x, center.y + offset.y, center.z + offset.z };
    matrix.Perspective(kOutsideFieldOfView, 0.1f, 10000, 1);
    matrix.LookAt(eye, center);
}
