#pragma once

#include <cstdint>

#include "qv_baseimage.h"
#include "qv_dialog.h"
#include "qv_view.h"

class QV_TextList;
class VornDoc;
class VornLayer;
class VornWnd;
class XGraphics;

// A still picture of one layer of a document, drawn over the document's background.
class LayerPreview : public QV_View {
public:
    LayerPreview(int32_t width, int32_t height);
    ~LayerPreview() override;
    void Refresh() override;
    void Draw() override;
    QV_Point PreferredSize() override;

    VornDoc* fDocument;
    VornLayer* fLayer;
    XGraphics* fGraphics;
    QV_BaseImage fImage;
};

// Chooses one top-level layer of another document and moves it into the open one.
class InsertLayerDlog : public QV_Dialog {
public:
    InsertLayerDlog(VornDoc* source, VornDoc* destination, QV_Wnd* owner);
    ~InsertLayerDlog() override;
    void HandleMessage(QV_Message* message) override;
    void ExchangeData(bool apply) override;

    VornDoc* fDestination;
    VornDoc* fSource;
    QV_TextList* fList;
    LayerPreview* fPreview;
};

// The source layer the list's item shows (the topmost first); null, after the console line,
// when there is none.
VornLayer* InsertItemLayer(VornDoc* source, int32_t item);

// Moves the source layer of the list item into the destination beside its current layer,
// with copies of the styles it uses under names that do not clash; the destination's undo
// history is cleared. The layer; null when the item names none.
VornLayer* InsertLayerFrom(VornDoc* source, VornDoc* destination, int32_t item);

// File > Import > Celvane Object (3121 with the chosen file); false for other commands.
bool HandleInsertObjectCommand(VornWnd* owner, int32_t command, const char* path);
