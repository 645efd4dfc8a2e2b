#pragma once

#include <cstdint>

#include "qv_baseimage.h"
#include "qv_color.h"
#include "qv_dialog.h"
#include "qv_layout_view.h"

class AnimChannel;
class M_ShapeStyle;
class QV_Button;
class QV_Menu;
class QV_TextControl;
class StyleDocument;
class StyleDlog;

// Sent by every widget of a style dialog when its value changes: validate, store, redraw.
constexpr int32_t kStyleChanged = 10200;
constexpr int32_t kStyleChangedToo = 10201;

// The menus the style panel offers for a fill slot and for the line slot: "<plain>" (10202),
// a separator, then the five effect kinds a user picks from, with "<plain>" checked.
QV_Menu* BuildFillStyleMenu();
QV_Menu* BuildLineStyleMenu();

// The sample shape of the style dialogs with the effect applied, composited over the
// background (whose alpha is ignored) into target, which must be at least 180 x 180.
// sampleImage and workImage are allocated at 180 x 180 when empty.
void RenderStylePreview(M_ShapeStyle* style, StyleDocument* doc, rgb_color sampleColor, rgb_color backgroundColor,
    float lineWidth, QV_BaseImage& sampleImage, QV_BaseImage& workImage, const QV_PixelBuffer& target);

// The frame an edit of the channel keys at: the active action's while one is edited.
int32_t ChannelKeyFrame(AnimChannel& channel);

// The 180 x 180 view the preview is drawn in: drawing the view draws the preview, so that every
// redraw of the dialog shows it.
class StylePreviewView : public QV_PadView {
public:
    explicit StylePreviewView(StyleDlog* dialog);
    void Draw() override;
    StyleDlog* fDialog;
};

// The modal dialog every effect kind is edited in: a live preview of a sample shape on the left,
// the kind's widgets on the right, OK and Cancel below. The kind's dialog owns a working copy of
// the effect that the widgets change; OK commits it into the real effect.
class StyleDlog : public QV_Dialog {
public:
    static constexpr int32_t kPreviewSize = 180;

    StyleDlog(QV_Wnd* window, const char* titleKey, StyleDocument* doc, rgb_color sampleColor,
        rgb_color backgroundColor, float lineWidth, M_ShapeStyle* workingCopy);
    ~StyleDlog() override;

    void HandleMessage(QV_Message* message) override;
    // Kinds call this first: it runs the opened hook on the first load.
    void ExchangeData(bool apply) override;
    void Draw() override;
    void PrepareLayout() override;
    void DialogClosed(int32_t id) override;
    // The kind's column of labelled widgets, added to column.
    virtual void BuildWidgets(QV_LayoutView* column) = 0;
    virtual void CommitStyle() = 0;

    // Renders the working copy into the preview view and shows it.
    void RedrawPreview();
    // The document's height in pixels, which size fields count in; at least 1.
    float DocHeight() const;

    // A label and a size field sending kStyleChanged.
    QV_TextControl* AddSizeField(QV_LayoutView* column, const char* labelKey);

    // Called once the dialog's window exists and before its modal loop runs; tests drive the
    // dialog from there.
    static void (*sOpenedHook)(StyleDlog* dialog);

    StyleDocument* fDoc;
    rgb_color fSampleColor;
    rgb_color fBackgroundColor;
    float fLineWidth;
    M_ShapeStyle* fEditedStyle;
    StylePreviewView* fPreview;
    QV_BaseImage fSampleImage;
    QV_BaseImage fEffectImage;
    QV_Button* fOK;
    QV_Button* fCancel;
    bool fOpened;
    int32_t fPreviewRenders;
};

// Runs the dialog modally; on OK tells the document that an effect changed.
int32_t RunStyleDialog(StyleDlog* dialog, StyleDocument* doc);

// Round half away from zero, as every size field shows its value.
int32_t RoundPixels(float value);
// A copy of the effect through its record at version 19, the route the dialogs take and commit.
bool CopyStyleRecord(M_ShapeStyle& from, M_ShapeStyle& to);
