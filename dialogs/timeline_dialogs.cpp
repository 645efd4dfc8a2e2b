#include "timeline_dialogs.h"

#include <algorithm>
#include <cmath>

#include "app_prefs.h"
#include "channelinfo.h"
#include "plat_beep.h"
#include "qv_app.h"
#include "qv_button.h"
#include "qv_check_box.h"
#include "qv_divider.h"
#include "qv_font.h"
#include "interface_fonts.h"
#include "qv_layout_view.h"
#include "qv_menu.h"
#include "qv_message.h"
#include "qv_popup_menu.h"
#include "qv_static_picture.h"
#include "qv_static_text.h"
#include "qv_text_control.h"
#include "timeline_wnd.h"
#include "vorndoc.h"
#include "vornlayer.h"

namespace {

struct InterpItem {
    int32_t item;
    const char* label;
    int32_t mode;
};

// The labels are the interpolation names as the documents' scripts know them: not localized.
const InterpItem kInterpItems[] = {
    { 6903, "Smooth", 1 },
    { 6904, "Linear", 0 },
    { 6905, "Step", 3 },
    { 6906, "Ease In/Out", 2 },
    { 6907, "Noisy", 4 },
    { 6908, "Ease In", 7 },
    { 6909, "Ease Out", 8 },
};

int32_t FieldWidth(const char* sample)
{
    return (gWidgetFont ? gWidgetFont->StringWidth(sample) : 48) + 12;
}

bool RunNoise(QV_Wnd* owner, float* amplitude, float* scale)
{
    auto* dialog = new NoiseDlog(owner, amplitude, scale);
    return dialog->DoModal() == MSG_OK;
}

bool RunCycle(QV_Wnd* owner, int32_t* relative, int32_t* absolute)
{
    auto* dialog = new CycleDlog(owner, relative, absolute);
    return dialog->DoModal() == MSG_OK;
}

bool RunSettings(QV_Wnd* owner, VornDoc* document)
{
    auto* dialog = new HideChannelsDlog(document, owner);
    return dialog->DoModal() == MSG_OK;
}

} // namespace

NoiseDlog::NoiseDlog(QV_Wnd* owner, float* amplitude, float* scale)
    : QV_Dialog(Localize("/Dialogs/NoisyInterpolation/Title=Noisy Interpolation"), owner)
    , fAmplitude(amplitude)
    , fScale(scale)
{
    auto* content = new QV_LayoutView(true, 8, 12, 12);
    content->PushH(ALIGN_LEFT, 8);
    content->PushV(ALIGN_LEFT, 8);
    content->AddChild(new QV_StaticText(Localize("/Dialogs/NoisyInterpolation/Amplitude=Amplitude")));
    content->AddChild(new QV_StaticText(Localize("/Dialogs/NoisyInterpolation/Scale=Scale")));
    content->Pop();
    content->PushV(ALIGN_LEFT, 8);
    fAmplitudeField = new QV_TextControl(FieldWidth("000.0000"), "", 0, FIELD_UFLOAT);
    fScaleField = new QV_TextControl(FieldWidth("000.0000"), "", 0, FIELD_UFLOAT);
    fAmplitudeField->SetWheelInc(0.1f);
    fScaleField->SetWheelInc(0.1f);
    content->AddChild(fAmplitudeField);
    content->AddChild(fScaleField);
    content->Pop();
    content->Pop();
    AddOkCancelRow(content);
    AddView(content);
}

NoiseDlog::~NoiseDlog() = default;

void NoiseDlog::ExchangeData(bool apply)
{
    if (!apply) {
        fAmplitudeField->SetValue(fAmplitude ? *fAmplitude : 0.1f);
        fScaleField->SetValue(fScale ? *fScale : 2.0f);
        fAmplitudeField->SelectAll();
        SetFocus(fAmplitudeField);
        return;
    }
    if (fAmplitude)
        *fAmplitude = fAmplitudeField->FloatValue();
    if (fScale)
        *fScale = 1.0f / std::max(kMinNoiseScale, fScaleField->FloatValue());
}

bool NoiseDlog::OnValidate()
{
    const float scale = fScaleField->FloatValue();
    if (scale >= kMinNoiseScale && std::isfinite(scale))
        return true;
    // A scale of 0 would store an infinite parameter.
    fScaleField->SetValue(kMinNoiseScale);
    PlatBeep();
    return false;
}

CycleDlog::CycleDlog(QV_Wnd* owner, int32_t* relative, int32_t* absolute)
    : QV_Dialog(Localize("/Dialogs/CycleInterpolation/Title=Cycle Interpolation"), owner)
    , fRelative(relative)
    , fAbsolute(absolute)
{
    auto* content = new QV_LayoutView(true, 8, 8, 8);
    fAbsoluteButton = new QV_RadioButton(
        Localize("/Dialogs/CycleInterpolation/Absolute=Absolute (cycle back to this exact frame)"), 0);
    fRelativeButton = new QV_RadioButton(
        Localize("/Dialogs/CycleInterpolation/Relative=Relative (cycle back this many frames)"), 0);
    content->AddChild(fAbsoluteButton);
    content->AddChild(fRelativeButton);
    content->PushH(ALIGN_CENTER, 8);
    content->AddChild(new QV_StaticText(Localize("/Dialogs/CycleInterpolation/Value=Value")), ALIGN_CENTER);
    fValueField = new QV_TextControl(FieldWidth("0000"), "", 0, FIELD_UINT);
    content->AddChild(fValueField);
    content->Pop();
    AddOkCancelRow(content);
    AddView(content);
}

CycleDlog::~CycleDlog() = default;

void CycleDlog::ExchangeData(bool apply)
{
    if (!apply) {
        fAbsoluteButton->SetValue(true);
        fValueField->SetValue(fAbsolute ? *fAbsolute : 1);
        fValueField->SelectAll();
        SetFocus(fValueField);
        return;
    }
    const int32_t value = fValueField->IntValue();
    const bool relative = fRelativeButton->Value();
    if (fRelative)
        *fRelative = relative ? value : -1;
    if (fAbsolute)
        *fAbsolute = relative ? -1 : value;
}

bool CycleDlog::OnValidate()
{
    if (!fRelativeButton->Value())
        return true;
    const int32_t value = fValueField->IntValue();
    const int32_t clamped = std::clamp(value, 1, 1000000);
    if (clamped == value)
        return true;
    fValueField->SetValue(clamped);
    return false;
}

int32_t InterpItemForMode(int32_t mode)
{
    for (const InterpItem& item : kInterpItems) {
        if (item.mode == mode)
            return item.item;
    }
    return 6903;
}

int32_t InterpModeForItem(int32_t item)
{
    for (const InterpItem& entry : kInterpItems) {
        if (entry.item == item)
            return entry.mode;
    }
    return INTERP_SMOOTH;
}

HideChannelsDlog::HideChannelsDlog(VornDoc* document, QV_Wnd* owner)
    : QV_Dialog(Localize("/Dialogs/TimelineSettings/Title=Timeline Settings"), owner)
    , fDocument(document)
    , fLayer(document ? document->GetSelectedLayer() : nullptr)
    , fChecks {}
    , fChannelIDs {}
    , fColumnOf {}
{
    fSettingsName = "HideChannelsDlog";
    auto* content = new QV_LayoutView(true, 8, 12, 12);
    content->PushH(ALIGN_CENTER, 8);
    content->AddChild(
        new QV_StaticText(Localize("/Dialogs/TimelineSettings/DefaultInterpolation=Default interpolation:")),
        ALIGN_CENTER);
    fInterpPopup = new QV_PopupMenu(128, true);
    auto* menu = new QV_Menu("Interpolation");
    for (const InterpItem& item : kInterpItems)
        menu->AddItem(item.label, 0, item.item);
    fInterpPopup->SetMenu(menu);
    content->AddChild(fInterpPopup);
    content->Pop();
    auto* divider = new QV_Divider(false);
    divider->ResizeTo(32, 2);
    content->AddChild(divider, ALIGN_CENTER);
    content->AddChild(
        new QV_StaticText(Localize("/Dialogs/TimelineSettings/ShowChannels=Show the following channels in the timeline:")),
        ALIGN_CENTER);
    content->PushH(ALIGN_CENTER, 8);
    content->AddChild(new QV_Button(Localize("/Dialogs/TimelineSettings/All=All"), 6901, 0, false, 3));
    content->AddChild(new QV_Button(Localize("/Dialogs/TimelineSettings/None=None"), 6902, 0, false, 3));
    content->Pop();

    content->PushH(ALIGN_CENTER, 24);
    const int32_t count = fLayer ? std::min(fLayer->CountChannels(), int32_t(kMaxChannels)) : 0;
    int32_t column = -1;
    for (int32_t i = 0; i < count; i++) {
        ChannelInfo info;
        fLayer->GetChannelInfo(i, info);
        // Group rows begin a column, so a group never splits across two.
        if (i == 0 || info.fSeparator) {
            if (i > 0)
                content->Pop();
            content->PushV(ALIGN_LEFT, 8);
            column++;
        }
        content->PushH(ALIGN_LEFT, 8);
        content->AddChild(new QV_StaticPicture(info.fIcon, info.fLabel.CString()), ALIGN_CENTER);
        content->AddChild(new QV_StaticText(info.fLabel.CString()), ALIGN_CENTER);
        fChecks[i] = new QV_CheckBox("", 0);
        fChannelIDs[i] = info.fID;
        fColumnOf[i] = column;
        content->AddChild(fChecks[i], ALIGN_CENTER);
        content->Pop();
    }
    if (count > 0)
        content->Pop();
    content->Pop();
    AddOkCancelRow(content);
    AddView(content);
}

HideChannelsDlog::~HideChannelsDlog() = default;

void HideChannelsDlog::HandleMessage(QV_Message* message)
{
    const int32_t what = message ? message->fWhat : 0;
    if (what == 6901 || what == 6902) {
        for (QV_CheckBox* check : fChecks) {
            if (check) {
                check->SetValue(what == 6901);
                check->Draw();
                check->Refresh();
            }
        }
        return;
    }
    QV_Dialog::HandleMessage(message);
}

void HideChannelsDlog::ExchangeData(bool apply)
{
    QV_Menu* menu = fInterpPopup->Menu();
    if (!apply) {
        if (menu) {
            menu->UncheckAll();
            menu->SetChecked(InterpItemForMode(gPrefs.defaultInterp), true);
        }
        for (int32_t i = 0; i < kMaxChannels; i++) {
            const int32_t index = fChannelIDs[i] - 10000;
            if (fChecks[i] && index >= 0 && index < 64)
                fChecks[i]->SetValue(gChannelSwitches[index]);
        }
        return;
    }
    gPrefs.defaultInterp = InterpModeForItem(menu ? menu->FirstCheckedMsg() : 0);
    for (int32_t i = 0; i < kMaxChannels; i++) {
        const int32_t index = fChannelIDs[i] - 10000;
        if (fChecks[i] && index >= 0 && index < 64)
            gChannelSwitches[index] = fChecks[i]->Value();
    }
}

void InstallTimelineDialogs()
{
    gTimelineDialogs.noise = RunNoise;
    gTimelineDialogs.cycle = RunCycle;
    gTimelineDialogs.settings = RunSettings;
}
