#pragma once
#include "qv_base_widget.h"
#include "qv_string.h"

// A titled group frame around exactly one child, usually a layout view.
class QV_Box : public QV_BaseWidget {
public:
    explicit QV_Box(const char* title);

    QV_Point PreferredSize() override;
    void Layout() override;
    void Arrange() override;
    void DrawWidget(QV_Graphics* graphics) override;

    QV_String fTitle;

private:
    int32_t TitleAllowance() const;
    int32_t TitleWidth() const;
};
