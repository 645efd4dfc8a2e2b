// What the editing dialogs share: the button row, the channel rows of the copy frame and
// rescale dialogs with their walk over layers and channels, and the two key operations.
#include <algorithm>
#include <cmath>
#include <type_traits>
#include <vector>

#include "animbool.h"
#include "animcolor.h"
#include "animstring.h"
#include "animval.h"
#include "animvec2.h"
#include "animvec3.h"
#include "channelinfo.h"
#include "edit_dialogs.h"
#include "grouplayer.h"
#include "qv_alert.h"
#include "qv_app.h"
#include "qv_button.h"
#include "qv_check_box.h"
#include "qv_layout_view.h"
#include "qv_static_picture.h"
#include "vorndoc.h"
#include "vornlayer.h"

namespace {

int32_t AlertOnScreen(
    QV_Wnd* owner, int32_t kind, const char* line1, const char* line2, const char* button1, const char* button2)
{
    return Alert(owner, kind, line1, line2, nullptr, button1, button2, nullptr);
}

// Calls f with the channel as its own kind; kinds without values to copy are skipped.
template <class F> void WithKind(AnimChannel* channel, F&& f)
{
    if (!channel)
        return;
    switch (channel->ChannelType()) {
    case CHANNEL_VAL:
        if (auto* c = dynamic_cast<AnimVal*>(channel))
            f(*c);
        break;
    case CHANNEL_VEC2:
        if (auto* c = dynamic_cast<AnimVec2*>(channel))
            f(*c);
        break;
    case CHANNEL_COLOR:
        if (auto* c = dynamic_cast<AnimColor*>(channel))
            f(*c);
        break;
    case CHANNEL_BOOL:
        if (auto* c = dynamic_cast<AnimBool*>(channel))
            f(*c);
        break;
    case CHANNEL_STRING:
        if (auto* c = dynamic_cast<AnimString*>(channel))
            f(*c);
        break;
    case CHANNEL_VEC3:
        if (auto* c = dynamic_cast<AnimVec3*>(channel))
            f(*c);
        break;
    default:
        break;
    }
}

// The channel whose keys an edit reaches: the action being edited, if any.
AnimChannel* Working(AnimChannel* channel)
{
    while (channel && channel->fActiveAction)
        channel = channel->fActiveAction;
    return channel;
}

} // namespace

int32_t (*gEditDialogAlert)(QV_Wnd* owner, int32_t kind, const char* line1, const char* line2, const char* button1,
    const char* button2)
    = AlertOnScreen;

void ChannelRowChecks::Build(QV_LayoutView* content, VornLayer* layer)
{
    fCount = layer ? std::min(layer->CountChannels(), int32_t(kMaxRows)) : 0;
    content->PushH(ALIGN_CENTER, 24);
    for (int32_t i = 0; i < fCount; i++) {
        ChannelInfo info;
        layer->GetChannelInfo(i, info);
        // A group never splits across two columns.
        if (i == 0 || info.fSeparator) {
            if (i > 0)
                content->Pop();
            content->PushV(ALIGN_LEFT, 8);
        }
        content->PushH(ALIGN_LEFT, 8);
        content->AddChild(new QV_StaticPicture(info.fIcon, info.fLabel.CString()), ALIGN_CENTER);
        fChecks[i] = new QV_CheckBox("", 0);
        fSelectionOnly[i] = info.fSelectionOnly;
        fSubChannels[i] = info.fSubChannels;
        content->AddChild(fChecks[i], ALIGN_CENTER);
        content->Pop();
    }
    if (fCount > 0)
        content->Pop();
    content->Pop();
}

void ChannelRowChecks::EnableAll(bool enabled)
{
    for (int32_t i = 0; i < fCount; i++) {
        if (fChecks[i])
            fChecks[i]->Enable(enabled);
    }
}

bool ChannelRowChecks::Checked(int32_t row) const
{
    return row >= 0 && row < fCount && fChecks[row] && fChecks[row]->Value();
}

void ForEachChosenChannel(VornDoc* doc, VornLayer* layer, const ChannelRowChecks* rows, bool recursive,
    void (*visit)(AnimChannel* channel, int32_t offset, void* data), void* data)
{
    if (!layer)
        return;
    const int32_t offset = layer->CurrentPose().IsEmpty() ? layer->TotalTimingOffset() : 0;
    const int32_t count = rows ? rows->fCount : layer->CountChannels();
    for (int32_t i = 0; i < count; i++) {
        bool selectionOnly = false;
        int32_t subChannels = 1;
        if (rows) {
            selectionOnly = rows->fSelectionOnly[i];
            subChannels = rows->fSubChannels[i];
            if (!rows->Checked(i) || (selectionOnly && rows->Checked(i - 1)))
                continue;
        } else {
            ChannelInfo info;
            layer->GetChannelInfo(i, info);
            if (info.fSelectionOnly)
                continue;
            subChannels = info.fSubChannels;
        }
        for (int32_t j = 0; j < subChannels; j++) {
            if (AnimChannel* channel = layer->GetChannel(i, j, rows ? doc : nullptr))
                visit(channel, offset, data);
        }
    }
    if (!recursive || !IsGroupLayerType(layer->LayerType()))
        return;
    auto* group = dynamic_cast<GroupLayer*>(layer);
    for (int32_t i = 0; group && i < group->CountLayers(); i++)
        ForEachChosenChannel(doc, group->Layer(i), rows, true, visit, data);
}

void ForEachCameraChannel(VornDoc* doc, void (*visit)(AnimChannel* channel, int32_t offset, void* data), void* data)
{
    if (!doc)
        return;
    visit(&doc->fCameraTrack, 0, data);
    visit(&doc->fCameraZoom, 0, data);
    visit(&doc->fCameraRoll, 0, data);
    visit(&doc->fCameraPanTilt, 0, data);
}

void CopyChannelValue(AnimChannel* channel, int32_t from, int32_t to)
{
    WithKind(channel, [from, to](auto& c) {
        using Key = typename std::remove_reference_t<decltype(c)>::Key;
        const Key value = Key(c.GetValue(from));
        c.SetValue(to, value);
    });
}

bool KeyRescale::Map(int32_t frame, int32_t& to) const
{
    if (frame < start)
        return false;
    if (frame > end) {
        to = frame + (newEnd - end);
        return true;
    }
    const float ratio = float(newEnd - newStart + 1) / float(end - start + 1);
    to = int32_t(std::round(float(frame - start + 1) * ratio + float(newStart - 1)));
    return true;
}

void RescaleChannel(AnimChannel* channel, const KeyRescale& rescale, int32_t offset)
{
    AnimChannel* working = Working(channel);
    WithKind(working, [&rescale, offset](auto& c) {
        using Key = typename std::remove_reference_t<decltype(c)>::Key;
        struct Held {
            int32_t from;
            int32_t to;
            Key value;
            InterpSetting interp;
        };
        std::vector<Held> held;
        for (int32_t i = 0; i < c.fKeyCount; i++) {
            const int32_t frame = c.fKeyFrames[i];
            int32_t to = 0;
            if (frame == 0 || !rescale.Map(frame - offset, to))
                continue;
            held.push_back({ frame, to + offset, c.fValues[i], c.fKeyInterps[i] });
        }
        for (const Held& key : held)
            c.DeleteKey(key.from);
        // In the order of the old frames: of keys squeezed onto one frame the latest stays.
        for (const Held& key : held) {
            if (key.to <= 0)
                continue;
            c.SetValue(key.to, key.value);
            c.SetKeyInterpSetting(key.to, key.interp);
        }
    });
}
