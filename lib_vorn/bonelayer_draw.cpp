// The bone layer in the editor view: the setup frame's pose and the overlays of the bone tools.

#include "bonelayer.h"
#include "meshlayer_draw_colors.h"
#include "vorndoc.h"
#include "xgraphics.h"

namespace {

bool ToolIs(VornDoc* doc, const char* tool)
{
    return doc && doc->fCurrentTool == tool;
}

} // namespace

void BoneLayer::ShowRestPoseForTools(VornDoc* doc)
{
    if (DocumentFrame() != 0 || ToolIs(doc, "QV_ManipulateBones") || ToolIs(doc, "QV_BoneStrength"))
        return;
    for (int32_t i = 0; i < fSkeleton.GetNumBones(); i++) {
        M_Bone* bone = fSkeleton.GetBone(i);
        if (!bone)
            continue;
        bone->fPos = bone->fAnimPos.GetValue(fCurFrame);
        bone->fAngle = bone->fAnimAngle.GetValue(fCurFrame);
        bone->fScale = bone->fAnimScale.GetValue(fCurFrame);
    }
}

void BoneLayer::DrawBoneOverlays(VornDoc*, XGraphics* graphics)
{
    graphics->SetColorStruct(EditorColInac());
    graphics->SetSmoothing(true);
    graphics->DrawOriginMarker(fOrigin.x, fOrigin.y);
}
