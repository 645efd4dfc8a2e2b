#pragma once

#include <cstdint>

#include "animkeyed.h"

// Evaluation of the kinds whose values cannot be mixed (AnimBool, AnimString): a key's value
// holds until the next key, whatever its mode, except that cycle keys repeat earlier frames and
// pose keys play their action until the next key.
//
// Besides the AnimKeyed traits, Traits gives Result, the type GetValue answers. Derived gives
// KeepActionResult(Result): a result taken from an action must outlive the restoring of the
// action's first value.
template <class Derived, class Traits> class AnimDiscrete : public AnimKeyed<Derived, Traits> {
    using Base = AnimKeyed<Derived, Traits>;

public:
    using Key = typename Traits::Key;
    using Result = typename Traits::Result;

    // The value at the frame, on the working channel.
    Result GetValue(int32_t frame) { return Discrete(this->Working())->Evaluate(frame); }

protected:
    static AnimDiscrete* Discrete(AnimChannel* channel) { return Base::AsKind(channel); }

    Result Evaluate(int32_t frame)
    {
        for (;;) {
            const int32_t n = this->fKeyCount;
            if (n == 0)
                return Traits::Zero();
            const int32_t* frames = this->fKeyFrames;
            if (frame <= frames[0])
                return this->fValues[0];
            const int32_t c = frame > frames[n - 1] ? n - 1 : this->KeyIndexBefore(frame);
            const InterpSetting& setting = this->fKeyInterps[c];
            AnimChannel* action = setting.interpMode == INTERP_POSE ? this->PoseAction(setting) : nullptr;
            if (frame == frames[c])
                return action ? Discrete(action)->GetValue(1) : this->fValues[c];
            if (setting.interpMode == INTERP_CYCLE) {
                frame = MapCycleFrame(frames[c], CycleTarget(frames[c], setting), frame);
                continue;
            }
            if (action)
                return Play(*Discrete(action), c, int64_t(frame) - frames[c] + 1);
            return this->fValues[c];
        }
    }

private:
    // The action's frame actionFrame, played from the value of the pose key c.
    Result Play(AnimDiscrete& action, int32_t c, int64_t actionFrame)
    {
        action.fValues[0] = this->fValues[c];
        Result result = this->Self()->KeepActionResult(action.GetValue(ClampFrame(actionFrame)));
        action.fValues[0] = this->fValues[0];
        return result;
    }
};
