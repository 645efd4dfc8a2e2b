// The content library: a window browsing the "Library" folder beside the program, handing
// double-clicked files to the main window to open or import.

#include "library_wnd.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "app_folders.h"
#include "box_blur.h"
#include "follow_flags.h"
#include "image_file.h"
#include "interface_colors.h"
#include "interface_fonts.h"
#include "plat_time.h"
#include "plat_window.h"
#include "qv_app.h"
#include "qv_base_widget.h"
#include "qv_button.h"
#include "qv_dc.h"
#include "qv_font.h"
#include "qv_graphics.h"
#include "qv_layout_view.h"
#include "qv_message.h"
#include "qv_movie_reader.h"
#include "qv_scrolling_view.h"
#include "resource_images.h"
#include "shell_hooks.h"
#include "vorn_wnd.h"

namespace {

constexpr int32_t kShowFolder = 9301;
constexpr int32_t kFolderUp = 9302;
constexpr int32_t kZoomOut = 9303;
constexpr int32_t kZoomIn = 9304;
constexpr int32_t kCrumbFirst = 9310;
constexpr int32_t kCrumbLast = 9399;
constexpr uint32_t kDoubleClickMs = 500;

LibraryWnd* gLibraryWnd = nullptr;
// The window went with the main window at quit: it was open, and is to open at the next start.
bool gOpenAtQuit = false;

int32_t Ascent() { return gWidgetFont ? gWidgetFont->Ascent() : 11; }

int32_t RoundHalfAway(float v) { return int32_t(v < 0 ? -std::floor(-v + 0.5f) : std::floor(v + 0.5f)); }

QV_Message* UserSettings() { return gApp ? &gApp->fUserSettings : nullptr; }

// Nearest-neighbour copy of the picture, shrunk to fit the icon size, into the item's own image.
void ShrinkInto(LibraryItem& item, const QV_PixelBuffer& picture, int32_t iconSize, bool blurInPlace)
{
    if (picture.depth != 32 || picture.width <= 0 || picture.height <= 0)
        return;
    const float scale = float(iconSize) / float(std::max(picture.width, picture.height));
    const int32_t radius = RoundHalfAway(1.0f / scale) - 1;
    QV_BaseImage copy;
    QV_PixelBuffer source = picture;
    if (radius > 0) {
        if (blurInPlace) {
            BoxBlurRGBA(picture, radius);
        } else if (iconSize < 64 && copy.Allocate(picture.width, picture.height, 32) == 0) {
            QV_PixelBuffer to;
            copy.GetPixelBuffer(to);
            for (int32_t y = 0; y < picture.height; y++)
                std::memcpy(to.pixels + y * to.rowBytes, picture.pixels + y * picture.rowBytes, size_t(picture.width) * 4);
            BoxBlurRGBA(to, radius);
            source = to;
        }
    }
    const int32_t w = std::max(1, RoundHalfAway(scale * float(picture.width)));
    const int32_t h = std::max(1, RoundHalfAway(scale * float(picture.height)));
    QV_BaseImage result;
    QV_PixelBuffer out;
    if (result.Allocate(w, h, 32) != 0 || result.GetPixelBuffer(out) != 0)
        return;
    for (int32_t y = 0; y < h; y++) {
        const int32_t sy = std::min(source.height - 1, int32_t(float(y) / scale));
        for (int32_t x = 0; x < w; x++) {
            const int32_t sx = std::min(source.width - 1, int32_t(float(x) / scale));
            std::memcpy(out.pixels + y * out.rowBytes + x * 4, source.pixels + sy * source.rowBytes + sx * 4, 4);
        }
    }
    item.fOwnImage.Free();
    item.fOwnImage.Allocate(w, h, 32);
    item.fOwnImage.GetPixelBuffer(item.fOwnBuffer);
    for (int32_t y = 0; y < h; y++)
        std::memcpy(item.fOwnBuffer.pixels + y * item.fOwnBuffer.rowBytes, out.pixels + y * out.rowBytes, size_t(w) * 4);
    item.shown = &item.fOwnBuffer;
}

bool LoadOwn(LibraryItem& item, const char* path, int32_t maxSize)
{
    item.fOwnImage.Free();
    if (LoadImageFile(path, item.fOwnImage, maxSize) != 0 || item.fOwnImage.GetPixelBuffer(item.fOwnBuffer) != 0)
        return false;
    item.shown = &item.fOwnBuffer;
    return true;
}

bool LoadMovieFrame(LibraryItem& item, const char* path)
{
    QV_MovieReader reader;
    if (!reader.Open(path) || reader.Width() <= 0 || reader.Height() <= 0)
        return false;
    item.fOwnImage.Free();
    if (item.fOwnImage.Allocate(reader.Width(), reader.Height(), 32) != 0
        || item.fOwnImage.GetPixelBuffer(item.fOwnBuffer) != 0)
        return false;
    reader.GetFrame(item.fOwnBuffer, reader.FrameCount() / 4);
    for (int32_t y = 0; y < item.fOwnBuffer.height; y++) {
        for (int32_t x = 0; x < item.fOwnBuffer.width; x++)
            item.fOwnBuffer.pixels[y * item.fOwnBuffer.rowBytes + x * 4 + 3] = 255;
    }
    item.shown = &item.fOwnBuffer;
    return true;
}

} // namespace

void LibraryItem::LoadThumbnail(int32_t iconSize)
{
    shown = nullptr;
    const std::string sibling = LibraryThumbnailPath(entry);
    bool own = !sibling.empty() && LoadOwn(*this, sibling.c_str(), 0);
    if (!own) {
        switch (entry.kind) {
        case LibraryKind::Folder:
            shown = GetResourceImage("FolderIcon");
            break;
        case LibraryKind::Document:
            shown = GetResourceImage("DocumentIcon");
            break;
        case LibraryKind::Image:
            own = LoadOwn(*this, entry.path.c_str(), iconSize);
            if (!own)
                shown = GetResourceImage("missing_img");
            break;
        case LibraryKind::Video:
            own = LoadMovieFrame(*this, entry.path.c_str());
            if (!own)
                shown = GetResourceImage("missing_img");
            break;
        case LibraryKind::Audio:
            shown = GetResourceImage("AudioIcon");
            break;
        }
    }
    if (shown && (shown->width > iconSize || shown->height > iconSize)) {
        const QV_PixelBuffer picture = *shown;
        ShrinkInto(*this, picture, iconSize, own);
    }
}

FolderView::FolderView(QV_ScrollingView* scroller, const char* root)
    : QV_View(FOLLOW_LEFT + FOLLOW_TOP)
    , fScroller(scroller)
    , fRoot(root)
    , fIconSize(64)
    , fCellWidth(96)
    , fCellHeight(64)
    , fColumns(1)
    , fPressed(-1)
    , fPressTick(0)
    , fDoubleClick(false)
{
    int32_t size = 64;
    QV_String stored;
    if (QV_Message* settings = UserSettings(); settings && settings->FindString("LibraryIconSize", stored)) {
        long value = 0;
        if (std::sscanf(stored.CString(), "%ld", &value) == 1)
            size = int32_t(value);
    }
    QV_String folder;
    if (QV_Message* settings = UserSettings(); !settings || !settings->FindString("LibraryCurrentFolder", folder)
        || !LibraryFolderInside(folder.CString(), fRoot.CString()))
        folder = fRoot;
    fCurrent = folder;
    SetIconSize(size);
}

FolderView::~FolderView()
{
    for (int32_t i = 0; i < fItems.fCount; i++)
        delete Item(i);
}

void FolderView::SetIconSize(int32_t size)
{
    char text[32];
    std::snprintf(text, sizeof text, "%ld", long(size));
    if (QV_Message* settings = UserSettings())
        settings->AddString("LibraryIconSize", text);
    fIconSize = size;
    fCellWidth = std::max(size + 8, 96);
    fCellHeight = Ascent() + size + 8;
    fColumns = 1;
    if (!fCurrent.IsEmpty())
        Scan(fCurrent.CString());
}

void FolderView::Zoom(bool in)
{
    const int32_t next = LibraryZoomStep(fIconSize, in);
    if (next != fIconSize)
        SetIconSize(next);
}

void FolderView::Scan(const char* folder)
{
    fCurrent = folder;
    if (QV_Message* settings = UserSettings())
        settings->AddString("LibraryCurrentFolder", folder);
    for (int32_t i = 0; i < fItems.fCount; i++)
        delete Item(i);
    fItems.fCount = 0;
    for (const LibraryEntry& entry : ScanLibraryFolder(folder)) {
        auto* item = new LibraryItem;
        item->entry = entry;
        item->LoadThumbnail(fIconSize);
        fItems.Append(item);
    }
    fPressed = -1;
    Layout();
    if (QV_Wnd* window = fLayer ? fLayer->fWindow : nullptr) {
        QV_Message message(kShowFolder);
        message.AddString("path", folder);
        window->HandleMessage(&message);
    }
}

void FolderView::Layout()
{
    const int32_t visible = fScroller ? std::max(1, fScroller->ContentBounds().right - fScroller->ContentBounds().left + 1) : 320;
    fColumns = std::max(1, visible / fCellWidth);
    ResetSize(visible, (fItems.fCount / fColumns + 1) * fCellHeight + 16);
    if (fScroller)
        fScroller->UpdateScrollBars();
    if (fLayer) {
        fLayer->Draw();
        fLayer->Flush();
    }
}

int32_t FolderView::ItemAt(int32_t x, int32_t y) const
{
    if (x < 8 || y < 8)
        return -1;
    const int32_t column = (x - 8) / fCellWidth;
    if (column >= fColumns)
        return -1;
    const int32_t index = ((y - 8) / fCellHeight) * fColumns + column;
    return index < fItems.fCount ? index : -1;
}

void FolderView::MouseDown(int32_t x, int32_t y, int32_t, int32_t, QV_Message*)
{
    fDoubleClick = false;
    for (int32_t i = 0; i < fItems.fCount; i++)
        Item(i)->selected = false;
    const int32_t index = ItemAt(x, y);
    const uint32_t now = PlatTickCount();
    if (index >= 0 && index == fPressed && now - fPressTick < kDoubleClickMs)
        fDoubleClick = true;
    if (index >= 0)
        Item(index)->selected = true;
    fPressed = index;
    fPressTick = now;
    Draw();
    Refresh();
}

void FolderView::MouseUp(int32_t, int32_t, int32_t, int32_t, QV_Message*)
{
    const bool open = fDoubleClick && fPressed >= 0 && fPressed < fItems.fCount;
    fDoubleClick = false;
    if (!open)
        return;
    LibraryItem* item = Item(fPressed);
    if (item->entry.kind == LibraryKind::Folder) {
        const std::string folder = item->entry.path;
        Scan(folder.c_str());
        return;
    }
    QV_Wnd* window = fLayer ? fLayer->fWindow : nullptr;
    VornWnd* main = window ? dynamic_cast<VornWnd*>(window->fParent) : nullptr;
    const int32_t command = LibraryCommandFor(item->entry.kind, main && main->fDocument);
    if (!window || command == 0)
        return;
    QV_Message message(command);
    message.AddString("path", item->entry.path.c_str());
    window->HandleMessage(&message);
}

void FolderView::Draw()
{
    QV_Graphics* g = GetGraphics();
    if (!g)
        return;
    g->BeginDraw();
    const QV_Rect b = Bounds();
    g->SetColorStruct(WindowBackground);
    g->FillRect(b.left, b.top, b.right, b.bottom);
    const int32_t ascent = Ascent();
    for (int32_t i = 0; i < fItems.fCount; i++) {
        LibraryItem* item = Item(i);
        const int32_t left = 8 + (i % fColumns) * fCellWidth;
        const int32_t top = 8 + (i / fColumns) * fCellHeight;
        if (item->selected) {
            g->SetColorStruct(Selection);
            g->FillRoundRect(ScaledMetric3(), left, top, left + fCellWidth - 1, top + fCellHeight - 1);
            g->SetColorStruct(WidgetOutline);
            g->FrameRoundRect(ScaledMetric3(), left, top, left + fCellWidth - 1, top + fCellHeight - 1);
        }
        if (item->shown) {
            const float x = float(left + (fCellWidth - item->shown->width) / 2);
            const float y = float(top + (fIconSize - item->shown->height) / 2);
            g->DrawImageAlpha(item->shown, x, y, false);
        }
        if (gWidgetFont) {
            QV_Path path(item->entry.path.c_str());
            const QV_String label = item->entry.kind == LibraryKind::Folder ? path.FileName() : path.BaseName();
            const int32_t boxLeft = left + 4;
            const int32_t boxRight = left + fCellWidth - 5;
            const int32_t width = gWidgetFont->StringWidth(label.CString());
            const int32_t x = width < boxRight - boxLeft + 1 ? boxLeft + (boxRight - boxLeft + 1 - width) / 2 : boxLeft;
            const int32_t labelTop = top + fIconSize;
            g->SetClipRect(boxLeft, labelTop, boxRight, labelTop + ascent + 4);
            g->SetFont(gWidgetFont);
            g->SetColorStruct(Text);
            g->MoveTo(x, labelTop + ascent);
            g->DrawText(label.CString(), 0);
            g->ResetClip();
        }
    }
    g->EndDraw();
}

LibraryLayer::LibraryLayer(const char* root)
    : QV_Layer(FOLLOW_LEFT + FOLLOW_TOP + FOLLOW_RIGHT + FOLLOW_BOTTOM)
    , fBreadcrumb(nullptr)
{
    fZoomRow = new QV_LayoutView(false, 2, 0, 0);
    fZoomRow->AddChild(new QV_Button(GetResourceImage("zoom_out"), Localize("/Windows/Library/ZoomOut=Zoom Out"),
        false, kZoomOut, FOLLOW_LEFT + FOLLOW_TOP));
    fZoomRow->AddChild(new QV_Button(GetResourceImage("zoom_in"), Localize("/Windows/Library/ZoomIn=Zoom In"), false,
        kZoomIn, FOLLOW_LEFT + FOLLOW_TOP));
    fZoomRow->Layout();
    AddView(fZoomRow);
    fScroller = new QV_ScrollingView(320, 240 - ScaledMetric20(), FOLLOW_LEFT + FOLLOW_TOP + FOLLOW_RIGHT + FOLLOW_BOTTOM);
    fScroller->MoveTo(0, ScaledMetric20());
    fScroller->fDrawFrame = false;
    AddView(fScroller);
    fFolderView = new FolderView(fScroller, root);
    fScroller->fContent = fFolderView;
    fScroller->fClipView->AddChild(fFolderView);
}

void LibraryLayer::PlaceZoomRow()
{
    const QV_Rect zoom = fZoomRow->fFrame;
    const int32_t width = fFrame.right - fFrame.left + 1;
    fZoomRow->MoveTo(width - (zoom.right - zoom.left + 1) - 2, 1);
}

void LibraryLayer::FrameResized(int32_t oldWidth, int32_t oldHeight, int32_t newWidth, int32_t newHeight)
{
    QV_Layer::FrameResized(oldWidth, oldHeight, newWidth, newHeight);
    PlaceZoomRow();
    if (fFolderView)
        fFolderView->Layout();
}

QV_Path LibraryRoot()
{
    QV_Path root = AppFolder();
    root.Append("Library");
    return root;
}

LibraryWnd::LibraryWnd(QV_Wnd* owner)
    : QV_Wnd(5, Localize("/Windows/Library/Title=Content Library"), true, owner, 32, 32, 287, 159)
    , fLayer(nullptr)
    , fCrumbCount(0)
{
    if (!fHwnd)
        return;
    ResizeTo(320, 240);
    const QV_Rect screen = UsableScreenRect();
    MoveOuterTo(screen.right - 560, screen.bottom - 272);
    fLocationName = "LibraryWnd";
    fShapeName = "LibraryWnd";
    Show();
}

LibraryWnd::~LibraryWnd()
{
    if (gLibraryWnd == this)
        gLibraryWnd = nullptr;
}

void LibraryWnd::Opened()
{
    const QV_Rect bounds = Bounds();
    const int32_t width = bounds.right - bounds.left + 1;
    const int32_t height = bounds.bottom - bounds.top + 1;
    fLayer = new LibraryLayer(LibraryRoot().CString());
    fLayer->ResizeTo(width, height);
    fLayer->PlaceZoomRow();
    fLayer->fScroller->ResizeTo(width, height - ScaledMetric20());
    AddLayer(fLayer);
    fLayer->fFolderView->Layout();
    QV_Message message(kShowFolder);
    message.AddString("path", fLayer->fFolderView->fCurrent.CString());
    HandleMessage(&message);
}

void LibraryWnd::Closed()
{
    if (gLibraryWnd == this) {
        gLibraryWnd = nullptr;
        gOpenAtQuit = gApp && gApp->fQuitting;
    }
    QV_Wnd::Closed();
}

void LibraryWnd::SizeLimits(QV_Point& minimum, QV_Point& maximum)
{
    minimum = { 256, 256 };
    maximum = { 8192, 8192 };
}

void LibraryWnd::RebuildBreadcrumb(const char* folder)
{
    if (!fLayer)
        return;
    if (fLayer->fScroller && fLayer->fScroller->fVScroll)
        fLayer->fScroller->fScrollY = 0;
    if (fLayer->fBreadcrumb) {
        fLayer->RemoveView(fLayer->fBreadcrumb);
        delete fLayer->fBreadcrumb;
        fLayer->fBreadcrumb = nullptr;
    }
    const std::vector<std::string> parts = LibraryBreadcrumb(folder, fLayer->fFolderView->fRoot.CString());
    auto* row = new QV_LayoutView(false, 2, 0, 0);
    for (size_t i = 0; i < parts.size() && kCrumbFirst + int32_t(i) <= kCrumbLast; i++)
        row->AddChild(new QV_ShortButton(parts[i].c_str(), kCrumbFirst + int32_t(i)));
    row->Layout();
    row->MoveTo(1, 1);
    fCrumbCount = int32_t(std::min<size_t>(parts.size(), kCrumbLast - kCrumbFirst + 1));
    fLayer->fBreadcrumb = row;
    fLayer->AddView(row);
    fLayer->Draw();
    fLayer->Flush();
}

void LibraryWnd::HandleMessage(QV_Message* message)
{
    if (!message)
        return;
    const int32_t what = message->fWhat;
    FolderView* view = fLayer ? fLayer->fFolderView : nullptr;
    if (what == 1006)
        return;
    if (what == kShowFolder) {
        QV_String path;
        if (message->FindString("path", path))
            RebuildBreadcrumb(path.CString());
        return;
    }
    if (what == kFolderUp) {
        if (view && view->fCurrent != view->fRoot)
            view->Scan(LibraryFolderUp(view->fCurrent.CString(), view->fRoot.CString(), 1).c_str());
        return;
    }
    if (what == kZoomOut || what == kZoomIn) {
        if (view)
            view->Zoom(what == kZoomIn);
        return;
    }
    if (what >= kCrumbFirst && what <= kCrumbLast) {
        const int32_t n = what - kCrumbFirst;
        if (view && n < fCrumbCount - 1)
            view->Scan(LibraryFolderUp(view->fCurrent.CString(), view->fRoot.CString(), fCrumbCount - 1 - n).c_str());
        return;
    }
    QV_Wnd::HandleMessage(message);
}

void ToggleLibraryWindow(VornWnd* owner)
{
    if (gLibraryWnd) {
        CloseLibraryWindow(owner);
        return;
    }
    gOpenAtQuit = false;
    auto* window = new LibraryWnd(owner);
    if (!window->fHwnd) {
        delete window;
        return;
    }
    gLibraryWnd = window;
}

bool LibraryWindowOpen(VornWnd*) { return gLibraryWnd != nullptr || gOpenAtQuit; }

void CloseLibraryWindow(VornWnd*)
{
    if (gLibraryWnd && gLibraryWnd->fHwnd) {
        LibraryWnd* window = gLibraryWnd;
        gLibraryWnd = nullptr;
        PlatWindowDestroy(window->fHwnd);
    }
}

void InstallLibraryHooks()
{
    gShellHooks.toggleLibrary = ToggleLibraryWindow;
    gShellHooks.libraryOpen = LibraryWindowOpen;
    gShellHooks.closeLibrary = CloseLibraryWindow;
}
