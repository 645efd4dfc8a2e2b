#pragma once

#include <cstdint>

#include "qv_string.h"
#include "qv_view.h"

// The main layer's one-line bar: the current tool's description on the left, the frame
// indicator on the right, which is always shown whole.
class StatusBar : public QV_View {
public:
    StatusBar(bool atBottom, int32_t left, int32_t top, int32_t right, int32_t bottom);
    void Draw() override;
    void SetRightText(const char* text);
    void SetLeftText(const char* text);

    QV_String fLeftText;
    QV_String fRightText;
};
