// The Insert Text dialog.

#include "text_dlog.h"

#include "app_prefs.h"
#include "qv_app.h"
#include "qv_button.h"
#include "qv_check_box.h"
#include "qv_layout_view.h"
#include "qv_message.h"
#include "qv_static_text.h"
#include "qv_text_control.h"
#include "qv_text_list.h"
#include "script_previews.h"
#include "text_shapes.h"

namespace {

constexpr int32_t kEdited = 4701;

QV_String& Chosen()
{
    static QV_String name;
    return name;
}

} // namespace

const char* ChosenFontName() { return Chosen().CString(); }

TextDlog::TextDlog(VornDoc* document, QV_Wnd* owner)
    : QV_Dialog(Localize("/Dialogs/InsertText/Title=Insert Text"), owner)
    , fDocument(document)
{
    fSettingsName = "TextDlog";
    BuildFontList();
    auto* content = new QV_LayoutView(true, 8, 12, 12);
    content->AddChild(new QV_StaticText(Localize("/Dialogs/InsertText/Text=Text")));
    fText = new QV_TextControl(400, "", kEdited, FIELD_TEXT);
    fText->SetConstantMessages(true);
    content->AddChild(fText);
    fOneFill = new QV_CheckBox(Localize("/Dialogs/InsertText/CreateOneFill=Create one fill"), 0);
    fCenter = new QV_CheckBox(Localize("/Dialogs/InsertText/CenterText=Center text horizontally"), 0);
    content->AddChild(fOneFill);
    content->AddChild(fCenter);
    content->AddChild(new QV_StaticText(
        Localize("/Dialogs/InsertText/CurrentFillColor=Text will be created in the current fill color/style.")));
    fPreview = new QV_FontPreview(64, 64);
    content->AddChild(fPreview);
    fFonts = new QV_TextList(kEdited);
    fFonts->SetSize(200, 256);
    for (int32_t i = 0; i < FontCount(); i++)
        fFonts->AddItem(FontDisplayName(i));
    content->AddChild(fFonts);
    AddOkCancelRow(content);
    AddView(content);
}

void TextDlog::UpdatePreview()
{
    fPreview->fPreviewText = fText->Value();
    fPreview->fFontName = fFonts->SelItem() >= 0 ? fFonts->SelItemLabel() : "";
    fPreview->Refresh();
}

void TextDlog::HandleMessage(QV_Message* message)
{
    if (message && message->fWhat == kEdited) {
        UpdatePreview();
        return;
    }
    QV_Dialog::HandleMessage(message);
}

void TextDlog::ExchangeData(bool apply)
{
    if (!apply) {
        fOneFill->SetValue(gPrefs.insertTextOneFill);
        fCenter->SetValue(gPrefs.insertTextCenterH);
        fFonts->SetSelItem(gPrefs.insertTextFont);
        fText->SetValue(gPrefs.insertTextText.CString());
        UpdatePreview();
        fText->SelectAll();
        SetFocus(fText);
        return;
    }
    gPrefs.insertTextText = fText->Value();
    gPrefs.insertTextOneFill = fOneFill->Value();
    gPrefs.insertTextCenterH = fCenter->Value();
    gPrefs.insertTextFont = fFonts->SelItem();
    Chosen() = fFonts->SelItem() >= 0 ? fFonts->SelItemLabel() : "";
}
