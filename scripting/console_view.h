#pragma once

#include <cstdint>

#include "console_lines.h"
#include "qv_view.h"

// The view that holds the console's lines and draws them, one line of the interface font
// below the other, each in its own colour. It lives inside a scrolling view and grows with
// its lines: as tall as the lines it holds and as wide as the widest line it was ever given.
class QVi_ConsoleView : public QV_View {
public:
    QVi_ConsoleView();

    // Appends a line (the oldest falls out beyond 128) and resizes the view to fit.
    void AddLine(const char* text, rgb_color color);
    void Draw() override;

    // The height of one line: the interface font's.
    static int32_t LineHeight();

    QVi_ConsoleLines fLines;
};
