#include "style_adapters.h"

#include "bone_parent.h"
#include "grouplayer.h"
#include "qv_matrix.h"
#include "vorndoc.h"
#include "vornlayer.h"

int32_t VornDocStyleAdapter::HeightPixels()
{
    return fDoc ? fDoc->Height() : 0;
}

int32_t VornDocStyleAdapter::CurrentFrame()
{
    return fDoc ? fDoc->CurFrame() : 0;
}

const char* VornDocStyleAdapter::CurrentToolName()
{
    return fDoc ? fDoc->fCurrentTool.CString() : "";
}

int32_t VornDocStyleAdapter::CurrentLayerFrame()
{
    if (!fDoc)
        return 0;
    VornLayer* layer = fDoc->GetSelectedLayer();
    return layer ? layer->CurFrame() : fDoc->CurFrame();
}

void VornDocStyleAdapter::StyleEdited()
{
    if (!fDoc)
        return;
    fDoc->PrepUndo(nullptr);
    fDoc->SetDirty();
}

int32_t VornLayerStyleAdapter::CurrentFrame()
{
    return fLayer->CurFrame();
}

void VornLayerStyleAdapter::GetLayerTransform(int32_t frame, QV_Matrix& out)
{
    fLayer->GetLayerTransform(frame, out, fDoc);
}

int32_t VornLayerStyleAdapter::ParentLayerType()
{
    GroupLayer* parent = fLayer->Parent();
    return parent ? parent->LayerType() : 0;
}

int32_t VornLayerStyleAdapter::ParentBone()
{
    return fLayer->LayerParentBone();
}

void VornLayerStyleAdapter::TransformByParentSkeleton(QV_Vector2& point)
{
    if (BoneParent* bones = fLayer->ParentBones())
        bones->TransformPoint(point);
}
