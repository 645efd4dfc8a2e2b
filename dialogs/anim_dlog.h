#pragma once

#include <cstdint>

#include "qv_dialog.h"
#include "qv_string.h"

class QV_CheckBox;
class QV_Menu;
class QV_PopupMenu;
class QV_TextControl;
class RenderSettings;
class VornDoc;

constexpr int32_t kAnimDlogEntireAnimation = 6401;
constexpr int32_t kAnimDlogFormatFirst = 6450;

// The values of the last export, kept for the next export of the same document.
extern RenderSettings& ExportSettingsTemplate();
extern VornDoc* ExportTemplateDocument;
extern bool ExportEndAtAnimationEnd;

// The name and folder the Save As chooser proposes for an export of the document in the
// format: the document's name with the format's extension, in the document's folder.
void ProposedExportName(VornDoc* document, int32_t format, QV_String& name, QV_String& folder);

// Export Animation: the frame range, the movie or SWF format, four quality options and, through
// the Save As chooser, the output path of one export of the open document.
class AnimDlog : public QV_Dialog {
public:
    AnimDlog(VornDoc* document, RenderSettings* settings, QV_Wnd* owner);
    void HandleMessage(QV_Message* message) override;
    void ExchangeData(bool apply) override;
    bool OnValidate() override;
    // The quality options SWF has no use for are disabled while SWF is chosen.
    void UpdateFormatOptions();
    // Chooses the format list item of that list position, as a click would.
    void ChooseListPosition(int32_t position);

    VornDoc* fDocument;
    int32_t fDefaultEnd;
    RenderSettings* fSettings;
    QV_TextControl* fStart;
    QV_TextControl* fEnd;
    QV_PopupMenu* fFormat;
    QV_Menu* fFormatMenu;
    QV_CheckBox* fLayerEffects;
    QV_CheckBox* fHalfSize;
    QV_CheckBox* fHalfFrameRate;
    QV_CheckBox* fExtraSmooth;
};
