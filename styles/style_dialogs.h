#pragma once

// The edit dialog of each effect kind. Each holds the real effect and a working copy of the
// same class that its widgets change; OK commits the copy.

#include <cstdint>

#include "qv_stopwatch.h"
#include "ss_angledpen.h"
#include "ss_gradient.h"
#include "ss_gradient2.h"
#include "ss_halo.h"
#include "ss_shaded.h"
#include "ss_sketchy.h"
#include "ss_soft.h"
#include "ss_splotchy.h"
#include "ss_spots.h"
#include "ss_texture.h"
#include "ss_texture2.h"
#include "style_dialog.h"

class QV_AngleWidget;
class QV_CheckBox;
class QV_ColorSwatch;
class QV_PopupMenu;
class QV_RadioButton;
struct GradientStop;

// The arguments every dialog is built with.
struct StyleDlogArgs {
    QV_Wnd* window;
    StyleDocument* doc;
    rgb_color sampleColor;
    rgb_color backgroundColor;
    float lineWidth;
};

class SS_ShadedDlog : public StyleDlog {
public:
    SS_ShadedDlog(const StyleDlogArgs& args, SS_Shaded* style);
    void BuildWidgets(QV_LayoutView* column) override;
    void ExchangeData(bool apply) override;
    bool OnValidate() override;
    void CommitStyle() override;

    SS_Shaded* fStyle;
    SS_Shaded fCopy;
    QV_AngleWidget* fAngle;
    QV_TextControl* fOffset;
    QV_TextControl* fBlur;
    QV_ColorSwatch* fColor;
    QV_CheckBox* fShadowOnly;
};

class SS_SoftDlog : public StyleDlog {
public:
    SS_SoftDlog(const StyleDlogArgs& args, SS_Soft* style);
    void BuildWidgets(QV_LayoutView* column) override;
    void ExchangeData(bool apply) override;
    bool OnValidate() override;
    void CommitStyle() override;

    SS_Soft* fStyle;
    SS_Soft fCopy;
    QV_TextControl* fRadius;
};

class SS_HaloDlog : public StyleDlog {
public:
    SS_HaloDlog(const StyleDlogArgs& args, SS_Halo* style);
    void BuildWidgets(QV_LayoutView* column) override;
    void ExchangeData(bool apply) override;
    bool OnValidate() override;
    void CommitStyle() override;

    SS_Halo* fStyle;
    SS_Halo fCopy;
    QV_TextControl* fInset;
    QV_TextControl* fBlur;
    QV_ColorSwatch* fColor;
    QV_CheckBox* fHaloOnly;
};

class SS_SplotchyDlog : public StyleDlog {
public:
    SS_SplotchyDlog(const StyleDlogArgs& args, SS_Splotchy* style);
    void BuildWidgets(QV_LayoutView* column) override;
    void ExchangeData(bool apply) override;
    bool OnValidate() override;
    void CommitStyle() override;

    SS_Splotchy* fStyle;
    SS_Splotchy fCopy;
    QV_TextControl* fMagnitude;
    QV_TextControl* fScale;
    QV_CheckBox* fMonochrome;
};

class SS_SpotsDlog : public StyleDlog {
public:
    SS_SpotsDlog(const StyleDlogArgs& args, SS_Spots* style);
    void BuildWidgets(QV_LayoutView* column) override;
    void ExchangeData(bool apply) override;
    bool OnValidate() override;
    void CommitStyle() override;

    SS_Spots* fStyle;
    SS_Spots fCopy;
    QV_TextControl* fLength;
    QV_TextControl* fWidth;
    QV_TextControl* fLengthSpacing;
    QV_TextControl* fWidthSpacing;
    QV_AngleWidget* fAngle;
    QV_ColorSwatch* fColor;
};

class SS_SketchyDlog : public StyleDlog {
public:
    SS_SketchyDlog(const StyleDlogArgs& args, SS_Sketchy* style);
    void BuildWidgets(QV_LayoutView* column) override;
    void ExchangeData(bool apply) override;
    bool OnValidate() override;
    void CommitStyle() override;

    SS_Sketchy* fStyle;
    SS_Sketchy fCopy;
    QV_TextControl* fRadius;
};

class SS_AngledPenDlog : public StyleDlog {
public:
    SS_AngledPenDlog(const StyleDlogArgs& args, SS_AngledPen* style);
    void BuildWidgets(QV_LayoutView* column) override;
    void ExchangeData(bool apply) override;
    bool OnValidate() override;
    void CommitStyle() override;

    SS_AngledPen* fStyle;
    SS_AngledPen fCopy;
    QV_TextControl* fRadius;
    QV_AngleWidget* fAngle;
};

class SS_GradientDlog : public StyleDlog {
public:
    SS_GradientDlog(const StyleDlogArgs& args, SS_Gradient* style);
    void BuildWidgets(QV_LayoutView* column) override;
    void ExchangeData(bool apply) override;
    void CommitStyle() override;

    SS_Gradient* fStyle;
    SS_Gradient fCopy;
    // The document's frame: this kind is evaluated and keyed there.
    int32_t fFrame;
    QV_AngleWidget* fAngle;
    QV_ColorSwatch* fColor1;
    QV_ColorSwatch* fColor2;
    QV_CheckBox* fRadial;
};

class SS_Gradient2Dlog;

// The bar under the type and colour widgets showing the gradient; its stop markers hang below it.
class GradientStopBar : public QV_PadView {
public:
    static constexpr int32_t kWidth = 256;
    static constexpr int32_t kHeight = 24;
    explicit GradientStopBar(SS_Gradient2Dlog* dialog);
    void Draw() override;
    SS_Gradient2Dlog* fDialog;
};

class SS_Gradient2Dlog : public StyleDlog {
public:
    static constexpr int32_t kTypeLinear = 8000;
    static constexpr int32_t kTypeAngle = 8003;
    static constexpr int32_t kStopColor = 8004;

    SS_Gradient2Dlog(const StyleDlogArgs& args, SS_Gradient2* style);
    void BuildWidgets(QV_LayoutView* column) override;
    void ExchangeData(bool apply) override;
    void CommitStyle() override;
    void HandleMessage(QV_Message* message) override;
    void MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void MouseMoved(int32_t x, int32_t y, int32_t modifiers, QV_Message* message) override;
    void MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message) override;
    void KeyDown(int32_t key, int32_t modifiers) override;

    // Opens the swatch's colour picker as a click on it does (a modal picker).
    virtual void OpenStopPicker();
    // The bar's rectangle in the dialog's coordinates.
    QV_Rect BarRect() const;
    // A stop's marker x in the dialog's coordinates.
    int32_t MarkerX(const GradientStop* stop) const;
    // The bar position of a dialog x, clamped to 0..1.
    float PositionAt(int32_t x) const;
    void DrawStopBar();
    void RedrawStopBar();
    int32_t IndexOf(const GradientStop* stop) const;

    SS_Gradient2* fStyle;
    SS_Gradient2 fCopy;
    // The frame the copy's stops were brought to; a stop added to an empty gradient is keyed here.
    int32_t fFrame;
    QV_PopupMenu* fType;
    QV_ColorSwatch* fColor;
    GradientStopBar* fBar;
    // Kept as stops rather than indices so that they follow their stops through every sort.
    GradientStop* fDragStop;
    GradientStop* fLastPressed;
    int32_t fPressCount;
    QV_Stopwatch fStopwatch;
};

// The texture dialogs of both kinds: a file button and two fill-mode radio buttons.
class TextureDlog : public StyleDlog {
public:
    static constexpr int32_t kChooseImage = -454;
    static constexpr int32_t kFirstMode = -455;
    static constexpr int32_t kSecondMode = -456;

    TextureDlog(const StyleDlogArgs& args, const char* titleKey, TextureSource* source, M_ShapeStyle* copy,
        TextureSource* copySource, const char* const keys[4]);
    void BuildWidgets(QV_LayoutView* column) override;
    void ExchangeData(bool apply) override;
    void CommitStyle() override;
    void HandleMessage(QV_Message* message) override;
    // A path the document cannot store: says why in an alert.
    virtual void ShowRefusedPath(const char* path);

    TextureSource* fSource;
    TextureSource* fCopySource;
    const char* const* fKeys;
    QV_Button* fChoose;
    QV_RadioButton* fTile;
    QV_RadioButton* fSecond;
};

class SS_TextureDlog : public TextureDlog {
public:
    SS_TextureDlog(const StyleDlogArgs& args, SS_Texture* style);
    SS_Texture fCopy;
};

class SS_Texture2Dlog : public TextureDlog {
public:
    SS_Texture2Dlog(const StyleDlogArgs& args, SS_Texture2* style);
    SS_Texture2 fCopy;
};

// The dialog of the effect's kind, or null for a kind without one.
StyleDlog* NewStyleDialog(M_ShapeStyle* style, const StyleDlogArgs& args);
