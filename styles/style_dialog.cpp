#include "style_dialog.h"

#include <cmath>

#include "animchannel.h"
#include "interface_colors.h"
#include "m_shapestyle.h"
#include "qv_app.h"
#include "qv_button.h"
#include "qv_graphics.h"
#include "qv_menu.h"
#include "qv_memstream.h"
#include "qv_message.h"
#include "qv_static_text.h"
#include "qv_text_control.h"
#include "raster_alpha.h"
#include "raster_blit.h"
#include "raster_fill.h"
#include "raster_rows.h"
#include "style_document.h"
#include "xgraphics.h"

namespace {

// The copies a dialog takes and commits are written at the newest record version.
constexpr int32_t kCopyVersion = 19;
constexpr int32_t kSampleInset = 32;
// Control points of a quarter ellipse lie this fraction of the box's side from its ends.
constexpr float kQuarterHandle = 9.0f / 32.0f;

QV_Menu* BuildStyleMenu(const char* title, const char* const keys[6])
{
    auto* menu = new QV_Menu(Localize(title));
    menu->AddItem(Localize(keys[0]), 0, kNoShapeStyleId, 0);
    menu->AddItem(nullptr, 0, 0, 0);
    const int32_t ids[5] = { 10203, 10205, 10207, 10212, 10213 };
    for (int32_t i = 0; i < 5; ++i)
        menu->AddItem(Localize(keys[i + 1]), 0, ids[i], 0);
    menu->SetChecked(kNoShapeStyleId, true);
    return menu;
}

void DrawSampleShape(XGraphics& graphics, int32_t w, int32_t h, float lineWidth)
{
    const float left = kSampleInset;
    const float top = kSampleInset;
    const float right = float(w - kSampleInset);
    const float bottom = float(h - kSampleInset);
    if (lineWidth < 0.000001f) {
        graphics.FillEllipse(kSampleInset, kSampleInset, w - kSampleInset, h - kSampleInset);
        return;
    }
    const float cx = (left + right) / 2;
    const float cy = (top + bottom) / 2;
    const float dx = (right - left) * kQuarterHandle;
    const float dy = (bottom - top) * kQuarterHandle;
    const QV_Vector2 quarters[4][4] = {
        { { left, cy }, { left, cy - dy }, { cx - dx, top }, { cx, top } },
        { { cx, top }, { cx + dx, top }, { right, cy - dy }, { right, cy } },
        { { right, cy }, { right, cy + dy }, { cx + dx, bottom }, { cx, bottom } },
        { { cx, bottom }, { cx - dx, bottom }, { left, cy + dy }, { left, cy } },
    };
    for (const auto& quarter : quarters)
        graphics.DrawWideCurve(quarter, lineWidth, lineWidth);
}

} // namespace

QV_Menu* BuildFillStyleMenu()
{
    static const char* const keys[6] = { "/Menus/FillStyle/Plain=<plain>", "/Menus/FillStyle/Shaded=Shaded",
        "/Menus/FillStyle/SoftEdge=Soft Edge", "/Menus/FillStyle/Halo=Halo", "/Menus/FillStyle/Gradient=Gradient",
        "/Menus/FillStyle/ImageTexture=Image Texture" };
    return BuildStyleMenu("Fill Style", keys);
}

QV_Menu* BuildLineStyleMenu()
{
    static const char* const keys[6] = { "/Menus/LineStyle/Plain=<plain>", "/Menus/LineStyle/Shaded=Shaded",
        "/Menus/LineStyle/SoftEdge=Soft Edge", "/Menus/LineStyle/Halo=Halo", "/Menus/LineStyle/Gradient=Gradient",
        "/Menus/LineStyle/ImageTexture=Image Texture" };
    return BuildStyleMenu("Line Style", keys);
}

void RenderStylePreview(M_ShapeStyle* style, StyleDocument* doc, rgb_color sampleColor, rgb_color backgroundColor,
    float lineWidth, QV_BaseImage& sampleImage, QV_BaseImage& workImage, const QV_PixelBuffer& target)
{
    constexpr int32_t size = StyleDlog::kPreviewSize;
    if (!target.pixels || target.width < size || target.height < size)
        return;
    if (!sampleImage.buffer.pixels && sampleImage.Allocate(size, size, 32) != 0)
        return;
    if (!workImage.buffer.pixels && workImage.Allocate(size, size, 32) != 0)
        return;
    QV_PixelBuffer preview;
    preview = target;
    preview.width = size;
    preview.height = size;
    backgroundColor.a = 0;
    FillRaster(preview, backgroundColor);

    const int32_t w = size - 1;
    const int32_t h = size - 1;
    XGraphics graphics;
    if (graphics.SetRaster(&sampleImage.buffer) != 0)
        return;
    graphics.SetAntialiasing(true);
    FillRaster(sampleImage.buffer, rgb_color { 0, 0, 0, 255 });
    graphics.SetBezierTolerance(2.0f);
    graphics.SetSmoothing(true);
    graphics.SetColor(255, 255, 255, 255);
    graphics.fViewMode = QV_Graphics::kViewPlain;
    graphics.BeginDraw();
    DrawSampleShape(graphics, w, h, lineWidth);
    graphics.EndDraw();

    // Coverage becomes the sample colour's alpha.
    ForEachPixel32Of(sampleImage.buffer, [&sampleColor](uint8_t* p) {
        p[kAlpha] = p[kRed];
        p[kRed] = sampleColor.r;
        p[kGreen] = sampleColor.g;
        p[kBlue] = sampleColor.b;
    });

    if (style) {
        graphics.fViewMode = QV_Graphics::kViewCentered;
        graphics.BeginDraw();
        const float extent = (float(w) - 63.0f + lineWidth) / float(w + 1);
        QV_BBox bounds;
        bounds.min = QV_Vector3 { -extent, -extent, 0 };
        bounds.max = QV_Vector3 { extent, extent, 0 };
        style->ApplyInLayer(&graphics, &sampleImage.buffer, QV_Rect { 0, 0, w, h }, bounds, &workImage.buffer, doc,
            nullptr, 1.0f, nullptr, 1);
        graphics.EndDraw();
        graphics.fViewMode = QV_Graphics::kViewPlain;
    }
    if (sampleColor.a < 255)
        RemapAlphaRange(sampleImage.buffer, 0, 255, sampleColor.a);
    BlitRasterAlpha(sampleImage.buffer, preview, 0, 0, false);
}

int32_t ChannelKeyFrame(AnimChannel& channel)
{
    return channel.fActiveAction ? channel.fActiveAction->GetCurFrame() : channel.GetCurFrame();
}

int32_t RoundPixels(float value)
{
    if (!std::isfinite(value))
        return 0;
    const float rounded = std::round(value);
    if (rounded > 2147483520.0f)
        return 2147483520;
    if (rounded < -2147483520.0f)
        return -2147483520;
    return int32_t(rounded);
}

bool CopyStyleRecord(M_ShapeStyle& from, M_ShapeStyle& to)
{
    QV_MemStream stream;
    if (stream.Open(256) != 0)
        return false;
    stream.fVersion = kCopyVersion;
    from.WriteRecord(&stream);
    stream.fReading = true;
    stream.Rewind();
    return to.ReadRecord(&stream);
}

StylePreviewView::StylePreviewView(StyleDlog* dialog)
    : QV_PadView(StyleDlog::kPreviewSize, StyleDlog::kPreviewSize)
    , fDialog(dialog)
{
}

void StylePreviewView::Draw()
{
    QV_PixelBuffer* raster = LayerRaster();
    if (!raster)
        return;
    // The whole view must be visible: the preview is never drawn in part.
    if (raster->width < StyleDlog::kPreviewSize || raster->height < StyleDlog::kPreviewSize)
        return;
    fDialog->fPreviewRenders++;
    RenderStylePreview(fDialog->fEditedStyle, fDialog->fDoc, fDialog->fSampleColor, fDialog->fBackgroundColor,
        fDialog->fLineWidth, fDialog->fSampleImage, fDialog->fEffectImage, *raster);
}

void (*StyleDlog::sOpenedHook)(StyleDlog* dialog) = nullptr;

StyleDlog::StyleDlog(QV_Wnd* window, const char* titleKey, StyleDocument* doc, rgb_color sampleColor,
    rgb_color backgroundColor, float lineWidth, M_ShapeStyle* workingCopy)
    : QV_Dialog(Localize(titleKey), window)
    , fDoc(doc)
    , fSampleColor(sampleColor)
    , fBackgroundColor(backgroundColor)
    , fLineWidth(lineWidth)
    , fEditedStyle(workingCopy)
    , fPreview(nullptr)
    , fOK(nullptr)
    , fCancel(nullptr)
    , fOpened(false)
    , fPreviewRenders(0)
{
    fBackgroundColor.a = 0;
}

StyleDlog::~StyleDlog() = default;

float StyleDlog::DocHeight() const
{
    const int32_t height = fDoc ? fDoc->HeightPixels() : 0;
    return height > 0 ? float(height) : 1.0f;
}

QV_TextControl* StyleDlog::AddSizeField(QV_LayoutView* column, const char* labelKey)
{
    column->AddChild(new QV_StaticText(Localize(labelKey)));
    auto* field = new QV_TextControl(48, "", kStyleChanged, FIELD_UINT);
    column->AddChild(field);
    return field;
}

void StyleDlog::PrepareLayout()
{
    auto* content = new QV_LayoutView(true, 8, 12, 12);
    content->PushH(ALIGN_CENTER, 8);
    content->PushV(ALIGN_LEFT, 0);
    fPreview = new StylePreviewView(this);
    content->AddChild(fPreview);
    content->Pop();
    content->AddChild(new QV_PadView(24, 8));
    content->PushV(ALIGN_LEFT, 2);
    BuildWidgets(content);
    content->Pop();
    content->Pop();
    AddOkCancelRow(content, &fOK, &fCancel);
    AddView(content);
    fSampleImage.Allocate(kPreviewSize, kPreviewSize, 32);
    fEffectImage.Allocate(kPreviewSize, kPreviewSize, 32);
}

void StyleDlog::ExchangeData(bool apply)
{
    if (apply || fOpened)
        return;
    fOpened = true;
    if (sOpenedHook)
        sOpenedHook(this);
}

void StyleDlog::HandleMessage(QV_Message* message)
{
    const int32_t what = message ? message->fWhat : 0;
    if (what == kStyleChanged || what == kStyleChangedToo) {
        OnValidate();
        ExchangeData(true);
        RedrawPreview();
        return;
    }
    QV_Dialog::HandleMessage(message);
}

void StyleDlog::RedrawPreview()
{
    if (!fPreview)
        return;
    fPreview->Draw();
    fPreview->Refresh();
}

void StyleDlog::Draw()
{
    QV_Dialog::Draw();
    if (!fPreview)
        return;
    QV_Graphics* graphics = GetGraphics();
    if (!graphics)
        return;
    const QV_Rect r = fPreview->FrameInLayer();
    graphics->BeginDraw();
    graphics->SetColorStruct(WidgetShadow);
    graphics->DrawHLine(r.left - 1, r.right + 1, r.top - 1);
    graphics->DrawVLine(r.top - 1, r.bottom + 1, r.left - 1);
    graphics->SetColorStruct(WidgetHighlight);
    graphics->DrawHLine(r.left - 1, r.right + 1, r.bottom + 1);
    graphics->DrawVLine(r.top - 1, r.bottom + 1, r.right + 1);
    graphics->SetColorStruct(WidgetOutline);
    graphics->FrameRect(r.left - 2, r.top - 2, r.right + 2, r.bottom + 2);
    graphics->EndDraw();
}

void StyleDlog::DialogClosed(int32_t id)
{
    if (id == MSG_OK)
        CommitStyle();
}

int32_t RunStyleDialog(StyleDlog* dialog, StyleDocument* doc)
{
    const int32_t result = dialog->DoModal();
    if (result == MSG_OK && doc)
        doc->StyleEdited();
    return result;
}
