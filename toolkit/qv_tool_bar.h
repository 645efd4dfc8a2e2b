#pragma once
#include <cstdint>

#include "qv_base_widget.h"
#include "qv_pixelbuffer.h"
#include "qv_string.h"
#include "qv_tool_tip.h"

// A grid of image buttons copied from picture sheets: one sheet per look
// (normal, down, disabled, under the pointer). A cell is a push button, a
// tool (one tool of the bar is selected) or a toggle.
class QV_ToolBar : public QV_BaseWidget {
public:
    static constexpr int32_t kMaxCells = 32;
    static constexpr int32_t kPush = 0;
    static constexpr int32_t kTool = 1;
    static constexpr int32_t kToggle = 2;

    // The sheets are not owned; the hover sheet may be null.
    QV_ToolBar(QV_PixelBuffer* normal, QV_PixelBuffer* down, QV_PixelBuffer* disabled, QV_PixelBuffer* hover);

    QV_Point PreferredSize() override;
    void MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void MouseMoved(int32_t x, int32_t y, int32_t modifiers, QV_Message* message) override;
    void MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void DrawWidget(QV_Graphics* graphics) override;

    void SetEnabled(int32_t message, bool enabled);
    void DisableAll();
    void SelectTool(int32_t message);
    bool HasActiveTool() const;
    bool SelectFirstTool();
    // In sheet and bar coordinates alike.
    QV_Rect CellRect(int32_t index) const;
    // A cell holding a button under the point, or -1.
    int32_t CellAt(int32_t x, int32_t y) const;

    QV_PixelBuffer* fNormalImage;
    QV_PixelBuffer* fDownImage;
    QV_PixelBuffer* fDisabledImage;
    QV_PixelBuffer* fHoverImage;
    QV_ToolTip fToolTip;
    bool fActOnPress;
    int32_t fColumns;
    int32_t fRows;
    int32_t fCellWidth;
    int32_t fCellHeight;
    int32_t fPressed;
    int32_t fPressedHover;
    int32_t fHover;
    int32_t fMessages[kMaxCells];
    QV_String fLabels[kMaxCells];
    int32_t fKinds[kMaxCells];
    bool fSelected[kMaxCells];
    bool fCellEnabled[kMaxCells];

private:
    // The cells of the grid, never more than 32.
    int32_t CellCount() const;
    void Activate(int32_t index);
};
