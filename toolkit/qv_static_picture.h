#pragma once
#include "qv_base_widget.h"
#include "qv_string.h"
#include "qv_tool_tip.h"

// An image with an optional tool tip that shows at once; with fLink set, a
// press opens that web address.
class QV_StaticPicture : public QV_BaseWidget {
public:
    // The image belongs to the caller and must outlive the widget.
    QV_StaticPicture(QV_PixelBuffer* image, const char* toolTip);

    void MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void MouseMoved(int32_t x, int32_t y, int32_t modifiers, QV_Message* message) override;
    void Detached() override;
    void DrawWidget(QV_Graphics* graphics) override;

    QV_PixelBuffer* fImage;
    QV_String fToolTipText;
    QV_String fLink;
    QV_ToolTip fToolTip;
};
