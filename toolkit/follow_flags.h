#pragma once
#include <cstdint>

// How a layer or view follows a resize of its window or parent.
constexpr int32_t FOLLOW_LEFT = 1;
constexpr int32_t FOLLOW_TOP = 2;
constexpr int32_t FOLLOW_RIGHT = 4;
constexpr int32_t FOLLOW_BOTTOM = 8;

// Applies a change of the container's size (dw, dh) to a frame given by its
// top-left corner and size: right without left moves with the right edge,
// left and right stretch, neither stays; the same for top and bottom.
inline void FollowResize(
    int32_t follow, int32_t dw, int32_t dh, int32_t& left, int32_t& top, int32_t& width, int32_t& height)
{
    if ((follow & FOLLOW_RIGHT) && !(follow & FOLLOW_LEFT))
        left += dw;
    else if ((follow & FOLLOW_RIGHT) && (follow & FOLLOW_LEFT))
        width += dw;
    if ((follow & FOLLOW_BOTTOM) && !(follow & FOLLOW_TOP))
        top += dh;
    else if ((follow & FOLLOW_BOTTOM) && (follow & FOLLOW_TOP))
        height += dh;
}
