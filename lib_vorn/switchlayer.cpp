// The switch layer's class, its channel row, the shown sub-layer and the blend between vector
// sub-layers.

#include "switchlayer.h"

#include "channelinfo.h"
#include "m_curve.h"
#include "m_mesh.h"
#include "m_point.h"
#include "meshlayer.h"

SwitchLayer::SwitchLayer()
    : fInterpolate(false)
{
}

SwitchLayer::~SwitchLayer() = default;

int32_t SwitchLayer::LayerType()
{
    return LT_SWITCH;
}

int32_t SwitchLayer::CountChannels()
{
    return 1 + BoneLayer::CountChannels();
}

void SwitchLayer::GetChannelInfo(int32_t row, ChannelInfo& info)
{
    if (row != 0) {
        BoneLayer::GetChannelInfo(row - 1, info);
        return;
    }
    info.Reset();
    info.fID = 10044;
    info.SetLook("channel_switch", "/Animation/Channels/Switch=Switch Layer");
    info.fSeparator = true;
    info.fSingleChannel = false;
}

AnimChannel* SwitchLayer::GetChannel(int32_t row, int32_t sub, VornDoc* doc)
{
    if (row != 0)
        return BoneLayer::GetChannel(row - 1, sub, doc);
    return &fSwitchValues;
}

QV_String SwitchLayer::GetValue(int32_t docFrame)
{
    return fSwitchValues.GetValue(LayerFrameOf(docFrame));
}

void SwitchLayer::SetValue(int32_t docFrame, const char* name)
{
    fSwitchValues.SetValue(LayerFrameOf(docFrame), QV_String(name ? name : ""));
    SetCurFrame(fCurFrame);
}

bool SwitchLayer::HasPhonemeLayers()
{
    static const char* const kPhonemes[] = { "rest", "etc", "FV", "L", "MBP", "O", "E", "AI", "U", "WQ" };
    for (const char* name : kPhonemes) {
        if (!LayerByName(name))
            return false;
    }
    return true;
}

VornLayer* SwitchLayer::ShownLayer(VornLayer* currentLayer, bool forEditor)
{
    if (fLayers.fCount == 0)
        return nullptr;
    if (forEditor && currentLayer) {
        for (int32_t i = 0; i < fLayers.fCount; i++) {
            VornLayer* layer = static_cast<VornLayer*>(fLayers.fItems[i]);
            if (layer == currentLayer || layer->ContainsLayer(currentLayer))
                return layer;
        }
    }
    const QV_String& name = fSwitchValues.value;
    for (int32_t i = 0; i < fLayers.fCount; i++) {
        VornLayer* layer = static_cast<VornLayer*>(fLayers.fItems[i]);
        if (layer->Name() == name)
            return layer;
    }
    return static_cast<VornLayer*>(fLayers.fItems[fLayers.fCount - 1]);
}

void SwitchLayer::SetCurFrame(int32_t frame)
{
    const int32_t t = LayerFrameOf(frame);
    fSwitchValues.SetCurFrame(t);
    BoneLayer::SetCurFrame(frame);
    if (fInterpolate && t > 0)
        BlendSubLayers(t);
}

MeshLayer* SwitchLayer::VectorLayerNamed(const QV_String& name)
{
    for (int32_t i = fLayers.fCount - 1; i >= 0; i--) {
        VornLayer* layer = static_cast<VornLayer*>(fLayers.fItems[i]);
        if (layer->LayerType() == LT_VECTOR && layer->Name() == name)
            return static_cast<MeshLayer*>(layer);
    }
    return nullptr;
}

void SwitchLayer::BlendSubLayers(int32_t layerFrame)
{
    QV_String from, to;
    float fraction;
    fSwitchValues.GetValueBlend(layerFrame, from, to, fraction);
    MeshLayer* a = VectorLayerNamed(from);
    MeshLayer* b = VectorLayerNamed(to);
    if (!a || !b)
        return;
    M_Mesh& meshA = *a->Mesh();
    M_Mesh& meshB = *b->Mesh();
    if (meshA.fNumPoints != meshB.fNumPoints)
        return;
    for (int32_t j = 0; j < meshA.fNumPoints; j++) {
        M_Point* pa = meshA.fPoints[j];
        M_Point* pb = meshB.fPoints[j];
        pa->fPos.x += (pb->fPos.x - pa->fPos.x) * fraction;
        pa->fPos.y += (pb->fPos.y - pa->fPos.y) * fraction;
        if (pa->GetNumCurves() != pb->GetNumCurves())
            continue;
        for (int32_t k = 0; k < pa->GetNumCurves(); k++) {
            int32_t posA = 0, posB = 0;
            M_Curve* ca = pa->GetCurve(k, &posA);
            M_Curve* cb = pb->GetCurve(k, &posB);
            if (!ca || !cb || posA < 0 || posA >= ca->fNumPoints || posB < 0 || posB >= cb->fNumPoints)
                continue;
            float& va = ca->fCurvature[posA]->value;
            va += (cb->fCurvature[posB]->value - va) * fraction;
        }
    }
}
