#pragma once

#include <cstdint>

#include "qv_color.h"
#include "qv_dialog.h"

class QV_CheckBox;
class QV_ColorSwatch;
class QV_PopupMenu;
class QV_TextControl;
class VornDoc;

// The message of the first preset (Custom included) of that size: 640 x 480 is VGA; a size no
// preset has is Custom (4301).
int32_t MatchProjectPreset(int32_t width, int32_t height);

// The values of the dialog's number fields.
struct ProjectValues {
    int32_t width = 0;
    int32_t height = 0;
    float fps = 0;
    int32_t start = 0;
    int32_t end = 0;
};
// Clamps each value into its range; false when one had to change (the dialog then stays open).
bool ValidateProjectValues(ProjectValues& values);

// Project Settings: the document's size, frame rate, range, background and sorting; its two
// buttons store the values as the defaults of new documents or put the built-in ones back.
class ProjDlog : public QV_Dialog {
public:
    ProjDlog(VornDoc* document, QV_Wnd* owner);
    void HandleMessage(QV_Message* message) override;
    void ExchangeData(bool apply) override;
    bool OnValidate() override;

    // The preset menu marks the preset of that size.
    void MatchPreset(int32_t width, int32_t height);
    ProjectValues FieldValues() const;

    VornDoc* fDocument;
    QV_PopupMenu* fPresets;
    QV_TextControl* fWidth;
    QV_TextControl* fHeight;
    QV_TextControl* fFps;
    QV_TextControl* fStart;
    QV_TextControl* fEnd;
    QV_ColorSwatch* fBackColor;
    QV_CheckBox* fDepthSort;
    QV_CheckBox* fDistanceSort;
    QV_CheckBox* fExtraSwfFrame;
};
