#pragma once

#include <cstdint>

#include "qv_rect.h"
#include "qv_vector.h"

class VornView;

// Handed to a tool's mouse callbacks; one per canvas view, overwritten before each callback.
struct MouseEvent {
    explicit MouseEvent(VornView* owner = nullptr)
        : view(owner)
    {
    }

    VornView* view;
    QV_Point pt;
    QV_Point startPt;
    QV_Vector2 vec;
    QV_Vector2 startVec;
    bool shiftKey = false;
    bool ctrlKey = false;
    bool altKey = false;
    float penPressure = 0;
};

// Handed to a tool's key callback, for one call.
struct KeyEvent {
    KeyEvent();
    ~KeyEvent();
    KeyEvent(const KeyEvent&) = delete;
    KeyEvent& operator=(const KeyEvent&) = delete;

    // The typed character (the key code's low byte) as a one-character text, the key code and
    // the modifier bits 1 (Shift), 2 (Ctrl) and 4 (Alt).
    void Fill(VornView* canvas, int32_t code, int32_t modifiers);

    // Keeps a copy of the text; null leaves none.
    void SetKey(const char* text);

    VornView* view;
    char* key; // owned, or null
    int32_t keyCode;
    bool shiftKey;
    bool ctrlKey;
    bool altKey;
};
