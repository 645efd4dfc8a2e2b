#include "meshlayer.h"

#include <cmath>

#include "animchannel.h"
#include "bone_parent.h"
#include "channelinfo.h"
#include "grouplayer.h"
#include "m_point.h"
#include "shape_render.h"
#include "switchlayer.h"
#include "vorndoc.h"

namespace {

// Own rows of the vector layer in front of the base rows.
constexpr int32_t kVectorChannelRows = 14;

// Two or more keys and, at some key, a scale that differs between x and y.
bool HasNonUniformScaleKey(AnimVec3& scale)
{
    const int32_t keys = scale.CountKeys();
    if (keys < 2)
        return false;
    for (int32_t i = 0; i < keys; i++) {
        const QV_Vector3 v = scale.GetValue(scale.GetKeyWhen(i));
        if (std::fabs(v.x - v.y) > 1e-6f)
            return true;
    }
    return false;
}

} // namespace

int32_t MeshLayer::CountRenderItems()
{
    return fMesh.fNumShapes;
}

void MeshLayer::RenderItem(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* target, QV_PixelBuffer* scratch,
    int32_t item, RenderSettings* settings)
{
    if (item == 0 || fSeams.ShapeCount() != fMesh.fNumShapes)
        fSeams.Build(fMesh);
    ShapeRenderer(this, doc, graphics, target, scratch, item, settings).Render();
}

bool MeshLayer::IsFlatAndStatic()
{
    // The layer being edited is always tested afresh.
    if (fStaticState != -1 && fDoc && fDoc->GetSelectedLayer() != this)
        return fStaticState == 1;
    fStaticState = 0;
    if (!VornLayer::IsFlatAndStatic())
        return false;
    if (HasNonUniformScaleKey(fScale))
        return false;
    for (GroupLayer* parent = fParent; parent; parent = parent->Parent()) {
        if (HasNonUniformScaleKey(parent->fScale))
            return false;
    }
    // A blending switch moves the points of its vector sub-layers from frame to frame.
    if (fParent && fParent->LayerType() == LT_SWITCH && static_cast<SwitchLayer*>(fParent)->InterpMode())
        return false;
    BoneParent* bones = ParentBones();
    if (bones && bones->CountBones() > 0 && fLayerParentBone == -1) {
        for (int32_t i = 0; i < fMesh.fNumPoints; i++) {
            if (fMesh.fPoints[i]->fParent != kPointFollowsNoBone)
                return false;
        }
    }
    for (int32_t row = 0; row < kVectorChannelRows; row++) {
        ChannelInfo info;
        GetChannelInfo(row, info);
        for (int32_t sub = 0; sub < info.fSubChannels; sub++) {
            AnimChannel* channel = GetChannel(row, sub, nullptr);
            if (channel && channel->CountKeys() >= 2)
                return false;
        }
    }
    fStaticState = 1;
    return true;
}
