#pragma once

#include "animcolor.h"
#include "animval.h"

// One colour stop of a multi-stop gradient: where it lies along the gradient (0..1) and its
// colour, both animated.
struct GradientStop {
    GradientStop();
    // Both channels keyed at frame 0.
    GradientStop(float position, rgb_color color);

    // Marked in the gradient dialog's stop bar.
    bool fSelected;
    AnimVal fPosition;
    AnimColor fColor;
};
