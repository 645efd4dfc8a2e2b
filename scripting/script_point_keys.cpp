// Keying the selected points of the script context's vector layer.

#include "script_interface.h"

#include "grouplayer.h"
#include "m_mesh.h"
#include "m_point.h"
#include "m_bone.h"
#include "m_skeleton.h"
#include "qv_matrix.h"
#include "skeleton_bones.h"
#include "vorndoc.h"
#include "vornlayer.h"

namespace {

M_Skeleton* ParentSkeletonOf(VornLayer* layer)
{
    GroupLayer* parent = layer->Parent();
    if (!parent || !parent->IsBoneType())
        return nullptr;
    auto* bones = dynamic_cast<SkeletonBones*>(parent->fBoneParent);
    return bones ? bones->fSkeleton : nullptr;
}

// Where the point rests before its bone moves it: through the layer transform into the
// skeleton's space, back through the bone, and out of the layer transform again.
QV_Vector2 Unbound(M_Point* point, M_Skeleton* skeleton, const QV_Matrix& m, const QV_Matrix& inverse)
{
    QV_Vector2 p = point->fPos;
    QV_Matrix back;
    if (point->fParent >= 0 && point->fParent < skeleton->GetNumBones() && skeleton->GetBone(point->fParent)) {
        back = skeleton->GetBone(point->fParent)->fPtMatrix;
    } else if (point->fParent == -2) {
        QV_Vector2 rest = point->fAnimPos.GetValue(0);
        m.Transform(rest);
        back = skeleton->LocalFrameAt(rest);
    } else {
        return p;
    }
    back.Invert();
    m.Transform(p);
    back.Transform(p);
    inverse.Transform(p);
    return p;
}

} // namespace

void ScriptInterface::AddPointKeyframe(int32_t frame)
{
    M_Mesh* mesh = Mesh();
    if (!mesh)
        return;
    const int32_t key = frame + fLayer->TotalTimingOffset();
    M_Skeleton* skeleton = frame > 0 ? ParentSkeletonOf(fLayer) : nullptr;
    if (skeleton)
        skeleton->UpdateBoneMatrix(-1);
    const bool compensate = skeleton && fLayer->LayerParentBone() == -1;
    QV_Matrix m;
    fLayer->GetLayerTransform(frame, m, fDoc);
    QV_Matrix inverse = m;
    inverse.Invert();
    bool keyed = false;
    for (int32_t i = 0; i < mesh->GetNumPoints(); i++) {
        M_Point* point = mesh->GetPoint(i);
        if (!point || !point->fSelected)
            continue;
        const QV_Vector2 p = compensate ? Unbound(point, skeleton, m, inverse) : point->fPos;
        point->fAnimPos.SetValue(key, p);
        keyed = true;
    }
    if (skeleton)
        skeleton->UpdateBoneMatrix(-1);
    if (keyed) {
        fLayer->SetCurFrame(0);
        if (frame != 0)
            fLayer->SetCurFrame(frame);
    }
}
