#pragma once
#include "qv_base_widget.h"
#include "qv_string.h"

// A one-line label. It keeps no background copy: only a full repaint of its
// layer rebuilds its look cleanly.
class QV_StaticText : public QV_BaseWidget {
public:
    explicit QV_StaticText(const char* text);
    void DrawWidget(QV_Graphics* graphics) override;

    QV_String fLabel;
};

// Draws one line with its left end at x, vertically centred on the line y
// (view coordinates).
void DrawLineCentredAt(QV_Graphics* graphics, int32_t x, int32_t y, const char* text);
