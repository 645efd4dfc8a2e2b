#pragma once
#include "qv_base_widget.h"

// A grooved separator line.
class QV_Divider : public QV_BaseWidget {
public:
    explicit QV_Divider(bool vertical = false);
    void DrawWidget(QV_Graphics* graphics) override;

    bool fVertical;
};
