// The action list of a channel: named alternative animations of the channel's kind, edited
// through the active-action redirect and played back by pose keys.

#include "animbool.h"
#include "animchannel.h"
#include "animcolor.h"
#include "animstring.h"
#include "animval.h"
#include "animvec2.h"
#include "animvec3.h"

namespace {

bool SameName(const QV_String& name, const char* text)
{
    return name == (text ? text : "");
}

} // namespace

AnimChannel* NewAnimChannel(int32_t kind)
{
    switch (kind) {
    case CHANNEL_VAL:
        return new AnimVal;
    case CHANNEL_VEC2:
        return new AnimVec2;
    case CHANNEL_COLOR:
        return new AnimColor;
    case CHANNEL_BOOL:
        return new AnimBool;
    case CHANNEL_STRING:
        return new AnimString;
    case CHANNEL_VEC3:
        return new AnimVec3;
    default:
        return nullptr;
    }
}

AnimChannel* AnimChannel::ActionNamed(const char* name) const
{
    int32_t index = ActionIndex(name);
    return index >= 0 ? static_cast<AnimChannel*>(fActions.fItems[index]) : nullptr;
}

int32_t AnimChannel::ActionIndex(const char* name) const
{
    for (int32_t i = 0; i < fActions.fCount; i++) {
        if (SameName(static_cast<AnimChannel*>(fActions.fItems[i])->fName, name))
            return i;
    }
    return -1;
}

AnimChannel* AnimChannel::PoseAction(const InterpSetting& setting) const
{
    int32_t index = RoundParam(setting.val1);
    if (index < 0 || index >= fActions.fCount)
        return nullptr;
    return static_cast<AnimChannel*>(fActions.fItems[index]);
}

void AnimChannel::ActivateAction(const char* name)
{
    if (!name || !*name) {
        SetCurFrame(fCurFrame);
        return;
    }
    AnimChannel* action = ActionNamed(name);
    if (!action) {
        if (fActiveAction)
            return;
        action = NewAnimChannel(ChannelType());
        if (!action)
            return;
        action->fName = name;
        fActions.Append(action);
    }
    fActiveAction = nullptr;
    AddKey(0);
    // Keying frame 0 passes the value on to the actions only when a frame-0 key already
    // existed; a new action must start from the main timeline's pose either way.
    SyncActionFirstValues();
    fActiveAction = action;
    SetCurFrame(fCurFrame);
}

void AnimChannel::RenameAction(const char* oldName, const char* newName)
{
    if (!newName || !*newName || ActionIndex(newName) >= 0)
        return;
    if (AnimChannel* action = ActionNamed(oldName))
        action->fName = newName;
}

void AnimChannel::DeleteAction(const char* name)
{
    int32_t index = ActionIndex(name);
    if (index >= 0)
        DeleteActionAt(index);
}

void AnimChannel::DeleteActionAt(int32_t index)
{
    AnimChannel* action = static_cast<AnimChannel*>(fActions.fItems[index]);
    if (fActiveAction == action) {
        fActiveAction = nullptr;
        SetCurFrame(fCurFrame);
    }
    fActions.Remove(action);
    delete action;
    // Pose keys name actions by position: the deleted one's keys become plain keys, and the
    // later ones move down with the list.
    for (int32_t i = 0; i < fKeyCount; i++) {
        InterpSetting& setting = fKeyInterps[i];
        if (setting.interpMode != INTERP_POSE)
            continue;
        int32_t posed = RoundParam(setting.val1);
        if (posed == index)
            setting = DefaultInterpSetting();
        else if (posed > index)
            setting.val1 -= 1;
    }
}

void AnimChannel::DeleteAllActions()
{
    while (fActions.fCount > 0)
        DeleteActionAt(0);
    fActiveAction = nullptr;
    SetCurFrame(fCurFrame);
}

void AnimChannel::InsertActionReference(int32_t frame, const char* name)
{
    int32_t index = ActionIndex(name);
    if (index < 0)
        return;
    AnimChannel* action = static_cast<AnimChannel*>(fActions.fItems[index]);
    AnimChannel* saved = fActiveAction;
    AnimChannel* target = saved ? saved : this;
    fActiveAction = nullptr;
    const int64_t duration = action->Duration();
    if (duration >= 1) {
        const int32_t lastActionFrame = ClampFrame(frame + duration - 1);
        if (frame > 1 && duration > 1)
            target->AddKey(frame - 1);
        target->AddKey(frame);
        target->SetKeyInterp(frame, INTERP_POSE, float(index), -1);
        // The channel returns towards its next key only once the action has played.
        const int32_t n = target->fKeyCount;
        if (duration > 1 && n > 0 && target->fKeyFrames[n - 1] > lastActionFrame)
            target->AddKey(lastActionFrame);
    }
    fActiveAction = saved;
}
