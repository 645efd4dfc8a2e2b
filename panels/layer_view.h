#pragma once

#include <cstdint>

#include "qv_stopwatch.h"
#include "qv_view.h"

class LayerWnd;
class QV_Menu;
class QV_ScrollingView;
class VornDoc;
class VornLayer;
struct QV_PixelBuffer;

// The tree of the document's layers inside the Layers panel: one row per shown layer, the top
// of the stack first. It changes the document itself and tells the panel (and through it the
// main window) what changed.
class LayerView : public QV_View {
public:
    explicit LayerView(QV_ScrollingView* scroller);
    ~LayerView() override;

    void Draw() override;
    void MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void MouseMoved(int32_t x, int32_t y, int32_t modifiers, QV_Message* message) override;
    void MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;

    // The layer whose row holds the point (view coordinates), with that row's origin; null
    // below the last row, whose origin is then reported.
    VornLayer* LayerAt(int32_t x, int32_t y, int32_t& rowX, int32_t& rowTop);
    // Redraws and refreshes the scrolling view.
    void Redraw();

    VornDoc* fDoc;
    int32_t fRowCount;
    int32_t fRowHeight;
    int32_t fIndent;
    int32_t fMargin;
    int32_t fContentWidth;
    QV_ScrollingView* fScroller;
    QV_Menu* fOptionsMenu;
    bool fPressed;
    bool fOpenSettings;
    bool fMoved;
    int32_t fLastX;
    int32_t fLastY;
    VornLayer* fPressedLayer;
    QV_Stopwatch fClock;
    QV_PixelBuffer* fEyeImage;
    QV_PixelBuffer* fExpandedImage;
    QV_PixelBuffer* fCollapsedImage;
    QV_PixelBuffer* fTypeImages[10];
    // The panel that carries out the tree's commands and passes its notices on; null in a
    // tree on its own, which then tells nobody.
    LayerWnd* fPanel;

private:
    void Post(int32_t what);
    int32_t DrawRow(class QV_Graphics* graphics, VornLayer* layer, int32_t depth, int32_t y);
    void DrawDropMarker();
    void Drop();
    void DropOne(VornLayer* moved, VornLayer* target, bool above, bool atBottom);
    void OpenOptionsMenu(VornLayer* layer, int32_t x, int32_t y);
};

// Group, bone, switch and particle layers hold sub-layers.
bool IsGroupLike(VornLayer* layer);
// How many of the layer's siblings (the layer itself included) are visible, and the list of
// those siblings.
int32_t CountVisibleSiblings(VornDoc* doc, VornLayer* layer);
void SetSiblingsVisible(VornDoc* doc, VornLayer* layer, bool visible);
// The "i|j|" key that puts the moved layer next to the target in its ordered group's depth
// order (the moved layer last when the target is the group itself).
void LayerOrderKey(VornLayer* group, VornLayer* moved, VornLayer* target, bool above, char* text, int32_t size);
