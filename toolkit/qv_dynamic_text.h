#pragma once
#include "qv_base_widget.h"
#include "qv_string.h"

// A one-line label whose text the program changes; its size stays.
class QV_DynamicText : public QV_BaseWidget {
public:
    static constexpr int32_t kAlignLeft = 0;
    static constexpr int32_t kAlignRight = 1;
    static constexpr int32_t kAlignCentre = 4;

    QV_DynamicText(const char* text, int32_t minimumWidth, int32_t alignment);

    void SetValue(const char* text);
    void SetValue(int32_t value);
    void SetValue(float value);
    void DrawWidget(QV_Graphics* graphics) override;

    QV_String fText;
    int32_t fAlignment;
};
