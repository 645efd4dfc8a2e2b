#pragma once

#include <algorithm>
#include <new>
#include <vector>

#include "animchannel.h"
#include "animrecord.h"
#include "script_object_record.h"

// The typed half shared by the six channel kinds: the value of each key (fValues, beside the
// frame and interpolation arrays of AnimChannel), the cached value at the current frame
// (value) and every key operation that only stores, moves or copies values.
//
// Derived is the kind itself; Traits describes its values:
//   Key     the type of a key's value
//   Cached  the type of value (a colour is cached packed)
//   Zero()  the value of a channel without keys and of the frame-0 key of a new channel
//   ToCached(Key) / FromCached(Cached)
// Derived supplies GetValue(frame), whose result converts to Key, and may hide SetValue to
// clean a value before it is stored (every internal store goes through Derived::SetValue).
template <class Derived, class Traits> class AnimKeyed : public AnimChannel {
public:
    using Key = typename Traits::Key;
    using Cached = typename Traits::Cached;

    // A script may hold the channel, or its cached value, past its owner's life.
    ~AnimKeyed() override
    {
        QV_ScriptObjectsGone(this, sizeof(Derived));
        delete[] fValues;
    }

    // Channel assignment: this channel becomes a copy of source (frame, name, keys, actions with
    // the active one, cached value) and stays the same object, so whoever holds it sees the new
    // content. The two share no storage afterwards. Assigning a channel to itself changes nothing.
    void Assign(const Derived& source)
    {
        if (static_cast<const AnimChannel*>(&source) == this)
            return;
        const int32_t capacity = std::max(source.fKeyCapacity, int32_t(1));
        Key* values = new (std::nothrow) Key[capacity]();
        if (!values)
            return;
        std::copy(source.fValues, source.fValues + source.fKeyCount, values);
        if (!AssignKeys(source)) {
            delete[] values;
            return;
        }
        delete[] fValues;
        fValues = values;
        for (int32_t i = 0; i < source.fActions.fCount; i++) {
            auto* action = new Derived;
            action->Assign(*AsKind(source.fActions.fItems[i]));
            fActions.Append(static_cast<AnimChannel*>(action));
            if (source.fActiveAction == source.fActions.fItems[i])
                fActiveAction = action;
        }
        value = source.value;
    }

    // Sets the key at the frame, or adds one with the default interpolation. While an action is
    // active only the action changes, except at frame 0, which is the rest pose of both.
    void SetValue(int32_t frame, const Key& v)
    {
        if (frame == fCurFrame)
            value = Traits::ToCached(v);
        if (fActiveAction) {
            AsKind(fActiveAction)->SetValue(frame, v);
            if (frame != 0)
                return;
        }
        const int32_t n = fKeyCount;
        if (n == 0 || frame < fKeyFrames[0]) {
            InsertKey(0, frame, v);
            return;
        }
        if (frame == fKeyFrames[0]) {
            fValues[0] = v;
            for (int32_t i = 0; i < fActions.fCount; i++)
                AsKind(fActions.fItems[i])->fValues[0] = v;
            return;
        }
        if (frame > fKeyFrames[n - 1]) {
            InsertKey(n, frame, v);
            return;
        }
        const int32_t c = KeyIndexBefore(frame);
        if (fKeyFrames[c] == frame)
            fValues[c] = v;
        else
            InsertKey(c + 1, frame, v);
    }

    void AddKey(int32_t frame) override
    {
        if (fActiveAction)
            AsKind(fActiveAction)->value = value;
        Key v = frame == fCurFrame ? Traits::FromCached(value) : Key(Self()->GetValue(frame));
        Self()->SetValue(frame, v);
    }

    void Reset(int32_t frame) override
    {
        if (fActiveAction) {
            fActiveAction->Reset(frame);
            return;
        }
        Key v = Self()->GetValue(0);
        Self()->SetValue(frame, v);
    }

    // Never removes the last key.
    void DeleteKey(int32_t frame) override
    {
        if (fActiveAction) {
            fActiveAction->DeleteKey(frame);
            return;
        }
        if (fKeyCount < 2)
            return;
        int32_t index = KeyIndexAt(frame);
        if (index >= 0)
            EraseKey(index);
    }

    void SetCurFrame(int32_t frame) override
    {
        if (fActiveAction) {
            fActiveAction->SetCurFrame(frame);
            fCurFrame = frame;
            value = AsKind(fActiveAction)->value;
            return;
        }
        fCurFrame = frame;
        value = Traits::ToCached(Self()->GetValue(frame));
    }

    void GrowKeys() override
    {
        if (fActiveAction)
            fActiveAction->GrowKeys();
        else
            GrowOwnKeys();
    }

    // Copies the keys of the action (or, for an empty name, of the channel itself) after its
    // frame 0 into the target at frame, the action's frame 1 falling on frame.
    void InsertAction(const char* name, int32_t frame) override
    {
        Derived* source = Source(name);
        if (!source)
            return;
        AnimChannel* saved = fActiveAction;
        Derived* target = saved ? AsKind(saved) : Self();
        fActiveAction = nullptr;
        CopyAction(*source, *target, frame);
        fActiveAction = saved;
    }

    bool ReadRecord(QV_IoStream* stream, bool) override { return ReadChannelRecord(*this, stream, false); }

    void WriteRecord(QV_IoStream* stream, bool withActions) override
    {
        WriteChannelRecord(*this, stream, withActions);
    }

    bool ReallocateKeys(int32_t capacity) override
    {
        if (capacity < 1)
            return false;
        Key* values = new (std::nothrow) Key[capacity]();
        if (!values)
            return false;
        values[0] = fValues[0];
        if (!AnimChannel::ReallocateKeys(capacity)) {
            delete[] values;
            return false;
        }
        delete[] fValues;
        fValues = values;
        return true;
    }

    void ReorderKeyValues(const int32_t* order, int32_t count) override
    {
        std::vector<Key> reordered;
        reordered.reserve(static_cast<size_t>(count));
        for (int32_t i = 0; i < count; i++)
            reordered.push_back(fValues[order[i]]);
        std::copy(reordered.begin(), reordered.end(), fValues);
    }

    void SyncActionFirstValues() override
    {
        for (int32_t i = 0; i < fActions.fCount; i++)
            AsKind(fActions.fItems[i])->fValues[0] = fValues[0];
    }

    Cached value;
    Key* fValues;

protected:
    // The kind's constructor adds the frame-0 key once it is complete.
    AnimKeyed()
        : value(Traits::ToCached(Traits::Zero()))
        , fValues(new Key[2]())
    {
    }

    Derived* Self() { return static_cast<Derived*>(this); }
    // Actions and the active action are channels of this same kind.
    static Derived* AsKind(void* channel)
    {
        return static_cast<Derived*>(static_cast<AnimChannel*>(channel));
    }

    // The action of the name, or the channel itself for an empty name.
    Derived* Source(const char* name)
    {
        if (!name || !*name)
            return Self();
        AnimChannel* action = ActionNamed(name);
        return action ? AsKind(action) : nullptr;
    }

    void InsertKey(int32_t index, int32_t frame, Key v)
    {
        // Growing the channel that receives the key, whatever action is being edited.
        if (fKeyCount == fKeyCapacity)
            GrowOwnKeys();
        std::move_backward(fValues + index, fValues + fKeyCount, fValues + fKeyCount + 1);
        fValues[index] = v;
        InsertKeySlot(index, frame);
    }

    void EraseKey(int32_t index)
    {
        std::move(fValues + index + 1, fValues + fKeyCount, fValues + index);
        RemoveKeySlot(index);
    }

    void GrowOwnKeys()
    {
        Key* values = new Key[NextKeyCapacity()]();
        std::copy(fValues, fValues + fKeyCount, values);
        delete[] fValues;
        fValues = values;
        GrowKeyArrays();
    }

private:
    static void CopyAction(Derived& source, Derived& target, int32_t frame)
    {
        const int64_t duration = source.Duration();
        if (duration < 1)
            return;
        // The action's span is cleared of the target's keys, the ends excepted.
        const int64_t first = int64_t(frame) + 1, last = int64_t(frame) + duration - 2;
        for (int32_t i = target.fKeyCount - 1; i >= 0; i--) {
            if (i < target.fKeyCount && target.fKeyFrames[i] >= first && target.fKeyFrames[i] <= last)
                target.DeleteKey(target.fKeyFrames[i]);
        }
        // Holds what was shown before until the action starts.
        if (frame > 1 && duration > 1)
            target.AddKey(frame - 1);
        const int32_t count = source.fKeyCount;
        for (int32_t i = 1; i < count; i++) {
            const int32_t k = source.fKeyFrames[i];
            const InterpSetting setting = source.fKeyInterps[i];
            Key v = source.GetValue(k);
            const int32_t at = ClampFrame(int64_t(frame) + k - 1);
            target.SetValue(at, v);
            target.SetKeyInterpSetting(at, setting);
        }
    }
};
