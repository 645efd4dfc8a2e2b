#include "animchannel.h"

#include <algorithm>
#include <new>

#include "console_sink.h"

AnimChannel::AnimChannel()
    : fCurFrame(0)
    , fKeyCount(0)
    , fKeyCapacity(2)
    , fKeyFrames(new int32_t[2]())
    , fKeyInterps(new InterpSetting[2]())
    , fActiveAction(nullptr)
{
}

AnimChannel::~AnimChannel()
{
    delete[] fKeyFrames;
    delete[] fKeyInterps;
    for (int32_t i = 0; i < fActions.fCount; i++)
        delete static_cast<AnimChannel*>(fActions.fItems[i]);
}

int32_t AnimChannel::ChannelType()
{
    return CHANNEL_UNKNOWN;
}

bool AnimChannel::ReadRecord(QV_IoStream*, bool)
{
    return true;
}

void AnimChannel::WriteRecord(QV_IoStream*, bool) { }

void AnimChannel::SetCurFrame(int32_t frame)
{
    if (fActiveAction)
        fActiveAction->SetCurFrame(frame);
    fCurFrame = frame;
}

void AnimChannel::AddKey(int32_t) { }

void AnimChannel::Reset(int32_t) { }

void AnimChannel::DeleteKey(int32_t frame)
{
    if (fActiveAction) {
        fActiveAction->DeleteKey(frame);
        return;
    }
    int32_t index = KeyIndexAt(frame);
    if (index >= 0)
        RemoveKeySlot(index);
}

void AnimChannel::InsertAction(const char*, int32_t) { }

float AnimChannel::BlendAction(const char* name, int32_t frame, float)
{
    InsertAction(name, frame);
    return 0;
}

void AnimChannel::GrowKeys()
{
    if (fActiveAction)
        fActiveAction->GrowKeys();
    else
        GrowKeyArrays();
}

bool AnimChannel::ReadKeyValue(QV_IoStream*, int32_t)
{
    return true;
}

void AnimChannel::WriteKeyValue(QV_IoStream*, int32_t) { }

void AnimChannel::ReorderKeyValues(const int32_t*, int32_t) { }

bool AnimChannel::AssignKeys(const AnimChannel& source)
{
    const int32_t capacity = std::max(source.fKeyCapacity, int32_t(1));
    int32_t* frames = new (std::nothrow) int32_t[capacity]();
    InterpSetting* interps = new (std::nothrow) InterpSetting[capacity]();
    if (!frames || !interps) {
        delete[] frames;
        delete[] interps;
        return false;
    }
    std::copy(source.fKeyFrames, source.fKeyFrames + source.fKeyCount, frames);
    std::copy(source.fKeyInterps, source.fKeyInterps + source.fKeyCount, interps);
    while (fActions.fCount > 0) {
        auto* action = static_cast<AnimChannel*>(fActions.fItems[fActions.fCount - 1]);
        fActions.Remove(action);
        delete action;
    }
    fActiveAction = nullptr;
    delete[] fKeyFrames;
    delete[] fKeyInterps;
    fKeyFrames = frames;
    fKeyInterps = interps;
    fKeyCapacity = capacity;
    fKeyCount = source.fKeyCount;
    fCurFrame = source.fCurFrame;
    fName = source.fName;
    return true;
}

bool AnimChannel::ReallocateKeys(int32_t capacity)
{
    if (capacity < 1)
        return false;
    int32_t* frames = new (std::nothrow) int32_t[capacity]();
    InterpSetting* interps = new (std::nothrow) InterpSetting[capacity]();
    if (!frames || !interps) {
        delete[] frames;
        delete[] interps;
        return false;
    }
    frames[0] = fKeyFrames[0];
    interps[0] = fKeyInterps[0];
    delete[] fKeyFrames;
    delete[] fKeyInterps;
    fKeyFrames = frames;
    fKeyInterps = interps;
    fKeyCapacity = capacity;
    fKeyCount = std::min(fKeyCount, 1);
    return true;
}

void AnimChannel::SyncActionFirstValues() { }

AnimChannel* AnimChannel::Working()
{
    AnimChannel* channel = this;
    while (channel->fActiveAction)
        channel = channel->fActiveAction;
    return channel;
}

const AnimChannel* AnimChannel::Working() const
{
    const AnimChannel* channel = this;
    while (channel->fActiveAction)
        channel = channel->fActiveAction;
    return channel;
}

int32_t AnimChannel::KeyIndexBefore(int32_t frame) const
{
    const int32_t n = fKeyCount;
    if (n <= 1 || frame <= fKeyFrames[0])
        return 0;
    if (frame >= fKeyFrames[n - 1])
        return n - 1;
    return int32_t(std::upper_bound(fKeyFrames, fKeyFrames + n, frame) - fKeyFrames) - 1;
}

int32_t AnimChannel::KeyIndexAt(int32_t frame) const
{
    if (fKeyCount == 0)
        return -1;
    int32_t index = KeyIndexBefore(frame);
    return fKeyFrames[index] == frame ? index : -1;
}

int32_t AnimChannel::NextKeyCapacity() const
{
    return fKeyCapacity < 1 ? 2 : fKeyCapacity * 2;
}

void AnimChannel::GrowKeyArrays()
{
    const int32_t capacity = NextKeyCapacity();
    int32_t* frames = new int32_t[capacity]();
    InterpSetting* interps = new InterpSetting[capacity]();
    std::copy(fKeyFrames, fKeyFrames + fKeyCount, frames);
    std::copy(fKeyInterps, fKeyInterps + fKeyCount, interps);
    delete[] fKeyFrames;
    delete[] fKeyInterps;
    fKeyFrames = frames;
    fKeyInterps = interps;
    fKeyCapacity = capacity;
}

void AnimChannel::InsertKeySlot(int32_t index, int32_t frame)
{
    std::copy_backward(fKeyFrames + index, fKeyFrames + fKeyCount, fKeyFrames + fKeyCount + 1);
    std::copy_backward(fKeyInterps + index, fKeyInterps + fKeyCount, fKeyInterps + fKeyCount + 1);
    fKeyFrames[index] = frame;
    fKeyInterps[index] = DefaultInterpSetting();
    fKeyCount++;
}

void AnimChannel::RemoveKeySlot(int32_t index)
{
    std::copy(fKeyFrames + index + 1, fKeyFrames + fKeyCount, fKeyFrames + index);
    std::copy(fKeyInterps + index + 1, fKeyInterps + fKeyCount, fKeyInterps + index);
    fKeyCount--;
}

int32_t AnimChannel::CountKeys() const
{
    return Working()->fKeyCount;
}

int32_t AnimChannel::Duration() const
{
    const AnimChannel* channel = Working();
    const int32_t n = channel->fKeyCount;
    if (n == 0)
        return 0;
    const int32_t last = channel->fKeyFrames[n - 1];
    const InterpSetting& setting = channel->fKeyInterps[n - 1];
    if (setting.interpMode == INTERP_POSE) {
        if (const AnimChannel* action = channel->PoseAction(setting))
            return ClampFrame(int64_t(last) + action->Duration() - 1);
    }
    return last;
}

void AnimChannel::Clear()
{
    AnimChannel* channel = Working();
    if (channel->fKeyCount > 0)
        channel->fKeyCount = channel->fKeyFrames[0] == 0 ? 1 : 0;
}

bool AnimChannel::HasKey(int32_t frame) const
{
    return Working()->KeyIndexAt(frame) >= 0;
}

int32_t AnimChannel::GetClosestKeyID(int32_t frame) const
{
    return Working()->KeyIndexBefore(frame);
}

int32_t AnimChannel::GetKeyWhen(int32_t id) const
{
    const AnimChannel* channel = Working();
    if (id < 0 || id >= channel->fKeyCount) {
        PrintOutOfRange("AnimChannel:GetKeyWhen");
        return 0;
    }
    return channel->fKeyFrames[id];
}

void AnimChannel::SetKeyWhen(int32_t id, int32_t frame)
{
    AnimChannel* channel = Working();
    const int32_t n = channel->fKeyCount;
    if (id < 0 || id >= n) {
        PrintOutOfRange("AnimChannel:SetKeyWhen");
        return;
    }
    if (id > 0 && frame <= channel->fKeyFrames[id - 1])
        return;
    if (id < n - 1 && frame >= channel->fKeyFrames[id + 1])
        return;
    channel->fKeyFrames[id] = frame;
}

void AnimChannel::SetKeyInterp(int32_t frame, int32_t mode, float val1, float val2)
{
    SetKeyInterpSetting(frame, InterpSetting { mode, val1, val2 });
}

void AnimChannel::SetKeyInterpByID(int32_t id, int32_t mode, float val1, float val2)
{
    AnimChannel* channel = Working();
    if (id < 0 || id >= channel->fKeyCount) {
        PrintOutOfRange("AnimChannel:SetKeyInterpByID");
        return;
    }
    channel->fKeyInterps[id] = InterpSetting { mode, val1, val2 };
}

void AnimChannel::SetKeyInterpSetting(int32_t frame, const InterpSetting& setting)
{
    AnimChannel* channel = Working();
    int32_t index = channel->KeyIndexAt(frame);
    if (index >= 0)
        channel->fKeyInterps[index] = setting;
}

InterpSetting AnimChannel::GetKeyInterp(int32_t frame) const
{
    const AnimChannel* channel = Working();
    int32_t index = channel->KeyIndexAt(frame);
    return index >= 0 ? channel->fKeyInterps[index] : DefaultInterpSetting();
}

void AnimChannel::GetKeyInterpByID(int32_t id, InterpSetting& setting) const
{
    const AnimChannel* channel = Working();
    if (id < 0 || id >= channel->fKeyCount) {
        PrintOutOfRange("AnimChannel:GetKeyInterpByID");
        return;
    }
    setting = channel->fKeyInterps[id];
}

int32_t AnimChannel::GetKeyInterpMode(int32_t frame) const
{
    const AnimChannel* channel = Working();
    int32_t index = channel->KeyIndexAt(frame);
    return index >= 0 ? channel->fKeyInterps[index].interpMode : DefaultInterpMode();
}

int32_t AnimChannel::GetKeyInterpModeByID(int32_t id) const
{
    const AnimChannel* channel = Working();
    if (id < 0 || id >= channel->fKeyCount) {
        PrintOutOfRange("AnimChannel:GetKeyInterpModeByID");
        return 1;
    }
    return channel->fKeyInterps[id].interpMode;
}

int32_t AnimChannel::GetCurFrame() const
{
    return Working()->fCurFrame;
}

void AnimChannel::StoreValue()
{
    AddKey(fCurFrame);
}
