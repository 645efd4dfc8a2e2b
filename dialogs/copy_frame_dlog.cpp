// Copy Current Frame: the values the current frame shows become keys at another frame.
#include <algorithm>

#include "edit_dialogs.h"
#include "qv_alert.h"
#include "qv_app.h"
#include "qv_check_box.h"
#include "qv_layout_view.h"
#include "qv_message.h"
#include "qv_static_text.h"
#include "qv_text_control.h"
#include "vorndoc.h"
#include "vornlayer.h"

namespace {

constexpr int32_t kEntireDocument = 6701;
constexpr int32_t kMaxTarget = 1000000;

struct CopyTarget {
    int32_t docFrame;
    int32_t target;
};

void CopyOne(AnimChannel* channel, int32_t offset, void* data)
{
    const auto* copy = static_cast<const CopyTarget*>(data);
    CopyChannelValue(channel, copy->docFrame + offset, copy->target + offset);
}

} // namespace

CopyFrameDlog::CopyFrameDlog(VornDoc* document, QV_Wnd* owner)
    : QV_Dialog(Localize("/Dialogs/CopyFrame/Title=Copy Current Frame"), owner)
    , fDocument(document)
    , fLayer(document ? document->GetSelectedLayer() : nullptr)
{
    fSettingsName = "CopyFrameDlog";
    auto* content = new QV_LayoutView(true, 8, 8, 8);
    fEntireDocument
        = new QV_CheckBox(Localize("/Dialogs/CopyFrame/CopyEntireDocument=Copy entire document"), kEntireDocument);
    content->AddChild(fEntireDocument);
    content->PushH(ALIGN_CENTER, 8);
    content->AddChild(new QV_StaticText(Localize("/Dialogs/CopyFrame/CopyToFrame=Copy to frame")), ALIGN_CENTER);
    fFrame = new QV_TextControl(48, "", 0, FIELD_UINT);
    content->AddChild(fFrame);
    content->Pop();
    content->AddChild(new QV_StaticText(Localize("/Dialogs/CopyFrame/CopyChannels=Copy the following channels:")));
    fRows.Build(content, fLayer);
    AddOkCancelRow(content);
    AddView(content);
}

CopyFrameDlog::~CopyFrameDlog() = default;

void CopyFrameDlog::HandleMessage(QV_Message* message)
{
    if (message && message->fWhat == kEntireDocument) {
        fRows.EnableAll(!fEntireDocument->Value());
        return;
    }
    QV_Dialog::HandleMessage(message);
}

void CopyFrameDlog::ExchangeData(bool apply)
{
    if (!apply) {
        fFrame->SetValue(0);
        fFrame->SelectAll();
        SetFocus(fFrame);
        return;
    }
    if (!fDocument)
        return;
    CopyTarget copy { fDocument->CurFrame(), fFrame->IntValue() };
    if (fEntireDocument->Value()) {
        fDocument->PrepUndo(nullptr);
        fDocument->SetDirty();
        for (int32_t i = 0; i < fDocument->CountLayers(); i++)
            ForEachChosenChannel(fDocument, fDocument->Layer(i), nullptr, true, CopyOne, &copy);
        ForEachCameraChannel(fDocument, CopyOne, &copy);
        return;
    }
    if (!fLayer)
        return;
    fDocument->PrepUndo(fLayer);
    fDocument->SetDirty();
    ForEachChosenChannel(fDocument, fLayer, &fRows, false, CopyOne, &copy);
}

bool CopyFrameDlog::OnValidate()
{
    const int32_t target = fFrame->IntValue();
    if (target < 0 || target > kMaxTarget) {
        fFrame->SetValue(std::clamp(target, 0, kMaxTarget));
        return false;
    }
    if (!fEntireDocument->Value())
        return true;
    return gEditDialogAlert(fOwnerWindow, ALERT_WARNING,
               Localize("/Dialogs/CopyFrame/AreYouSure=Are you sure you want to copy this frame for the entire document?"),
               Localize("/Dialogs/CopyFrame/NoUndo=This action cannot be undone."), Localize("/Strings/Yes=Yes"),
               Localize("/Strings/No=No"))
        == 0;
}
