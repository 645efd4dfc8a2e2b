#include "layer_view.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "grouplayer.h"
#include "interface_colors.h"
#include "interface_fonts.h"
#include "layer_wnd.h"
#include "main_layout.h"
#include "meshlayer.h"
#include "particlelayer.h"
#include "qv_app.h"
#include "qv_font.h"
#include "qv_graphics.h"
#include "qv_menu.h"
#include "qv_scrolling_view.h"
#include "qv_base_widget.h"
#include "qv_wnd.h"
#include "resource_images.h"
#include "switchlayer.h"
#include "vorndoc.h"
#include "vornlayer.h"

namespace {

constexpr int32_t kShift = 1;
constexpr int32_t kControl = 2;
constexpr int32_t kAlt = 4;
constexpr int32_t kMaxSwitchItems = 200;

QV_Font* StandardFont()
{
    return gWidgetFont;
}

int32_t LineHeightOf(QV_Font* font)
{
    return font ? font->LineHeight() : 15;
}

int32_t ImageWidth(QV_PixelBuffer* image)
{
    return image ? image->width : 0;
}

int32_t ImageHeight(QV_PixelBuffer* image)
{
    return image ? image->height : 0;
}

// The layers of a list in the order their rows show: the top of the stack first.
struct RowList {
    VornLayer* const* items;
    int32_t count;
};

RowList ChildRows(VornLayer* layer)
{
    auto* group = static_cast<GroupLayer*>(layer);
    if (group->IsLayerOrdered())
        return { reinterpret_cast<VornLayer* const*>(group->fDepthLayers.fItems), group->fDepthLayers.fCount };
    return { reinterpret_cast<VornLayer* const*>(group->fLayers.fItems), group->fLayers.fCount };
}

// Calls visit(layer, depth) for every row in row order until it answers true.
template <typename Visit> bool WalkRows(RowList rows, int32_t depth, Visit& visit)
{
    for (int32_t i = rows.count - 1; i >= 0; i--) {
        VornLayer* layer = rows.items[i];
        if (!layer)
            continue;
        if (visit(layer, depth))
            return true;
        if (IsGroupLike(layer) && static_cast<GroupLayer*>(layer)->IsExpanded()) {
            if (WalkRows(ChildRows(layer), depth + 1, visit))
                return true;
        }
    }
    return false;
}

RowList TopRows(VornDoc* doc)
{
    return { reinterpret_cast<VornLayer* const*>(doc->fLayers.fItems), doc->fLayers.fCount };
}

QV_ArrayList* SiblingList(VornDoc* doc, VornLayer* layer)
{
    if (layer->Parent())
        return &layer->Parent()->fLayers;
    return &doc->fLayers;
}

bool IsAncestorOf(VornLayer* layer, VornLayer* descendant)
{
    for (GroupLayer* parent = descendant ? descendant->Parent() : nullptr; parent; parent = parent->Parent()) {
        if (parent == layer)
            return true;
    }
    return false;
}

// A particle layer's particles follow its sub-layers only after a pass through frame 0.
void Resettle(VornDoc* doc, VornLayer* layer)
{
    if (layer && layer->LayerType() == LT_PARTICLE) {
        layer->SetCurFrame(0);
        layer->SetCurFrame(doc->CurFrame());
    }
}

rgb_color Mix(rgb_color a, rgb_color b)
{
    return rgb_color { uint8_t((a.r + b.r) / 2), uint8_t((a.g + b.g) / 2),
        uint8_t((a.b + b.b) / 2), uint8_t((a.a + b.a) / 2) };
}

} // namespace

bool IsGroupLike(VornLayer* layer)
{
    if (!layer)
        return false;
    const int32_t type = layer->LayerType();
    return type >= LT_GROUP && type <= LT_PARTICLE;
}

int32_t CountVisibleSiblings(VornDoc* doc, VornLayer* layer)
{
    QV_ArrayList* list = SiblingList(doc, layer);
    int32_t visible = 0;
    for (int32_t i = 0; i < list->fCount; i++) {
        if (static_cast<VornLayer*>(list->fItems[i])->fVisible)
            visible++;
    }
    return visible;
}

void SetSiblingsVisible(VornDoc* doc, VornLayer* layer, bool visible)
{
    QV_ArrayList* list = SiblingList(doc, layer);
    for (int32_t i = 0; i < list->fCount; i++)
        static_cast<VornLayer*>(list->fItems[i])->fVisible = visible;
}

void LayerOrderKey(VornLayer* groupLayer, VornLayer* moved, VornLayer* target, bool above, char* text, int32_t size)
{
    auto* group = static_cast<GroupLayer*>(groupLayer);
    int32_t used = 0;
    auto append = [&](VornLayer* layer, bool bar) {
        const int32_t index = group->LayerIndex(layer);
        if (used < size)
            used += std::snprintf(text + used, size_t(size - used), bar ? "%d|" : "%d", int(index));
        used = std::min(used, size - 1);
    };
    text[0] = 0;
    for (int32_t i = 0; i < group->fDepthLayers.fCount; i++) {
        auto* layer = static_cast<VornLayer*>(group->fDepthLayers.fItems[i]);
        if (layer == moved)
            continue;
        if (target != groupLayer && layer == target) {
            if (above) {
                append(target, true);
                append(moved, true);
            } else {
                append(moved, true);
                append(target, true);
            }
        } else {
            append(layer, true);
        }
    }
    if (target == groupLayer)
        append(moved, false);
}

LayerView::LayerView(QV_ScrollingView* scroller)
    : QV_View(FOLLOW_LEFT | FOLLOW_TOP)
    , fDoc(nullptr)
    , fRowCount(0)
    , fRowHeight(0)
    , fIndent(0)
    , fMargin(0)
    , fContentWidth(32)
    , fScroller(scroller)
    , fOptionsMenu(nullptr)
    , fPressed(false)
    , fOpenSettings(false)
    , fMoved(false)
    , fLastX(0)
    , fLastY(0)
    , fPressedLayer(nullptr)
    , fPanel(nullptr)
{
    const int32_t line = LineHeightOf(StandardFont());
    fRowHeight = line + line / 2;
    fIndent = fRowHeight / 2 + fRowHeight / 4;
    fMargin = fRowHeight / 4;
    fEyeImage = GetResourceImage("visible_icon");
    fExpandedImage = GetResourceImage("expanded");
    fCollapsedImage = GetResourceImage("unexpanded");
    static const char* const kTypeNames[10] = { nullptr, "mesh_type", "image_type", "group_type", "bone_type",
        "switch_type", "particle_type", "note_type", "mesh3d_type", "audio_type" };
    fTypeImages[0] = nullptr;
    for (int32_t type = 1; type < 10; type++)
        fTypeImages[type] = GetResourceImage(kTypeNames[type]);
    fOptionsMenu = new QV_Menu("Layer Options");
    fOptionsMenu->fTarget = this;
    QV_View::ResizeTo(32, 32);
}

LayerView::~LayerView()
{
    delete fOptionsMenu;
}

void LayerView::Post(int32_t what)
{
    if (fPanel)
        fPanel->TreeNotice(what);
}

void LayerView::Redraw()
{
    Draw();
    if (fScroller)
        fScroller->Refresh();
}

VornLayer* LayerView::LayerAt(int32_t x, int32_t y, int32_t& rowX, int32_t& rowTop)
{
    (void)x;
    rowX = 0;
    rowTop = 0;
    if (!fDoc)
        return nullptr;
    if (y < 0) {
        const RowList top = TopRows(fDoc);
        return top.count > 0 ? top.items[top.count - 1] : nullptr;
    }
    int32_t top = 0;
    VornLayer* found = nullptr;
    auto visit = [&](VornLayer* layer, int32_t depth) {
        rowX = depth * fIndent;
        rowTop = top;
        if (y >= top && y < top + fRowHeight) {
            found = layer;
            return true;
        }
        top += fRowHeight;
        return false;
    };
    WalkRows(TopRows(fDoc), 0, visit);
    return found;
}

void LayerView::Draw()
{
    QV_Graphics* graphics = GetGraphics();
    const QV_Rect bounds = Bounds();
    if (graphics) {
        graphics->SetColorStruct(WindowBackground);
        graphics->FillRect(bounds.left, bounds.top, bounds.right, bounds.bottom);
    }
    if (!fDoc)
        return;
    const int32_t oldRows = fRowCount;
    const int32_t oldWidth = fContentWidth;
    fRowCount = 0;
    fContentWidth = 4 * fRowHeight;
    // Rows scrolled out of sight are counted and measured, not painted.
    QV_Rect visible = bounds;
    if (graphics && ClipToVisible(visible)) {
        const QV_Rect frame = FrameInLayer();
        visible.top -= frame.top;
        visible.bottom -= frame.top;
    } else {
        visible = QV_Rect { 0, 0, -1, -1 };
    }
    int32_t y = 0;
    auto visit = [&](VornLayer* layer, int32_t depth) {
        const bool shown = y <= visible.bottom && y + fRowHeight - 1 >= visible.top;
        y = DrawRow(shown ? graphics : nullptr, layer, depth, y);
        return false;
    };
    WalkRows(TopRows(fDoc), 0, visit);
    if (fPressed)
        DrawDropMarker();
    const int32_t visibleWidth = fScroller ? RectWidth(fScroller->fClipView->Frame()) : RectWidth(bounds);
    fContentWidth = std::max(fContentWidth, visibleWidth);
    if (fRowCount != oldRows || fContentWidth != oldWidth) {
        const QV_Point size = Size();
        const int32_t height = (fRowCount + 1) * fRowHeight;
        QV_View::ResizeTo(fContentWidth, height);
        if (fContentWidth > size.x || height > size.y)
            Draw();
        if (fScroller)
            fScroller->UpdateScrollBars();
    }
}

int32_t LayerView::DrawRow(QV_Graphics* graphics, VornLayer* layer, int32_t depth, int32_t y0)
{
    fRowCount++;
    const int32_t rowX = depth * fIndent;
    const int32_t y1 = y0 + fRowHeight - 1;
    const int32_t middle = y0 + fRowHeight / 2;
    QV_Font* standard = StandardFont();
    QV_Font* nameFont = standard;
    if (layer == fDoc->GetSelectedLayer())
        nameFont = gMenuFont ? gMenuFont : standard;
    else if (layer->fRenderOnly)
        nameFont = gPanelFont ? gPanelFont : standard;
    const int32_t eyeWidth = ImageWidth(fEyeImage);
    int32_t x = fMargin + eyeWidth + fMargin + rowX;
    x += ImageWidth(fCollapsedImage) + fMargin;
    const int32_t type = layer->LayerType();
    QV_PixelBuffer* typeImage = type >= 1 && type <= 9 ? fTypeImages[type] : nullptr;
    x += typeImage ? ImageWidth(typeImage) + fMargin : fMargin;
    const int32_t nameWidth = nameFont ? nameFont->StringWidth(layer->fName.CString()) : 0;
    fContentWidth = std::max(fContentWidth, x + nameWidth + fMargin);
    if (!graphics)
        return y0 + fRowHeight;

    const QV_Rect bounds = Bounds();
    const int32_t radius = ScaledMetric3();
    if (layer == fDoc->GetSelectedLayer()) {
        graphics->SetColorStruct(Selection);
        graphics->FillRoundRect(radius, bounds.left, y0, bounds.right, y1);
    } else if (layer->fSecondarySelection) {
        graphics->SetColorStruct(rgb_color { uint8_t((WidgetFill.r + 2 * Selection.r) / 3),
            uint8_t((WidgetFill.g + 2 * Selection.g) / 3), uint8_t((WidgetFill.b + 2 * Selection.b) / 3),
            WidgetFill.a });
        graphics->FillRoundRect(radius, bounds.left, y0, bounds.right, y1);
    } else {
        graphics->FillGradientRect(
            radius, true, WidgetFill, Mix(WidgetFill, WidgetShadow), bounds.left, y0, bounds.right, y1);
    }
    graphics->SetColorStruct(WidgetOutline);
    graphics->FrameRoundRect(radius, bounds.left, y0, bounds.right, y1);

    // The eye box: a sunken frame the picture sits in.
    const int32_t eyeHeight = ImageHeight(fEyeImage);
    const int32_t bx0 = fMargin - 1;
    const int32_t by0 = middle - eyeHeight / 2 - 1;
    const int32_t bx1 = fMargin + eyeWidth;
    const int32_t by1 = by0 + eyeHeight + 1;
    graphics->SetColorStruct(WidgetFill);
    graphics->FillRect(bx0, by0, bx1, by1);
    graphics->SetColorStruct(WidgetOutline);
    graphics->FrameRect(bx0, by0, bx1, by1);
    graphics->SetColorStruct(WidgetShadow);
    graphics->DrawHLine(bx0 + 1, bx1 - 1, by0 + 1);
    graphics->DrawVLine(by0 + 1, by1 - 1, bx0 + 1);
    graphics->SetColorStruct(WidgetHighlight);
    graphics->DrawHLine(bx0 + 1, bx1 - 1, by1 - 1);
    graphics->DrawVLine(by0 + 1, by1 - 1, bx1 - 1);
    if (layer->fVisible && fEyeImage)
        graphics->DrawImageAlpha(fEyeImage, float(fMargin), float(by0 + 1), true);

    x = fMargin + eyeWidth + fMargin + rowX;
    if (IsGroupLike(layer)) {
        QV_PixelBuffer* image
            = static_cast<GroupLayer*>(layer)->IsExpanded() ? fExpandedImage : fCollapsedImage;
        if (image)
            graphics->DrawImageAlpha(image, float(x), float(middle - ImageHeight(image) / 2), true);
    }
    x += ImageWidth(fCollapsedImage) + fMargin;
    if (typeImage) {
        const int32_t iconTop = middle - ImageHeight(typeImage) / 2;
        graphics->DrawImageAlpha(typeImage, float(x), float(iconTop), true);
        if ((type == LT_VECTOR || type == LT_IMAGE) && layer->IsFlatAndStatic()) {
            graphics->SetColor(192, 0, 0, 255);
            graphics->FillEllipse(x, iconTop, x + 2, iconTop + 2);
        }
        x += ImageWidth(typeImage) + fMargin;
    } else {
        x += fMargin;
    }
    if (nameFont) {
        if (layer == fDoc->GetSelectedLayer())
            graphics->SetColorStruct(SelectedText);
        else if (layer->fRenderOnly || layer->fEditOnly)
            graphics->SetColorStruct(DisabledText);
        else
            graphics->SetColorStruct(Text);
        graphics->SetFont(nameFont);
        graphics->MoveTo(x, middle + nameFont->Ascent() * 3 / 8);
        graphics->DrawText(layer->fName.CString(), 0);
    }
    return y0 + fRowHeight;
}

void LayerView::DrawDropMarker()
{
    QV_Graphics* graphics = GetGraphics();
    if (!graphics || !fDoc)
        return;
    int32_t rowX = 0;
    int32_t rowTop = 0;
    VornLayer* target = LayerAt(fLastX, fLastY, rowX, rowTop);
    if (target && target == fPressedLayer)
        return;
    const QV_Rect bounds = Bounds();
    auto highlight = [&](VornLayer* layer) {
        int32_t top = 0;
        bool found = false;
        auto visit = [&](VornLayer* row, int32_t) {
            if (row == layer) {
                found = true;
                return true;
            }
            top += fRowHeight;
            return false;
        };
        WalkRows(TopRows(fDoc), 0, visit);
        if (!found)
            return;
        graphics->SetColor(255, 0, 0, 64);
        graphics->FillRect(bounds.left, top, bounds.right, top + fRowHeight - 1);
    };
    auto highlightParent = [&](VornLayer* layer) {
        GroupLayer* parent = layer->Parent();
        if (parent && parent != fPressedLayer && parent->IsExpanded())
            highlight(parent);
    };
    int32_t y;
    int32_t x = rowX;
    if (!target) {
        y = rowTop + fRowHeight;
        x = bounds.left;
    } else if (fLastY < rowTop + fRowHeight / 2 + 1) {
        highlightParent(target);
        y = rowTop;
    } else if (IsGroupLike(target) && static_cast<GroupLayer*>(target)->IsExpanded()) {
        highlight(target);
        y = rowTop + fRowHeight;
    } else {
        highlightParent(target);
        y = rowTop + fRowHeight;
    }
    graphics->SetColor(255, 0, 0, 255);
    const int32_t right = bounds.right;
    graphics->DrawHLine(x, right, y);
    graphics->DrawHLine(x, right, y - 1);
    for (int32_t i = 0; i < 3; i++) {
        graphics->DrawVLine(y - 4 + i, y + 3 - i, x + i);
        graphics->DrawVLine(y - 4 + i, y + 3 - i, right - i);
    }
}

void LayerView::MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message)
{
    (void)message;
    if (!fDoc)
        return;
    int32_t rowX = 0;
    int32_t rowTop = 0;
    VornLayer* layer = LayerAt(x, y, rowX, rowTop);
    if (!layer)
        return;
    fOpenSettings = false;
    const int32_t eyeWidth = ImageWidth(fEyeImage);

    if (x > fMargin && x < fMargin + eyeWidth) {
        if (!(modifiers & kAlt)) {
            layer->fVisible = !layer->fVisible;
        } else if (!layer->fVisible) {
            layer->fVisible = true;
        } else {
            SetSiblingsVisible(fDoc, layer, !(CountVisibleSiblings(fDoc, layer) > 1));
            layer->fVisible = true;
        }
        Post(1006);
        Post(1001);
        if (fPanel)
            fPanel->TellTimeline(1006);
        return;
    }

    const bool wasCurrent = layer == fDoc->GetSelectedLayer();
    if (modifiers & (kShift | kControl)) {
        if (layer->fSecondarySelection) {
            layer->fSecondarySelection = false;
            Redraw();
            return;
        }
        layer->fSecondarySelection = true;
        if (VornLayer* current = fDoc->GetSelectedLayer())
            current->fSecondarySelection = true;
    } else if (!layer->fSecondarySelection) {
        fDoc->ClearSecondarySelection();
    }

    if (!wasCurrent) {
        if (CountVisibleSiblings(fDoc, layer) == 1)
            SetSiblingsVisible(fDoc, layer, false);
        Post(1007);
        layer->fVisible = true;
        fDoc->SetSelLayer(layer);
        Redraw();
        Post(1005);
    }

    if (IsGroupLike(layer) && x > fMargin + eyeWidth + rowX
        && x < fMargin * 3 + eyeWidth + ImageWidth(fCollapsedImage) + rowX) {
        auto* group = static_cast<GroupLayer*>(layer);
        group->Expand(!group->IsExpanded());
        Post(1005);
        Post(1006);
        return;
    }

    if (button == 2) {
        OpenOptionsMenu(layer, x, y);
        return;
    }

    if (wasCurrent && fClock.running && fClock.Elapsed() < 0.5f) {
        fOpenSettings = true;
        fPressed = false;
        fClock.Stop();
        return;
    }
    fClock.Start();
    fPressed = true;
    fMoved = false;
    fLastX = x;
    fLastY = y;
    fPressedLayer = layer;
}

void LayerView::OpenOptionsMenu(VornLayer* layer, int32_t x, int32_t y)
{
    const int32_t type = layer->LayerType();
    if (type == LT_SWITCH) {
        auto* switchLayer = static_cast<SwitchLayer*>(layer);
        fOptionsMenu->RemoveAllItems();
        const QV_String value = switchLayer->GetValue(fDoc->CurFrame());
        const int32_t count = std::min(switchLayer->CountLayers(), kMaxSwitchItems);
        for (int32_t i = 0; i < count; i++) {
            auto* sub = static_cast<VornLayer*>(switchLayer->fLayers.fItems[i]);
            fOptionsMenu->AddItem(sub->fName.CString(), 0, 5100 + i);
            if (sub->fName == value)
                fOptionsMenu->SetChecked(5100 + i, true);
        }
    } else if (type == LT_PARTICLE) {
        auto* particles = static_cast<ParticleLayer*>(layer);
        fOptionsMenu->RemoveAllItems();
        const bool on = particles->RunningTrack()->GetValue(layer->CurFrame());
        fOptionsMenu->AddItem(on ? Localize("/Windows/Layers/ParticlesOff=Turn Particles Off")
                                 : Localize("/Windows/Layers/ParticlesOn=Turn Particles On"),
            0, 5030);
    } else {
        return;
    }
    if (QV_Wnd* window = Window()) {
        const QV_Point point = ConvertToWindow(QV_Point { x, y });
        fOptionsMenu->Popup(window, point.x, point.y);
    }
}

void LayerView::MouseMoved(int32_t x, int32_t y, int32_t modifiers, QV_Message* message)
{
    (void)modifiers;
    (void)message;
    if (!fPressed)
        return;
    if (!fMoved && (std::abs(x - fLastX) > 3 || std::abs(y - fLastY) > 3))
        fMoved = true;
    if (fMoved) {
        fLastX = x;
        fLastY = y;
        Redraw();
    }
}

void LayerView::MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message)
{
    (void)x;
    (void)y;
    (void)button;
    (void)message;
    if (!fPressed) {
        if (fOpenSettings) {
            fOpenSettings = false;
            if (fDoc && fPanel)
                fPanel->PostMessage(5004);
        }
        return;
    }
    if (!fMoved) {
        if (!(modifiers & (kShift | kControl)) && fDoc)
            fDoc->ClearSecondarySelection();
        fPressed = false;
        fPressedLayer = nullptr;
        Post(1006);
        Post(1001);
        return;
    }
    Drop();
    fPressed = false;
    fPressedLayer = nullptr;
    Post(1006);
    Post(1001);
}

void LayerView::Drop()
{
    if (!fDoc)
        return;
    int32_t rowX = 0;
    int32_t rowTop = 0;
    VornLayer* target = LayerAt(fLastX, fLastY, rowX, rowTop);
    bool above = false;
    bool atBottom = false;
    if (target) {
        above = fLastY < rowTop + fRowHeight / 2 + 1;
    } else {
        target = fDoc->fLayers.fCount > 0 ? static_cast<VornLayer*>(fDoc->fLayers.fItems[0]) : nullptr;
        atBottom = true;
    }
    // The gathered list is the document's own and is rebuilt by later counts: copy it.
    QV_ArrayList moved;
    if (fDoc->CountSelectedLayers() >= 2) {
        for (int32_t i = 0; i < fDoc->fSelectedLayers.fCount; i++)
            moved.Append(fDoc->fSelectedLayers.fItems[i]);
    } else if (fDoc->GetSelectedLayer()) {
        moved.Append(fDoc->GetSelectedLayer());
    }
    bool goAhead = true;
    for (int32_t n = 0; n < moved.fCount && goAhead; n++) {
        auto* layer = static_cast<VornLayer*>(moved.fItems[above ? moved.fCount - 1 - n : n]);
        if (!target || layer == target || IsAncestorOf(layer, target) || target->fSecondarySelection) {
            goAhead = false;
            break;
        }
        DropOne(layer, target, above, atBottom);
        fDoc->SetDirty();
        Post(1005);
        Post(1000);
        fDoc->PrepUndo(nullptr);
    }
}

void LayerView::DropOne(VornLayer* layer, VornLayer* target, bool above, bool atBottom)
{
    GroupLayer* parent = layer->Parent();
    if (parent && parent->IsLayerOrdered() && fDoc->CurFrame() > 0) {
        char key[1024];
        LayerOrderKey(parent, layer, target, above, key, int32_t(sizeof(key)));
        parent->fLayerOrdering.SetValue(fDoc->CurFrame(), QV_String(key));
        parent->SetCurFrame(fDoc->CurFrame());
        parent->FullDepthSort(fDoc);
        return;
    }
    if (parent) {
        parent->RemoveLayer(layer);
        Resettle(fDoc, parent);
    } else {
        fDoc->RemoveLayer(layer);
    }
    GroupLayer* destination = nullptr;
    if (IsGroupLike(target) && static_cast<GroupLayer*>(target)->IsExpanded() && !atBottom && !above) {
        destination = static_cast<GroupLayer*>(target);
        destination->AddLayer(layer);
    } else if ((destination = target->Parent())) {
        destination->InsertLayer(layer, target, above);
    } else {
        fDoc->InsertLayer(layer, target, above);
    }
    Resettle(fDoc, destination);
}
