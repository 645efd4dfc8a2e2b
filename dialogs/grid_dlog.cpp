// The one-field dialogs of the View and Animation menus: grid spacing and audio level.
#include <cmath>

#include "app_prefs.h"
#include "audiolayer.h"
#include "edit_dialogs.h"
#include "qv_app.h"
#include "qv_layout_view.h"
#include "qv_static_text.h"
#include "qv_text_control.h"
#include "vorndoc.h"

namespace {

constexpr float kMinGrid = 1;
constexpr float kMaxGrid = 1024;
constexpr float kMaxLevel = 1000;

// A label and its field side by side.
QV_TextControl* AddLabelledField(QV_LayoutView* content, const char* label, float wheelStep)
{
    content->PushH(ALIGN_LEFT, 8);
    content->PushV(ALIGN_LEFT, 8);
    content->AddChild(new QV_StaticText(label));
    content->Pop();
    content->PushV(ALIGN_LEFT, 8);
    auto* field = new QV_TextControl(48, "", 0, FIELD_UFLOAT);
    field->SetWheelInc(wheelStep);
    content->AddChild(field);
    content->Pop();
    content->Pop();
    return field;
}

AudioLayer* AudioOf(VornDoc* document)
{
    VornLayer* layer = document ? document->GetSelectedLayer() : nullptr;
    return layer && layer->IsAudioType() ? dynamic_cast<AudioLayer*>(layer) : nullptr;
}

} // namespace

GridSettingsDlog::GridSettingsDlog(QV_Wnd* owner)
    : QV_Dialog(Localize("/Dialogs/GridSettingsDlog/Title=Grid Settings"), owner)
{
    fSettingsName = "GridSettingsDlog";
    auto* content = new QV_LayoutView(true, 8, 8, 8);
    fSpacing = AddLabelledField(content, Localize("/Dialogs/GridSettingsDlog/GridSpacing=Grid spacing"), 1.0f);
    AddOkCancelRow(content);
    AddView(content);
}

GridSettingsDlog::~GridSettingsDlog() = default;

void GridSettingsDlog::ExchangeData(bool apply)
{
    if (!apply) {
        fSpacing->SetValue(gToggles.gridSize);
        fSpacing->SelectAll();
        SetFocus(fSpacing);
        return;
    }
    gToggles.gridSize = int32_t(std::trunc(fSpacing->FloatValue()));
    gToggles.gridShown = true;
}

bool GridSettingsDlog::OnValidate()
{
    return ValidateFloat(fSpacing, kMinGrid, kMaxGrid);
}

AudioLevelDlog::AudioLevelDlog(VornDoc* document, QV_Wnd* owner)
    : QV_Dialog(Localize("/Dialogs/AudioLevelDlog/Title=Audio Level"), owner)
    , fDocument(document)
{
    fSettingsName = "AudioLevelDlog";
    auto* content = new QV_LayoutView(true, 8, 8, 8);
    fLevel = AddLabelledField(content, Localize("/Dialogs/AudioLevelDlog/Level=Level"), 0.1f);
    AddOkCancelRow(content);
    AddView(content);
}

AudioLevelDlog::~AudioLevelDlog() = default;

void AudioLevelDlog::ExchangeData(bool apply)
{
    AudioLayer* audio = AudioOf(fDocument);
    if (!apply) {
        fLevel->SetValue(audio ? audio->fAudioLevel.value : 1.0f);
        fLevel->SelectAll();
        SetFocus(fLevel);
        return;
    }
    if (!audio)
        return;
    fDocument->PrepUndo(audio);
    fDocument->SetDirty();
    audio->fAudioLevel.SetValue(audio->CurFrame(), fLevel->FloatValue());
}

bool AudioLevelDlog::OnValidate()
{
    return ValidateFloat(fLevel, 0, kMaxLevel);
}
