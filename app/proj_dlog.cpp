#include "proj_dlog.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "app_prefs.h"
#include "interface_fonts.h"
#include "qv_app.h"
#include "qv_box.h"
#include "qv_button.h"
#include "qv_check_box.h"
#include "qv_color_swatch.h"
#include "qv_font.h"
#include "qv_layout_view.h"
#include "qv_menu.h"
#include "qv_message.h"
#include "qv_popup_menu.h"
#include "qv_static_text.h"
#include "qv_text_control.h"
#include "vorndoc.h"

namespace {

constexpr int32_t kPresetFirst = 4301;
constexpr int32_t kSizeEdited = 4320;
constexpr int32_t kDepthSortToggled = 4323;
constexpr int32_t kSaveDefaults = 4325;
constexpr int32_t kRestoreDefaults = 4326;

struct Preset {
    const char* label;
    int32_t width;
    int32_t height;
};

const Preset kPresets[] = {
    { "/Dialogs/ProjectSettings/PresetsMenu/Custom=Custom", 0, 0 },
    { "/Dialogs/ProjectSettings/PresetsMenu/NTSCD1=NTSC D1", 720, 534 },
    { "/Dialogs/ProjectSettings/PresetsMenu/PALD1DV=PAL D1/DV", 788, 576 },
    { "/Dialogs/ProjectSettings/PresetsMenu/VGA=VGA", 640, 480 },
    { "/Dialogs/ProjectSettings/PresetsMenu/Web=Web", 320, 240 },
    { "/Dialogs/ProjectSettings/PresetsMenu/WebWidescreen=Web Widescreen", 426, 240 },
    { "/Dialogs/ProjectSettings/PresetsMenu/YouTube=YouTube", 640, 480 },
};
constexpr int32_t kPresetCount = int32_t(sizeof(kPresets) / sizeof(kPresets[0]));

// "%ld" of the field's text within +-1000000; an empty or non-numeric text reads 0.
int32_t ReadInt(QV_TextControl* field)
{
    long value = std::strtol(field->fText.CString(), nullptr, 10);
    return int32_t(std::clamp(value, -1000000L, 1000000L));
}

void SetInt(QV_TextControl* field, int32_t value)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%d", int(value));
    field->SetValue(text);
}

QV_StaticText* Label(const char* text, int32_t width)
{
    auto* label = new QV_StaticText(text);
    label->ResetSize(width, label->Size().y);
    return label;
}

} // namespace

int32_t MatchProjectPreset(int32_t width, int32_t height)
{
    for (int32_t i = 0; i < kPresetCount; i++) {
        if (kPresets[i].width == width && kPresets[i].height == height)
            return kPresetFirst + i;
    }
    return kPresetFirst;
}

bool ValidateProjectValues(ProjectValues& v)
{
    const ProjectValues before = v;
    v.width = std::clamp(v.width, 8, 788);
    v.height = std::clamp(v.height, 8, 768);
    v.start = std::clamp(v.start, 0, 3000);
    if (v.end != 0)
        v.end = std::clamp(v.end, v.start, 3000);
    if (!(v.fps >= 1.0f))
        v.fps = 1.0f;
    else if (v.fps > 120.0f)
        v.fps = 120.0f;
    return before.width == v.width && before.height == v.height && before.start == v.start && before.end == v.end
        && before.fps == v.fps;
}

ProjDlog::ProjDlog(VornDoc* document, QV_Wnd* owner)
    : QV_Dialog(Localize("/Dialogs/ProjectSettings/Title=Project Settings"), owner)
    , fDocument(document)
{
    fSettingsName = "ProjDlog";
    auto* content = new QV_LayoutView(true, 8, 12, 12);

    auto* grid = new QV_LayoutView(true, 4, 0, 0);
    const int32_t popupWidth = (gWidgetFont ? gWidgetFont->StringWidth(Localize(
                                                  "/Dialogs/ProjectSettings/PresetsMenu/PALD1DVWidescreen=PAL D1/DV Widescreen"))
                                            : 140)
        + 40;
    fPresets = new QV_PopupMenu(popupWidth, true);
    auto* presets = new QV_Menu(Localize("/Dialogs/ProjectSettings/Presets=Presets"));
    for (int32_t i = 0; i < kPresetCount; i++)
        presets->AddItem(Localize(kPresets[i].label), 0, kPresetFirst + i);
    fPresets->SetMenu(presets);
    grid->AddChild(fPresets);
    const int32_t labelWidth = 90;
    auto row = [&](const char* label, QV_TextControl* field) {
        grid->PushH(ALIGN_LEFT, 8);
        grid->AddChild(Label(label, labelWidth), ALIGN_CENTER);
        grid->AddChild(field);
        grid->Pop();
    };
    fWidth = new QV_TextControl(64, "", kSizeEdited, FIELD_UINT);
    fHeight = new QV_TextControl(64, "", kSizeEdited, FIELD_UINT);
    fFps = new QV_TextControl(64, "", 0, FIELD_UFLOAT);
    fStart = new QV_TextControl(64, "", 0, FIELD_UINT);
    fEnd = new QV_TextControl(64, "", 0, FIELD_UINT);
    row(Localize("/Dialogs/ProjectSettings/Width=Width"), fWidth);
    row(Localize("/Dialogs/ProjectSettings/Height=Height"), fHeight);
    row(Localize("/Dialogs/ProjectSettings/FrameRate=Frame rate"), fFps);
    grid->AddPadding(8);
    row(Localize("/Dialogs/ProjectSettings/StartFrame=Start frame"), fStart);
    row(Localize("/Dialogs/ProjectSettings/EndFrame=End frame"), fEnd);
    auto* dimensions = new QV_Box(Localize("/Dialogs/ProjectSettings/Dimensions=Dimensions"));
    dimensions->AddChild(grid);
    content->AddChild(dimensions);

    auto* colorBox = new QV_Box(Localize("/Dialogs/ProjectSettings/BackgroundColor=Background Color"));
    fBackColor = new QV_ColorSwatch(false, rgb_color { 234, 234, 234, 255 }, 0);
    colorBox->AddChild(fBackColor);
    content->AddChild(colorBox);

    fDepthSort = new QV_CheckBox(Localize("/Dialogs/ProjectSettings/SortByDepth=Sort layers by depth"), kDepthSortToggled);
    fDistanceSort = new QV_CheckBox(Localize("/Dialogs/ProjectSettings/SortByDistance=Sort by true distance"), 0);
    fExtraSwfFrame = new QV_CheckBox(Localize("/Dialogs/ProjectSettings/ExtraSWFFrame=Extra SWF frame"), 0);
    content->AddChild(fDepthSort);
    content->AddChild(fDistanceSort);
    content->AddChild(fExtraSwfFrame);

    content->PushH(ALIGN_LEFT, 8);
    content->AddChild(new QV_Button(Localize("/Dialogs/ProjectSettings/SaveDefaults=Save As Defaults"), kSaveDefaults, 0, false, 3));
    content->AddChild(
        new QV_Button(Localize("/Dialogs/ProjectSettings/RestoreDefaults=Restore Defaults"), kRestoreDefaults, 0, false, 3));
    content->Pop();

    AddOkCancelRow(content);
    AddView(content);
}

void ProjDlog::MatchPreset(int32_t width, int32_t height)
{
    QV_Menu* menu = fPresets->Menu();
    if (!menu)
        return;
    menu->UncheckAll();
    menu->SetChecked(MatchProjectPreset(width, height), true);
    fPresets->Draw();
    fPresets->Refresh();
}

ProjectValues ProjDlog::FieldValues() const
{
    ProjectValues values;
    values.width = ReadInt(fWidth);
    values.height = ReadInt(fHeight);
    values.fps = fFps->FloatValue();
    values.start = ReadInt(fStart);
    values.end = ReadInt(fEnd);
    return values;
}

void ProjDlog::ExchangeData(bool apply)
{
    if (!fDocument)
        return;
    if (!apply) {
        MatchPreset(fDocument->Width(), fDocument->Height());
        SetInt(fWidth, fDocument->Width());
        SetInt(fHeight, fDocument->Height());
        fFps->SetValue(fDocument->Fps());
        SetInt(fStart, fDocument->StartFrame());
        SetInt(fEnd, fDocument->fEndFrame);
        fBackColor->SetValue(fDocument->fBackColor);
        fDepthSort->SetValue(fDocument->fDepthSort);
        fDistanceSort->SetValue(fDocument->fDistanceSort);
        fExtraSwfFrame->SetValue(fDocument->fExtraSwfFrame);
        fDistanceSort->Enable(fDepthSort->Value());
        fWidth->SelectAll();
        SetFocus(fWidth);
        return;
    }
    const ProjectValues values = FieldValues();
    fDocument->SetShape(values.width, values.height);
    fDocument->SetFps(values.fps);
    fDocument->SetStartFrame(values.start);
    fDocument->SetEndFrame(values.end);
    fDocument->fBackColor = fBackColor->Value();
    fDocument->fDepthSort = fDepthSort->Value();
    fDocument->FullDepthSort();
    fDocument->fDistanceSort = fDistanceSort->Value();
    fDocument->FullDepthSort();
    fDocument->fStereoSeparation = -1.0f;
    fDocument->fExtraSwfFrame = fExtraSwfFrame->Value();
    fDocument->SetDirty();
}

bool ProjDlog::OnValidate()
{
    ProjectValues values = FieldValues();
    const bool unchanged = ValidateProjectValues(values);
    if (!unchanged) {
        SetInt(fWidth, values.width);
        SetInt(fHeight, values.height);
        SetInt(fStart, values.start);
        SetInt(fEnd, values.end);
        QV_Dialog::ValidateFloat(fFps, 1.0f, 120.0f);
    }
    return unchanged;
}

void ProjDlog::HandleMessage(QV_Message* message)
{
    const int32_t what = message ? message->fWhat : 0;
    if (what > kPresetFirst && what < kPresetFirst + kPresetCount) {
        const Preset& preset = kPresets[what - kPresetFirst];
        SetInt(fWidth, preset.width);
        SetInt(fHeight, preset.height);
        MatchPreset(preset.width, preset.height);
        return;
    }
    switch (what) {
    case kPresetFirst:
        return;
    case kSizeEdited:
        MatchPreset(ReadInt(fWidth), ReadInt(fHeight));
        return;
    case kDepthSortToggled:
        fDistanceSort->Enable(fDepthSort->Value());
        return;
    case kSaveDefaults: {
        OnValidate();
        const ProjectValues values = FieldValues();
        gPrefs.projWidth = values.width;
        gPrefs.projHeight = values.height;
        gPrefs.projFps = values.fps;
        gPrefs.projStart = values.start;
        gPrefs.projEnd = values.end;
        gPrefs.projBackCol = fBackColor->Value();
        gPrefs.projDepthSort = fDepthSort->Value();
        gPrefs.projDistanceSort = fDistanceSort->Value();
        return;
    }
    case kRestoreDefaults:
        RestoreProjectDefaults();
        SetInt(fWidth, 720);
        SetInt(fHeight, 534);
        fFps->SetValue(24.0f);
        SetInt(fStart, 1);
        SetInt(fEnd, 240);
        fBackColor->SetValue(gPrefs.projBackCol);
        fDepthSort->SetValue(false);
        fDistanceSort->SetValue(false);
        fExtraSwfFrame->SetValue(false);
        fDistanceSort->Enable(false);
        MatchPreset(720, 534);
        return;
    default:
        QV_Dialog::HandleMessage(message);
    }
}
