#pragma once

#include "qv_dialog.h"

class QV_CheckBox;
class QV_FontPreview;
class QV_TextControl;
class QV_TextList;
class VornDoc;

// Insert Text: the text, the font and how the glyphs are filled, remembered as preferences.
class TextDlog : public QV_Dialog {
public:
    TextDlog(VornDoc* document, QV_Wnd* owner);
    void HandleMessage(QV_Message* message) override;
    void ExchangeData(bool apply) override;

    void UpdatePreview();

    VornDoc* fDocument;
    QV_TextControl* fText;
    QV_CheckBox* fOneFill;
    QV_CheckBox* fCenter;
    QV_FontPreview* fPreview;
    QV_TextList* fFonts;
};

// The font picked in the dialog's last OK this run (empty when none was).
const char* ChosenFontName();
