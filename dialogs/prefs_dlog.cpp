#include "prefs_dlog.h"

#include <algorithm>

#include "app_prefs.h"
#include "interface_colors.h"
#include "main_layer.h"
#include "qv_app.h"
#include "qv_box.h"
#include "qv_button.h"
#include "qv_check_box.h"
#include "qv_color_swatch.h"
#include "qv_layout_view.h"
#include "qv_menu.h"
#include "qv_message.h"
#include "qv_popup_menu.h"
#include "qv_scroll_bar.h"
#include "qv_static_text.h"
#include "qv_tab_view.h"
#include "qv_text_control.h"

namespace {

constexpr int32_t kSwatchChanged = 4250;
constexpr int32_t kResetEditorColors = 4230;
constexpr int32_t kResetGuiColors = 4251;

struct OptionRow {
    const char* label;
    bool ShellPrefs::*pref;
};

const OptionRow kOptions[PrefsDlog::kCheckCount] = {
    { "/Dialogs/Preferences/AutoAssistBoneLocking=Auto-assist with bone locking keyframes", &ShellPrefs::autoLockKeys },
    { "/Dialogs/Preferences/ScaleCompensation=Scale compensation for new layers", &ShellPrefs::scaleCompensation },
    { "/Dialogs/Preferences/ShowPathsForNewLayers=Show paths for new layers", &ShellPrefs::constructionCurves },
    { "/Dialogs/Preferences/AutoName=Auto-name bones and shapes", &ShellPrefs::autoNaming },
    { "/Dialogs/Preferences/BoxZoom=Zoom with drag box", &ShellPrefs::zoomBox },
    { "/Dialogs/Preferences/ConsolidateChannels=Consolidate timeline channels", &ShellPrefs::masterAnimChannel },
    { "/Dialogs/Preferences/StatusAtTopOfWindow=Status bar at top of window", &ShellPrefs::topStatusBar },
    { "/Dialogs/Preferences/HighlightFrame0=Highlight frame 0", &ShellPrefs::markZero },
    { "/Dialogs/Preferences/EnableDrawingToolsOnlyOnFrame0=Enable drawing tools only on frame 0",
        &ShellPrefs::disableDrawingToolsNonZero },
    { "/Dialogs/Preferences/SMPTE=Use SMPTE timecode", &ShellPrefs::smpte },
    { "/Dialogs/Preferences/AnglesInDegrees=Show angles in degrees in timeline", &ShellPrefs::degreesInTimeline },
    { "/Dialogs/Preferences/DisableCustomCursors=Disable custom tool cursors", &ShellPrefs::disableCursors },
    { "/Dialogs/Preferences/DisableAudio=Disable audio feedback", &ShellPrefs::disableAudioFeedback },
};

struct InterpRow {
    const char* label;
    int32_t message;
    int32_t value;
};

const InterpRow kInterps[] = {
    { "/Dialogs/Preferences/Interpolation/Smooth=Smooth", 4201, 1 },
    { "/Dialogs/Preferences/Interpolation/Linear=Linear", 4202, 0 },
    { "/Dialogs/Preferences/Interpolation/Step=Step", 4203, 3 },
    { "/Dialogs/Preferences/Interpolation/EaseInOut=Ease In/Out", 4204, 2 },
    { "/Dialogs/Preferences/Interpolation/Noisy=Noisy", 4205, 4 },
    { "/Dialogs/Preferences/Interpolation/EaseIn=Ease In", 4206, 7 },
    { "/Dialogs/Preferences/Interpolation/EaseOut=Ease Out", 4207, 8 },
};

struct EditorColor {
    const char* label;
    rgb_color ShellPrefs::*pref;
};

// Two columns of three.
const EditorColor kEditorColors[6] = {
    { "/Dialogs/Preferences/Background=Background", &ShellPrefs::colBack },
    { "/Dialogs/Preferences/Object=Object", &ShellPrefs::colObj },
    { "/Dialogs/Preferences/Selection=Selection", &ShellPrefs::colSel },
    { "/Dialogs/Preferences/Inactive=Inactive", &ShellPrefs::colInac },
    { "/Dialogs/Preferences/DefaultFill=Default fill", &ShellPrefs::colFill },
    { "/Dialogs/Preferences/DefaultEdge=Default edge", &ShellPrefs::colLine },
};

QV_LayoutView* NewPage()
{
    auto* page = new QV_LayoutView(true, 8, 12, 12);
    page->fFollow = FOLLOW_LEFT | FOLLOW_TOP;
    return page;
}

QV_Message* UserSettings()
{
    return gApp ? &gApp->fUserSettings : nullptr;
}

} // namespace

int32_t TabForRequest(int32_t requested)
{
    // 0 options, 1 the account tab that is gone, 2 and 3 the colour tabs.
    if (requested <= 1)
        return kPrefsTabOptions;
    return std::min(requested - 1, kPrefsTabGuiColors);
}

PrefsDlog::PrefsDlog(QV_Wnd* owner)
    : QV_Dialog(Localize("/Dialogs/Preferences/Title=Preferences"), owner)
    , fChecks {}
    , fColorCount(0)
    , fColors {}
{
    fSettingsName = "PrefsDlog";
    auto* content = new QV_LayoutView(true, 8, 8, 8);
    fTabs = new QV_TabView();

    QV_LayoutView* options = NewPage();
    for (int32_t i = 0; i < kCheckCount; i++) {
        fChecks[i] = new QV_CheckBox(Localize(kOptions[i].label), 0);
        options->AddChild(fChecks[i]);
    }
    options->PushH(ALIGN_LEFT, 8);
    options->AddChild(
        new QV_StaticText(Localize("/Dialogs/Preferences/DefaultInterpolation=Default interpolation:")), ALIGN_CENTER);
    fInterpPopup = new QV_PopupMenu(128, true);
    auto* menu = new QV_Menu("Interpolation");
    for (const InterpRow& row : kInterps)
        menu->AddItem(Localize(row.label), 0, row.message);
    fInterpPopup->SetMenu(menu);
    options->AddChild(fInterpPopup, ALIGN_CENTER);
    options->Pop();
    fTabs->AddTab(Localize("/Dialogs/Preferences/Options=Options"), options);

    QV_LayoutView* editor = NewPage();
    editor->PushH(ALIGN_LEFT, 24);
    for (int32_t column = 0; column < 2; column++) {
        editor->PushV(ALIGN_LEFT, 8);
        for (int32_t row = 0; row < 3; row++) {
            const EditorColor& entry = kEditorColors[column * 3 + row];
            editor->PushH(ALIGN_LEFT, 8);
            editor->AddChild(AddSwatch(&(gPrefs.*entry.pref)), ALIGN_CENTER);
            editor->AddChild(new QV_StaticText(Localize(entry.label)), ALIGN_CENTER);
            editor->Pop();
        }
        editor->Pop();
    }
    editor->Pop();
    editor->AddChild(new QV_Button(Localize("/Dialogs/Preferences/Reset=Reset"), kResetEditorColors, 64, false, 3));
    fTabs->AddTab(Localize("/Dialogs/Preferences/EditorColors=Editor Colors"), editor);

    QV_LayoutView* gui = NewPage();
    gui->PushH(ALIGN_LEFT, 16);
    gui->PushV(ALIGN_LEFT, 8);
    gui->PushH(ALIGN_LEFT, 12);
    for (int32_t column = 0; column < 4; column++) {
        gui->PushV(ALIGN_LEFT, 4);
        for (int32_t row = 0; row < 7; row++) {
            const InterfaceColor& color = kInterfaceColors[column * 7 + row];
            gui->PushH(ALIGN_LEFT, 6);
            gui->AddChild(AddSwatch(color.color), ALIGN_CENTER);
            // The keys are the colours' names; they are not translated.
            gui->AddChild(new QV_StaticText(color.key), ALIGN_CENTER);
            gui->Pop();
        }
        gui->Pop();
    }
    gui->Pop();
    gui->AddChild(new QV_Button(Localize("/Dialogs/Preferences/Reset=Reset"), kResetGuiColors, 64, false, 3));
    gui->Pop();
    auto* samples = new QV_Box(Localize("/Dialogs/Preferences/SampleWidgets=Sample Widgets"));
    auto* sampleColumn = new QV_LayoutView(true, 6, 6, 6);
    sampleColumn->AddChild(new QV_Button("Button 1", 0, 64, false, 3));
    auto* disabledButton = new QV_Button("Disabled", 0, 64, false, 3);
    disabledButton->Enable(false);
    sampleColumn->AddChild(disabledButton);
    sampleColumn->AddChild(new QV_CheckBox("Checkbox", 0));
    sampleColumn->AddChild(new QV_RadioButton("Radio button", 0));
    sampleColumn->AddChild(new QV_TextControl(128, "Text control", 0, FIELD_TEXT));
    auto* disabledField = new QV_TextControl(128, "Text control", 0, FIELD_TEXT);
    disabledField->Enable(false);
    sampleColumn->AddChild(disabledField);
    sampleColumn->AddChild(new QV_ScrollBar(false, 128, 0, FOLLOW_LEFT | FOLLOW_TOP));
    samples->AddChild(sampleColumn);
    gui->AddChild(samples);
    gui->Pop();
    fLargeFonts = new QV_CheckBox(Localize("/Dialogs/Preferences/UseLargeFonts=Use large fonts"), 0);
    gui->AddChild(fLargeFonts);
    gui->AddChild(new QV_StaticText(
        Localize("/Dialogs/Preferences/RestartApplication=NOTE: Restart Celvane if you make any changes here.")));
    fTabs->AddTab(Localize("/Dialogs/Preferences/GUI Colors=GUI Colors"), gui);

    content->AddChild(fTabs);
    AddOkCancelRow(content);
    AddView(content);
}

PrefsDlog::~PrefsDlog() = default;

QV_ColorSwatch* PrefsDlog::AddSwatch(rgb_color* variable)
{
    auto* swatch = new QV_ColorSwatch(false, *variable, kSwatchChanged);
    if (fColorCount < kMaxColors)
        fColors[fColorCount++] = ColorEntry { swatch, variable, *variable };
    return swatch;
}

void PrefsDlog::Redraw()
{
    Draw();
    Flush();
}

void PrefsDlog::HandleMessage(QV_Message* message)
{
    const int32_t what = message ? message->fWhat : 0;
    switch (what) {
    case kSwatchChanged:
        for (int32_t i = 0; i < fColorCount; i++)
            *fColors[i].variable = fColors[i].swatch->Value();
        if (fWindow)
            Redraw();
        return;
    case kResetEditorColors:
    case kResetGuiColors:
        if (what == kResetEditorColors) {
            // The first-start values come from the one place that knows them; nothing else of
            // the preferences may change here.
            const ShellPrefs kept = gPrefs;
            const EditorToggles toggles = gToggles;
            ResetPreferences();
            const ShellPrefs defaults = gPrefs;
            gPrefs = kept;
            gToggles = toggles;
            for (const EditorColor& entry : kEditorColors)
                gPrefs.*entry.pref = defaults.*entry.pref;
        } else {
            ResetInterfaceColors();
        }
        ExchangeData(false);
        if (fWindow)
            Redraw();
        return;
    default:
        break;
    }
    QV_Dialog::HandleMessage(message);
}

void PrefsDlog::ExchangeData(bool apply)
{
    QV_Menu* menu = fInterpPopup->Menu();
    if (!apply) {
        for (int32_t i = 0; i < kCheckCount; i++)
            fChecks[i]->SetValue(gPrefs.*kOptions[i].pref);
        if (menu) {
            menu->UncheckAll();
            int32_t item = 4201;
            for (const InterpRow& row : kInterps) {
                if (row.value == gPrefs.defaultInterp)
                    item = row.message;
            }
            menu->SetChecked(item, true);
        }
        if (fWindow)
            fInterpPopup->Refresh();
        for (int32_t i = 0; i < fColorCount; i++)
            fColors[i].swatch->SetValue(*fColors[i].variable);
        bool large = false;
        if (QV_Message* settings = UserSettings(); settings && settings->FindBool("UseLargeFonts", large))
            fLargeFonts->SetValue(large);
        return;
    }
    for (int32_t i = 0; i < kCheckCount; i++)
        gPrefs.*kOptions[i].pref = fChecks[i]->Value();
    const int32_t checked = menu ? menu->FirstCheckedMsg() : 0;
    gPrefs.defaultInterp = 1;
    for (const InterpRow& row : kInterps) {
        if (row.message == checked)
            gPrefs.defaultInterp = row.value;
    }
    if (QV_Message* settings = UserSettings())
        settings->AddBool("UseLargeFonts", fLargeFonts->Value());
}

void PrefsDlog::DialogClosed(int32_t id)
{
    if (id == MSG_CANCEL) {
        for (int32_t i = 0; i < fColorCount; i++)
            *fColors[i].variable = fColors[i].initial;
    }
    QV_Dialog::DialogClosed(id);
}

int32_t RunPrefsDlog(QV_Wnd* owner, QV_Message* message)
{
    auto* dialog = new PrefsDlog(owner);
    int32_t tab = 0;
    if (message && message->FindInt("ActivateTab", tab))
        dialog->fTabs->SelectTab(TabForRequest(tab));
    return dialog->DoModal();
}

int32_t RunPrefsCommand(MainLayer* layer, int32_t command, QV_Message* message)
{
    if (command != -1010)
        return 0;
    return RunPrefsDlog(layer ? layer->fWindow : nullptr, message);
}
