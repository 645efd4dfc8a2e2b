#include "anim_dlog.h"

#include <algorithm>
#include <cstring>

#include "app_prefs.h"
#include "export_formats.h"
#include "file_dialogs.h"
#include "plat_beep.h"
#include "qv_app.h"
#include "qv_box.h"
#include "qv_button.h"
#include "qv_check_box.h"
#include "qv_layout_view.h"
#include "qv_menu.h"
#include "qv_message.h"
#include "qv_path.h"
#include "qv_popup_menu.h"
#include "qv_static_text.h"
#include "qv_text_control.h"
#include "render_settings.h"
#include "vorndoc.h"

RenderSettings& ExportSettingsTemplate()
{
    static RenderSettings settings;
    return settings;
}
VornDoc* ExportTemplateDocument = nullptr;
bool ExportEndAtAnimationEnd = false;

void ProposedExportName(VornDoc* document, int32_t format, QV_String& name, QV_String& folder)
{
    name = "";
    folder = "";
    if (!document)
        return;
    const char* full = document->Name().CString();
    if (const char* dot = std::strrchr(full, '.'))
        name = QV_String(full).Left(int32_t(dot - full));
    const QV_String extension = FormatExtension(format);
    if (!extension.IsEmpty()) {
        name.Append(".");
        name.Append(extension);
    }
    folder = document->Path().Folder();
}

AnimDlog::AnimDlog(VornDoc* document, RenderSettings* settings, QV_Wnd* owner)
    : QV_Dialog(Localize("/Dialogs/Animation/Title=Export Animation"), owner)
    , fDocument(document)
    , fDefaultEnd(DefaultEndFrame(document))
    , fSettings(settings)
{
    fSettingsName = "AnimDlog";
    RenderSettings& model = ExportSettingsTemplate();
    if (ExportTemplateDocument != document) {
        model.SetDefaults();
        model.fPath = "";
        model.fStartFrame = document ? document->StartFrame() : 0;
        model.fEndFrame = std::max(fDefaultEnd, model.fStartFrame);
        ExportTemplateDocument = document;
    }
    if (fSettings)
        CopyRenderSettings(*fSettings, model);

    auto* content = new QV_LayoutView(true, 8, 12, 12);
    content->PushH(ALIGN_LEFT, 8);
    fStart = new QV_TextControl(64, "", 0, FIELD_UINT);
    fEnd = new QV_TextControl(64, "", 0, FIELD_UINT);
    content->AddChild(new QV_StaticText(Localize("/Dialogs/Animation/StartFrame=Start frame")), ALIGN_CENTER);
    content->AddChild(fStart);
    content->AddChild(new QV_StaticText(Localize("/Dialogs/Animation/EndFrame=End frame")), ALIGN_CENTER);
    content->AddChild(fEnd);
    content->AddChild(new QV_Button(Localize("/Dialogs/Animation/EntireAnimation=Entire Animation"),
        kAnimDlogEntireAnimation, 0, false, 3));
    content->Pop();

    content->PushH(ALIGN_CENTER, 8);
    content->AddChild(new QV_StaticText(Localize("/Dialogs/Animation/OutputFormat=Output format")), ALIGN_CENTER);
    fFormat = new QV_PopupMenu(160, true);
    fFormatMenu = new QV_Menu("Format");
    const int32_t n = ExportWriterCount();
    const int32_t swf = SwfListPosition();
    for (int32_t p = n + 1; p < swf && p < 50; p++) {
        const char* label = p == n + 1 ? "AVI Movie" : p == n + 2 ? "QuickTime Movie" : "Movie Format Error";
        fFormatMenu->AddItem(label, 0, kAnimDlogFormatFirst + p);
    }
    fFormatMenu->AddItem(Localize("/Dialogs/Animation/Flash=Flash (SWF)"), 0, kAnimDlogFormatFirst + swf);
    fFormat->SetMenu(fFormatMenu);
    content->AddChild(fFormat);
    content->Pop();

    auto* quality = new QV_Box(Localize("/Dialogs/Animation/RenderQuality=Render Quality"));
    auto* column = new QV_LayoutView(true, 8, 0, 0);
    fLayerEffects = new QV_CheckBox(Localize("/Dialogs/Animation/ApplyLayerEffects=Apply layer effects"), 0);
    fHalfSize = new QV_CheckBox(Localize("/Dialogs/Animation/RenderHalfSize=Render at half dimensions"), 0);
    fHalfFrameRate = new QV_CheckBox(Localize("/Dialogs/Animation/RenderHalfFrameRate=Render at half frame rate"), 0);
    fExtraSmooth = new QV_CheckBox(Localize("/Dialogs/Animation/ExtraSmoothImages=Extra-smooth images"), 0);
    for (QV_CheckBox* box : { fLayerEffects, fHalfSize, fHalfFrameRate, fExtraSmooth })
        column->AddChild(box);
    quality->AddChild(column);
    content->AddChild(quality);

    AddOkCancelRow(content);
    AddView(content);
    fInitialFocus = fStart;
}

void AnimDlog::ExchangeData(bool apply)
{
    if (!fSettings)
        return;
    RenderSettings& s = *fSettings;
    if (!apply) {
        fStart->SetValue(s.fStartFrame);
        if (ExportEndAtAnimationEnd)
            s.fEndFrame = fDefaultEnd;
        fEnd->SetValue(s.fEndFrame);
        fFormatMenu->UncheckAll();
        const int32_t wanted = kAnimDlogFormatFirst + gPrefs.preferredFormat;
        fFormatMenu->SetChecked(wanted, true);
        if (fFormatMenu->CountItems() == 0 || !fFormatMenu->IsChecked(wanted)) {
            fFormatMenu->UncheckAll();
            if (fFormatMenu->CountItems() > 0)
                fFormatMenu->SetChecked(fFormatMenu->fMessages[0], true);
        }
        fFormat->Draw();
        fFormat->Refresh();
        fLayerEffects->SetValue(s.fLayerEffects);
        fHalfSize->SetValue(s.fHalfSize);
        fHalfFrameRate->SetValue(s.fHalfFrameRate);
        fExtraSmooth->SetValue(s.fExtraSmooth);
        UpdateFormatOptions();
        fStart->SelectAll();
        fStart->SetFocus(true);
        return;
    }
    s.fStartFrame = fStart->IntValue();
    s.fEndFrame = fEnd->IntValue();
    ExportEndAtAnimationEnd = s.fEndFrame == fDefaultEnd;
    const int32_t position = fFormatMenu->FirstChecked() + ExportWriterCount() + 1;
    gPrefs.preferredFormat = position;
    s.fFormat = FormatOfListPosition(position);
    s.fLayerEffects = fLayerEffects->Value();
    s.fHalfSize = fHalfSize->Value();
    s.fHalfFrameRate = fHalfFrameRate->Value();
    s.fExtraSmooth = fExtraSmooth->Value();
    CopyRenderSettings(ExportSettingsTemplate(), s);
}

bool AnimDlog::OnValidate()
{
    bool valid = true;
    const int32_t start = fStart->IntValue();
    if (start < 0) {
        fStart->SetValue(0);
        valid = false;
    } else if (start >= 1000001) {
        fStart->SetValue(1000000);
        valid = false;
    }
    const int32_t startAgain = fStart->IntValue();
    const int32_t end = fEnd->IntValue();
    if (end < startAgain) {
        fEnd->SetValue(startAgain);
        return false;
    }
    if (end >= 1000001) {
        fEnd->SetValue(1000000);
        return false;
    }
    return valid;
}

void AnimDlog::UpdateFormatOptions()
{
    const int32_t count = fFormatMenu->CountItems();
    const bool swf = count > 0 && fFormatMenu->FirstChecked() == count - 1;
    fLayerEffects->Enable(!swf);
    fExtraSmooth->Enable(!swf);
}

void AnimDlog::ChooseListPosition(int32_t position)
{
    fFormatMenu->UncheckAll();
    fFormatMenu->SetChecked(kAnimDlogFormatFirst + position, true);
    QV_Message message(kAnimDlogFormatFirst + position);
    HandleMessage(&message);
}

void AnimDlog::HandleMessage(QV_Message* message)
{
    if (!message) {
        QV_Dialog::HandleMessage(message);
        return;
    }
    const int32_t what = message->fWhat;
    if (what >= kAnimDlogFormatFirst && what <= kAnimDlogFormatFirst + 49) {
        UpdateFormatOptions();
        return;
    }
    if (what == kAnimDlogEntireAnimation) {
        const int32_t start = fDocument ? fDocument->StartFrame() : 0;
        fStart->SetValue(start);
        fEnd->SetValue(std::max(fDefaultEnd, start));
        fStart->SelectAll();
        fStart->SetFocus(true);
        return;
    }
    if (what == MSG_OK) {
        QV_String path;
        if (message->FindString("path", path)) {
            if (fSettings)
                fSettings->fPath = path.CString();
            QV_Dialog::HandleMessage(message);
            return;
        }
        if (!OnValidate()) {
            PlatBeep();
            return;
        }
        ExchangeData(true);
        QV_String name;
        QV_String folder;
        ProposedExportName(fDocument, fSettings ? fSettings->fFormat : 0, name, folder);
        RunSaveFileDialog(Localize("/Dialogs/Animation/SaveAs=Save As"), this, fWindow, MSG_OK, name.CString(),
            folder.CString());
        return;
    }
    QV_Dialog::HandleMessage(message);
}
