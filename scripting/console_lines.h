#pragma once

#include <cstdint>

#include "qv_arraylist.h"
#include "qv_color.h"
#include "qv_string.h"

// One line of the Lua console: its UTF-8 text and its colour.
struct QVi_ConsoleLine {
    QV_String fText;
    rgb_color fColor;
};

// The console's lines, oldest first, at most kMaxLines; the oldest falls out when a new line
// would exceed them.
class QVi_ConsoleLines {
public:
    static constexpr int32_t kMaxLines = 128;

    QVi_ConsoleLines();
    ~QVi_ConsoleLines();
    QVi_ConsoleLines(const QVi_ConsoleLines&) = delete;
    QVi_ConsoleLines& operator=(const QVi_ConsoleLines&) = delete;

    void AddLine(const char* text, rgb_color color);
    void Clear();
    int32_t Count() const { return fLines.fCount; }
    // Null outside 0..Count()-1.
    const QVi_ConsoleLine* Line(int32_t index) const;

private:
    QV_ArrayList fLines; // owned QVi_ConsoleLine records
};
