#include "qv_layout_view.h"

#include <algorithm>

QV_LayoutView::QV_LayoutView(bool vertical, int32_t spacing, int32_t marginH, int32_t marginV)
    : QV_View(FOLLOW_LEFT | FOLLOW_TOP)
    , fVertical(vertical)
    , fSpacing(spacing)
    , fIndentSum(0)
    , fMarginH(marginH)
    , fMarginV(marginV)
    , fDepth(-1)
    , fGroups {}
{
}

QV_Point QV_LayoutView::MinSize()
{
    return { 1, 1 };
}

QV_Point QV_LayoutView::MaxSize()
{
    return { 1, 1 };
}

QV_LayoutView* QV_LayoutView::Innermost()
{
    return fDepth >= 0 ? fGroups[fDepth] : this;
}

QV_Point QV_LayoutView::PreferredSize()
{
    if (fChildCount == 0)
        return QV_View::PreferredSize();
    // Main axis a, cross axis b; a column swaps x and y.
    const int32_t marginA = fVertical ? fMarginV : fMarginH;
    const int32_t marginB = fVertical ? fMarginH : fMarginV;
    int32_t a = marginA;
    int32_t extentA = marginA;
    int32_t extentB = marginB;
    for (int32_t i = 0; i < fChildCount; ++i) {
        const QV_Point size = fChildren[i]->PreferredSize();
        const int32_t sizeA = fVertical ? size.y : size.x;
        const int32_t sizeB = fVertical ? size.x : size.y;
        extentA = std::max(extentA, a + sizeA);
        a += sizeA + fSpacing;
        extentB = std::max(extentB, marginB + fChildren[i]->fIndent + sizeB);
    }
    if (fVertical)
        return { extentB + marginB, extentA + marginA };
    return { extentA + marginA, extentB + marginB };
}

void QV_LayoutView::Layout()
{
    LayoutChildren(false);
    const QV_Point preferred = PreferredSize();
    SetSize(preferred.x, preferred.y);
}

void QV_LayoutView::Arrange()
{
    LayoutChildren(true);
}

void QV_LayoutView::AddChild(QV_View* view)
{
    AddChild(view, ALIGN_CENTER, 0);
}

void QV_LayoutView::AddChild(QV_View* view, int32_t alignment, int32_t extraIndent)
{
    if (!view)
        return;
    QV_LayoutView* group = Innermost();
    view->fAlign = alignment;
    view->fIndent = extraIndent + fIndentSum + (group != this ? group->fIndentSum : 0);
    if (group == this)
        QV_View::AddChild(view);
    else
        group->QV_View::AddChild(view);
}

void QV_LayoutView::AddPadding(int32_t size)
{
    const bool vertical = Innermost()->fVertical;
    AddChild(vertical ? new QV_PadView(1, size) : new QV_PadView(size, 1), ALIGN_LEFT, 0);
}

void QV_LayoutView::Indent(int32_t pixels)
{
    fIndentSum += pixels;
}

void QV_LayoutView::Unindent(int32_t pixels)
{
    fIndentSum -= pixels;
}

void QV_LayoutView::PushH(int32_t alignment, int32_t spacing)
{
    Push(false, alignment, spacing, 0, 0);
}

void QV_LayoutView::PushV(int32_t alignment, int32_t spacing)
{
    Push(true, alignment, spacing, 0, 0);
}

bool QV_LayoutView::Push(bool vertical, int32_t alignment, int32_t spacing, int32_t marginH, int32_t marginV)
{
    if (fDepth + 1 >= kMaxGroups)
        return false;
    auto* group = new QV_LayoutView(vertical, spacing < 0 ? fSpacing : spacing, marginH, marginV);
    group->fAlign = alignment;
    if (fDepth < 0) {
        group->fIndent = fIndentSum;
        QV_View::AddChild(group);
    } else {
        QV_LayoutView* outer = fGroups[fDepth];
        group->fIndent = outer->fIndentSum;
        outer->QV_View::AddChild(group);
    }
    fGroups[++fDepth] = group;
    return true;
}

bool QV_LayoutView::Pop()
{
    if (fDepth < 0)
        return false;
    fGroups[fDepth--] = nullptr;
    return true;
}

void QV_LayoutView::LayoutChildren(bool arrangeOnly)
{
    if (fChildCount == 0)
        return;
    for (int32_t i = 0; i < fChildCount; ++i) {
        if (arrangeOnly)
            fChildren[i]->Arrange();
        else
            fChildren[i]->Layout();
    }
    const int32_t marginA = fVertical ? fMarginV : fMarginH;
    const int32_t marginB = fVertical ? fMarginH : fMarginV;
    int32_t largestEnd = marginB;
    int32_t a = marginA;
    for (int32_t i = 0; i < fChildCount; ++i) {
        QV_View* child = fChildren[i];
        if (!arrangeOnly) {
            if (fVertical)
                child->MoveTo(marginB + child->fIndent, a);
            else
                child->MoveTo(a, marginB + child->fIndent);
            const QV_Point preferred = child->PreferredSize();
            child->SetSize(preferred.x, preferred.y);
        }
        const QV_Rect frame = child->fFrame;
        if (fVertical)
            a += frame.bottom - frame.top + 1 + fSpacing;
        else
            a += frame.right - frame.left + 1 + fSpacing;
        largestEnd = std::max(largestEnd, (fVertical ? frame.right : frame.bottom) + 1);
    }
    const QV_Point size = Size();
    const int32_t available
        = arrangeOnly ? (fVertical ? size.x : size.y) - 1 - 2 * marginB : largestEnd - marginB;
    for (int32_t i = 0; i < fChildCount; ++i) {
        QV_View* child = fChildren[i];
        const QV_Point childSize = child->Size();
        const int32_t cross = fVertical ? childSize.x : childSize.y;
        if (child->fAlign == 0 || cross >= available)
            continue;
        const QV_Rect frame = child->fFrame;
        switch (child->fAlign) {
        case ALIGN_CENTER:
            if (fVertical)
                child->MoveTo(marginB + (available - cross) / 2, frame.top);
            else
                child->MoveTo(frame.left, marginB + (available - cross) / 2);
            break;
        case ALIGN_RIGHT:
            if (fVertical)
                child->MoveTo(marginB + available - cross, frame.top);
            else
                child->MoveTo(frame.left, marginB + available - cross);
            break;
        case ALIGN_FILL:
            if (fVertical)
                child->SetSize(available - child->fIndent, childSize.y);
            else
                child->SetSize(childSize.x, available - child->fIndent);
            if (!arrangeOnly)
                child->Arrange();
            break;
        default:
            break;
        }
    }
}

QV_PadView::QV_PadView(int32_t width, int32_t height)
    : QV_View(FOLLOW_LEFT | FOLLOW_TOP)
    , fPadWidth(width)
    , fPadHeight(height)
{
    ResizeTo(width, height);
}

QV_Point QV_PadView::MinSize()
{
    return { fPadWidth, fPadHeight };
}

QV_Point QV_PadView::PreferredSize()
{
    return { fPadWidth, fPadHeight };
}

QV_Point QV_PadView::MaxSize()
{
    return { fPadWidth, fPadHeight };
}
