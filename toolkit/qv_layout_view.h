#pragma once
#include <cstdint>

#include "qv_view.h"

constexpr int32_t DEFAULT_PADDING = 8;
constexpr int32_t DEFAULT_INDENT = 16;

// Stacks its children in one row or one column at their preferred sizes.
// Nested rows and columns are opened with Push and closed with Pop, so that
// a dialog is built as a sequence of calls.
class QV_LayoutView : public QV_View {
public:
    static constexpr int32_t kMaxGroups = 16;

    QV_LayoutView(bool vertical, int32_t spacing, int32_t marginH, int32_t marginV);

    QV_Point MinSize() override;
    QV_Point MaxSize() override;
    QV_Point PreferredSize() override;
    void Layout() override;
    void Arrange() override;

    // Into the innermost open group, or into this view.
    void AddChild(QV_View* view) override;
    void AddChild(QV_View* view, int32_t alignment, int32_t extraIndent = 0);
    void AddPadding(int32_t size = DEFAULT_PADDING);
    void Indent(int32_t pixels = DEFAULT_INDENT);
    void Unindent(int32_t pixels = DEFAULT_INDENT);
    void PushH(int32_t alignment = ALIGN_LEFT, int32_t spacing = -1);
    void PushV(int32_t alignment = ALIGN_LEFT, int32_t spacing = -1);
    // False, and nothing opened, when 16 groups are open already.
    bool Push(bool vertical, int32_t alignment, int32_t spacing, int32_t marginH, int32_t marginV);
    // False when no group is open.
    bool Pop();
    void LayoutChildren(bool arrangeOnly);

    bool fVertical;
    int32_t fSpacing;
    int32_t fIndentSum;
    int32_t fMarginH;
    int32_t fMarginV;
    int32_t fDepth;
    QV_LayoutView* fGroups[kMaxGroups];

private:
    QV_LayoutView* Innermost();
};

// Empty space of a fixed size.
class QV_PadView : public QV_View {
public:
    QV_PadView(int32_t width, int32_t height);
    QV_Point MinSize() override;
    QV_Point PreferredSize() override;
    QV_Point MaxSize() override;

    int32_t fPadWidth;
    int32_t fPadHeight;
};
