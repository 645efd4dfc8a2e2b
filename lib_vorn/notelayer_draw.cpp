// The note box: its geometry at the layer's origin, the editor drawing and the render item.

#include <algorithm>
#include <cstdint>

#include "interface_colors.h"
#include "meshlayer_draw_colors.h"
#include "notelayer.h"
#include "pushed_transform.h"
#include "qv_font.h"
#include "raster_alpha.h"
#include "raster_blit.h"
#include "raster_fill.h"
#include "render_settings.h"
#include "xgraphics.h"

namespace {

constexpr uint8_t kHalfOpacity = 128;

class SmoothingOverride {
public:
    SmoothingOverride(QV_Graphics& graphics, bool on)
        : fGraphics(graphics)
        , fSaved(graphics.fSmoothing)
    {
        graphics.SetSmoothing(on);
    }
    ~SmoothingOverride() { fGraphics.SetSmoothing(fSaved); }
    SmoothingOverride(const SmoothingOverride&) = delete;
    SmoothingOverride& operator=(const SmoothingOverride&) = delete;

private:
    QV_Graphics& fGraphics;
    bool fSaved;
};

int32_t ClampToInt(int64_t value, int64_t low, int64_t high)
{
    return int32_t(std::clamp(value, low, high));
}

} // namespace

bool NoteLayer::FindBox(const QV_Graphics& graphics, const QV_Font& font, Box& box) const
{
    QV_Point anchor;
    if (!graphics.WorldToScreen(QV_Vector2 { 0, 0 }, anchor))
        return false;
    const int64_t w = font.StringWidth(fNoteText.CString());
    const int64_t h = font.LineHeight();
    const int64_t a = font.Ascent();
    const int64_t left = anchor.x;
    const int64_t top = anchor.y;
    const int64_t right = left + w + h + 1;
    const int64_t bottom = top + h + (h + 1) / 2;
    const int64_t width = graphics.Width();
    const int64_t height = graphics.Height();
    if (right < 0 || bottom < 0 || left >= width || top >= height)
        return false;
    const int64_t cx = (right - left + 1) / 2 + left;
    const int64_t cy = (bottom - top + 1) / 2 + top;
    // A note far off to one side keeps its edges one pixel beyond the raster, where neither the
    // fill nor the frame shows: the coordinates stay small whatever the layer's placement.
    box.rect = QV_Rect { ClampToInt(left, -1, width), ClampToInt(top, -1, height),
        ClampToInt(right, -1, width), ClampToInt(bottom, -1, height) };
    const int64_t reach = int64_t(1) << 30;
    box.textX = ClampToInt(cx - w / 2, -reach, reach);
    box.textBaseline = ClampToInt(cy + a / 2 - a / 8, -reach, reach);
    return true;
}

void NoteLayer::Draw(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer*, int32_t& drawMode,
    VornLayer* currentLayer, RenderSettings*)
{
    UpdateToDocFrame(doc);
    if (drawMode == DRAW_ONION || drawMode == DRAW_ONION_CURRENT || !graphics)
        return;
    RunLayerScript();
    PushedTransform layerTransform(graphics);
    QV_Matrix matrix;
    GetLayerTransform(DocFrameOf(fCurFrame), matrix, doc);
    graphics->ApplyMatrix(matrix);

    if (drawMode == DRAW_EDIT) {
        if (currentLayer == this && ShowsEditOverlays()) {
            SmoothingOverride smooth(*graphics, true);
            graphics->SetColorStruct(EditorColInac());
            graphics->DrawOriginMarker(fOrigin.x, fOrigin.y);
        }
        return;
    }

    QV_Font* font = NoteFont();
    Box box;
    if (!font || !FindBox(*graphics, *font, box))
        return;
    PushedTransform pixels(graphics);
    pixels.MakeIdentity();
    rgb_color fill = ToolTipBackground;
    fill.a = kHalfOpacity;
    graphics->SetColorStruct(fill);
    graphics->FillRect(box.rect.left, box.rect.top, box.rect.right, box.rect.bottom);
    graphics->SetColorStruct(Text);
    graphics->FrameRect(box.rect.left, box.rect.top, box.rect.right, box.rect.bottom);
    font->DrawString(Text, &graphics->fClipView, fNoteText.CString(), box.textX - graphics->fClipRect.left,
        box.textBaseline - graphics->fClipRect.top);
}

int32_t NoteLayer::CountRenderItems()
{
    return 1;
}

void NoteLayer::RenderItem(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* target, QV_PixelBuffer*,
    int32_t, RenderSettings* settings)
{
    UpdateToDocFrame(doc);
    if (!graphics || !target || !target->pixels)
        return;
    SmoothingOverride sharp(*graphics, false);
    PushedTransform layerTransform(graphics);
    QV_Matrix matrix;
    GetLayerTransform(DocFrameOf(fCurFrame), matrix, doc);
    graphics->ApplyMatrix(matrix);

    QV_Font* font = NoteFont();
    Box box;
    if (!font || !FindBox(*graphics, *font, box))
        return;
    // The box alone is drawn and composited: the rest of the graphics raster is left as it was.
    QV_Rect shown = box.rect;
    if (!shown.Intersect(QV_Rect { 0, 0, graphics->Width() - 1, graphics->Height() - 1 }))
        return;
    QV_PixelBuffer view;
    if (graphics->SubRaster(shown, view) != QV_RESULT_OK || view.depth != 32)
        return;
    int32_t x = shown.left;
    int32_t y = shown.top;
    // The graphics raster carries the render margin on every side; a layer image shares it.
    if (graphics->Width() != target->width || graphics->Height() != target->height) {
        const int32_t margin = settings ? settings->fMargin : 0;
        x -= margin;
        y -= margin;
    }

    PushedTransform pixels(graphics);
    pixels.MakeIdentity();
    const rgb_color clear { 0, 0, 0, 0 };

    FillRaster(view, clear);
    graphics->SetColorStruct(ToolTipBackground);
    graphics->FillRect(box.rect.left, box.rect.top, box.rect.right, box.rect.bottom);
    RemapAlphaRange(view, 0, 255, kHalfOpacity);
    BlitRasterAlpha(view, *target, x, y, true);

    FillRaster(view, clear);
    graphics->SetColorStruct(Text);
    graphics->FrameRect(box.rect.left, box.rect.top, box.rect.right, box.rect.bottom);
    font->DrawString(Text, &view, fNoteText.CString(), box.textX - shown.left, box.textBaseline - shown.top);
    BlitRasterAlpha(view, *target, x, y, true);
}
