// Where a layer is drawn: its own matrix at a frame (channels, origin, flips, parent bone and,
// at the top level, the camera), and the full, parent and parent-bone matrices built from it.
//
// Each step multiplies its matrix into M in front of what is there (M := X x M), so a point
// meets the steps in the reverse of the order below.

#include <algorithm>
#include <cmath>
#include <cstring>

#include "bone_parent.h"
#include "grouplayer.h"
#include "vorndoc.h"
#include "vornlayer.h"

namespace {

constexpr float kDefaultCameraDistance = 1.7321f;
constexpr float kFieldOfView = 1.0471976f;
constexpr float kMinFieldOfView = 0.004363323f;
constexpr float kMaxFieldOfView = 2.792527f;
constexpr float kHalfPi = 1.5707964f;
constexpr float kMinTilt = 1.745329e-5f;
constexpr float kMaxTilt = 1.5690511f;

// The parallax divisor of the flat camera is 0 for a layer at z = 1, in the camera's own
// plane; such a layer is treated as lying just in front of it.
constexpr float kMinParallax = 1e-6f;

const char* const kBoneTools[] = { "QV_ManipulateBones", "QV_OffsetBone", "QV_BoneStrength" };

bool BoneToolIsCurrent(const VornDoc* doc)
{
    if (!doc)
        return false;
    for (const char* tool : kBoneTools) {
        if (doc->fCurrentTool == tool)
            return true;
    }
    return false;
}

// M := M x A: a applies after everything in M.
void MultiplyAfter(QV_Matrix& m, const QV_Matrix& a)
{
    QV_Matrix product = a;
    product.Multiply(m);
    m = product;
}

// Imitates a rotation about Y or X with a perspective tilt around the origin (flat documents).
void MultiplyTilt(QV_Matrix& m, int32_t axis, float angle)
{
    if (std::fabs(angle) <= 0.001f)
        return;
    const float g = angle >= 0 ? kHalfPi : -kHalfPi;
    const float a = std::clamp(std::fabs(angle), kMinTilt, kMaxTilt);
    const float k = 1 / std::tan(a / 2);
    QV_Matrix tilt;
    tilt.Scale(2, 2, 1);
    tilt.Rotate(axis, -g);
    tilt.Perspective(a, k - 1, k + 1, 1);
    tilt.Translate(0, 0, -k);
    tilt.Rotate(axis, g);
    tilt.Scale(0.5f, 0.5f, 1);
    QV_Vector3 o { 0, 0, 0 };
    tilt.TransformHomo(o);
    QV_Matrix back;
    back.Translate(-o.x, -o.y, 0);
    MultiplyAfter(tilt, back);
    m.Multiply(tilt);
}

} // namespace

void VornLayer::GetLayerTransform(int32_t frame, QV_Matrix& m, VornDoc* doc)
{
    const int32_t lf = LayerFrameOf(frame);
    const bool threeD = !doc || doc->fAllow3D;
    const bool cached = lf == fCurFrame;

    QV_Vector3 t = cached ? fTranslation.value : fTranslation.GetValue(lf);
    const QV_Vector3 s = cached ? fScale.value : fScale.GetValue(lf);
    const float rx = cached ? fRotationX.value : fRotationX.GetValue(lf);
    float ry = cached ? fRotationY.value : fRotationY.GetValue(lf);
    float rz = cached ? fRotationZ.value : fRotationZ.GetValue(lf);
    const QV_Vector3 h = cached ? fShear.value : fShear.GetValue(lf);
    const bool flipH = cached ? fFlipH.value : fFlipH.GetValue(lf);
    const bool flipV = cached ? fFlipV.value : fFlipV.GetValue(lf);

    if (fRotateToFollow) {
        const QV_Vector3 next = fTranslation.GetValue(ClampFrame(int64_t(lf) + 1));
        rz += std::atan2(-(next.x - t.x), next.y - t.y);
    }

    const QV_Vector3 c
        = doc ? doc->fCameraTrack.GetValue(frame) : QV_Vector3 { 0, 0, kDefaultCameraDistance };
    m.Identity();

    if (doc && !fImmuneToCamera && !fParent) {
        QV_Vector3 center;
        float pitch, yaw, distance;
        if (threeD && doc->GetOutsideView(center, pitch, yaw, distance)) {
            QV_Vector3 eye { 0, 0, distance };
            eye.Rotate(X_AXIS, pitch);
            eye.Rotate(Y_AXIS, yaw);
            eye += center;
            m.Perspective(kFieldOfView, 0.1f, 10000, 1);
            m.LookAt(eye, center);
        } else if (threeD) {
            const float zoom = doc->fCameraZoom.GetValue(frame);
            const float roll = doc->fCameraRoll.GetValue(frame);
            const QV_Vector2 panTilt = doc->fCameraPanTilt.GetValue(frame);
            const float fov = std::clamp(kFieldOfView / zoom, kMinFieldOfView, kMaxFieldOfView);
            m.Perspective(fov, 0.1f, 10000, 1);
            m.Rotate(Z_AXIS, roll);
            m.Rotate(X_AXIS, -panTilt.x);
            m.Rotate(Y_AXIS, -panTilt.y);
            m.Translate(-c.x, -c.y, -c.z);
        } else {
            // Flat camera with parallax: a layer further back moves and zooms less.
            float q = 1 - t.z;
            if (std::fabs(q) < kMinParallax)
                q = q < 0 ? -kMinParallax : kMinParallax;
            const float zoom = doc->fCameraZoom.GetValue(frame);
            const float roll = doc->fCameraRoll.GetValue(frame);
            const float k = 1 + (zoom - 1) / q;
            m.Scale(k, k, 1);
            m.Rotate(Z_AXIS, roll);
            m.Translate(-c.x / q, -c.y / q, 0);
        }
    }

    if (frame >= 1 || BoneToolIsCurrent(fDoc))
        MultiplyParentBone(t, m);

    if (!threeD)
        t.z = 0;
    m.Translate(t.x, t.y, t.z);

    if (fFaceCamera) {
        if (fParent) {
            QV_Matrix placed = m;
            placed.Multiply(fParticleMatrix);
            QV_Matrix parentFull;
            fParent->GetFullTransform(frame, parentFull, nullptr);
            MultiplyAfter(placed, parentFull);
            QV_Vector3 e { 0, 0, 0 }, u { 0, 0, 1 };
            placed.TransformAffine(e);
            placed.TransformAffine(u);
            const QV_Vector3 n = QV_Vector3 { u.x - e.x, u.y - e.y, u.z - e.z }.Norm();
            ry += std::atan2(-n.x, n.z) + std::atan2(c.x - e.x, c.z - e.z);
        } else {
            ry += std::atan2(c.x - (fOrigin.x + t.x), c.z - t.z);
        }
    }

    m.Translate(fOrigin.x, fOrigin.y, 0);
    if (threeD) {
        m.Rotate(Y_AXIS, ry);
        m.Rotate(X_AXIS, rx);
    }
    m.Rotate(Z_AXIS, rz);
    m.Scale(s.x, s.y, threeD ? s.z : 1);

    QV_Matrix shear;
    shear.m[6] = h.z;
    m.Multiply(shear);
    shear.Identity();
    shear.m[4] = h.x;
    m.Multiply(shear);
    shear.Identity();
    shear.m[1] = h.y;
    m.Multiply(shear);

    if (!threeD) {
        MultiplyTilt(m, Y_AXIS, ry);
        MultiplyTilt(m, X_AXIS, rx);
    }

    if (flipH)
        m.Scale(-1, 1, 1);
    if (flipV)
        m.Scale(1, -1, 1);
    m.Translate(-fOrigin.x, -fOrigin.y, 0);
}

void VornLayer::GetFullTransform(int32_t frame, QV_Matrix& m, VornDoc* doc)
{
    GetLayerTransform(frame, m, doc);
    MultiplyAfter(m, fParticleMatrix);
    if (fParent) {
        QV_Matrix parentFull;
        fParent->GetFullTransform(frame, parentFull, doc);
        MultiplyAfter(m, parentFull);
    }
}

void VornLayer::GetParentTransform(int32_t frame, QV_Matrix& m, VornDoc* doc)
{
    m.Identity();
    for (GroupLayer* ancestor = fParent; ancestor; ancestor = ancestor->fParent) {
        QV_Matrix own;
        ancestor->GetLayerTransform(frame, own, doc);
        MultiplyAfter(m, own);
    }
}

void VornLayer::GetParentBoneTransform(int32_t frame, QV_Matrix& m, VornDoc* doc)
{
    m.Identity();
    // At the setup frame (0 and before) the skeleton shows its rest pose; layers follow it
    // there only while a bone tool is working on it.
    if (frame <= 0 && !BoneToolIsCurrent(doc))
        return;
    const int32_t lf = LayerFrameOf(frame);
    MultiplyParentBone(lf == fCurFrame ? fTranslation.value : fTranslation.GetValue(lf), m);
}

void VornLayer::MultiplyParentBone(const QV_Vector3& t, QV_Matrix& m)
{
    BoneParent* bones = ParentBones();
    if (!bones)
        return;
    if (fLayerParentBone >= 0) {
        QV_Matrix bone;
        if (fLayerParentBone < bones->CountBones() && bones->BonePointMatrix(fLayerParentBone, bone))
            m.Multiply(bone);
    } else if (fLayerParentBone == -2) {
        QV_Matrix local;
        bones->LocalFrameAt(QV_Vector2 { fOrigin.x + t.x, fOrigin.y + t.y }, local);
        m.Multiply(local);
    }
}
