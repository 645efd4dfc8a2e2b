#include "insert_layer_dlog.h"

#include <algorithm>

#include "app_prefs.h"
#include "console_sink.h"
#include "grouplayer.h"
#include "interface_colors.h"
#include "m_mesh.h"
#include "m_shape.h"
#include "m_style.h"
#include "meshlayer.h"
#include "qv_app.h"
#include "qv_button.h"
#include "qv_filestream.h"
#include "qv_layout_view.h"
#include "qv_message.h"
#include "qv_text_list.h"
#include "raster_blit.h"
#include "raster_fill.h"
#include "vorn_wnd.h"
#include "vorndoc.h"
#include "vornlayer.h"
#include "xgraphics.h"

namespace {

constexpr int32_t kListChosen = 8800;

bool LayerUsesStyle(VornLayer* layer, M_Style* style)
{
    if (layer->LayerType() == LT_VECTOR) {
        M_Mesh* mesh = static_cast<MeshLayer*>(layer)->Mesh();
        for (int32_t i = 0; i < mesh->fNumShapes; i++) {
            if (mesh->fShapes[i]->fStyle1 == style || mesh->fShapes[i]->fStyle2 == style)
                return true;
        }
        return false;
    }
    if (!layer->IsGroupType())
        return false;
    auto* group = static_cast<GroupLayer*>(layer);
    for (int32_t i = 0; i < group->fLayers.fCount; i++) {
        if (LayerUsesStyle(static_cast<VornLayer*>(group->fLayers.fItems[i]), style))
            return true;
    }
    return false;
}

} // namespace

LayerPreview::LayerPreview(int32_t width, int32_t height)
    : QV_View(FOLLOW_LEFT | FOLLOW_TOP)
    , fDocument(nullptr)
    , fLayer(nullptr)
    , fGraphics(new XGraphics)
{
    QV_View::ResizeTo(width, height);
}

LayerPreview::~LayerPreview()
{
    delete fGraphics;
}

QV_Point LayerPreview::PreferredSize()
{
    return Size();
}

void LayerPreview::Refresh()
{
    Draw();
    QV_View::Refresh();
}

void LayerPreview::Draw()
{
    QV_PixelBuffer* target = LayerRaster();
    if (!target || !target->pixels)
        return;
    const QV_Point size = Size();
    if (fImage.buffer.width != size.x || fImage.buffer.height != size.y || !fImage.buffer.pixels)
        fImage.Allocate(size.x, size.y, 32);
    if (!fImage.buffer.pixels)
        return;
    FillRaster(fImage.buffer, fDocument ? fDocument->fBackColor : gPrefs.colBack);
    if (fLayer && fGraphics->SetRaster(&fImage.buffer) == 0) {
        // The preview is a finished picture: no editing overlays, full quality.
        const int32_t quality = gPrefs.qualityFlags;
        gPrefs.qualityFlags = 2028;
        fGraphics->SetAntialiasing(true);
        fGraphics->fViewMode = QV_Graphics::kViewCentered;
        fGraphics->BeginDraw();
        int32_t mode = DRAW_ABOVE;
        QV_BaseImage scratch;
        if (scratch.Allocate(size.x, size.y, 32) == 0)
            fLayer->Draw(fDocument, fGraphics, &scratch.buffer, mode, nullptr, nullptr);
        fGraphics->EndDraw();
        gPrefs.qualityFlags = quality;
    }
    BlitRasterAlpha(fImage.buffer, *target, 0, 0, false);
    if (QV_Graphics* graphics = GetGraphics()) {
        const QV_Rect b = Bounds();
        graphics->SetColorStruct(WidgetOutline);
        graphics->FillRect(b.left, b.top, b.right, b.top);
        graphics->FillRect(b.left, b.bottom, b.right, b.bottom);
        graphics->FillRect(b.left, b.top, b.left, b.bottom);
        graphics->FillRect(b.right, b.top, b.right, b.bottom);
    }
}

VornLayer* InsertItemLayer(VornDoc* source, int32_t item)
{
    if (!source)
        return nullptr;
    return source->Layer(source->CountLayers() - item - 1);
}

VornLayer* InsertLayerFrom(VornDoc* source, VornDoc* destination, int32_t item)
{
    if (!source || !destination || item < 0 || item >= source->CountLayers())
        return nullptr;
    VornLayer* layer = InsertItemLayer(source, item);
    if (!layer)
        return nullptr;
    // The insertion reaches into two documents at once; it cannot be undone.
    destination->PrepUndo(nullptr);
    destination->SetDirty();

    for (int32_t i = source->fStyles.fCount - 1; i >= 0; i--) {
        M_Style* style = source->Style(i);
        if (!style || !LayerUsesStyle(layer, style))
            continue;
        QV_String base(layer->Name().CString());
        base.Append(" - ");
        base.Append(style->fName);
        QV_String name(base.CString());
        for (int32_t n = 2; destination->FindStyle(name.CString()); n++) {
            name = base.CString();
            name.Append(" ");
            name.AppendInt(n);
        }
        source->RenameStyle(style->fName.CString(), name.CString());
        style->fName = name.CString();
        // The copy goes through the style's record, so its effects are objects of its own.
        auto* copy = new M_Style(0);
        *copy = *style;
        destination->AddStyle(copy);
    }

    source->SetCurFrame(0);
    source->RemoveLayer(layer);

    const int32_t frame = destination->CurFrame();
    if (frame != 0 && frame != 1) {
        // The object starts where the user is: hidden before, its own frame 1 here.
        layer->fVisibility.SetValue(0, false);
        const bool hadKey = layer->fVisibility.HasKey(1);
        layer->fVisibility.SetValue(1, true);
        if (!hadKey)
            layer->fVisibility.SetKeyInterp(1, gPrefs.defaultInterp, 0.1f, 0.5f);
        if (layer->CurrentPose().IsEmpty()) {
            const int32_t before = layer->TotalTimingOffset();
            layer->SetTimingOffset(1 - frame);
            layer->SetCurFrame(layer->CurFrame() - before);
        }
    }

    VornLayer* current = destination->GetSelectedLayer();
    if (current && current->Parent()) {
        layer->SetDocument(destination);
        current->Parent()->InsertLayer(layer, current, true);
    } else {
        destination->InsertLayer(layer, current, true);
    }
    layer->SetCurFrame(frame);
    destination->SetSelLayer(layer);
    destination->ResolveStyleRefs(nullptr);
    return layer;
}

InsertLayerDlog::InsertLayerDlog(VornDoc* source, VornDoc* destination, QV_Wnd* owner)
    : QV_Dialog(Localize("/Dialogs/InsertLayer/Title=Insert Object"), owner)
    , fDestination(destination)
    , fSource(source)
{
    fSettingsName = "InsertLayerDlog";
    if (source)
        source->SetCurFrame(1);
    auto* content = new QV_LayoutView(true, 8, 12, 12);
    content->PushH(ALIGN_LEFT, 8);
    fList = new QV_TextList(kListChosen);
    fList->ResizeTo(200, 240);
    content->AddChild(fList);
    fPreview = new LayerPreview(240, 240);
    content->AddChild(fPreview);
    content->Pop();
    AddOkCancelRow(content);
    AddView(content);
}

InsertLayerDlog::~InsertLayerDlog() = default;

void InsertLayerDlog::HandleMessage(QV_Message* message)
{
    if (message && message->fWhat == kListChosen) {
        fPreview->fDocument = fSource;
        fPreview->fLayer = InsertItemLayer(fSource, fList->SelItem());
        if (fWindow)
            fPreview->Refresh();
        return;
    }
    QV_Dialog::HandleMessage(message);
}

void InsertLayerDlog::ExchangeData(bool apply)
{
    if (!apply) {
        fList->RemoveAllItems();
        for (int32_t i = fSource ? fSource->CountLayers() - 1 : -1; i >= 0; i--)
            fList->AddItem(fSource->Layer(i)->Name().CString());
        fList->SetSelItem(0);
        if (fWindow && fList->CountItems() > 0) {
            QV_Message chosen(kListChosen);
            HandleMessage(&chosen);
        }
        return;
    }
    if (fList->SelItem() < 0)
        return;
    if (InsertLayerFrom(fSource, fDestination, fList->SelItem()) && fWindow) {
        fWindow->PostMessage(1005);
        fWindow->PostMessage(1006);
    }
}

bool HandleInsertObjectCommand(VornWnd* owner, int32_t command, const char* path)
{
    if (command != 3121 || !path || !owner)
        return false;
    if (!owner->fDocument)
        return true;
    QV_FileStream stream;
    if (stream.Open(path, true) != 0)
        return true;
    auto* source = new VornDoc(&stream);
    stream.Close();
    if (!source->fReadFailed) {
        auto* dialog = new InsertLayerDlog(source, owner->fDocument, owner);
        if (dialog->DoModal() == MSG_OK) {
            owner->PostMessage(1005);
            owner->PostMessage(1006);
        }
    }
    delete source;
    return true;
}
