// Actions across a whole layer: the layer keeps the names and which one is edited, its
// channels keep the keys. Every operation visits the channels through the channel table
// without a document (so the camera rows are left out), and the recursing ones repeat
// themselves on the sub-layers of group-like layers.

#include <algorithm>
#include <cstring>

#include "animstring.h"
#include "animvec2.h"
#include "channelinfo.h"
#include "grouplayer.h"
#include "vornlayer.h"

namespace {

constexpr float kWeightEpsilon = 1e-6f;

bool Same(const QV_String& a, const char* b)
{
    return a == (b ? b : "");
}

// Records store action names between double quotes without escapes: a name holding one could
// not be read back, so new names never do.
QV_String CleanName(const char* name)
{
    QV_String clean(name ? name : "");
    clean.RemoveChar('"');
    return clean;
}

// Every channel of the table once, rows from the last to the first (or the first to the last).
// The last row, "All Channels", repeats all the others and is left out: blending a channel
// twice would blend it into its own result.
template <class Visit> void ForEachChannel(VornLayer& layer, bool firstToLast, Visit visit)
{
    ChannelInfo info;
    const int32_t rows = layer.CountChannels() - 1;
    for (int32_t k = 0; k < rows; k++) {
        const int32_t row = firstToLast ? k : rows - 1 - k;
        layer.GetChannelInfo(row, info);
        for (int32_t sub = 0; sub < info.fSubChannels; sub++) {
            if (AnimChannel* channel = layer.GetChannel(row, sub, nullptr))
                visit(*channel);
        }
    }
}

template <class Visit> void ForEachSubLayer(VornLayer& layer, Visit visit)
{
    if (!layer.IsGroupType())
        return;
    GroupLayer& group = static_cast<GroupLayer&>(layer);
    for (int32_t i = 0; i < group.fLayers.fCount; i++)
        visit(*static_cast<VornLayer*>(group.fLayers.fItems[i]));
}

// The arithmetic of one numeric channel in BlendPoses: its value at the frame is kept aside and
// its key there starts from zero; once the actions are added, what is missing of a total weight
// of 1 comes from the kept value, and larger totals are normalised.
template <class Channel, class Key> struct NumericBlend {
    Channel& channel;
    int32_t frame;
    Key kept;

    NumericBlend(Channel& c, int32_t f, const Key& zero)
        : channel(c)
        , frame(f)
        , kept(c.GetValue(f))
    {
        channel.SetValue(frame, zero);
    }

    template <class Combine> void Finish(float total, Combine combine)
    {
        float rest = 0;
        if (total < 1) {
            rest = 1 - total;
            total = 1;
        }
        channel.SetValue(frame, combine(channel.GetValue(frame), kept, rest, total));
    }
};

template <class Key, int N, class Get, class Put>
Key Mix(const Key& value, const Key& kept, float rest, float total, Get get, Put put)
{
    Key result = value;
    for (int i = 0; i < N; i++)
        put(result, i, (get(value, i) + get(kept, i) * rest) / total);
    return result;
}

// A channel takes part when it holds a morph (an action whose last key is at frame 1) that one
// of the weighted entries names, or, with a weighted default entry first, that any entry names.
bool TakesPart(AnimChannel& channel, int32_t n, const char* const* names, const float* weights)
{
    const bool defaultWeighted = n > 0 && (!names[0] || !*names[0]) && weights[0] >= kWeightEpsilon;
    for (int32_t a = 0; a < channel.fActions.fCount; a++) {
        AnimChannel* action = static_cast<AnimChannel*>(channel.fActions.fItems[a]);
        if (action->Duration() != 1)
            continue;
        for (int32_t k = 0; k < n; k++) {
            if (!names[k] || !*names[k] || !Same(action->fName, names[k]))
                continue;
            if (weights[k] >= kWeightEpsilon || (defaultWeighted && k >= 1))
                return true;
        }
    }
    return false;
}

// Adds every weighted entry onto the key at the frame; answers the total weight used.
float AddWeighted(
    AnimChannel& channel, int32_t frame, int32_t n, const char* const* names, const float* weights)
{
    float total = 0;
    for (int32_t k = 0; k < n; k++) {
        if (weights[k] < kWeightEpsilon)
            continue;
        if (!names[k] || !*names[k]) {
            total += channel.BlendAction(nullptr, frame, weights[k]);
            continue;
        }
        if (channel.ActionNamed(names[k]))
            total += channel.BlendAction(names[k], frame, weights[k]);
    }
    return total;
}

void BlendChannel(
    AnimChannel& channel, int32_t frame, int32_t n, const char* const* names, const float* weights)
{
    if (!TakesPart(channel, n, names, weights))
        return;
    switch (channel.ChannelType()) {
    case CHANNEL_VAL: {
        NumericBlend<AnimVal, float> blend(static_cast<AnimVal&>(channel), frame, 0.0f);
        const float total = AddWeighted(channel, frame, n, names, weights);
        if (total > kWeightEpsilon)
            blend.Finish(
                total, [](float v, float kept, float rest, float w) { return (v + kept * rest) / w; });
        break;
    }
    case CHANNEL_VEC2: {
        NumericBlend<AnimVec2, QV_Vector2> blend(static_cast<AnimVec2&>(channel), frame, QV_Vector2 { 0, 0 });
        const float total = AddWeighted(channel, frame, n, names, weights);
        if (total > kWeightEpsilon)
            blend.Finish(total, [](const QV_Vector2& v, const QV_Vector2& kept, float rest, float w) {
                return Mix<QV_Vector2, 2>(v, kept, rest, w, AnimVec2Traits::Get, AnimVec2Traits::Put);
            });
        break;
    }
    case CHANNEL_VEC3: {
        NumericBlend<AnimVec3, QV_Vector3> blend(
            static_cast<AnimVec3&>(channel), frame, QV_Vector3 { 0, 0, 0 });
        const float total = AddWeighted(channel, frame, n, names, weights);
        if (total > kWeightEpsilon)
            blend.Finish(total, [](const QV_Vector3& v, const QV_Vector3& kept, float rest, float w) {
                return Mix<QV_Vector3, 3>(v, kept, rest, w, AnimVec3Traits::Get, AnimVec3Traits::Put);
            });
        break;
    }
    case CHANNEL_COLOR: {
        NumericBlend<AnimColor, QV_ColorVector> blend(
            static_cast<AnimColor&>(channel), frame, QV_ColorVector { 0, 0, 0, 0 });
        const float total = AddWeighted(channel, frame, n, names, weights);
        if (total > kWeightEpsilon)
            blend.Finish(total, [](const QV_ColorVector& v, const QV_ColorVector& kept, float rest, float w) {
                return Mix<QV_ColorVector, 4>(v, kept, rest, w, AnimColorTraits::Get, AnimColorTraits::Put);
            });
        break;
    }
    default:
        // On/off and text channels cannot be mixed: their actions are inserted instead.
        AddWeighted(channel, frame, n, names, weights);
        break;
    }
}

} // namespace

bool VornLayer::HasPose(const char* name) const
{
    for (int32_t i = 0; i < fPoses.fCount; i++) {
        if (Same(*static_cast<QV_String*>(fPoses.fItems[i]), name))
            return true;
    }
    return false;
}

void VornLayer::ActivatePose(const char* requested, bool add)
{
    const QV_String clean = CleanName(requested);
    const char* name = clean.IsEmpty() ? nullptr : clean.CString();
    bool update;
    if (name) {
        if (!HasPose(name)) {
            if (!add)
                return;
            fPoses.Append(new QV_String(name));
        }
        update = !Same(fCurrentPose, name);
    } else {
        update = !fCurrentPose.IsEmpty();
    }
    fCurrentPose = name ? name : "";
    if (update) {
        ForEachChannel(*this, false, [name](AnimChannel& channel) {
            channel.fActiveAction = nullptr;
            if (name)
                channel.ActivateAction(name);
            else
                channel.SetCurFrame(channel.fCurFrame);
        });
    }
    ForEachSubLayer(*this, [name](VornLayer& sub) { sub.ActivatePose(name, true); });
}

void VornLayer::InsertPose(const char* name, int32_t frame, bool asReference)
{
    if (!name || Same(fCurrentPose, name))
        return;
    const int32_t f = fCurrentPose.IsEmpty() ? LayerFrameOf(frame) : frame;
    ForEachChannel(*this, false, [name, f, asReference](AnimChannel& channel) {
        if (asReference)
            channel.InsertActionReference(f, name);
        else
            channel.InsertAction(name, f);
    });
    ForEachSubLayer(
        *this, [name, frame, asReference](VornLayer& sub) { sub.InsertPose(name, frame, asReference); });
}

void VornLayer::RenamePose(const char* oldName, const char* newName)
{
    QV_String* entry = nullptr;
    for (int32_t i = 0; i < fPoses.fCount && !entry; i++) {
        QV_String* pose = static_cast<QV_String*>(fPoses.fItems[i]);
        if (Same(*pose, oldName))
            entry = pose;
    }
    // Two actions of one name could not be told apart, nor an action without a name from the
    // main timeline: the channels refuse such names, and so does the layer.
    const QV_String to = CleanName(newName);
    if (!entry || to.IsEmpty() || HasPose(to.CString()))
        return;
    // The old name may live in the entry itself: keep a copy while renaming.
    const QV_String from(oldName ? oldName : "");
    *entry = to;
    ForEachChannel(*this, false,
        [&from, &to](AnimChannel& channel) { channel.RenameAction(from.CString(), to.CString()); });
    ForEachSubLayer(*this, [&from, &to](VornLayer& sub) { sub.RenamePose(from.CString(), to.CString()); });
    if (fCurrentPose == from)
        ActivatePose(to.CString(), true);
}

void VornLayer::DeletePose(const char* name)
{
    if (!name)
        return;
    const QV_String doomed(name);
    for (int32_t i = 0; i < fPoses.fCount; i++) {
        QV_String* pose = static_cast<QV_String*>(fPoses.fItems[i]);
        if (*pose == doomed) {
            fPoses.Remove(pose);
            delete pose;
            break;
        }
    }
    ForEachChannel(*this, false, [&doomed](AnimChannel& channel) { channel.DeleteAction(doomed.CString()); });
    ForEachSubLayer(*this, [&doomed](VornLayer& sub) { sub.DeletePose(doomed.CString()); });
    if (fCurrentPose == doomed)
        ActivatePose(nullptr, true);
}

int32_t VornLayer::PoseDuration(const char* name)
{
    int32_t duration = 0;
    ForEachChannel(*this, false, [name, &duration](AnimChannel& channel) {
        for (int32_t a = 0; a < channel.fActions.fCount; a++) {
            AnimChannel* action = static_cast<AnimChannel*>(channel.fActions.fItems[a]);
            if (Same(action->fName, name))
                duration = std::max(duration, action->Duration());
        }
    });
    ForEachSubLayer(
        *this, [name, &duration](VornLayer& sub) { duration = std::max(duration, sub.PoseDuration(name)); });
    return duration;
}

void VornLayer::BlendPoses(int32_t frame, int32_t count, const char* const* names, const float* weights)
{
    if (count <= 0 || !names || !weights)
        return;
    if (std::none_of(weights, weights + count, [](float w) { return w > kWeightEpsilon; }))
        return;
    const int32_t f = fCurrentPose.IsEmpty() ? LayerFrameOf(frame) : frame;
    ForEachChannel(*this, false, [f, count, names, weights](AnimChannel& channel) {
        BlendChannel(channel, f, count, names, weights);
    });
    ForEachSubLayer(*this,
        [frame, count, names, weights](VornLayer& sub) { sub.BlendPoses(frame, count, names, weights); });
}

void VornLayer::ClearPoses()
{
    for (int32_t i = fPoses.fCount - 1; i >= 0; i--)
        delete static_cast<QV_String*>(fPoses.fItems[i]);
    fPoses.fCount = 0;
    fCurrentPose = "";
}

void VornLayer::ClearAnimation(bool recursive)
{
    ForEachChannel(*this, true, [](AnimChannel& channel) { channel.Clear(); });
    if (recursive)
        ForEachSubLayer(*this, [](VornLayer& sub) { sub.ClearAnimation(true); });
}

void VornLayer::ResetAllChannels(bool recursive)
{
    const int32_t frame = fCurFrame;
    ForEachChannel(*this, true, [frame](AnimChannel& channel) { channel.Reset(frame); });
    if (recursive)
        ForEachSubLayer(*this, [](VornLayer& sub) { sub.ResetAllChannels(true); });
}
