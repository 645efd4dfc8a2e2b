#include "m_brush.h"

#include <cstring>

QV_ArrayList gBrushList;

M_Brush::M_Brush()
    : fHasAlpha(false)
{
}

M_Brush::~M_Brush() = default;

M_Brush* FindBrush(const char* name)
{
    if (!name)
        return nullptr;
    for (int32_t i = 0; i < gBrushList.fCount; i++) {
        M_Brush* brush = static_cast<M_Brush*>(gBrushList.fItems[i]);
        if (std::strcmp(brush->fName.CString(), name) == 0)
            return brush;
    }
    return nullptr;
}

void FreeBrushes()
{
    for (int32_t i = 0; i < gBrushList.fCount; i++)
        delete static_cast<M_Brush*>(gBrushList.fItems[i]);
    gBrushList.fCount = 0;
}
