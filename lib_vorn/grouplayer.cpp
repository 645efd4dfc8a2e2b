// The group layer's place in the tree: its sub-layers, the frame and document passed down to
// them, their drawing order by depth or by the animated layer ordering, and its channel rows.

#include "grouplayer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "channelinfo.h"
#include "console_sink.h"
#include "vorndoc.h"

namespace {

constexpr float kSortTolerance = 0.000001f;

// The number of a layer-ordering field, or -1 when it holds none.
int32_t FieldNumber(const QV_String& field)
{
    char* end = nullptr;
    long long v = std::strtoll(field.CString(), &end, 10);
    if (end == field.CString())
        return -1;
    if (v < INT32_MIN || v > INT32_MAX)
        return -1;
    return int32_t(v);
}

float Dot(const QV_Vector3& a, const QV_Vector3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

} // namespace

GroupLayer::GroupLayer()
    : fExpanded(false)
    , fGroupMask(GROUP_MASK_NONE)
    , fDepthSort(false)
    , fDistanceSort(false)
    , fAnimatedLayerOrder(false)
    , fSortDoc(nullptr)
    , fLoading(false)
    , fBoneParent(nullptr)
{
}

GroupLayer::~GroupLayer()
{
    for (int32_t i = fLayers.fCount - 1; i >= 0; i--)
        delete static_cast<VornLayer*>(fLayers.fItems[i]);
}

int32_t GroupLayer::LayerType()
{
    return LT_GROUP;
}

void GroupLayer::SetDocument(VornDoc* doc)
{
    fDoc = doc;
    for (int32_t i = 0; i < fLayers.fCount; i++)
        static_cast<VornLayer*>(fLayers.fItems[i])->SetDocument(doc);
}

void GroupLayer::SetCurFrame(int32_t frame)
{
    VornLayer::SetCurFrame(frame);
    RunLayerScript();
    for (int32_t i = 0; i < fLayers.fCount; i++) {
        VornLayer* layer = static_cast<VornLayer*>(fLayers.fItems[i]);
        if (layer->fVisible && !layer->fRenderOnly)
            layer->SetCurFrame(frame);
    }
}

bool GroupLayer::ContainsLayer(VornLayer* layer)
{
    for (int32_t i = 0; i < fLayers.fCount; i++) {
        VornLayer* sub = static_cast<VornLayer*>(fLayers.fItems[i]);
        if (sub == layer || sub->ContainsLayer(layer))
            return true;
    }
    return false;
}

int32_t GroupLayer::CountRenderItems()
{
    return fLayers.fCount;
}

int32_t GroupLayer::AnimDuration()
{
    int32_t duration = VornLayer::AnimDuration();
    for (int32_t i = 0; i < fLayers.fCount; i++)
        duration = std::max(duration, static_cast<VornLayer*>(fLayers.fItems[i])->AnimDuration());
    return duration;
}

int32_t GroupLayer::CountChannels()
{
    return 1 + VornLayer::CountChannels();
}

void GroupLayer::GetChannelInfo(int32_t row, ChannelInfo& info)
{
    if (row != 0) {
        VornLayer::GetChannelInfo(row - 1, info);
        return;
    }
    info.Reset();
    info.fID = 10045;
    info.SetLook("channel_layer_ordering", "/Animation/Channels/LayerOrdering=Layer Ordering");
    info.fSeparator = true;
    info.fSingleChannel = false;
}

AnimChannel* GroupLayer::GetChannel(int32_t row, int32_t sub, VornDoc* doc)
{
    if (row != 0)
        return VornLayer::GetChannel(row - 1, sub, doc);
    return sub == 0 ? &fLayerOrdering : nullptr;
}

int32_t GroupLayer::DocumentFrame() const
{
    return DocFrameOf(fCurFrame);
}

bool GroupLayer::AddLayer(VornLayer* layer)
{
    layer->SetDocument(fDoc);
    layer->fParent = this;
    fLayers.Append(layer);
    FullDepthSort(nullptr);
    layer->SetCurFrame(DocumentFrame());
    InsertIntoLayerOrdering(fLayers.fCount - 1);
    return true;
}

void GroupLayer::RemoveLayer(VornLayer* layer)
{
    fLayers.Remove(layer);
    layer->fParent = nullptr;
    FullDepthSort(nullptr);
}

void GroupLayer::InsertLayer(VornLayer* layer, VornLayer* sibling, bool after)
{
    layer->SetDocument(fDoc);
    int32_t index = fLayers.IndexOf(sibling);
    if (after)
        index++;
    if (index < 0 || index >= fLayers.fCount)
        index = fLayers.fCount;
    fLayers.Insert(layer, index);
    layer->fParent = this;
    FullDepthSort(nullptr);
    InsertIntoLayerOrdering(index);
}

VornLayer* GroupLayer::Layer(int32_t index)
{
    if (index < 0 || index >= fLayers.fCount) {
        PrintOutOfRange("GroupLayer:Layer");
        return nullptr;
    }
    return static_cast<VornLayer*>(fLayers.fItems[index]);
}

VornLayer* GroupLayer::LayerByDepth(int32_t index)
{
    if (index < 0 || index >= fDepthLayers.fCount) {
        PrintOutOfRange("GroupLayer:LayerByDepth");
        return nullptr;
    }
    return static_cast<VornLayer*>(fDepthLayers.fItems[index]);
}

VornLayer* GroupLayer::LayerByName(const char* name)
{
    for (int32_t i = 0; i < fLayers.fCount; i++) {
        VornLayer* layer = static_cast<VornLayer*>(fLayers.fItems[i]);
        if (layer->fName == (name ? name : ""))
            return layer;
    }
    return nullptr;
}

int32_t GroupLayer::LayerIndex(VornLayer* layer) const
{
    return fLayers.IndexOf(layer);
}

void GroupLayer::FullDepthSort(VornDoc* doc)
{
    if (doc)
        fSortDoc = doc;
    fDepthLayers.fCount = 0;
    for (int32_t i = 0; i < fLayers.fCount; i++)
        fDepthLayers.Append(fLayers.fItems[i]);
    DepthSort(fSortDoc);
}

void GroupLayer::DepthSort(VornDoc* doc)
{
    if (doc)
        fSortDoc = doc;
    doc = fSortDoc;
    QV_Vector3 eye, direction;
    DepthSortViewer(doc, eye, direction);
    const int32_t frame = DocumentFrame();
    const int32_t n = fDepthLayers.fCount;
    std::vector<float> keys(size_t(n > 0 ? n : 0));
    for (int32_t i = 0; i < n; i++) {
        VornLayer* layer = static_cast<VornLayer*>(fDepthLayers.fItems[i]);
        QV_Matrix full;
        layer->GetFullTransform(frame, full, doc);
        QV_Vector3 p { layer->fOrigin.x, layer->fOrigin.y, 0 };
        full.TransformAffine(p);
        p = QV_Vector3 { p.x - eye.x, p.y - eye.y, p.z - eye.z };
        keys[size_t(i)] = fDistanceSort ? std::sqrt(Dot(p, p)) : Dot(direction, p);
        const int32_t type = layer->LayerType();
        if (type == LT_GROUP || type == LT_BONE)
            static_cast<GroupLayer*>(layer)->DepthSort(doc);
    }
    if (fDepthSort) {
        for (int32_t f = 1; f < n; f++) {
            for (int32_t j = f; j >= 1 && keys[size_t(j - 1)] + kSortTolerance < keys[size_t(j)]; j--) {
                std::swap(fDepthLayers.fItems[j - 1], fDepthLayers.fItems[j]);
                std::swap(keys[size_t(j - 1)], keys[size_t(j)]);
            }
        }
        return;
    }
    if (fAnimatedLayerOrder)
        ApplyLayerOrdering();
}

void GroupLayer::ApplyLayerOrdering()
{
    const int32_t t = fCurFrame;
    const AnimChannel* channel
        = fLayerOrdering.fActiveAction ? fLayerOrdering.fActiveAction : &fLayerOrdering;
    const int32_t keys = channel->fKeyCount;
    const int32_t first = keys > 0 ? channel->fKeyFrames[0] : 0;
    const bool apply = t != 0 && (keys > 1 || (keys == 1 && first >= 1 && first <= t));
    if (!apply) {
        if (keys == 0 || (keys == 1 && first == 0))
            return;
        fDepthLayers.fCount = 0;
        for (int32_t i = 0; i < fLayers.fCount; i++)
            fDepthLayers.Append(fLayers.fItems[i]);
        return;
    }
    const QV_String order(fLayerOrdering.GetValue(t));
    const int32_t count = fLayers.fCount;
    fDepthLayers.fCount = 0;
    for (int32_t i = 0; i < count; i++) {
        const QV_String field = order.Field(i, '|');
        if (field.IsEmpty())
            continue;
        int32_t index = FieldNumber(field);
        if (index < 0 || index >= count)
            index = i;
        if (!fDepthLayers.Contains(fLayers.fItems[index]))
            fDepthLayers.Append(fLayers.fItems[index]);
    }
    for (int32_t i = 0; i < count; i++) {
        if (!fDepthLayers.Contains(fLayers.fItems[i]))
            fDepthLayers.Append(fLayers.fItems[i]);
    }
}

bool GroupLayer::IsLayerOrdered()
{
    const int32_t type = LayerType();
    return !fDepthSort && fAnimatedLayerOrder && (type == LT_GROUP || type == LT_BONE)
        && fLayerOrdering.CountKeys() > 0;
}

void GroupLayer::ClearLayerOrdering()
{
    fLayerOrdering.Clear();
}

void GroupLayer::InsertIntoLayerOrdering(int32_t index)
{
    if (!IsLayerOrdered() || fLoading)
        return;
    AnimString* channel = fLayerOrdering.fActiveAction
        ? static_cast<AnimString*>(fLayerOrdering.fActiveAction)
        : &fLayerOrdering;
    for (int32_t k = 0; k < channel->fKeyCount; k++) {
        const QV_String old(channel->fValues[k]);
        QV_String text;
        int32_t fields = 0;
        for (;; fields++) {
            const QV_String field = old.Field(fields, '|');
            if (field.IsEmpty())
                break;
            if (fields == index) {
                text.AppendInt(index);
                text.Append('|');
            }
            const int32_t d = FieldNumber(field);
            text.AppendInt(d >= index ? d + 1 : d);
            text.Append('|');
        }
        if (fields == index) {
            text.AppendInt(index);
            text.Append('|');
        }
        channel->SetValue(channel->fKeyFrames[k], text);
    }
}

void GroupLayer::SetDepthSorted(bool on)
{
    fDepthSort = on;
    FullDepthSort(nullptr);
}

void GroupLayer::SetDistanceSorted(bool on)
{
    fDistanceSort = on;
    FullDepthSort(nullptr);
}

void GroupLayer::EnableLayerOrdering(bool on)
{
    fAnimatedLayerOrder = on;
    if (!on)
        ClearLayerOrdering();
}
