#pragma once

#include <cstdint>

#include "qv_vector.h"

// How the span that starts at a key is interpolated. The codes are stored in documents and
// seen by scripts (INTERP_LINEAR to INTERP_EASE_OUT), so they never change.
constexpr int32_t INTERP_LINEAR = 0;
constexpr int32_t INTERP_SMOOTH = 1;
constexpr int32_t INTERP_EASE = 2;
constexpr int32_t INTERP_STEP = 3;
// val1 noise amplitude, val2 noise frequency.
constexpr int32_t INTERP_NOISY = 4;
// val2 > -0.000001: val2 is the absolute frame the cycle restarts at; otherwise the cycle
// restarts val1 frames before the key.
constexpr int32_t INTERP_CYCLE = 5;
// val1 is the index of the action played from the key on, val2 is -1.
constexpr int32_t INTERP_POSE = 6;
constexpr int32_t INTERP_EASE_IN = 7;
constexpr int32_t INTERP_EASE_OUT = 8;

// A plain record of three 32-bit fields: documents and scripts see exactly these.
struct InterpSetting {
    int32_t interpMode;
    float val1;
    float val2;
};

// The "DefaultInterp" preference: the mode of every new key (INTERP_SMOOTH unless set).
int32_t DefaultInterpMode();
// {DefaultInterpMode(), 0.1, 0.5}: what every new key gets and what the queries for a frame
// without a key answer.
InterpSetting DefaultInterpSetting();

// A float parameter taken as a frame or index: halves go away from zero. Values beyond the
// int32 range saturate and NaN gives 0, since parameters come from documents.
int32_t RoundParam(float value);

// Frame arithmetic of the interpolation done in 64 bits and brought back into the int32 range:
// frames are any int32 a document holds, so their sums and differences may not fit.
int32_t ClampFrame(int64_t frame);

// The frame a cycle key at keyFrame restarts at, from its parameters.
int32_t CycleTarget(int32_t keyFrame, const InterpSetting& setting);

// The frame shown at frame (a frame after the cycle key at keyFrame) when the cycle restarts at
// target. The answer is at most keyFrame, so it lies before frame and repeated mapping ends.
int32_t MapCycleFrame(int32_t keyFrame, int32_t target, int32_t frame);

