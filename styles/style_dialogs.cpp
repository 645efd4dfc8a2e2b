#include "style_dialogs.h"

#include "qv_angle_widget.h"
#include "qv_app.h"
#include "qv_check_box.h"
#include "qv_color_swatch.h"
#include "qv_static_text.h"
#include "qv_text_control.h"
#include "shape_style_factory.h"
#include "style_document.h"

namespace {

// Every channel of the copy at the frame, so that the preview shows it and edits key there.
void SetChannelsToFrame(M_ShapeStyle& style, int32_t frame)
{
    const int32_t count = style.CountChannels();
    for (int32_t i = 0; i < count; ++i)
        if (AnimChannel* channel = style.Channel(i))
            channel->SetCurFrame(frame);
}

int32_t LayerFrame(StyleDocument* doc)
{
    return doc ? doc->CurrentLayerFrame() : 0;
}

void AddLabel(QV_LayoutView* column, const char* key)
{
    column->AddChild(new QV_StaticText(Localize(key)));
}

QV_AngleWidget* AddAngle(QV_LayoutView* column, const char* key)
{
    AddLabel(column, key);
    auto* angle = new QV_AngleWidget(kStyleChanged);
    column->AddChild(angle);
    return angle;
}

QV_ColorSwatch* AddSwatch(QV_LayoutView* column, const char* key, rgb_color color, int32_t message)
{
    AddLabel(column, key);
    auto* swatch = new QV_ColorSwatch(true, color, message);
    column->AddChild(swatch);
    return swatch;
}

QV_CheckBox* AddCheck(QV_LayoutView* column, const char* key)
{
    auto* box = new QV_CheckBox(Localize(key), kStyleChanged);
    column->AddChild(box);
    return box;
}

// A size shown in whole pixels of the document height; at least `least` when asked.
void ShowPixels(QV_TextControl* field, float fraction, float height, int32_t least)
{
    int32_t pixels = RoundPixels(fraction * height);
    if (pixels < least)
        pixels = least;
    field->SetValue(pixels);
}

float FieldFraction(QV_TextControl* field, float height)
{
    return field->FloatValue() / height;
}

// Every range is checked, so that each field is put right in one pass.
bool InRange(QV_TextControl* field, float low, float high, bool& valid)
{
    valid = QV_Dialog::ValidateFloat(field, low, high) && valid;
    return valid;
}

} // namespace

// ---- Shaded ----

SS_ShadedDlog::SS_ShadedDlog(const StyleDlogArgs& args, SS_Shaded* style)
    : StyleDlog(args.window, "/Dialogs/Styles/Shaded/Title=Shaded", args.doc, args.sampleColor,
        args.backgroundColor, args.lineWidth, &fCopy)
    , fStyle(style)
    , fAngle(nullptr)
    , fOffset(nullptr)
    , fBlur(nullptr)
    , fColor(nullptr)
    , fShadowOnly(nullptr)
{
    CopyStyleRecord(*style, fCopy);
    SetChannelsToFrame(fCopy, LayerFrame(args.doc));
}

void SS_ShadedDlog::BuildWidgets(QV_LayoutView* column)
{
    fAngle = AddAngle(column, "/Dialogs/Styles/Shaded/LightAngle=Light angle");
    fOffset = AddSizeField(column, "/Dialogs/Styles/Shaded/Offset=Offset");
    fBlur = AddSizeField(column, "/Dialogs/Styles/Shaded/Blur=Blur");
    fColor = AddSwatch(column, "/Dialogs/Styles/Shaded/ShadowColor=Shadow color", fCopy.fShadowColor.value,
        kStyleChanged);
    fShadowOnly = AddCheck(column, "/Dialogs/Styles/Shaded/ShadowOnly=Shadow only");
}

void SS_ShadedDlog::ExchangeData(bool apply)
{
    StyleDlog::ExchangeData(apply);
    const float height = DocHeight();
    if (!apply) {
        fAngle->SetValue(fCopy.fLightAngle.value);
        ShowPixels(fOffset, fCopy.fOffset.value, height, 1);
        ShowPixels(fBlur, fCopy.fBlur.value, height, INT32_MIN);
        fColor->SetValue(fCopy.fShadowColor.value);
        fShadowOnly->SetValue(fCopy.fShadowOnly);
        return;
    }
    const int32_t frame = ChannelKeyFrame(fCopy.fLightAngle);
    fCopy.fLightAngle.SetValue(frame, fAngle->Value());
    fCopy.fOffset.SetValue(frame, FieldFraction(fOffset, height));
    fCopy.fBlur.SetValue(frame, FieldFraction(fBlur, height));
    fCopy.fShadowColor.SetValue(frame, fColor->Value());
    fCopy.fShadowOnly = fShadowOnly->Value();
}

bool SS_ShadedDlog::OnValidate()
{
    bool valid = true;
    InRange(fOffset, 1, 256, valid);
    InRange(fBlur, 0, 256, valid);
    return valid;
}

void SS_ShadedDlog::CommitStyle()
{
    CopyStyleRecord(fCopy, *fStyle);
}

// ---- Soft edge ----

SS_SoftDlog::SS_SoftDlog(const StyleDlogArgs& args, SS_Soft* style)
    : StyleDlog(args.window, "/Dialogs/Styles/SoftEdge/Title=Soft Edge", args.doc, args.sampleColor,
        args.backgroundColor, args.lineWidth, &fCopy)
    , fStyle(style)
    , fRadius(nullptr)
{
    CopyStyleRecord(*style, fCopy);
    SetChannelsToFrame(fCopy, LayerFrame(args.doc));
}

void SS_SoftDlog::BuildWidgets(QV_LayoutView* column)
{
    fRadius = AddSizeField(column, "/Dialogs/Styles/SoftEdge/BlurRadius=Blur radius");
}

void SS_SoftDlog::ExchangeData(bool apply)
{
    StyleDlog::ExchangeData(apply);
    const float height = DocHeight();
    if (!apply) {
        ShowPixels(fRadius, fCopy.fRadius.value, height, 0);
        return;
    }
    fCopy.fRadius.SetValue(ChannelKeyFrame(fCopy.fRadius), FieldFraction(fRadius, height));
}

bool SS_SoftDlog::OnValidate()
{
    bool valid = true;
    return InRange(fRadius, 0, 256, valid);
}

void SS_SoftDlog::CommitStyle()
{
    CopyStyleRecord(fCopy, *fStyle);
}

// ---- Halo ----

SS_HaloDlog::SS_HaloDlog(const StyleDlogArgs& args, SS_Halo* style)
    : StyleDlog(args.window, "/Dialogs/Styles/Halo/Title=Halo", args.doc, args.sampleColor, args.backgroundColor,
        args.lineWidth, &fCopy)
    , fStyle(style)
    , fInset(nullptr)
    , fBlur(nullptr)
    , fColor(nullptr)
    , fHaloOnly(nullptr)
{
    CopyStyleRecord(*style, fCopy);
    SetChannelsToFrame(fCopy, LayerFrame(args.doc));
}

void SS_HaloDlog::BuildWidgets(QV_LayoutView* column)
{
    fInset = AddSizeField(column, "/Dialogs/Styles/Halo/InsetRadius=Inset radius");
    fBlur = AddSizeField(column, "/Dialogs/Styles/Halo/BlurRadius=Blur radius");
    fColor = AddSwatch(column, "/Dialogs/Styles/Halo/HaloColor=Halo color", fCopy.fHaloColor.value, kStyleChanged);
    fHaloOnly = AddCheck(column, "/Dialogs/Styles/Halo/HaloOnly=Halo only");
}

void SS_HaloDlog::ExchangeData(bool apply)
{
    StyleDlog::ExchangeData(apply);
    const float height = DocHeight();
    if (!apply) {
        ShowPixels(fInset, fCopy.fInsetRadius.value, height, INT32_MIN);
        ShowPixels(fBlur, fCopy.fBlurRadius.value, height, INT32_MIN);
        fColor->SetValue(fCopy.fHaloColor.value);
        fHaloOnly->SetValue(fCopy.fHaloOnly);
        return;
    }
    const int32_t frame = ChannelKeyFrame(fCopy.fInsetRadius);
    fCopy.fInsetRadius.SetValue(frame, FieldFraction(fInset, height));
    fCopy.fBlurRadius.SetValue(frame, FieldFraction(fBlur, height));
    fCopy.fHaloColor.SetValue(frame, fColor->Value());
    fCopy.fHaloOnly = fHaloOnly->Value();
}

bool SS_HaloDlog::OnValidate()
{
    bool valid = true;
    InRange(fInset, 1, 30, valid);
    InRange(fBlur, 0, 256, valid);
    return valid;
}

void SS_HaloDlog::CommitStyle()
{
    CopyStyleRecord(fCopy, *fStyle);
}

// ---- Splotchy ----

SS_SplotchyDlog::SS_SplotchyDlog(const StyleDlogArgs& args, SS_Splotchy* style)
    : StyleDlog(args.window, "/Dialogs/Styles/Splotchy/Title=Splotchy", args.doc, args.sampleColor,
        args.backgroundColor, args.lineWidth, &fCopy)
    , fStyle(style)
    , fMagnitude(nullptr)
    , fScale(nullptr)
    , fMonochrome(nullptr)
{
    fCopy.fMagnitude = style->fMagnitude;
    fCopy.fScale = style->fScale;
    fCopy.fMonochrome = style->fMonochrome;
}

void SS_SplotchyDlog::BuildWidgets(QV_LayoutView* column)
{
    fMagnitude = AddSizeField(column, "/Dialogs/Styles/Splotchy/Magnitude=Magnitude");
    fScale = AddSizeField(column, "/Dialogs/Styles/Splotchy/Scale=Scale");
    fMonochrome = AddCheck(column, "/Dialogs/Styles/Splotchy/Monochrome=Monochrome");
}

void SS_SplotchyDlog::ExchangeData(bool apply)
{
    StyleDlog::ExchangeData(apply);
    const float height = DocHeight();
    if (!apply) {
        fMagnitude->SetValue(fCopy.fMagnitude);
        ShowPixels(fScale, fCopy.fScale, height, 1);
        fMonochrome->SetValue(fCopy.fMonochrome);
        return;
    }
    fCopy.fMagnitude = fMagnitude->IntValue();
    fCopy.fScale = FieldFraction(fScale, height);
    fCopy.fMonochrome = fMonochrome->Value();
}

bool SS_SplotchyDlog::OnValidate()
{
    bool valid = true;
    InRange(fMagnitude, 1, 128, valid);
    InRange(fScale, 1, 256, valid);
    return valid;
}

void SS_SplotchyDlog::CommitStyle()
{
    fStyle->fMagnitude = fCopy.fMagnitude;
    fStyle->fScale = fCopy.fScale;
    fStyle->fMonochrome = fCopy.fMonochrome;
}

// ---- Spots ----

SS_SpotsDlog::SS_SpotsDlog(const StyleDlogArgs& args, SS_Spots* style)
    : StyleDlog(args.window, "/Dialogs/Styles/Spots/Title=Spots", args.doc, args.sampleColor, args.backgroundColor,
        args.lineWidth, &fCopy)
    , fStyle(style)
    , fLength(nullptr)
    , fWidth(nullptr)
    , fLengthSpacing(nullptr)
    , fWidthSpacing(nullptr)
    , fAngle(nullptr)
    , fColor(nullptr)
{
    fCopy.fSpotLength = style->fSpotLength;
    fCopy.fSpotWidth = style->fSpotWidth;
    fCopy.fLengthSpacing = style->fLengthSpacing;
    fCopy.fWidthSpacing = style->fWidthSpacing;
    fCopy.fAngle = style->fAngle;
    fCopy.fSpotColor = style->fSpotColor;
}

void SS_SpotsDlog::BuildWidgets(QV_LayoutView* column)
{
    fLength = AddSizeField(column, "/Dialogs/Styles/Spots/SpotLength=Spot length");
    fWidth = AddSizeField(column, "/Dialogs/Styles/Spots/SpotWidth=Spot width");
    fLengthSpacing = AddSizeField(column, "/Dialogs/Styles/Spots/LengthSpacing=Length spacing");
    fWidthSpacing = AddSizeField(column, "/Dialogs/Styles/Spots/WidthSpacing=Width spacing");
    fAngle = AddAngle(column, "/Dialogs/Styles/Spots/Angle=Angle");
    fColor = AddSwatch(column, "/Dialogs/Styles/Spots/SpotColor=Spot color", fCopy.fSpotColor, kStyleChanged);
}

void SS_SpotsDlog::ExchangeData(bool apply)
{
    StyleDlog::ExchangeData(apply);
    const float height = DocHeight();
    if (!apply) {
        ShowPixels(fLength, fCopy.fSpotLength, height, INT32_MIN);
        ShowPixels(fWidth, fCopy.fSpotWidth, height, INT32_MIN);
        ShowPixels(fLengthSpacing, fCopy.fLengthSpacing, height, INT32_MIN);
        ShowPixels(fWidthSpacing, fCopy.fWidthSpacing, height, INT32_MIN);
        fAngle->SetValue(fCopy.fAngle);
        fColor->SetValue(fCopy.fSpotColor);
        return;
    }
    fCopy.fSpotLength = FieldFraction(fLength, height);
    fCopy.fSpotWidth = FieldFraction(fWidth, height);
    fCopy.fLengthSpacing = FieldFraction(fLengthSpacing, height);
    fCopy.fWidthSpacing = FieldFraction(fWidthSpacing, height);
    fCopy.fAngle = fAngle->Value();
    fCopy.fSpotColor = fColor->Value();
}

bool SS_SpotsDlog::OnValidate()
{
    bool valid = true;
    InRange(fLength, 2, 1024, valid);
    InRange(fWidth, 2, 1024, valid);
    InRange(fLengthSpacing, 4, 1024, valid);
    InRange(fWidthSpacing, 4, 1024, valid);
    return valid;
}

void SS_SpotsDlog::CommitStyle()
{
    fStyle->fSpotLength = fCopy.fSpotLength;
    fStyle->fSpotWidth = fCopy.fSpotWidth;
    fStyle->fLengthSpacing = fCopy.fLengthSpacing;
    fStyle->fWidthSpacing = fCopy.fWidthSpacing;
    fStyle->fAngle = fCopy.fAngle;
    fStyle->fSpotColor = fCopy.fSpotColor;
}

// ---- Sketchy ----

SS_SketchyDlog::SS_SketchyDlog(const StyleDlogArgs& args, SS_Sketchy* style)
    : StyleDlog(args.window, "/Dialogs/Styles/Sketchy/Title=Sketchy", args.doc, args.sampleColor,
        args.backgroundColor, args.lineWidth, &fCopy)
    , fStyle(style)
    , fRadius(nullptr)
{
    fCopy.fRadius = style->fRadius;
}

void SS_SketchyDlog::BuildWidgets(QV_LayoutView* column)
{
    fRadius = AddSizeField(column, "/Dialogs/Styles/Sketchy/Radius=Radius");
}

void SS_SketchyDlog::ExchangeData(bool apply)
{
    StyleDlog::ExchangeData(apply);
    if (!apply)
        ShowPixels(fRadius, fCopy.fRadius, DocHeight(), 1);
    else
        fCopy.fRadius = FieldFraction(fRadius, DocHeight());
}

bool SS_SketchyDlog::OnValidate()
{
    bool valid = true;
    return InRange(fRadius, 1, 8, valid);
}

void SS_SketchyDlog::CommitStyle()
{
    fStyle->fRadius = fCopy.fRadius;
}

// ---- Angled pen ----

SS_AngledPenDlog::SS_AngledPenDlog(const StyleDlogArgs& args, SS_AngledPen* style)
    : StyleDlog(args.window, "/Dialogs/Styles/AngledPen/Title=Angled Pen", args.doc, args.sampleColor,
        args.backgroundColor, args.lineWidth, &fCopy)
    , fStyle(style)
    , fRadius(nullptr)
    , fAngle(nullptr)
{
    fCopy.fRadius = style->fRadius;
    fCopy.fAngle = style->fAngle;
}

void SS_AngledPenDlog::BuildWidgets(QV_LayoutView* column)
{
    fRadius = AddSizeField(column, "/Dialogs/Styles/AngledPen/Radius=Radius");
    fAngle = AddAngle(column, "/Dialogs/Styles/AngledPen/Angle=Angle");
}

void SS_AngledPenDlog::ExchangeData(bool apply)
{
    StyleDlog::ExchangeData(apply);
    if (!apply) {
        ShowPixels(fRadius, fCopy.fRadius, DocHeight(), 1);
        fAngle->SetValue(fCopy.fAngle);
        return;
    }
    fCopy.fRadius = FieldFraction(fRadius, DocHeight());
    fCopy.fAngle = fAngle->Value();
}

bool SS_AngledPenDlog::OnValidate()
{
    bool valid = true;
    return InRange(fRadius, 1, 8, valid);
}

void SS_AngledPenDlog::CommitStyle()
{
    fStyle->fRadius = fCopy.fRadius;
    fStyle->fAngle = fCopy.fAngle;
}

// ---- Two-colour gradient ----

SS_GradientDlog::SS_GradientDlog(const StyleDlogArgs& args, SS_Gradient* style)
    : StyleDlog(args.window, "/Dialogs/Styles/Gradient/Title=Gradient", args.doc, args.sampleColor,
        args.backgroundColor, args.lineWidth, &fCopy)
    , fStyle(style)
    , fFrame(args.doc ? args.doc->CurrentFrame() : 0)
    , fAngle(nullptr)
    , fColor1(nullptr)
    , fColor2(nullptr)
    , fRadial(nullptr)
{
    CopyStyleRecord(*style, fCopy);
    fCopy.fAngle.SetCurFrame(fFrame);
    fCopy.fColor1.SetCurFrame(fFrame);
    fCopy.fColor2.SetCurFrame(fFrame);
}

void SS_GradientDlog::BuildWidgets(QV_LayoutView* column)
{
    fAngle = AddAngle(column, "/Dialogs/Styles/Gradient/Angle=Angle");
    fColor1 = AddSwatch(column, "/Dialogs/Styles/Gradient/Color1=Color 1", fCopy.fColor1.value, kStyleChanged);
    fColor2 = AddSwatch(column, "/Dialogs/Styles/Gradient/Color2=Color 2", fCopy.fColor2.value, kStyleChanged);
    fRadial = AddCheck(column, "/Dialogs/Styles/Gradient/RadialGradient=Radial gradient");
}

void SS_GradientDlog::ExchangeData(bool apply)
{
    StyleDlog::ExchangeData(apply);
    if (!apply) {
        fAngle->SetValue(fCopy.fAngle.value);
        fColor1->SetValue(fCopy.fColor1.value);
        fColor2->SetValue(fCopy.fColor2.value);
        fRadial->SetValue(fCopy.fRadial);
        return;
    }
    fCopy.fAngle.SetValue(fFrame, fAngle->Value());
    fCopy.fColor1.SetValue(fFrame, fColor1->Value());
    fCopy.fColor2.SetValue(fFrame, fColor2->Value());
    fCopy.fRadial = fRadial->Value();
}

void SS_GradientDlog::CommitStyle()
{
    CopyStyleRecord(fCopy, *fStyle);
}

// ---- The kinds' Edit ----

StyleDlog* NewStyleDialog(M_ShapeStyle* style, const StyleDlogArgs& args)
{
    if (!style)
        return nullptr;
    switch (style->StyleType()) {
    case kStyleShaded:
        return new SS_ShadedDlog(args, static_cast<SS_Shaded*>(style));
    case kStyleSplotchy:
        return new SS_SplotchyDlog(args, static_cast<SS_Splotchy*>(style));
    case kStyleSoftEdge:
        return new SS_SoftDlog(args, static_cast<SS_Soft*>(style));
    case kStyleSpots:
        return new SS_SpotsDlog(args, static_cast<SS_Spots*>(style));
    case kStyleHalo:
        return new SS_HaloDlog(args, static_cast<SS_Halo*>(style));
    case kStyleGradient:
        return new SS_GradientDlog(args, static_cast<SS_Gradient*>(style));
    case kStyleTexture:
        return new SS_TextureDlog(args, static_cast<SS_Texture*>(style));
    case kStyleSketchy:
        return new SS_SketchyDlog(args, static_cast<SS_Sketchy*>(style));
    case kStyleAngledPen:
        return new SS_AngledPenDlog(args, static_cast<SS_AngledPen*>(style));
    case kStyleGradient2:
        return new SS_Gradient2Dlog(args, static_cast<SS_Gradient2*>(style));
    case kStyleTexture2:
        return new SS_Texture2Dlog(args, static_cast<SS_Texture2*>(style));
    default:
        return nullptr;
    }
}

namespace {

void EditStyle(M_ShapeStyle* style, rgb_color sampleColor, rgb_color backgroundColor, float lineWidth,
    QV_Wnd* window, StyleDocument* doc)
{
    StyleDlog* dialog = NewStyleDialog(style, StyleDlogArgs { window, doc, sampleColor, backgroundColor, lineWidth });
    if (dialog)
        RunStyleDialog(dialog, doc);
}

} // namespace

#define STYLE_EDIT(Kind)                                                                                           \
    void Kind::Edit(rgb_color sampleColor, rgb_color backgroundColor, float lineWidth, QV_Wnd* window,            \
        StyleDocument* doc)                                                                                        \
    {                                                                                                              \
        EditStyle(this, sampleColor, backgroundColor, lineWidth, window, doc);                                     \
    }

STYLE_EDIT(SS_Shaded)
STYLE_EDIT(SS_Splotchy)
STYLE_EDIT(SS_Soft)
STYLE_EDIT(SS_Spots)
STYLE_EDIT(SS_Halo)
STYLE_EDIT(SS_Gradient)
STYLE_EDIT(SS_Texture)
STYLE_EDIT(SS_Sketchy)
STYLE_EDIT(SS_AngledPen)
STYLE_EDIT(SS_Gradient2)
STYLE_EDIT(SS_Texture2)
