#include "console_lines.h"

QVi_ConsoleLines::QVi_ConsoleLines()
{
    fLines.SetCapacity(4);
}

QVi_ConsoleLines::~QVi_ConsoleLines()
{
    Clear();
}

void QVi_ConsoleLines::AddLine(const char* text, rgb_color color)
{
    auto* line = new QVi_ConsoleLine { QV_String(text ? text : ""), color };
    fLines.Append(line);
    while (fLines.fCount > kMaxLines) {
        auto* oldest = static_cast<QVi_ConsoleLine*>(fLines.fItems[0]);
        fLines.Remove(oldest);
        delete oldest;
    }
}

void QVi_ConsoleLines::Clear()
{
    for (int32_t i = 0; i < fLines.fCount; i++)
        delete static_cast<QVi_ConsoleLine*>(fLines.fItems[i]);
    fLines.fCount = 0;
}

const QVi_ConsoleLine* QVi_ConsoleLines::Line(int32_t index) const
{
    if (index < 0 || index >= fLines.fCount)
        return nullptr;
    return static_cast<const QVi_ConsoleLine*>(fLines.fItems[index]);
}
