#include "swf_display_item.h"

void SwfDisplayItem::MoveTo(double x, double y)
{
    fX = x;
    fY = y;
    fChanged = true;
}

void SwfDisplayItem::ScaleTo(double sx, double sy)
{
    fScaleX = sx;
    fScaleY = sy;
    fChanged = true;
}

void SwfDisplayItem::RotateTo(double degrees)
{
    fDegrees = degrees;
    fChanged = true;
}

void SwfDisplayItem::SetColorMult(double r, double g, double b, double a)
{
    fColor = { r, g, b, a };
    fChanged = true;
}
