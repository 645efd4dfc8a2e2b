#include "qv_tool_bar.h"

#include <algorithm>

#include "follow_flags.h"
#include "qv_graphics.h"
#include "qv_layer.h"
#include "raster_geometry.h"

QV_ToolBar::QV_ToolBar(QV_PixelBuffer* normal, QV_PixelBuffer* down, QV_PixelBuffer* disabled, QV_PixelBuffer* hover)
    : QV_BaseWidget(FOLLOW_LEFT | FOLLOW_TOP, true)
    , fNormalImage(normal)
    , fDownImage(down)
    , fDisabledImage(disabled)
    , fHoverImage(hover)
    , fActOnPress(false)
    , fColumns(0)
    , fRows(0)
    , fCellWidth(0)
    , fCellHeight(0)
    , fPressed(-1)
    , fPressedHover(-1)
    , fHover(-1)
    , fMessages {}
    , fKinds {}
    , fSelected {}
{
    std::fill(fCellEnabled, fCellEnabled + kMaxCells, true);
    const QV_Point size = PreferredSize();
    ResizeTo(size.x, size.y);
}

QV_Point QV_ToolBar::PreferredSize()
{
    if (!fNormalImage)
        return { 0, 0 };
    return { fNormalImage->width, fNormalImage->height };
}

int32_t QV_ToolBar::CellCount() const
{
    return std::clamp(fColumns * fRows, 0, kMaxCells);
}

QV_Rect QV_ToolBar::CellRect(int32_t index) const
{
    const int32_t columns = std::max(1, fColumns);
    QV_Rect r;
    r.left = (index % columns) * fCellWidth;
    r.top = (index / columns) * fCellHeight;
    r.right = r.left + fCellWidth - 1;
    r.bottom = r.top + fCellHeight - 1;
    const int32_t sheetWidth = fNormalImage ? fNormalImage->width : 0;
    const int32_t sheetHeight = fNormalImage ? fNormalImage->height : 0;
    if (fColumns > 1 && fCellWidth * fColumns < sheetWidth)
        r.right = std::min(r.right + 1, sheetWidth - 1);
    if (fRows > 1 && fRows * fCellHeight < sheetHeight)
        r.bottom = std::min(r.bottom + 1, sheetHeight - 1);
    return r;
}

int32_t QV_ToolBar::CellAt(int32_t x, int32_t y) const
{
    const QV_Rect b = Bounds();
    if (x < b.left || x > b.right || y < b.top || y > b.bottom)
        return -1;
    for (int32_t i = 0; i < CellCount(); ++i) {
        const QV_Rect r = CellRect(i);
        if (fMessages[i] != 0 && x >= b.left + r.left && x <= b.left + r.right && y >= b.top + r.top
            && y <= b.top + r.bottom)
            return i;
    }
    return -1;
}

void QV_ToolBar::SetEnabled(int32_t message, bool enabled)
{
    bool changed = false;
    for (int32_t i = 0; i < kMaxCells; ++i) {
        if (fMessages[i] == message && fCellEnabled[i] != enabled) {
            fCellEnabled[i] = enabled;
            changed = true;
        }
    }
    if (changed)
        Redraw(true);
}

void QV_ToolBar::DisableAll()
{
    std::fill(fCellEnabled, fCellEnabled + CellCount(), false);
    Redraw(true);
}

void QV_ToolBar::SelectTool(int32_t message)
{
    for (int32_t i = 0; i < CellCount(); ++i)
        if (fKinds[i] == kTool)
            fSelected[i] = fMessages[i] == message;
    Redraw(true);
}

bool QV_ToolBar::HasActiveTool() const
{
    for (int32_t i = 0; i < CellCount(); ++i)
        if (fSelected[i] && fCellEnabled[i])
            return true;
    return false;
}

bool QV_ToolBar::SelectFirstTool()
{
    for (int32_t i = 0; i < CellCount(); ++i) {
        if (fCellEnabled[i] && fKinds[i] == kTool) {
            SelectTool(fMessages[i]);
            PostMessage(fMessages[i]);
            return true;
        }
    }
    return false;
}

void QV_ToolBar::Activate(int32_t index)
{
    if (fKinds[index] == kTool)
        fSelected[index] = true;
    else if (fKinds[index] == kToggle)
        fSelected[index] = !fSelected[index];
    Redraw(true);
    if (fKinds[index] == kTool)
        SelectTool(fMessages[index]);
    PostMessage(fMessages[index]);
}

void QV_ToolBar::MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message)
{
    QV_View::MouseDown(x, y, button, modifiers, message);
    if (!fEnabled)
        return;
    int32_t cell = CellAt(x, y);
    if (cell >= 0 && (!fCellEnabled[cell] || (fKinds[cell] == kTool && fSelected[cell])))
        cell = -1;
    fPressed = fPressedHover = cell;
    if (cell < 0)
        return;
    if (fActOnPress && (fKinds[cell] == kTool || fKinds[cell] == kToggle)) {
        fPressed = fPressedHover = -1;
        Activate(cell);
        return;
    }
    Redraw(true);
}

void QV_ToolBar::MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message)
{
    QV_View::MouseUp(x, y, button, modifiers, message);
    if (!fEnabled || fPressed < 0)
        return;
    const int32_t cell = CellAt(x, y);
    const int32_t pressed = fPressed;
    fPressed = fPressedHover = -1;
    if (cell == pressed)
        Activate(cell);
    else
        Redraw(true);
}

void QV_ToolBar::MouseMoved(int32_t x, int32_t y, int32_t modifiers, QV_Message* message)
{
    QV_View::MouseMoved(x, y, modifiers, message);
    const int32_t cell = CellAt(x, y);
    if (fPressed >= 0) {
        if (cell != fPressedHover) {
            fPressedHover = cell;
            Redraw(true);
        }
        return;
    }
    QV_Layer* layer = OwnerLayer();
    if (!layer || !layer->fShown)
        return;
    if (cell < 0) {
        if (fHoverImage && fHover != -1) {
            fHover = -1;
            Redraw(true);
        }
        return;
    }
    if (fHoverImage && cell != fHover) {
        fHover = cell;
        Redraw(true);
    }
    if (!fLabels[cell].IsEmpty() && layer->fWindow) {
        const QV_Point at = ConvertToWindow({ x, y });
        fToolTip.Show(layer->fWindow, at.x, at.y, fLabels[cell].CString());
    }
}

void QV_ToolBar::DrawWidget(QV_Graphics* graphics)
{
    for (int32_t i = 0; i < CellCount(); ++i) {
        QV_PixelBuffer* sheet = fNormalImage;
        if ((i == fPressed && fPressed == fPressedHover) || (fKinds[i] != kPush && fSelected[i]))
            sheet = fDownImage;
        else if (i == fHover)
            sheet = fHoverImage;
        if (!fCellEnabled[i])
            sheet = fDisabledImage;
        if (!sheet)
            continue;
        const QV_Rect r = CellRect(i);
        QV_PixelBuffer cell;
        if (MakeSubRaster(r, *sheet, cell) != 0)
            continue;
        graphics->DrawImageAlpha(&cell, float(r.left), float(r.top), false);
    }
}
