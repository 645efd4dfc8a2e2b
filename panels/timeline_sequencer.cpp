#include <algorithm>
#include <cmath>

#include "animstring.h"
#include "audiolayer.h"
#include "grouplayer.h"
#include "interface_colors.h"
#include "interface_fonts.h"
#include "qv_base_widget.h"
#include "qv_font.h"
#include "qv_graphics.h"
#include "qv_sound_clip.h"
#include "resource_images.h"
#include "switchlayer.h"
#include "timeline_wnd.h"
#include "vorndoc.h"
#include "vornlayer.h"

namespace {

const char* const kTypeIcons[] = { "mesh_type", "image_type", "group_type", "bone_type", "switch_type",
    "particle_type", "note_type", "mesh3d_type", "audio_type" };

bool Expandable(VornLayer* layer)
{
    const int32_t type = layer->LayerType();
    return type >= LT_GROUP && type <= LT_PARTICLE && static_cast<GroupLayer*>(layer)->IsExpanded();
}

// The sub-layers of an expanded group in line order: from the top of its list down.
VornLayer* SubLayerInLineOrder(GroupLayer* group, int32_t i)
{
    const int32_t n = group->CountLayers();
    const int32_t index = n - 1 - i;
    return group->IsLayerOrdered() ? group->LayerByDepth(index) : group->Layer(index);
}

// Walks the sequencer's lines in order; visit returns true to stop.
template <class Visit> bool WalkLines(VornLayer* layer, Visit&& visit)
{
    if (!layer || !layer->fVisible)
        return false;
    if (visit(layer))
        return true;
    if (Expandable(layer)) {
        auto* group = static_cast<GroupLayer*>(layer);
        for (int32_t i = 0; i < group->CountLayers(); i++) {
            if (WalkLines(SubLayerInLineOrder(group, i), visit))
                return true;
        }
    }
    return false;
}

bool SoundLayer(VornLayer* layer)
{
    return layer->IsAudioType() && static_cast<AudioLayer*>(layer)->Sound();
}

} // namespace

void TimelineWnd::DrawSequencer(QV_Graphics* graphics, int32_t first, int32_t last)
{
    fSequencerLines = 0;
    if (!fDocument)
        return;
    const QV_Rect K = KeyAreaRect();
    int32_t y = K.top + fHeaderHeight - fScrollOffset;
    for (int32_t i = fDocument->CountLayers() - 1; i >= 0; i--) {
        WalkLines(fDocument->Layer(i), [&](VornLayer* layer) {
            DrawSequencerLayer(graphics, layer, y, first, last);
            return false;
        });
    }
}

void TimelineWnd::DrawSequencerLayer(QV_Graphics* graphics, VornLayer* layer, int32_t& y, int32_t first, int32_t last)
{
    fSequencerLines++;
    const QV_Rect K = KeyAreaRect();
    const int32_t top = y;
    const int32_t bottom = y + kSequencerLine - 1;
    y += kSequencerLine;
    if (bottom < K.top || top > K.bottom)
        return;
    const int32_t T = layer->TotalTimingOffset();
    const int32_t D = layer->LayerDuration() > 0 ? layer->LayerDuration() : 1000000;
    const int32_t radius = ScaledMetric3();
    const float fps = fDocument->Fps() > 0 ? fDocument->Fps() : 24.0f;
    const bool current = layer == CurrentLayer();
    const bool moving = current && fSeqDrag && !fSeqFirstMove;
    auto x = [&](int32_t f) { return FrameX(f, first); };
    auto span = [&](int32_t from, int32_t to) {
        const int32_t x0 = std::max(x(from), K.left - radius);
        const int32_t x1 = std::min(x(to), K.right + radius);
        if (x1 < x0)
            return;
        if (current) {
            graphics->SetColorStruct(Selection);
            graphics->FillRoundRect(radius, x0, top, x1, bottom);
            if (moving) {
                QV_PixelBuffer* tile = GetResourceImage("sequence_mover");
                if (tile && tile->width > 0) {
                    for (int32_t tx = std::max(x0, K.left); tx <= std::min(x1, K.right); tx += tile->width) {
                        for (int32_t ty = top; ty <= bottom; ty += std::max(1, int32_t(tile->height)))
                            graphics->DrawImageAlpha(tile, float(tx), float(ty), false);
                    }
                }
            }
        } else {
            rgb_color half { uint8_t((WidgetFill.r + WidgetShadow.r) / 2), uint8_t((WidgetFill.g + WidgetShadow.g) / 2),
                uint8_t((WidgetFill.b + WidgetShadow.b) / 2), 255 };
            graphics->FillGradientRect(radius, true, WidgetFill, half, x0, top, x1, bottom);
        }
        graphics->SetColorStruct(WidgetOutline);
        graphics->FrameRoundRect(radius, x0, top, x1, bottom);
    };
    if (SoundLayer(layer)) {
        auto* audio = static_cast<AudioLayer*>(layer);
        const float length = audio->Sound()->Duration();
        int32_t start = -1;
        for (int32_t f = first; f <= last; f++) {
            const float t = audio->AudioTimeAt(f, 1.0f / fps);
            const bool on = t >= -1e-6f && t < length && layer->fVisibility.GetValue(ClampFrame(int64_t(f) + T));
            if (on && start < 0)
                start = f;
            if (!on && start >= 0) {
                span(start, f);
                start = -1;
            }
        }
        if (start >= 0)
            span(start, last + 4);
    } else {
        AnimBool& visibility = layer->fVisibility;
        const int32_t n = visibility.CountKeys();
        for (int32_t k = 0; k < n; k++) {
            const int32_t when = visibility.GetKeyWhen(k);
            if (!visibility.GetValue(when))
                continue;
            const int32_t end = k + 1 < n ? visibility.GetKeyWhen(k + 1) : D;
            span(ClampFrame(int64_t(when) - T), ClampFrame(int64_t(end) - T));
        }
        if (layer->LayerDuration() <= 0 && n > 0 && ClampFrame(int64_t(visibility.GetKeyWhen(0)) - T) != 0
            && visibility.GetValue(T))
            span(0, ClampFrame(int64_t(visibility.GetKeyWhen(0)) - T));
    }
    GroupLayer* parent = layer->Parent();
    if (parent && parent->LayerType() == LT_SWITCH) {
        AnimString* values = static_cast<SwitchLayer*>(parent)->SwitchValues();
        const int32_t switchOffset = parent->TotalTimingOffset();
        const int32_t n = values->CountKeys();
        rgb_color color { Selection.r, Selection.b, Selection.g, 255 };
        for (int32_t k = 0; k < n; k++) {
            const int32_t when = values->GetKeyWhen(k);
            if (!(values->GetValue(when) == layer->Name()))
                continue;
            if (k + 1 < n && values->GetKeyWhen(k + 1) <= 1)
                continue;
            const int32_t from = ClampFrame(int64_t(std::max(when, 1)) - switchOffset);
            const int32_t x0 = x(from);
            const int32_t x1 = k + 1 < n ? x(ClampFrame(int64_t(values->GetKeyWhen(k + 1)) - switchOffset)) : K.right;
            if (x1 >= x0) {
                graphics->SetColorStruct(color);
                graphics->FillRoundRect(radius, x0, top + 2, x1, top + 29);
            }
        }
    }
    if (layer->LayerType() == LT_AUDIO && SoundLayer(layer)) {
        auto* audio = static_cast<AudioLayer*>(layer);
        const float maxAmplitude = audio->MaxAmplitude();
        if (maxAmplitude > 0) {
            rgb_color wave { uint8_t((WindowBackground.r + DisabledText.r) / 2),
                uint8_t((WindowBackground.g + DisabledText.g) / 2), uint8_t((WindowBackground.b + DisabledText.b) / 2),
                255 };
            graphics->SetColorStruct(wave);
            const int32_t middle = top + kSequencerLine / 2;
            for (int32_t f = first; f <= last; f++) {
                const float t = audio->AudioTimeAt(f, 1.0f / fps);
                const auto h = int32_t(std::lround(
                    audio->GetRMSAmplitude(t, 1.0f / fps) / maxAmplitude * kSequencerLine / 2.1));
                if (h > 0)
                    graphics->FillRect(x(f), middle - h, x(f) + fFrameWidth - 1, middle + h);
            }
        }
    }
    if (layer->LayerDuration() <= 0 && T != 0) {
        graphics->SetColor(0, 128, 0);
        graphics->FillRect(x(-T) - 2, top + radius, x(-T) + 2, bottom - radius);
    }
    const int32_t type = layer->LayerType();
    QV_PixelBuffer* icon = (type >= 1 && type <= 9) ? GetResourceImage(kTypeIcons[type - 1]) : nullptr;
    int32_t iconX = std::max(x(1 - T) + 8, fFrameWidth);
    int32_t textX = iconX;
    if (icon) {
        graphics->DrawImageAlpha(icon, float(iconX), float(top + (kSequencerLine - int32_t(icon->height)) / 2), false);
        textX = iconX + int32_t(icon->width) + 8;
    }
    QV_Font* font = gWidgetFont;
    rgb_color color = Text;
    if (current) {
        font = gMenuFont ? gMenuFont : gWidgetFont;
        color = SelectedText;
    } else if (layer->IsRenderOnly()) {
        font = gPanelFont ? gPanelFont : gWidgetFont;
        color = DisabledText;
    } else if (layer->IsEditOnly()) {
        color = DisabledText;
    }
    if (font) {
        graphics->SetFont(font);
        graphics->SetColorStruct(color);
        graphics->MoveTo(textX, top + kSequencerLine / 2);
        graphics->DrawText(layer->Name().CString(), 4);
    }
}

VornLayer* TimelineWnd::SequencerLayerAt(int32_t x, int32_t y)
{
    (void)x;
    if (!fDocument)
        return nullptr;
    const int32_t top = KeyAreaRect().top + fHeaderHeight;
    if (y < top)
        return nullptr;
    const int32_t line = (y - top) / kSequencerLine;
    int32_t at = 0;
    VornLayer* found = nullptr;
    for (int32_t i = fDocument->CountLayers() - 1; i >= 0 && !found; i--) {
        WalkLines(fDocument->Layer(i), [&](VornLayer* layer) {
            if (at++ == line) {
                found = layer;
                return true;
            }
            return false;
        });
    }
    return found;
}

void TimelineWnd::SequencerDown(int32_t x, int32_t y)
{
    VornLayer* layer = SequencerLayerAt(x, y + fScrollOffset);
    if (!layer)
        return;
    fSeqLayer = layer;
    fPressFrame = FrameAtX(x);
    fSeqDrag = true;
    fSeqFirstMove = true;
    fDocument->SetSelLayer(layer);
    PostUp(1006);
}

void TimelineWnd::SequencerMoved(int32_t x)
{
    const int32_t frame = FrameAtX(x);
    if (!fSeqDrag || frame == fPressFrame || !fDocument)
        return;
    VornLayer* layer = CurrentLayer();
    if (!layer)
        return;
    if (fSeqFirstMove) {
        fSeqFirstMove = false;
        fDocument->SetDirty();
        fDocument->PrepUndo(layer);
    }
    if (layer->CurrentPose().IsEmpty()) {
        layer->SetTimingOffset(ClampFrame(int64_t(fPressFrame) - frame + layer->TimingOffset()));
        layer->SetCurFrame(fDocument->CurFrame());
    }
    fPressFrame = frame;
    RebuildRows(false);
    Redraw();
    PostUp(1001);
}

void TimelineWnd::SequencerUp()
{
    fSeqDrag = false;
    // An undo may re-create the layer: the press keeps no pointer past its gesture.
    fSeqLayer = nullptr;
    RebuildRows(true);
    Redraw();
    PostUp(1000);
}
