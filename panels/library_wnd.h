#pragma once

#include <cstdint>

#include "library_model.h"
#include "qv_arraylist.h"
#include "qv_baseimage.h"
#include "qv_layer.h"
#include "qv_path.h"
#include "qv_view.h"
#include "qv_wnd.h"

class QV_LayoutView;
class QV_ScrollingView;
class VornWnd;

// One cell of the library grid.
struct LibraryItem {
    LibraryEntry entry;
    bool selected = false;
    QV_PixelBuffer* shown = nullptr; // a shared icon or fOwnImage's pixels
    QV_BaseImage fOwnImage;
    QV_PixelBuffer fOwnBuffer;

    // The picture for the icon size: a sibling ".png", the file's own picture or frame, or an icon.
    void LoadThumbnail(int32_t iconSize);
};

// The grid of a library folder's items.
class FolderView : public QV_View {
public:
    FolderView(QV_ScrollingView* scroller, const char* root);
    ~FolderView() override;
    void MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void Draw() override;

    void Scan(const char* folder);
    void Layout();
    void SetIconSize(int32_t size);
    void Zoom(bool in);
    // The index of the item under the point, or -1.
    int32_t ItemAt(int32_t x, int32_t y) const;
    int32_t CountItems() const { return fItems.fCount; }
    LibraryItem* Item(int32_t index) const { return static_cast<LibraryItem*>(fItems.fItems[index]); }

    QV_ScrollingView* fScroller;
    QV_Path fRoot;
    QV_Path fCurrent;
    int32_t fIconSize;
    int32_t fCellWidth;
    int32_t fCellHeight;
    int32_t fColumns;
    int32_t fPressed;
    uint32_t fPressTick;
    bool fDoubleClick;
    QV_ArrayList fItems; // owned LibraryItem
};

class LibraryLayer : public QV_Layer {
public:
    LibraryLayer(const char* root);
    void FrameResized(int32_t oldWidth, int32_t oldHeight, int32_t newWidth, int32_t newHeight) override;
    void PlaceZoomRow();

    QV_LayoutView* fBreadcrumb;
    QV_LayoutView* fZoomRow;
    FolderView* fFolderView;
    QV_ScrollingView* fScroller;
};

class LibraryWnd : public QV_Wnd {
public:
    explicit LibraryWnd(QV_Wnd* owner);
    ~LibraryWnd() override;
    void HandleMessage(QV_Message* message) override;
    void Opened() override;
    void Closed() override;
    void SizeLimits(QV_Point& minimum, QV_Point& maximum) override;

    void RebuildBreadcrumb(const char* folder);

    LibraryLayer* fLayer;
    int32_t fCrumbCount;
};

// The folder "Library" of the application folder.
QV_Path LibraryRoot();

// The shell's library hooks: the one library window of the main window.
void ToggleLibraryWindow(VornWnd* owner);
bool LibraryWindowOpen(VornWnd* owner);
void CloseLibraryWindow(VornWnd* owner);
void InstallLibraryHooks();
