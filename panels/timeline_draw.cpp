#include <algorithm>
#include <cmath>
#include <cstdio>

#include "animbool.h"
#include "app_prefs.h"
#include "interface_colors.h"
#include "interface_fonts.h"
#include "qv_font.h"
#include "qv_graphics.h"
#include "qv_layer.h"
#include "resource_images.h"
#include "timeline_marks.h"
#include "timeline_wnd.h"
#include "vorndoc.h"
#include "vornlayer.h"

namespace {

rgb_color Mix(rgb_color a, rgb_color b, float wa, float wb)
{
    const float sum = wa + wb;
    auto channel = [&](uint8_t x, uint8_t y) { return uint8_t(std::lround((x * wa + y * wb) / sum)); };
    return rgb_color { channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b), a.a };
}

rgb_color Scaled(rgb_color c, float factor)
{
    auto channel = [&](uint8_t x) { return uint8_t(std::clamp(std::lround(x * factor), 0L, 255L)); };
    return rgb_color { channel(c.r), channel(c.g), channel(c.b), c.a };
}

const rgb_color kRed { 255, 0, 0, 255 };

const char* const kIconNames[] = { "keyframe_linear", "keyframe", "keyframe_ease", "keyframe_step", "keyframe_noisy",
    "keyframe_cycle", "keyframe_ref", "keyframe_easein", "keyframe_easeout" };

} // namespace

int32_t RulerLabelStep(int32_t frameWidth)
{
    return (8 / std::max(1, frameWidth)) * 6;
}

QV_String SecondsLabel(int32_t frame, float fps, bool smpte)
{
    const long n = fps > 0 ? std::lround(frame / fps) : 0;
    char text[48];
    if (smpte)
        std::snprintf(text, sizeof(text), "%02ld:%02ld:%02ld:00", n / 3600, (n / 60) % 60, n % 60);
    else
        std::snprintf(text, sizeof(text), "%ld", n);
    return QV_String(text);
}

QV_PixelBuffer* TimelineWnd::KeyIcon(int32_t mode, bool selected)
{
    const char* name = (mode >= 0 && mode <= 8) ? kIconNames[mode] : "keyframe";
    QV_String full(name);
    if (selected)
        full.Append("_sel");
    return GetResourceImage(full.CString());
}

void TimelineWnd::Redraw()
{
    if (!OwnerLayer())
        return;
    Draw();
    Refresh();
}

void TimelineWnd::Draw()
{
    QV_Graphics* graphics = GetGraphics();
    if (!graphics)
        return;
    const QV_Point size = Size();
    graphics->SetColorStruct(WindowBackground);
    graphics->FillRect(0, 0, size.x - 1, size.y - 1);
    graphics->SetColorStruct(WidgetOutline);
    graphics->DrawVLine(0, size.y - 1, 27);
    graphics->SetColorStruct(WidgetShadow);
    graphics->DrawVLine(0, size.y - 1, 26);
    if (!fDocument) {
        const QV_Rect r = RulerRect();
        graphics->FillGradientRect(0, true, ButtonGradient1, ButtonGradient2, r.left, r.top, r.right, r.bottom);
        graphics->SetColorStruct(WidgetShadow);
        graphics->DrawHLine(r.left, r.right, r.top);
        graphics->DrawHLine(r.left, r.right, r.bottom);
        QV_View::Draw();
        return;
    }
    QV_View::Draw();
    UpdateScrollBars();
    DrawTimeline(false);
}

void TimelineWnd::DrawTimeline(bool partial)
{
    if (!fDocument)
        return;
    QV_Graphics* graphics = GetGraphics();
    if (!graphics)
        return;
    VornLayer* layer = CurrentLayer();
    const bool editingAction = layer && !layer->CurrentPose().IsEmpty();
    const int32_t T = TimingOffset();
    const int32_t F = fDocument->CurFrame();
    const int32_t S = fDocument->StartFrame();
    int32_t E = fDocument->EndFrame();
    const float fps = fDocument->Fps() > 0 ? fDocument->Fps() : 24.0f;
    int32_t first = 0;
    int32_t last = 0;
    VisibleFrames(first, last);
    const QV_Rect R = RulerRect();
    const QV_Rect K = KeyAreaRect();
    const int32_t W = fFrameWidth;
    auto x = [&](int32_t f) { return FrameX(f, first); };
    const int32_t P = fPreviousShownFrame;
    // While playing forward only the strip between the two frames changes.
    const bool strip = partial && P < F;
    QV_Rect clip { 0, R.top, Size().x - 1, K.bottom };
    if (strip) {
        clip.left = R.left + (P - first) * W;
        clip.right = R.left + (F - first + 2) * W;
        if (W < 3) {
            clip.left -= 3;
            clip.right += 3;
        }
        clip.top = R.bottom - 4;
    }
    auto clipTo = [&](QV_Rect area) {
        area.left = std::max(area.left, clip.left);
        area.right = std::min(area.right, clip.right);
        area.top = std::max(area.top, clip.top);
        area.bottom = std::min(area.bottom, clip.bottom);
        graphics->ResetClip();
        if (area.left > area.right || area.top > area.bottom)
            return false;
        graphics->SetClipRect(area.left, area.top, area.right, area.bottom);
        return true;
    };

    // The ruler.
    if (clipTo(R)) {
        graphics->FillGradientRect(0, true, ButtonGradient1, ButtonGradient2, R.left, R.top, R.right, R.bottom);
        graphics->SetColorStruct(WidgetShadow);
        graphics->DrawHLine(R.left, R.right, R.top);
        graphics->DrawHLine(R.left, R.right, R.bottom);
        if (E >= first && S <= last) {
            const int32_t x0 = S >= first ? x(S) : R.left;
            const int32_t x1 = E <= last ? x(E) : R.right;
            rgb_color selection = Selection;
            selection.a = 128;
            graphics->SetColorStruct(selection);
            graphics->FillRect(x0, R.top + 1, x1, R.bottom - 1);
        }
        if (layer && !editingAction) {
            const int32_t mid = (R.top + R.bottom) / 2;
            auto triangle = [&](int32_t edge, int32_t dir) {
                for (int32_t i = 0; i <= fRulerHeight; i++) {
                    const int32_t half = (R.bottom - R.top - 2) * (fRulerHeight - i) / (2 * std::max(1, fRulerHeight));
                    graphics->DrawVLine(mid - half, mid + half, edge + dir * i);
                }
            };
            graphics->SetColor(0, 128, 0);
            triangle(x(1 - T), 1);
            const int32_t D = layer->LayerDuration();
            if (D > 0) {
                graphics->SetColor(128, 0, 0);
                triangle(x(D - T), -1);
            }
        }
        if (fTimingDrag) {
            graphics->SetColor(0, 128, 0);
            const int32_t step = (8 / W) * 12;
            for (int32_t i = first; i <= last; i++) {
                if ((int64_t(i) + T) % step == 0)
                    graphics->FillEllipse(x(i) - 2, R.top + 5, x(i) + 2, R.bottom - 5);
            }
        }
        if (PlayRangeStart > 0 && PlayRangeStart >= first && PlayRangeStart <= last) {
            graphics->SetColor(0, 255, 0, 192);
            graphics->FillRect(x(PlayRangeStart) - W / 2, R.top + 1, x(PlayRangeStart) - W / 2 + W - 1, R.bottom - 1);
        }
        if (PlayRangeEnd > 0 && PlayRangeEnd >= first && PlayRangeEnd <= last) {
            graphics->SetColor(255, 0, 0, 192);
            graphics->FillRect(x(PlayRangeEnd) - W / 2, R.top + 1, x(PlayRangeEnd) - W / 2 + W - 1, R.bottom - 1);
        }
        if (F >= first && F <= last) {
            graphics->SetColorStruct(kRed);
            for (int32_t i = 1; i <= 4; i++)
                graphics->DrawHLine(x(F) - i, x(F) + i, R.bottom - i);
        }
        const int32_t N = RulerLabelStep(W);
        QV_Font* font = gWidgetFont;
        graphics->SetFont(font);
        for (int32_t f = first; f <= last; f++) {
            graphics->SetColorStruct(WidgetOutline);
            const bool labelled = f % N == 0;
            graphics->DrawVLine(R.bottom - (labelled ? 3 : 1), R.bottom, x(f));
            if (labelled && font) {
                char text[16];
                std::snprintf(text, sizeof(text), "%ld", long(f));
                graphics->SetColorStruct(f == 0 ? kRed : Text);
                graphics->MoveTo(x(f) - font->StringWidth(text) / 2, R.top + 1);
                graphics->DrawText(text, 3);
            }
        }
    }

    // The key area.
    if (clipTo(K)) {
        graphics->SetColorStruct(editingAction ? TextBackground : WindowBackground);
        graphics->FillRect(K.left, K.top, K.right, K.bottom);
        if (fViewMode != 3 && layer) {
            const rgb_color A = Mix(WindowBackground, DisabledText, 1, 1);
            const rgb_color B = Mix(A, kRed, 4, 1);
            const int32_t middle = (K.top + K.bottom) / 2;
            const int32_t halfHeight = (K.bottom - K.top) / 2;
            for (int32_t f = first; f <= last; f++) {
                if (!layer->fVisibility.GetValue(ClampFrame(int64_t(f) + T))) {
                    graphics->SetColorStruct(B);
                    graphics->FillRect(x(f), K.top, std::min(K.right, x(f) + W - 1), K.bottom);
                }
                if (fAudioWavePresent && f < fTableLength && fAudioWave[size_t(f)] > 1e-6f) {
                    const int32_t h = int32_t(std::lround(fAudioWave[size_t(f)] * halfHeight));
                    graphics->SetColorStruct(A);
                    graphics->FillRect(x(f), middle - h, std::min(K.right, x(f) + W - 1), middle + h);
                }
            }
        }
        // Seconds in the header strip.
        const int32_t stripBottom = K.top + fHeaderHeight - 1;
        const rgb_color shade = Scaled(WidgetShadow, 0.65f);
        QV_Font* font = gWidgetFont;
        graphics->SetFont(font);
        const long firstSecond = std::lround(std::ceil(first / fps));
        for (long n = firstSecond;; n++) {
            const auto s = int32_t(std::lround(n * fps));
            if (s > last)
                break;
            if (s < first)
                continue;
            graphics->SetColorStruct(shade);
            graphics->DrawVLine(stripBottom, K.bottom, x(s));
            graphics->SetColorStruct(WidgetFill);
            graphics->DrawVLine(stripBottom, K.bottom, x(s) + 1);
            if (font) {
                const QV_String label = SecondsLabel(s, fps, gPrefs.smpte);
                graphics->SetColorStruct(shade);
                graphics->MoveTo(x(s) - font->StringWidth(label.CString()) / 2, K.top);
                graphics->DrawText(label.CString(), 3);
            }
        }
        if (fViewMode == 3) {
            DrawSequencer(graphics, first, last);
        } else {
            DrawRows(graphics, first, last);
        }
        if (F >= first && F <= last) {
            clipTo(K);
            graphics->SetColorStruct(kRed);
            graphics->DrawVLine(K.top, K.bottom, x(F));
        }
    }

    // The icon column.
    if (!partial) {
        graphics->ResetClip();
        const int32_t top = IconColumnTop();
        const int32_t bottom = Size().y - 1 - fScrollBarSize;
        graphics->SetClipRect(0, top, 25, bottom);
        graphics->SetColorStruct(WindowBackground);
        graphics->FillRect(0, top, 25, bottom);
        if (fViewMode != 3) {
            int32_t y = top - fScrollOffset;
            for (int32_t row = 0; row < fRowCount; row++) {
                if (!IsRowShown(row))
                    continue;
                if (fRows[row].fIcon)
                    graphics->DrawImageAlpha(fRows[row].fIcon, 0, float(y), false);
                y += kRowHeight;
                if (fRows[row].fSeparator)
                    y += kRowHeight;
            }
        }
    }
    graphics->ResetClip();
}

void TimelineWnd::DrawRows(QV_Graphics* graphics, int32_t first, int32_t last)
{
    VornLayer* layer = CurrentLayer();
    if (!layer)
        return;
    const QV_Rect K = KeyAreaRect();
    const int32_t top = K.top + fHeaderHeight;
    int32_t y = top + 8 - fScrollOffset;
    const int32_t T = TimingOffset();
    for (int32_t row = 0; row < fRowCount; row++) {
        if (!IsRowShown(row))
            continue;
        const ChannelInfo& info = fRows[row];
        if (y + 8 >= top && y - 8 <= K.bottom) {
            const int32_t trackLeft = (1 >= first) ? FrameX(1, first) : K.left;
            auto track = [&](int32_t x0, int32_t x1, rgb_color inner) {
                graphics->SetColorStruct(WindowBackground);
                graphics->DrawHLine(x0, x1, y - 1);
                graphics->DrawHLine(x0, x1, y + 2);
                graphics->SetColorStruct(inner);
                graphics->DrawHLine(x0, x1, y);
                graphics->DrawHLine(x0, x1, y + 1);
            };
            if (!info.fBoolGroup) {
                track(trackLeft, K.right, info.fSelectionOnly ? rgb_color { 223, 153, 153, 255 } : WidgetFill);
            } else {
                AnimChannel* channel = layer->GetChannel(row, 0, fDocument);
                const rgb_color inner = info.fVisibilityRow ? rgb_color { 152, 203, 102, 255 } : WidgetFill;
                if (channel && channel->ChannelType() == CHANNEL_BOOL) {
                    auto* on = static_cast<AnimBool*>(channel);
                    for (int32_t f = std::max(1, first); f <= last; f++) {
                        if (on->GetValue(ChannelFrame(row, f)))
                            track(FrameX(f, first), std::min(K.right, FrameX(f, first) + fFrameWidth - 1), inner);
                    }
                }
            }
            for (int32_t f = first; f <= last && f < fTableLength; f++) {
                if (fTables[row].marks[size_t(f)] & KEY_MARK)
                    DrawKey(graphics, FrameX(f, first), y, row, f, T);
            }
        }
        y += info.fSeparator ? 2 * kRowHeight : kRowHeight;
    }
}

void TimelineWnd::DrawKey(QV_Graphics* graphics, int32_t x, int32_t y, int32_t row, int32_t frame, int32_t offset)
{
    const RowTables& t = fTables[row];
    const uint8_t mark = t.marks[size_t(frame)];
    const int32_t extent = t.extents[size_t(frame)];
    const bool selected = (mark & KEY_SELECTED) != 0;
    const int32_t first = FirstVisibleFrame();
    if (mark & KEY_CYCLE) {
        int32_t target = extent;
        if (extent < -9999) {
            target = ClampFrame(-(int64_t(extent) + 10000));
            if (fRows[row].fID < CHANNEL_CAMERA_TRACK)
                target = ClampFrame(int64_t(target) - offset);
        }
        const int32_t tx = FrameX(target, first);
        rgb_color color = tx < x ? kRed : Mix(WindowBackground, kRed, 1, 3);
        graphics->SetColorStruct(color);
        graphics->DrawVLine(y - 4, y, x);
        graphics->DrawVLine(y - 4, y, x + 1);
        graphics->DrawHLine(std::min(tx, x + 1), std::max(tx, x + 1), y - 5);
        graphics->DrawHLine(std::min(tx, x + 1), std::max(tx, x + 1), y - 6);
        graphics->DrawVLine(y - 4, y + 1, tx);
        graphics->DrawVLine(y - 4, y + 1, tx + 1);
        graphics->DrawHLine(tx - 1, tx + 2, y);
        graphics->DrawHLine(tx - 2, tx + 3, y - 1);
        graphics->DrawHLine(tx - 3, tx + 4, y - 2);
    }
    if (mark & KEY_REFERENCE) {
        const int32_t ex = FrameX(extent, first);
        if (ex - 1 >= x + 1) {
            graphics->SetColor(255, 0, 0, 64);
            graphics->FillRect(x + 1, y - 5, ex - 1, y + 6);
        }
        graphics->SetColorStruct(kRed);
        graphics->FrameRect(x, y - 6, std::max(x, ex), y + 7);
        VornLayer* layer = CurrentLayer();
        if (layer && fFrameWidth > 0 && gMenuFont) {
            for (int32_t sub = 0; sub < fRows[row].fSubChannels; sub++) {
                AnimChannel* channel = layer->GetChannel(row, sub, fDocument);
                const int32_t at = ChannelFrame(row, frame);
                if (!channel || !channel->HasKey(at))
                    continue;
                const InterpSetting setting = channel->GetKeyInterp(at);
                if (setting.interpMode != INTERP_POSE)
                    continue;
                const int32_t index = RoundParam(setting.val1);
                if (index >= 0 && index < layer->fPoses.fCount) {
                    graphics->SetFont(gMenuFont);
                    graphics->MoveTo(x + 1 + fFrameWidth, y);
                    graphics->DrawText(static_cast<QV_String*>(layer->fPoses.fItems[index])->CString(), 4);
                }
                break;
            }
        }
        if (extent > frame) {
            graphics->SetColorStruct(kRed);
            for (int32_t i = 1; i <= 5; i++)
                graphics->DrawVLine(y - (i - 1), y + i, ex - i);
        }
    }
    if (mark & (KEY_CYCLE | KEY_REFERENCE)) {
        QV_PixelBuffer* icon = KeyIcon((mark & KEY_CYCLE) ? INTERP_CYCLE : INTERP_POSE, selected);
        graphics->DrawImageAlpha(icon, float(x - 3), float(y - 4), false);
        return;
    }
    if (fFrameWidth == 8) {
        graphics->DrawImageAlpha(KeyIcon(t.modes[size_t(frame)], selected), float(x - 3), float(y - 3), false);
        return;
    }
    const int32_t left = x - fFrameWidth / 2;
    const int32_t right = left + std::max(1, fFrameWidth) - 1;
    if (selected)
        graphics->SetColorStruct(kRed);
    else
        graphics->SetColor(154, 175, 194);
    graphics->FillEllipse(left, y - 3, right, y + 5);
    graphics->SetColor(23, 47, 90);
    graphics->FrameEllipse(left, y - 3, right, y + 5);
}
