#include "meshlayer.h"

#include "bone_parent.h"
#include "document_path.h"
#include "m_curve.h"
#include "m_point.h"
#include "m_shape.h"
#include "model_prefs.h"
#include "swf.h"

MeshLayer::MeshLayer()
    : fEditorFillMode(4)
    , fStaticState(-1)
    , fNoisyShapes(false)
    , fNoisyLines(false)
    , fAnimatedNoise(false)
    , fExtraSketchy(true)
    , fNoiseAmp(1.0f / 81)
    , fNoiseScale(8.0f / 81)
    , fExtraLines(5)
    , fGapFilling(ModelPrefBool("GapFilling", false))
    , fExcludeLinesFromMask(false)
    , fSWFPenPlaced(false)
    , fSWFClip(nullptr)
{
    // A new vector layer follows a parent skeleton through its points, not as a whole.
    fLayerParentBone = -1;
    if (!ModelPrefBool("ConstructionCurves", false))
        fQualityFlags &= ~QUALITY_EDIT_OVERLAYS;
}

MeshLayer::~MeshLayer()
{
    destroySWFMovieClip(fSWFClip);
    for (int32_t i = 0; i < fSWFShapes.fCount; i++)
        destroySWFShape(static_cast<SwfShape*>(fSWFShapes.fItems[i]));
    for (int32_t i = 0; i < fSWFFills.fCount; i++)
        destroySWFFill(static_cast<SwfFill*>(fSWFFills.fItems[i]));
}

bool MeshLayer::SetFillTexture(const char* path)
{
    if (!DocumentPathAllowed(path))
        return false;
    fFillTexture = path ? path : "";
    fFillTextureImage.Free();
    return true;
}

bool MeshLayer::SetLineTexture(const char* path)
{
    if (!DocumentPathAllowed(path))
        return false;
    fLineTexture = path ? path : "";
    fLineTextureImage.Free();
    return true;
}

int32_t MeshLayer::LayerType()
{
    return LT_VECTOR;
}

void MeshLayer::SetCurFrame(int32_t frame)
{
    VornLayer::SetCurFrame(frame);
    const int32_t f = fCurFrame;
    for (int32_t c = 0; c < fMesh.fNumCurves; c++) {
        M_Curve* curve = fMesh.fCurves[c];
        for (int32_t i = 0; i < curve->fNumPoints; i++)
            curve->fCurvature[i]->SetCurFrame(f);
    }
    BindPointsToBones(frame, f);
    for (int32_t s = 0; s < fMesh.fNumShapes; s++) {
        M_Shape* shape = fMesh.fShapes[s];
        shape->fMyStyle.fFillCol.SetCurFrame(f);
        shape->fMyStyle.fLineCol.SetCurFrame(f);
        shape->fEffectScale.SetCurFrame(f);
        shape->fEffectRotation.SetCurFrame(f);
        shape->fEffectOffset.SetCurFrame(f);
    }
    RunLayerScript();
}

void MeshLayer::BindPointsToBones(int32_t docFrame, int32_t layerFrame)
{
    for (int32_t i = 0; i < fMesh.fNumPoints; i++) {
        M_Point* point = fMesh.fPoints[i];
        point->fAnimPos.SetCurFrame(layerFrame);
        point->fPos = point->fAnimPos.value;
        point->fWidth.SetCurFrame(layerFrame);
    }
    // Document frame 0 shows the skeleton's rest pose: points stay where they are animated.
    // A layer carried by one bone as a whole moves through its transform instead.
    BoneParent* bones = fLayerParentBone == -1 ? ParentBones() : nullptr;
    if (docFrame == 0 || !bones)
        return;
    // Points live in layer space, bones in the parent's.
    QV_Matrix toParent;
    GetLayerTransform(docFrame, toParent, nullptr);
    QV_Matrix toLayer = toParent;
    toLayer.Invert();
    for (int32_t i = 0; i < fMesh.fNumPoints; i++) {
        M_Point* point = fMesh.fPoints[i];
        if (point->fParent >= 0) {
            QV_Vector2 p = point->fPos;
            toParent.Transform(p);
            QV_Matrix bone;
            if (point->fParent < bones->CountBones() && bones->BonePointMatrix(point->fParent, bone))
                bone.Transform(p);
            toLayer.Transform(p);
            point->fPos = p;
        } else if (point->fParent == kPointFollowsAllBones) {
            QV_Vector2 rest = point->fAnimPos.GetValue(0);
            toParent.Transform(rest);
            QV_Vector2 p = point->fPos;
            toParent.Transform(p);
            QV_Matrix frame;
            bones->LocalFrameAt(rest, frame);
            frame.Transform(p);
            toLayer.Transform(p);
            point->fPos = p;
        }
    }
}

void MeshLayer::DeleteParentBone(int32_t deleted)
{
    BoneParent* bones = ParentBones();
    if (!bones)
        return;
    if (fLayerParentBone >= 0)
        fLayerParentBone = bones->RemapBoneID(fLayerParentBone, deleted);
    for (int32_t i = 0; i < fMesh.fNumPoints; i++) {
        M_Point* point = fMesh.fPoints[i];
        if (point->fParent >= 0)
            point->fParent = bones->RemapBoneID(point->fParent, deleted);
    }
}
