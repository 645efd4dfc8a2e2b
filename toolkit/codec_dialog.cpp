#include "codec_dialog.h"

#include <string>

#include "plat_beep.h"
#include "qv_alert.h"
#include "qv_button.h"
#include "qv_check_box.h"
#include "qv_dynamic_text.h"
#include "qv_layout_view.h"
#include "qv_menu.h"
#include "qv_message.h"
#include "qv_movie_writer.h"
#include "qv_popup_menu.h"
#include "qv_slider.h"
#include "qv_static_text.h"
#include "qv_text_control.h"

namespace {

constexpr int32_t kLabelWidth = 80;
constexpr int32_t kFieldWidth = 60;
// A data rate is entered in kilobytes per second and kept in bytes.
constexpr int32_t kKilobyte = 1024;
constexpr int32_t kMaxKeyFrameEvery = 100000;
// Below the largest number a field reads, so that any larger text is put right.
constexpr int32_t kMaxDataRateKilobytes = 999999;
constexpr int32_t kShownKeyFrameEvery = 24;
constexpr int32_t kShownDataRateKilobytes = 1000;

const char* const kMovQualityNames[6] = { "Least", "Low", "Normal", "High", "Best", "Lossless" };

QV_StaticText* Label(const char* text)
{
    auto* label = new QV_StaticText(text);
    label->ResetSize(kLabelWidth, label->Size().y);
    return label;
}

} // namespace

CodecDialog::CodecDialog(int32_t kind, QV_Wnd* owner, int32_t width, int32_t height)
    : QV_Dialog("Compression", owner)
    , fKind(kind)
    , fWidth(width)
    , fHeight(height)
    , fChoice(CurrentCodecChoice(kind))
    , fKeyFrames(nullptr)
    , fKeyFrameField(nullptr)
    , fDataRate(nullptr)
    , fDataRateField(nullptr)
    , fAlpha(nullptr)
{
    const bool avi = kind == kMovieKindAvi;
    auto* content = new QV_LayoutView(true, 8, 12, 12);
    content->PushH(ALIGN_LEFT, 8);
    content->AddChild(Label("Codec:"));
    fCodecMenu = new QV_PopupMenu(180, true);
    auto* codecs = new QV_Menu("Codec");
    const CodecOffer* offers = nullptr;
    const int32_t count = CodecOffers(kind, offers);
    for (int32_t i = 0; i < count; ++i)
        codecs->AddItem(offers[i].fLabel, 0, kCodecBase + i);
    fCodecMenu->SetMenu(codecs);
    content->AddChild(fCodecMenu);
    content->Pop();

    content->PushH(ALIGN_LEFT, 8);
    content->AddChild(Label("Quality:"));
    fQuality = new QV_Slider;
    fQuality->ResizeTo(180, fQuality->Size().y);
    fQuality->fMessage = kQualityChanged;
    fQuality->SetRange(0, avi ? 100 : 5);
    content->AddChild(fQuality);
    fQualityText = new QV_DynamicText("", 60, QV_DynamicText::kAlignLeft);
    content->AddChild(fQualityText);
    content->Pop();

    if (avi) {
        content->PushH(ALIGN_LEFT, 8);
        fKeyFrames = new QV_CheckBox("Key frame every", kKeyFramesToggled);
        content->AddChild(fKeyFrames);
        fKeyFrameField = new QV_TextControl(kFieldWidth, "", 0, FIELD_UINT);
        content->AddChild(fKeyFrameField);
        content->AddChild(new QV_StaticText("frames"));
        content->Pop();
        content->PushH(ALIGN_LEFT, 8);
        fDataRate = new QV_CheckBox("Limit data rate to", kDataRateToggled);
        content->AddChild(fDataRate);
        fDataRateField = new QV_TextControl(kFieldWidth, "", 0, FIELD_UINT);
        content->AddChild(fDataRateField);
        content->AddChild(new QV_StaticText("KB/second"));
        content->Pop();
    } else {
        fAlpha = new QV_CheckBox("Keep the alpha channel", 0);
        content->AddChild(fAlpha, ALIGN_LEFT);
    }

    content->PushH(ALIGN_RIGHT, 8);
    auto* ok = new QV_Button("OK", MSG_OK, 64, true, 3);
    auto* cancel = new QV_Button("Cancel", MSG_CANCEL, 64, false, 3);
    content->AddChild(ok);
    content->AddChild(cancel);
    content->Pop();
    AddView(content);
    fDefaultButton = ok;
    fCancelButton = cancel;
}

void CodecDialog::ExchangeData(bool apply)
{
    if (apply) {
        StoreCodecChoice(ChoiceFromWidgets());
        return;
    }
    QV_Menu* codecs = fCodecMenu->Menu();
    codecs->UncheckAll();
    const int32_t offer = OfferOfChoice(fChoice);
    if (offer >= 0)
        codecs->SetChecked(kCodecBase + offer, true);
    fCodecMenu->Redraw(true);
    if (fKind == kMovieKindAvi) {
        const AviCompression& a = fChoice.fAvi;
        fQuality->fValue = a.fQuality < 0 ? kDefaultAviQuality : (a.fQuality + 50) / 100;
        fKeyFrames->SetValue(a.fKeyFrameEvery > 0);
        fKeyFrameField->SetValue(a.fKeyFrameEvery > 0 ? a.fKeyFrameEvery : kShownKeyFrameEvery);
        fDataRate->SetValue(a.fDataRate > 0);
        fDataRateField->SetValue(a.fDataRate > 0 ? (a.fDataRate + kKilobyte / 2) / kKilobyte : kShownDataRateKilobytes);
        EnableAviSettings();
    } else {
        fQuality->fValue = IndexOfSpatialQuality(fChoice.fQt.fSpatialQuality);
        fAlpha->SetValue(fChoice.fQt.fDepth == 32);
    }
    fQuality->Redraw(true);
    ShowQuality();
}

CodecChoice CodecDialog::ChoiceFromWidgets() const
{
    CodecChoice choice = fChoice;
    const int32_t checked = fCodecMenu->Menu()->FirstCheckedMsg();
    if (checked >= kCodecBase)
        SetOfferOfChoice(choice, checked - kCodecBase);
    if (fKind == kMovieKindAvi) {
        AviCompression& a = choice.fAvi;
        a.fQuality = fQuality->fValue * 100;
        a.fKeyFrameEvery = fKeyFrames->Value() ? fKeyFrameField->IntValue() : 0;
        a.fDataRate = fDataRate->Value() ? fDataRateField->IntValue() * kKilobyte : 0;
    } else {
        QtCompression& q = choice.fQt;
        q.fSpatialQuality = SpatialQualityOfIndex(fQuality->fValue);
        // A depth other than these two stays unless the box is ticked.
        if (fAlpha->Value())
            q.fDepth = 32;
        else if (q.fDepth == 32)
            q.fDepth = 24;
    }
    return choice;
}

bool CodecDialog::OnValidate()
{
    if (fKind != kMovieKindAvi)
        return true;
    bool valid = true;
    if (fKeyFrames->Value())
        valid = ValidateFloat(fKeyFrameField, 1, float(kMaxKeyFrameEvery)) && valid;
    if (fDataRate->Value())
        valid = ValidateFloat(fDataRateField, 1, float(kMaxDataRateKilobytes)) && valid;
    return valid;
}

bool CodecDialog::TrialAccepted()
{
    const int32_t status = TryCodecChoice(ChoiceFromWidgets(), fWidth, fHeight);
    if (status == 0)
        return true;
    const std::string size = std::to_string(fWidth) + " x " + std::to_string(fHeight) + " pixels.";
    if (status == -2)
        Alert(fWindow, ALERT_WARNING, "This compression does not accept frames of", size.c_str(),
            "Choose another codec or other settings.", "OK", nullptr, nullptr);
    else
        Alert(fWindow, ALERT_WARNING, "This compression cannot be used here.",
            "Choose another codec or other settings.", nullptr, "OK", nullptr, nullptr);
    return false;
}

void CodecDialog::HandleMessage(QV_Message* message)
{
    const int32_t what = message ? message->fWhat : 0;
    if (what == MSG_OK) {
        // Validation puts fields right, so a second one in the window would pass: answer here.
        if (!OnValidate()) {
            PlatBeep();
            return;
        }
        if (!TrialAccepted())
            return;
    } else if (what == kQualityChanged) {
        ShowQuality();
        return;
    } else if ((what >= kCodecBase && what < kCodecBase + kMaxOffers) || what == kKeyFramesToggled || what == kDataRateToggled) {
        if (fKind == kMovieKindAvi)
            EnableAviSettings();
        return;
    }
    QV_Dialog::HandleMessage(message);
}

void CodecDialog::ShowQuality()
{
    if (fKind == kMovieKindAvi)
        fQualityText->SetValue(fQuality->fValue);
    else if (fQuality->fValue >= 0 && fQuality->fValue <= 5)
        fQualityText->SetValue(kMovQualityNames[fQuality->fValue]);
}

void CodecDialog::EnableAviSettings()
{
    const CodecChoice choice = ChoiceFromWidgets();
    const bool compressed = choice.fAvi.fEncoder.Length() > 0;
    fQuality->Enable(compressed);
    fKeyFrames->Enable(compressed);
    fDataRate->Enable(compressed);
    fKeyFrameField->Enable(compressed && fKeyFrames->Value());
    fDataRateField->Enable(compressed && fDataRate->Value());
}

bool ShowCodecDialog(int32_t kind, void* parentWindow, int32_t width, int32_t height)
{
    if (kind != kMovieKindAvi && kind != kMovieKindQuickTime)
        return false;
    auto* dialog = new CodecDialog(kind, static_cast<QV_Wnd*>(parentWindow), width, height);
    return dialog->DoModal() == MSG_OK;
}
