#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "qv_baseimage.h"
#include "qv_color.h"
#include "qv_rect.h"
#include "shell_panel.h"

class M_Shape;
class M_Style;
class QV_CheckBox;
class QV_ColorSwatch;
class QV_DynamicText;
class QV_LayoutView;
class QV_Menu;
class QV_PadView;
class QV_PopupMenu;
class QV_ShortButton;
class QV_TextControl;

// The shape that holds the style of new shapes while no shape is selected; lives for the run.
extern M_Shape* gNewShapeDefaults;
// The swatch picture and the menu of the swatch files; kept across panels.
extern QV_BaseImage gSwatchImage;
extern QV_Menu* gSwatchMenu;

// The Style panel: fill, outline, colours, width and effects of the selected shape of the current
// vector layer, or of new shapes while none is selected, and a picture to pick colours from.
class StyleWnd : public ShellPanel {
public:
    StyleWnd(VornWnd* owner, VornDoc* document);
    ~StyleWnd() override;

    void SetDocument(VornDoc* document) override;
    void HandleMessage(QV_Message* message) override;
    void Draw() override;

    // After a frame change: refills the widgets when the shown colours are animated.
    void RefreshAnimated() override;
    // Shows the shape (null: the defaults for new shapes) and publishes it for new shapes.
    void SetShape(M_Shape* shape);
    void ShowDefaults();
    void UpdateWidgets();

    // What scripts ask of the panel: the style new shapes take, and the document style being
    // edited (null while none is).
    static M_Shape* NewShapeProperties();
    static M_Style* SelectedDocumentStyle();

    // The picture: a press, a move with the buttons held, a release (panel coordinates).
    void PickerPress(int32_t x, int32_t y, bool left, bool right, int32_t modifiers);
    void PickerMove(int32_t x, int32_t y, bool left, bool right, int32_t modifiers);
    void PickerRelease();
    // Where the picture lies in the panel, and its scale.
    QV_Rect PictureRect();
    bool LoadSwatch(const char* path);
    // Shown width in pixels, rounded to two decimals, for a style width and a height.
    static float ShownWidth(float width, int32_t height);

    M_Shape* fShape;
    M_Style* fStyle;
    QV_LayoutView* fLayout;
    QV_CheckBox* fAdvancedBox;
    QV_CheckBox* fFillBox;
    QV_ColorSwatch* fFillSwatch;
    QV_CheckBox* fLineBox;
    QV_ColorSwatch* fLineSwatch;
    QV_TextControl* fWidthField;
    QV_ShortButton* fResetButton;
    QV_ShortButton* fCopyButton;
    QV_ShortButton* fPasteButton;
    M_Shape* fClipShape;
    M_Style* fClipStyle;
    QV_PopupMenu* fSwatchPopup;
    QV_PadView* fSwatchPad;
    float fSwatchScale;
    bool fPicking;
    QV_PopupMenu* fShapePopup;
    QV_DynamicText* fHeader;
    QV_TextControl* fNameField;
    QV_PopupMenu* fEffect1Popup;
    QV_ShortButton* fEffect1Button;
    int32_t fEffect1Index;
    QV_PopupMenu* fEffect2Popup;
    QV_ShortButton* fEffect2Button;
    int32_t fEffect2Index;
    QV_PopupMenu* fLineEffectPopup;
    QV_ShortButton* fLineEffectButton;
    int32_t fLineEffectIndex;

private:
    void BuildLayout(bool advanced);
    void SwitchLayout();
    void Refresh();
    void Notify(int32_t what);
    // False when the shown shape went away meanwhile (the defaults are then shown).
    bool PrepareUndo();
    bool KeepShownShape(bool refill);
    int32_t DocHeight() const;
    void SetWidth();
    void SetColor(bool line);
    void EditEffect(int32_t slot);
    void EffectChosen(int32_t what);
    void Copy();
    void Paste();
    void Reset();
    void ChooseShape(int32_t what);
    void PickAt(int32_t x, int32_t y, bool left, bool right, int32_t modifiers);

protected:
    // The effect's own modal edit dialog.
    virtual void RunEffectDialog(class M_ShapeStyle* effect, rgb_color color, float width);
};

// The swatches folder's picture files, sorted by name, at most 100.
std::vector<std::string> ListSwatchFiles(const char* folder);
