// Rescale Keyframes: the keys of a frame range spread over a new range, later keys following
// the range's end.
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

constexpr int32_t kEntireDocument = 6801;
constexpr int32_t kMaxFrame = 1000000;

struct RescaleRun {
    KeyRescale rescale;
};

void RescaleOne(AnimChannel* channel, int32_t offset, void* data)
{
    RescaleChannel(channel, static_cast<const RescaleRun*>(data)->rescale, offset);
}

QV_TextControl* FrameField()
{
    return new QV_TextControl(48, "", 0, FIELD_UINT);
}

// Writes the corrected value; the dialog then stays open.
bool Correct(QV_TextControl* field, int32_t value)
{
    field->SetValue(value);
    return false;
}

} // namespace

ScaleKeysDlog::ScaleKeysDlog(VornDoc* document, QV_Wnd* owner)
    : QV_Dialog(Localize("/Dialogs/ScaleKeys/Title=Rescale Keyframes"), owner)
    , fDocument(document)
    , fLayer(document ? document->GetSelectedLayer() : nullptr)
{
    fSettingsName = "ScaleKeysDlog";
    auto* content = new QV_LayoutView(true, 8, 8, 8);
    fEntireDocument
        = new QV_CheckBox(Localize("/Dialogs/ScaleKeys/RescaleEntireDocument=Rescale entire document"), kEntireDocument);
    content->AddChild(fEntireDocument);
    content->PushH(ALIGN_CENTER, 8);
    content->PushV(ALIGN_RIGHT, 8);
    content->AddChild(new QV_StaticText(Localize("/Dialogs/ScaleKeys/StartFrame=Start frame")));
    content->AddChild(new QV_StaticText(Localize("/Dialogs/ScaleKeys/NewStartFrame=New start frame")));
    content->Pop();
    content->PushV(ALIGN_LEFT, 8);
    fStart = FrameField();
    fNewStart = FrameField();
    content->AddChild(fStart);
    content->AddChild(fNewStart);
    content->Pop();
    content->PushV(ALIGN_RIGHT, 8);
    content->AddChild(new QV_StaticText(Localize("/Dialogs/ScaleKeys/EndFrame=End frame")));
    content->AddChild(new QV_StaticText(Localize("/Dialogs/ScaleKeys/NewEndFrame=New end frame")));
    content->Pop();
    content->PushV(ALIGN_LEFT, 8);
    fEnd = FrameField();
    fNewEnd = FrameField();
    content->AddChild(fEnd);
    content->AddChild(fNewEnd);
    content->Pop();
    content->Pop();
    content->AddChild(
        new QV_StaticText(Localize("/Dialogs/ScaleKeys/RescaleFollowingChannels=Rescale the following channels:")));
    fRows.Build(content, fLayer);
    AddOkCancelRow(content);
    AddView(content);
}

ScaleKeysDlog::~ScaleKeysDlog() = default;

int32_t ScaleKeysDlog::Duration() const
{
    if (fEntireDocument->Value())
        return fDocument ? fDocument->AnimDuration() : 0;
    return fLayer ? fLayer->AnimDuration() : 0;
}

void ScaleKeysDlog::HandleMessage(QV_Message* message)
{
    if (message && message->fWhat == kEntireDocument) {
        fEnd->SetValue(std::max(Duration(), 2));
        fNewEnd->SetValue(fEnd->Value());
        fRows.EnableAll(!fEntireDocument->Value());
        return;
    }
    QV_Dialog::HandleMessage(message);
}

void ScaleKeysDlog::ExchangeData(bool apply)
{
    if (!apply) {
        fStart->SetValue(1);
        fNewStart->SetValue(fStart->Value());
        fEnd->SetValue(std::max(Duration(), 2));
        fNewEnd->SetValue(fEnd->Value());
        fStart->SelectAll();
        SetFocus(fStart);
        return;
    }
    if (!fDocument)
        return;
    RescaleRun run { { fStart->IntValue(), fEnd->IntValue(), fNewStart->IntValue(), fNewEnd->IntValue() } };
    if (fEntireDocument->Value()) {
        fDocument->PrepUndo(nullptr);
        fDocument->SetDirty();
        for (int32_t i = 0; i < fDocument->CountLayers(); i++)
            ForEachChosenChannel(fDocument, fDocument->Layer(i), nullptr, true, RescaleOne, &run);
        ForEachCameraChannel(fDocument, RescaleOne, &run);
        return;
    }
    if (!fLayer)
        return;
    fDocument->PrepUndo(fLayer);
    fDocument->SetDirty();
    ForEachChosenChannel(fDocument, fLayer, &fRows, false, RescaleOne, &run);
}

bool ScaleKeysDlog::OnValidate()
{
    // Without keys the duration is 0, and a start corrected to it would be corrected back to 1
    // at every OK.
    const int32_t duration = std::max(Duration(), 1);
    const int32_t start = fStart->IntValue();
    if (start < 1)
        return Correct(fStart, 1);
    if (start > duration)
        return Correct(fStart, duration);
    const int32_t end = fEnd->IntValue();
    if (end < start + 1)
        return Correct(fEnd, start + 1);
    if (end > kMaxFrame)
        return Correct(fEnd, kMaxFrame);
    const int32_t newStart = fNewStart->IntValue();
    const int32_t newEnd = fNewEnd->IntValue();
    if (newEnd < newStart + 1)
        return Correct(fNewEnd, newStart + 1);
    if (newEnd > kMaxFrame)
        return Correct(fNewEnd, kMaxFrame);
    if (!fEntireDocument->Value())
        return true;
    return gEditDialogAlert(fOwnerWindow, ALERT_WARNING,
               Localize("/Dialogs/ScaleKeys/AreYouSure=Are you sure you want to rescale all animation in the document?"),
               Localize("/Dialogs/ScaleKeys/NoUndo=This action cannot be undone."), Localize("/Strings/Yes=Yes"),
               Localize("/Strings/No=No"))
        == 0;
}
