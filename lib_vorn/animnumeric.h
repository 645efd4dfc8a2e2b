#pragma once

#include <cstdint>

#include "animkeyed.h"
#include "qv_interp.h"
#include "qv_noise.h"

// Evaluation and blending of the kinds whose values are floats or vectors of floats (AnimVal,
// AnimVec2, AnimVec3, AnimColor). Each component is interpolated on its own, in 32-bit floats.
//
// Besides the AnimKeyed traits, Traits gives:
//   kComponents, Get(Key, i), Put(Key&, i, float)
//   HasNoise(i)              whether noisy keys shake component i
//   NoiseZ(channel, i, v)    the third noise coordinate of component i at value v
template <class Derived, class Traits> class AnimNumeric : public AnimKeyed<Derived, Traits> {
    using Base = AnimKeyed<Derived, Traits>;

public:
    using Key = typename Traits::Key;

    // The value at the frame, on the working channel.
    Key GetValue(int32_t frame) { return Numeric(this->Working())->Evaluate(frame); }

    // Adds the action's keys after its frame 0, times weight, onto the values the target shows
    // at their frames (the channel's own frame-0 value for an empty name). Answers the weight
    // applied: 0 when nothing was blended.
    float BlendAction(const char* name, int32_t frame, float weight) override
    {
        Derived* source = this->Source(name);
        if (!source)
            return 0;
        AnimChannel* saved = this->fActiveAction;
        Derived* target = saved ? Base::AsKind(saved) : this->Self();
        this->fActiveAction = nullptr;
        float applied = Blend(*source, *target, frame, weight, !name || !*name);
        this->fActiveAction = saved;
        return applied;
    }

protected:
    static AnimNumeric* Numeric(AnimChannel* channel) { return Base::AsKind(channel); }

    template <class F> static Key Combine(F component)
    {
        Key result = Traits::Zero();
        for (int32_t i = 0; i < Traits::kComponents; i++)
            Traits::Put(result, i, component(i));
        return result;
    }

    Key Evaluate(int32_t frame)
    {
        for (;;) {
            const int32_t n = this->fKeyCount;
            if (n == 0)
                return Traits::Zero();
            const int32_t* frames = this->fKeyFrames;
            const Key* values = this->fValues;
            if (frame <= frames[0])
                return values[0];
            if (frame > frames[n - 1]) {
                const InterpSetting& setting = this->fKeyInterps[n - 1];
                if (setting.interpMode == INTERP_NOISY)
                    return WithNoise(values[n - 1], setting, frame);
                if (setting.interpMode == INTERP_CYCLE) {
                    frame = MapCycleFrame(frames[n - 1], CycleTarget(frames[n - 1], setting), frame);
                    continue;
                }
                if (setting.interpMode == INTERP_POSE) {
                    if (AnimChannel* action = this->PoseAction(setting))
                        return Play(*Numeric(action), values[n - 1], int64_t(frame) - frames[n - 1] + 1);
                }
                return values[n - 1];
            }
            const int32_t c = this->KeyIndexBefore(frame);
            const InterpSetting& setting = this->fKeyInterps[c];
            if (frame == frames[c]) {
                if (setting.interpMode == INTERP_POSE) {
                    if (AnimChannel* action = this->PoseAction(setting))
                        return Numeric(action)->GetValue(1);
                }
                return values[c];
            }
            if (setting.interpMode == INTERP_CYCLE) {
                frame = MapCycleFrame(frames[c], CycleTarget(frames[c], setting), frame);
                continue;
            }
            return Span(c, frame, setting);
        }
    }

private:
    bool IsPose(int32_t index) const { return this->fKeyInterps[index].interpMode == INTERP_POSE; }

    // Between key c and the next one, c not the last key.
    Key Span(int32_t c, int32_t frame, const InterpSetting& setting)
    {
        const int32_t* frames = this->fKeyFrames;
        const Key y1 = this->fValues[c];
        const Key y2 = IsPose(c + 1) ? Evaluate(frames[c + 1]) : this->fValues[c + 1];
        const float t = float(int64_t(frame) - frames[c]) / float(int64_t(frames[c + 1]) - frames[c]);
        switch (setting.interpMode) {
        case INTERP_SMOOTH:
            return Smooth(c, frame, y1, y2);
        case INTERP_EASE: {
            const float s = Slerp(t, 0, 1);
            return Combine([&](int32_t i) { return Slerp(s, Traits::Get(y1, i), Traits::Get(y2, i)); });
        }
        case INTERP_STEP:
            return y1;
        case INTERP_NOISY:
            return WithNoise(Smooth(c, frame, y1, y2), setting, frame);
        case INTERP_POSE:
            if (AnimChannel* action = this->PoseAction(setting))
                return PoseSpan(*Numeric(action), c, frame, y2);
            break;
        case INTERP_EASE_IN:
        case INTERP_EASE_OUT: {
            const Key smooth = Smooth(c, frame, y1, y2);
            const float s = Slerp(t, 0, 1);
            const bool in = setting.interpMode == INTERP_EASE_IN;
            return Combine([&](int32_t i) {
                const float e = Slerp(s, Traits::Get(y1, i), Traits::Get(y2, i));
                const float S = Traits::Get(smooth, i);
                return in ? e + (S - e) * s : S + (e - S) * s;
            });
        }
        default:
            break;
        }
        return Combine([&](int32_t i) {
            const float a = Traits::Get(y1, i);
            return a + (Traits::Get(y2, i) - a) * t;
        });
    }

    // The smooth curve through the neighbouring keys; the first and the last key are left and
    // reached with zero slope.
    Key Smooth(int32_t c, int32_t frame, const Key& y1, const Key& y2)
    {
        const int32_t n = this->fKeyCount;
        const int32_t* frames = this->fKeyFrames;
        float x0 = 0;
        Key v0 = this->fValues[0];
        if (c > 0) {
            x0 = float(frames[c - 1]);
            v0 = IsPose(c - 1) ? Evaluate(frames[c - 1]) : this->fValues[c - 1];
        }
        float x3;
        Key v3;
        if (c + 2 < n) {
            x3 = float(frames[c + 2]);
            v3 = IsPose(c + 2) ? Evaluate(frames[c + 2]) : this->fValues[c + 2];
        } else {
            const int64_t beyond = 2 * int64_t(frames[c + 1]) - frames[c];
            x3 = float(beyond);
            v3 = IsPose(c + 1) ? Evaluate(ClampFrame(beyond)) : this->fValues[c + 1];
        }
        const float x1 = float(frames[c]), x2 = float(frames[c + 1]), x = float(frame);
        return Combine([&](int32_t i) {
            return InterpSmooth(QV_Vector2 { x1, Traits::Get(y1, i) },
                QV_Vector2 { x2, Traits::Get(y2, i) }, QV_Vector2 { x0, Traits::Get(v0, i) },
                QV_Vector2 { x3, Traits::Get(v3, i) }, x);
        });
    }

    Key WithNoise(const Key& v, const InterpSetting& setting, int32_t frame) const
    {
        Key result = v;
        for (int32_t i = 0; i < Traits::kComponents; i++) {
            if (!Traits::HasNoise(i))
                continue;
            const float c = Traits::Get(v, i);
            const float z = Traits::NoiseZ(this, i, c);
            Traits::Put(result, i, c + Noise3D(float(frame), c, z, setting.val1, setting.val2));
        }
        return result;
    }

    // The action's frame actionFrame, played from first (the value of the pose key).
    Key Play(AnimNumeric& action, const Key& first, int64_t actionFrame)
    {
        action.fValues[0] = first;
        Key result = action.GetValue(ClampFrame(actionFrame));
        action.fValues[0] = this->fValues[0];
        return result;
    }

    // Between a pose key c and the next key, whose value is y2: the action plays, and once it
    // has ended it glides from its last key towards y2.
    Key PoseSpan(AnimNumeric& action, int32_t c, int32_t frame, const Key& y2)
    {
        const int32_t* frames = this->fKeyFrames;
        const int64_t offset = int64_t(frame) - frames[c];
        if (action.Duration() > offset)
            return Play(action, this->fValues[c], offset + 1);
        const int32_t gapEnd = ClampFrame(int64_t(frames[c + 1]) - frames[c] + 1);
        const int32_t before = action.fKeyCount;
        static_cast<Derived&>(action).SetValue(gapEnd, y2);
        Key result = action.GetValue(ClampFrame(offset + 1));
        if (action.fKeyCount > before) {
            int32_t added = action.KeyIndexAt(gapEnd);
            if (added >= 0)
                action.EraseKey(added);
        }
        return result;
    }

    static float Blend(Derived& source, Derived& target, int32_t frame, float weight, bool itself)
    {
        if (source.Duration() < 1)
            return 0;
        auto add = [weight](const Key& a, const Key& b) {
            return Combine([&](int32_t i) { return Traits::Get(a, i) + weight * Traits::Get(b, i); });
        };
        if (itself) {
            Key sum = add(target.GetValue(frame), source.GetValue(0));
            target.SetValue(frame, sum);
            return weight;
        }
        bool blended = false;
        const int32_t count = source.fKeyCount;
        for (int32_t i = 1; i < count; i++) {
            const int32_t k = source.fKeyFrames[i];
            const int32_t at = ClampFrame(int64_t(frame) + k - 1);
            Key sum = add(target.GetValue(at), source.GetValue(k));
            target.SetValue(at, sum);
            blended = true;
        }
        return blended ? weight : 0;
    }
};
