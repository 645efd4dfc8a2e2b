#include "gradient_stop.h"

GradientStop::GradientStop()
    : fSelected(false)
{
}

GradientStop::GradientStop(float position, rgb_color color)
    : fSelected(false)
{
    fPosition.SetValue(0, position);
    fColor.SetValue(0, color);
}
