#include "bone_tool_preview.h"

#include "bone_parent.h"
#include "m_point.h"
#include "meshlayer.h"
#include "vorndoc.h"

namespace {

bool BoneToolIsCurrent(const VornDoc& doc)
{
    for (const char* tool : { "QV_ManipulateBones", "QV_OffsetBone", "QV_BoneStrength" }) {
        if (doc.fCurrentTool == tool)
            return true;
    }
    return false;
}

} // namespace

bool BeginBoneToolPreview(MeshLayer& layer, VornDoc* doc)
{
    if (!doc || doc->CurFrame() != 0 || layer.fLayerParentBone != -1 || !BoneToolIsCurrent(*doc))
        return false;
    BoneParent* bones = layer.ParentBones();
    if (!bones)
        return false;
    // Points live in layer space, bones in the parent's.
    QV_Matrix toParent;
    layer.GetLayerTransform(layer.CurFrame() - layer.TotalTimingOffset(), toParent, doc);
    QV_Matrix toLayer = toParent;
    toLayer.Invert();
    M_Mesh& mesh = layer.fMesh;
    for (int32_t i = 0; i < mesh.fNumPoints; i++) {
        M_Point* point = mesh.fPoints[i];
        point->fTempPos = point->fPos;
        if (point->fParent < 0 && point->fParent != kPointFollowsAllBones)
            continue;
        QV_Vector2 p = point->fPos;
        toParent.Transform(p);
        if (point->fParent >= 0) {
            QV_Matrix bone;
            if (point->fParent < bones->CountBones() && bones->BonePointMatrix(point->fParent, bone))
                bone.Transform(p);
        } else {
            bones->TransformPoint(p);
        }
        toLayer.Transform(p);
        point->fPos = p;
    }
    return true;
}

void EndBoneToolPreview(MeshLayer& layer)
{
    M_Mesh& mesh = layer.fMesh;
    for (int32_t i = 0; i < mesh.fNumPoints; i++)
        mesh.fPoints[i]->fPos = mesh.fPoints[i]->fTempPos;
}
