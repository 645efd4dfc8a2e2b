// The multi-stop gradient's dialog with its stop bar, and the texture dialogs.
#include <algorithm>
#include <cmath>

#include "file_dialogs.h"
#include "gradient_stop.h"
#include "image_format_registry.h"
#include "interface_colors.h"
#include "qv_alert.h"
#include "qv_app.h"
#include "qv_button.h"
#include "qv_check_box.h"
#include "qv_color_swatch.h"
#include "qv_graphics.h"
#include "qv_keys.h"
#include "qv_menu.h"
#include "qv_message.h"
#include "qv_path.h"
#include "qv_popup_menu.h"
#include "qv_static_text.h"
#include "style_dialogs.h"
#include "style_document.h"

namespace {

constexpr int32_t kMarkerReach = 5;
constexpr int32_t kAltModifier = 4;
constexpr float kDoubleClickSeconds = 1.0f;
// Room under the bar for the stop markers.
constexpr int32_t kMarkerRoom = 20;

rgb_color ColourBytes(const QV_ColorVector& c)
{
    return c.AsColorStruct();
}

} // namespace

GradientStopBar::GradientStopBar(SS_Gradient2Dlog* dialog)
    : QV_PadView(kWidth, kHeight)
    , fDialog(dialog)
{
}

void GradientStopBar::Draw()
{
    fDialog->DrawStopBar();
}

SS_Gradient2Dlog::SS_Gradient2Dlog(const StyleDlogArgs& args, SS_Gradient2* style)
    : StyleDlog(args.window, "/Dialogs/Styles/Gradient2/Title=Gradient", args.doc, args.sampleColor,
        args.backgroundColor, args.lineWidth, &fCopy)
    , fStyle(style)
    , fFrame(args.doc ? args.doc->CurrentLayerFrame() : 0)
    , fType(nullptr)
    , fColor(nullptr)
    , fBar(nullptr)
    , fDragStop(nullptr)
    , fLastPressed(nullptr)
    , fPressCount(0)
{
    CopyStyleRecord(*style, fCopy);
    fCopy.fCachedFrame = -1;
    fCopy.SetFrame(fFrame);
    for (int32_t i = 0; i < fCopy.CountStops(); ++i)
        fCopy.Stop(i)->fSelected = i == 0;
}

void SS_Gradient2Dlog::BuildWidgets(QV_LayoutView* column)
{
    column->AddChild(new QV_StaticText(Localize("/Dialogs/Styles/Gradient2/Type=Type")));
    fType = new QV_PopupMenu(128, true);
    auto* menu = new QV_Menu(Localize("/Dialogs/Styles/Gradient2/Type=Type"));
    menu->AddItem(Localize("/Dialogs/Styles/Gradient2/Linear=Linear"), 0, kTypeLinear, 0);
    menu->AddItem(Localize("/Dialogs/Styles/Gradient2/Radial=Radial"), 0, kTypeLinear + 1, 0);
    menu->AddItem(Localize("/Dialogs/Styles/Gradient2/Reflected=Reflected"), 0, kTypeLinear + 2, 0);
    menu->AddItem(Localize("/Dialogs/Styles/Gradient2/Angle=Angle"), 0, kTypeAngle, 0);
    fType->SetMenu(menu);
    column->AddChild(fType);
    column->AddChild(new QV_StaticText(Localize("/Dialogs/Styles/Gradient2/Color=Color ")));
    fColor = new QV_ColorSwatch(true, rgb_color { 255, 255, 255, 255 }, kStopColor);
    column->AddChild(fColor);
    column->AddPadding(8);
    fBar = new GradientStopBar(this);
    column->AddChild(fBar);
    column->AddPadding(kMarkerRoom);
}

void SS_Gradient2Dlog::ExchangeData(bool apply)
{
    StyleDlog::ExchangeData(apply);
    QV_Menu* menu = fType->Menu();
    if (!apply) {
        menu->UncheckAll();
        menu->SetChecked(kTypeLinear + fCopy.fType, true);
        fType->Redraw(true);
        return;
    }
    const int32_t checked = menu->FirstCheckedMsg();
    if (checked >= kTypeLinear && checked <= kTypeAngle)
        fCopy.fType = checked - kTypeLinear;
}

void SS_Gradient2Dlog::CommitStyle()
{
    CopyStyleRecord(fCopy, *fStyle);
    // The real gradient brings its stops to the frame it renders next.
    fStyle->fCachedFrame = -1;
}

QV_Rect SS_Gradient2Dlog::BarRect() const
{
    return fBar ? fBar->FrameInLayer() : QV_Rect { 0, 0, 0, 0 };
}

int32_t SS_Gradient2Dlog::MarkerX(const GradientStop* stop) const
{
    const QV_Rect r = BarRect();
    int32_t x = r.left + RoundPixels(float(r.right - r.left) * stop->fPosition.value);
    return x < r.left ? r.left : x > r.right ? r.right : x;
}

float SS_Gradient2Dlog::PositionAt(int32_t x) const
{
    const QV_Rect r = BarRect();
    if (r.right <= r.left)
        return 0.0f;
    const float t = float(x - r.left) / float(r.right - r.left);
    return t < 0.0f ? 0.0f : t > 1.0f ? 1.0f : t;
}

int32_t SS_Gradient2Dlog::IndexOf(const GradientStop* stop) const
{
    for (int32_t i = 0; i < fCopy.CountStops(); ++i)
        if (fCopy.Stop(i) == stop)
            return i;
    return -1;
}

void SS_Gradient2Dlog::DrawStopBar()
{
    QV_Graphics* graphics = GetGraphics();
    if (!graphics || !fBar)
        return;
    const QV_Rect bar = BarRect();
    const int32_t l = bar.left;
    const int32_t t = bar.top;
    const int32_t r = bar.right;
    const int32_t b = bar.bottom;
    graphics->BeginDraw();
    graphics->SetColorStruct(WindowBackground);
    graphics->FillRect(l - 10, t, r + 10, b + kMarkerRoom);
    // 8 x 8 squares, grey where exactly one of the offsets has bit 3 set.
    for (int32_t y = t; y <= b; y += 8) {
        for (int32_t x = l; x <= r; x += 8) {
            const bool grey = (((x - l) & 8) != 0) != (((y - t) & 8) != 0);
            const uint8_t v = grey ? 128 : 255;
            graphics->SetColor(v, v, v, 255);
            graphics->FillRect(x, y, std::min(x + 7, r), std::min(y + 7, b));
        }
    }
    for (int32_t x = l; x <= r; ++x) {
        graphics->SetColorStruct(ColourBytes(fCopy.ColourAt(PositionAt(x))));
        graphics->DrawVLine(t, b, x);
    }
    graphics->SetColorStruct(WidgetOutline);
    graphics->FrameRect(l - 1, t - 1, r + 1, b + 1);
    for (int32_t i = 0; i < fCopy.CountStops(); ++i) {
        const GradientStop* stop = fCopy.Stop(i);
        const int32_t x = MarkerX(stop);
        graphics->SetColor(255, 255, 255, 255);
        graphics->FillRect(x - 5, b + 7, x + 5, b + 17);
        graphics->SetColor(128, 128, 128, 255);
        graphics->FillRect(x - 5, b + 7, x, b + 12);
        graphics->FillRect(x + 1, b + 13, x + 5, b + 17);
        graphics->SetColorStruct(stop->fColor.value);
        graphics->FillRect(x - 5, b + 7, x + 5, b + 17);
        graphics->SetColorStruct(WidgetOutline);
        graphics->FrameRect(x - 5, b + 7, x + 5, b + 17);
        graphics->SetSmoothing(true);
        if (stop->fSelected) {
            graphics->BeginShape();
            graphics->AddLine(float(x + 5), float(b + 7), float(x), float(b + 2));
            graphics->AddLine(float(x), float(b + 2), float(x - 5), float(b + 7));
            graphics->AddLine(float(x - 5), float(b + 7), float(x + 5), float(b + 7));
            graphics->EndShape();
        } else {
            graphics->DrawLine(float(x + 5), float(b + 7), float(x), float(b + 2));
            graphics->DrawLine(float(x), float(b + 2), float(x - 5), float(b + 7));
        }
        graphics->SetSmoothing(false);
    }
    graphics->EndDraw();
}

void SS_Gradient2Dlog::RedrawStopBar()
{
    DrawStopBar();
    const QV_Rect bar = BarRect();
    FlushRect(bar.left - 10, bar.top - 1, bar.right + 10, bar.bottom + kMarkerRoom);
}

void SS_Gradient2Dlog::OpenStopPicker()
{
    const QV_Rect frame = fColor->Bounds();
    fColor->MouseUp(frame.left, frame.top, 1, 0, nullptr);
}

void SS_Gradient2Dlog::HandleMessage(QV_Message* message)
{
    const int32_t what = message ? message->fWhat : 0;
    if (what >= kTypeLinear && what <= kTypeAngle) {
        QV_Message changed(kStyleChanged);
        StyleDlog::HandleMessage(&changed);
        return;
    }
    if (what == kStopColor) {
        const rgb_color color = fColor->Value();
        for (int32_t i = 0; i < fCopy.CountStops(); ++i) {
            GradientStop* stop = fCopy.Stop(i);
            if (stop->fSelected)
                stop->fColor.SetValue(ChannelKeyFrame(stop->fColor), color);
        }
        RedrawStopBar();
        QV_Message changed(kStyleChanged);
        StyleDlog::HandleMessage(&changed);
        return;
    }
    StyleDlog::HandleMessage(message);
}

void SS_Gradient2Dlog::MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message)
{
    const QV_Rect bar = BarRect();
    if (!fBar || x < bar.left - kMarkerReach || x > bar.right + kMarkerReach || y < bar.bottom + 1
        || y > bar.bottom + 16) {
        StyleDlog::MouseDown(x, y, button, modifiers, message);
        return;
    }
    GradientStop* hit = nullptr;
    for (int32_t i = 0; i < fCopy.CountStops(); ++i) {
        GradientStop* stop = fCopy.Stop(i);
        stop->fSelected = false;
        if (!hit && std::abs(MarkerX(stop) - x) <= kMarkerReach)
            hit = stop;
    }
    fDragStop = hit;
    GradientStop* added = nullptr;
    // Alt away from every stop has nothing to copy: it adds a stop as a plain press does.
    if (hit && (modifiers & kAltModifier)) {
        added = new GradientStop(hit->fPosition.value, hit->fColor.value);
    } else if (hit) {
        hit->fSelected = true;
        fColor->SetValue(hit->fColor.value);
        fColor->Enable(true);
        if (hit != fLastPressed || fStopwatch.Elapsed() > kDoubleClickSeconds)
            fPressCount = 0;
        fPressCount++;
        fLastPressed = hit;
        if (fPressCount == 1)
            fStopwatch.Start();
    } else {
        const float t = PositionAt(x);
        added = new GradientStop(t, ColourBytes(fCopy.ColourAt(t)));
    }
    if (added) {
        added->fSelected = true;
        const GradientStop* first = fCopy.CountStops() > 0 ? fCopy.Stop(0) : nullptr;
        const int32_t positionFrame = first ? first->fPosition.GetCurFrame() : fFrame;
        const int32_t colorFrame = first ? first->fColor.GetCurFrame() : fFrame;
        const float position = added->fPosition.value;
        const rgb_color color = added->fColor.value;
        added->fPosition.SetCurFrame(positionFrame);
        added->fPosition.SetValue(positionFrame, position);
        added->fColor.SetCurFrame(colorFrame);
        added->fColor.SetValue(colorFrame, color);
        fCopy.AppendStop(added);
        fCopy.SortStops();
        fDragStop = added;
        fColor->SetValue(color);
    }
    RedrawStopBar();
}

void SS_Gradient2Dlog::MouseMoved(int32_t x, int32_t y, int32_t modifiers, QV_Message* message)
{
    if (!fDragStop) {
        StyleDlog::MouseMoved(x, y, modifiers, message);
        return;
    }
    fDragStop->fPosition.SetValue(ChannelKeyFrame(fDragStop->fPosition), PositionAt(x));
    fCopy.SortStops();
    RedrawStopBar();
    QV_Message changed(kStyleChanged);
    StyleDlog::HandleMessage(&changed);
}

void SS_Gradient2Dlog::MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message)
{
    if (!fDragStop) {
        StyleDlog::MouseUp(x, y, button, modifiers, message);
        return;
    }
    fDragStop = nullptr;
    if (fPressCount == 2 && fStopwatch.Elapsed() < kDoubleClickSeconds) {
        OpenStopPicker();
        QV_Message changed(kStopColor);
        HandleMessage(&changed);
    }
}

void SS_Gradient2Dlog::KeyDown(int32_t key, int32_t modifiers)
{
    if (key != KEY_DELETE && key != KEY_BACKSPACE) {
        StyleDlog::KeyDown(key, modifiers);
        return;
    }
    if (fCopy.CountStops() < 3)
        return;
    for (int32_t i = 0; i < fCopy.CountStops(); ++i) {
        GradientStop* stop = fCopy.Stop(i);
        if (!stop->fSelected)
            continue;
        // Neither a drag nor a double click may go on with a stop that is gone.
        fDragStop = nullptr;
        fLastPressed = nullptr;
        fPressCount = 0;
        fCopy.DeleteStop(stop);
        RedrawStopBar();
        QV_Message changed(kStyleChanged);
        StyleDlog::HandleMessage(&changed);
        return;
    }
}

// ---- Textures ----

TextureDlog::TextureDlog(const StyleDlogArgs& args, const char* titleKey, TextureSource* source, M_ShapeStyle* copy,
    TextureSource* copySource, const char* const keys[4])
    : StyleDlog(args.window, titleKey, args.doc, args.sampleColor, args.backgroundColor, args.lineWidth, copy)
    , fSource(source)
    , fCopySource(copySource)
    , fKeys(keys)
    , fChoose(nullptr)
    , fTile(nullptr)
    , fSecond(nullptr)
{
}

void TextureDlog::BuildWidgets(QV_LayoutView* column)
{
    fChoose = new QV_Button(Localize(fKeys[0]), kChooseImage, 64, false, 3);
    column->AddChild(fChoose, ALIGN_CENTER);
    column->AddChild(new QV_StaticText(Localize(fKeys[1])));
    fTile = new QV_RadioButton(Localize(fKeys[2]), kFirstMode);
    column->AddChild(fTile, ALIGN_LEFT, 16);
    fSecond = new QV_RadioButton(Localize(fKeys[3]), kSecondMode);
    column->AddChild(fSecond, ALIGN_LEFT, 16);
}

void TextureDlog::ExchangeData(bool apply)
{
    StyleDlog::ExchangeData(apply);
    if (!fCopySource->fPath.IsEmpty()) {
        fChoose->fLabel = fCopySource->fPath.FileName();
        fChoose->Redraw(true);
    }
    if (!apply) {
        fTile->SetValue(fCopySource->fFillMode == 0);
        fSecond->SetValue(fCopySource->fFillMode != 0);
        return;
    }
    fCopySource->fFillMode = fTile->Value() ? 0 : 1;
}

void TextureDlog::CommitStyle()
{
    fCopySource->Drop();
    fSource->fPath = fCopySource->fPath;
    fSource->fFillMode = fCopySource->fFillMode;
    fSource->Drop();
}

void TextureDlog::ShowRefusedPath(const char* path)
{
    QV_String line = "Cannot use the file ";
    line.Append(path);
    Alert(fWindow, ALERT_WARNING, line.CString(), "A document cannot store a path that holds a double quote.",
        "Rename the file or its folder.", Localize("/Strings/OK=OK"), nullptr, nullptr);
}

void TextureDlog::HandleMessage(QV_Message* message)
{
    const int32_t what = message ? message->fWhat : 0;
    QV_Message changed(kStyleChanged);
    if (what == kChooseImage) {
        const char* path = nullptr;
        if (!message->FindString("path", &path)) {
            const QV_String filter = ImageOpenFilter.IsEmpty() ? QV_String("*.*") : ImageOpenFilter;
            RunOpenFileDialog("Open", this, fWindow, kChooseImage, "Images", filter.CString());
            return;
        }
        if (!fCopySource->SetPath(path)) {
            ShowRefusedPath(path);
            return;
        }
        StyleDlog::HandleMessage(&changed);
        return;
    }
    if (what == kFirstMode || what == kSecondMode) {
        (what == kFirstMode ? fSecond : fTile)->SetValue(false);
        StyleDlog::HandleMessage(&changed);
        return;
    }
    StyleDlog::HandleMessage(message);
}

namespace {

const char* const kTextureKeys[4] = { "/Dialogs/Styles/Texture/SelectImage=Select Texture...",
    "/Dialogs/Styles/Texture/FillMode=Fill mode:", "/Dialogs/Styles/Texture/Tile=Tile",
    "/Dialogs/Styles/Texture/Stretch=Stretch" };
const char* const kTexture2Keys[4] = { "/Dialogs/Styles/Texture2/SelectImage=Select Texture...",
    "/Dialogs/Styles/Texture2/FillMode=Fill mode:", "/Dialogs/Styles/Texture2/Tile=Tile",
    "/Dialogs/Styles/Texture2/DontRepeat=Don't Repeat" };

void TakeSource(TextureSource& source, TextureSource& copy)
{
    source.Drop();
    copy.fPath = source.fPath;
    copy.fFillMode = source.fFillMode;
    copy.Drop();
}

} // namespace

SS_TextureDlog::SS_TextureDlog(const StyleDlogArgs& args, SS_Texture* style)
    : TextureDlog(
        args, "/Dialogs/Styles/Texture/Title=Texture", &style->fSource, &fCopy, &fCopy.fSource, kTextureKeys)
{
    TakeSource(style->fSource, fCopy.fSource);
}

SS_Texture2Dlog::SS_Texture2Dlog(const StyleDlogArgs& args, SS_Texture2* style)
    : TextureDlog(
        args, "/Dialogs/Styles/Texture2/Title=Texture", &style->fSource, &fCopy, &fCopy.fSource, kTexture2Keys)
{
    TakeSource(style->fSource, fCopy.fSource);
}
