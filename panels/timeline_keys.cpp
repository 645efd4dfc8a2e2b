#include <algorithm>
#include <cmath>

#include "animbool.h"
#include "animcolor.h"
#include "animstring.h"
#include "animval.h"
#include "animvec2.h"
#include "animvec3.h"
#include "app_prefs.h"
#include "main_layer.h"
#include "qv_layout_view.h"
#include "qv_message.h"
#include "qv_scroll_bar.h"
#include "qv_tab_view.h"
#include "timeline_wnd.h"
#include "vorn_wnd.h"
#include "vorndoc.h"
#include "vornlayer.h"

namespace {

template <class Kind> void CopyKeyValue(AnimChannel* channel, int32_t from, int32_t to)
{
    auto* kind = static_cast<Kind*>(channel);
    typename Kind::Key value(kind->GetValue(from));
    kind->SetValue(to, value);
}

// The channel's value at from becomes a key at to (an existing key at to is overwritten).
void KeyValueAt(AnimChannel* channel, int32_t from, int32_t to)
{
    switch (channel->ChannelType()) {
    case CHANNEL_VAL:
        CopyKeyValue<AnimVal>(channel, from, to);
        break;
    case CHANNEL_VEC2:
        CopyKeyValue<AnimVec2>(channel, from, to);
        break;
    case CHANNEL_COLOR:
        CopyKeyValue<AnimColor>(channel, from, to);
        break;
    case CHANNEL_BOOL:
        CopyKeyValue<AnimBool>(channel, from, to);
        break;
    case CHANNEL_STRING:
        CopyKeyValue<AnimString>(channel, from, to);
        break;
    case CHANNEL_VEC3:
        CopyKeyValue<AnimVec3>(channel, from, to);
        break;
    default:
        break;
    }
}

// The working channel's key index exactly at the frame, or -1.
int32_t KeyIndexAt(AnimChannel* channel, int32_t frame)
{
    if (!channel->HasKey(frame))
        return -1;
    return channel->GetClosestKeyID(frame);
}

bool IsRelativeOrReference(uint8_t mark, int32_t extent)
{
    return (mark & KEY_REFERENCE) || ((mark & KEY_CYCLE) && extent >= -9999);
}

} // namespace

void TimelineWnd::HandleMessage(QV_Message* message)
{
    if (!message)
        return;
    const int32_t what = message->fWhat;
    if (what >= 10000 && what <= 10063) {
        SelectChannelKey(what);
        return;
    }
    switch (what) {
    case 7001:
        if (fAudioButtonsAttached) {
            RemoveChild(fAudioButtons);
            fAudioButtonsAttached = false;
        }
        if (fTabBar && fTabBar->fSelTab == 1) {
            fViewMode = 3;
            AddChild(fAudioButtons);
            fAudioButtonsAttached = true;
        } else {
            fViewMode = 1;
        }
        fScrollOffset = 0;
        RebuildRows(false);
        Redraw();
        return;
    case 3135:
        DeleteSelectedKeys();
        return;
    case 3205:
        SelectAllKeys();
        return;
    case 3209:
    case 3213:
    case 3214:
        if (fMainWindow && fMainWindow->fMainLayer)
            fMainWindow->fMainLayer->HandleMessage(message);
        return;
    case 3134:
        PasteKeys();
        return;
    case 1100:
        GoToKey(false);
        return;
    case 1107:
        GoToKey(true);
        return;
    case 1006:
        RebuildRows(false);
        Redraw();
        return;
    case 1008:
        UpdateSelectedChannels();
        return;
    case 3133:
        MarkCopiedKeys();
        return;
    case 7009:
        Redraw();
        return;
    case 7010:
        fScrollOffset = fVScroll ? fVScroll->fValue : 0;
        Redraw();
        return;
    case 7020:
        RunSettingsDialog();
        return;
    case 7021:
        fFrameWidth = std::max(1, fFrameWidth / 2);
        UpdateScrollBars();
        Redraw();
        return;
    case 7022:
        fFrameWidth *= 2;
        if (fFrameWidth > 6)
            fFrameWidth = 8;
        UpdateScrollBars();
        Redraw();
        return;
    case 7023:
        AddKeyframe(fContextFrame, fContextRow);
        return;
    case 7024:
        SetSelectedInterp(INTERP_SMOOTH, -1, -1);
        return;
    case 7025:
        SetSelectedInterp(INTERP_EASE, -1, -1);
        return;
    case 7026:
        SetSelectedInterp(INTERP_LINEAR, -1, -1);
        return;
    case 7027:
        SetSelectedInterp(INTERP_STEP, -1, -1);
        return;
    case 7028:
        RunNoiseDialog();
        return;
    case 7029:
        RunCycleDialog();
        return;
    case 7030:
        SetSelectedInterp(INTERP_EASE_IN, -1, -1);
        return;
    case 7031:
        SetSelectedInterp(INTERP_EASE_OUT, -1, -1);
        return;
    default:
        break;
    }
    if (what >= 1000 && what <= 1105)
        return;
    QV_DockingView::HandleMessage(message);
}

void TimelineWnd::PrepEdit()
{
    if (!fDocument)
        return;
    fDocument->PrepUndo(CurrentLayer());
    fDocument->SetDirty();
}

void TimelineWnd::Reevaluate()
{
    VornLayer* layer = CurrentLayer();
    if (!layer || !fDocument)
        return;
    layer->SetCurFrame(0);
    layer->SetCurFrame(fDocument->CurFrame());
}

void TimelineWnd::AfterEdit(bool rebuild)
{
    Reevaluate();
    if (rebuild)
        RebuildRows(false);
    Redraw();
    PostUp(1001);
    PostUp(1000);
}

void TimelineWnd::SelectAllKeys()
{
    for (int32_t row = 0; row < kMaxRows; row++) {
        if (fRows[row].fID >= CHANNEL_CAMERA_TRACK)
            continue;
        for (uint8_t& mark : fTables[row].marks)
            mark |= KEY_SELECTED;
    }
    Redraw();
}

void TimelineWnd::GoToKey(bool next)
{
    if (!fDocument)
        return;
    const int32_t current = fDocument->CurFrame();
    int32_t found = -1;
    for (int32_t row = 0; row < fRowCount; row++) {
        const std::vector<uint8_t>& marks = fTables[row].marks;
        if (next) {
            for (int32_t f = std::max(0, current + 1); f < fTableLength; f++) {
                if (marks[size_t(f)] & KEY_MARK) {
                    if (found < 0 || f < found)
                        found = f;
                    break;
                }
            }
        } else {
            for (int32_t f = std::min(current - 1, fTableLength - 1); f >= 0; f--) {
                if (marks[size_t(f)] & KEY_MARK) {
                    found = std::max(found, f);
                    break;
                }
            }
        }
    }
    if (found < 0)
        return;
    SetDocFrame(found);
    PostUp(1000);
}

bool TimelineWnd::ForEachMarkedKey(uint8_t need, int32_t first, const std::function<bool(const KeyVisit&)>& visit)
{
    VornLayer* layer = CurrentLayer();
    if (!layer)
        return true;
    for (int32_t row = 0; row < fRowCount; row++) {
        const std::vector<uint8_t>& marks = fTables[row].marks;
        for (int32_t sub = 0; sub < fRows[row].fSubChannels; sub++) {
            AnimChannel* channel = layer->GetChannel(row, sub, fDocument);
            if (!channel)
                continue;
            for (int32_t k = std::max(first, 0); k < fTableLength; k++) {
                if ((marks[size_t(k)] & need) != need)
                    continue;
                if (!visit(KeyVisit { row, sub, k, ChannelFrame(row, k), channel }))
                    return false;
            }
        }
    }
    return true;
}

void TimelineWnd::DeleteSelectedKeys()
{
    if (!fDocument || !CurrentLayer())
        return;
    PrepEdit();
    // A channel with a single key keeps it: whether it has one is asked once, before its deletes.
    int32_t row = -1;
    int32_t sub = -1;
    bool single = false;
    ForEachMarkedKey(KEY_SELECTED, 1, [&](const KeyVisit& key) {
        if (key.row != row || key.sub != sub) {
            row = key.row;
            sub = key.sub;
            single = key.channel->CountKeys() < 2;
        }
        // The frame-0 key of a shifted row is the channel's base key as well.
        if (single || key.at == 0)
            return true;
        key.channel->DeleteKey(key.at);
        RowTables& t = fTables[key.row];
        t.keyCount = std::max(0, t.keyCount - 1);
        return true;
    });
    AfterEdit(true);
}

void TimelineWnd::MarkCopiedKeys()
{
    for (int32_t row = 0; row < fRowCount; row++) {
        if (fRows[row].fID == CHANNEL_LAYER_ALL && !gPrefs.masterAnimChannel)
            continue;
        for (uint8_t& mark : fTables[row].marks) {
            const bool copied = (mark & KEY_MARK) && (mark & KEY_SELECTED);
            mark = uint8_t(copied ? (mark | KEY_COPIED) : (mark & ~KEY_COPIED));
        }
    }
}

void TimelineWnd::PasteKeys()
{
    VornLayer* layer = CurrentLayer();
    if (!fDocument || !layer)
        return;
    auto considered = [this](int32_t row) {
        return !(fRows[row].fID == CHANNEL_LAYER_ALL && !gPrefs.masterAnimChannel);
    };
    int32_t first = -1;
    int32_t last = -1;
    for (int32_t row = 0; row < fRowCount; row++) {
        if (!considered(row))
            continue;
        for (int32_t f = 0; f < fTableLength; f++) {
            const uint8_t mark = fTables[row].marks[size_t(f)];
            if ((mark & KEY_MARK) && (mark & KEY_COPIED)) {
                if (first < 0 || f < first)
                    first = f;
                last = std::max(last, f);
            }
        }
    }
    if (first < 0)
        return;
    PrepEdit();
    const int32_t start = fDocument->CurFrame();
    const int64_t end = int64_t(start) + (last - first);
    // Destinations past the tables' end would be written out of bounds: grow first.
    if (end >= fTableLength)
        ResizeFrameTables(end + 48);
    for (int64_t p64 = start; p64 <= end; p64++) {
        const auto p = int32_t(p64);
        const int32_t s = first + (p - start);
        for (int32_t row = 0; row < fRowCount; row++) {
            if (!considered(row))
                continue;
            RowTables& t = fTables[row];
            const uint8_t mark = t.marks[size_t(s)];
            if (!(mark & KEY_MARK) || !(mark & KEY_COPIED))
                continue;
            if (p < fTableLength) {
                t.keyCount++;
                const int32_t extent = t.extents[size_t(s)];
                t.marks[size_t(p)] = uint8_t(mark & ~(KEY_SELECTED | KEY_COPIED));
                t.extents[size_t(p)] = IsRelativeOrReference(mark, extent) ? ClampFrame(int64_t(extent) + (p - s)) : extent;
                t.modes[size_t(p)] = t.modes[size_t(s)];
            }
            const int32_t from = ChannelFrame(row, s);
            const int32_t to = ChannelFrame(row, p);
            for (int32_t sub = 0; sub < fRows[row].fSubChannels; sub++) {
                AnimChannel* channel = layer->GetChannel(row, sub, fDocument);
                if (!channel)
                    continue;
                const InterpSetting setting = channel->GetKeyInterp(from);
                KeyValueAt(channel, from, to);
                channel->SetKeyInterpSetting(to, setting);
            }
        }
    }
    Reevaluate();
    ComputeAudioWave();
    Redraw();
    PostUp(1001);
    PostUp(1000);
}

void TimelineWnd::AddKeyframe(int32_t frame, int32_t row)
{
    VornLayer* layer = CurrentLayer();
    if (!fDocument || !layer || row < 0 || row >= fRowCount)
        return;
    PrepEdit();
    const int32_t at = ChannelFrame(row, frame);
    for (int32_t sub = 0; sub < fRows[row].fSubChannels; sub++) {
        if (AnimChannel* channel = layer->GetChannel(row, sub, fDocument))
            KeyValueAt(channel, at, at);
    }
    AfterEdit(true);
}

void TimelineWnd::SetSelectedInterp(int32_t mode, float val1, float val2)
{
    if (!fDocument || !CurrentLayer())
        return;
    PrepEdit();
    ForEachMarkedKey(KEY_SELECTED, 0, [&](const KeyVisit& key) {
        // An absolute cycle target is a table frame: the channel counts in its own time.
        float second = val2;
        if (mode == INTERP_CYCLE && val2 > 1e-6f)
            second = float(ChannelFrame(key.row, RoundParam(val2)));
        if (key.channel->fActiveAction || key.channel->HasKey(key.at))
            key.channel->SetKeyInterp(key.at, mode, val1, second);
        fTables[key.row].modes[size_t(key.frame)] = uint8_t(mode);
        return true;
    });
    AfterEdit(true);
}

int32_t TimelineWnd::SelectedInterpMode()
{
    if (!CurrentLayer())
        return INTERP_POSE;
    int32_t common = -2;
    const bool agreed = ForEachMarkedKey(KEY_MARK | KEY_SELECTED, 0, [&](const KeyVisit& key) {
        const int32_t mode = key.channel->HasKey(key.at) ? key.channel->GetKeyInterpMode(key.at) : DefaultInterpMode();
        if (common == -2)
            common = mode;
        return common == mode;
    });
    return !agreed || common == -2 ? -1 : common;
}

void TimelineWnd::SelectedNoiseParams(float& amplitude, float& scale)
{
    amplitude = 0.1f;
    scale = 2.0f;
    VornLayer* layer = CurrentLayer();
    if (!layer || SelectedInterpMode() != INTERP_NOISY)
        return;
    int32_t n = 0;
    double a = 0;
    double b = 0;
    ForEachMarkedKey(KEY_MARK | KEY_SELECTED, 0, [&](const KeyVisit& key) {
        if (!key.channel->HasKey(key.at))
            return true;
        const InterpSetting setting = key.channel->GetKeyInterp(key.at);
        if (setting.interpMode == INTERP_NOISY) {
            n++;
            a += setting.val1;
            b += setting.val2;
        }
        return true;
    });
    if (n == 0)
        return;
    amplitude = float(a / n);
    // A stored parameter of 0 has no reciprocal: the dialog then offers the default scale.
    const double shown = n / b;
    scale = (b > 0 && std::isfinite(shown)) ? float(shown) : 2.0f;
}

void TimelineWnd::RunNoiseDialog()
{
    float amplitude = 0;
    float scale = 0;
    SelectedNoiseParams(amplitude, scale);
    if (!gTimelineDialogs.noise || !gTimelineDialogs.noise(Window(), &amplitude, &scale))
        return;
    SetSelectedInterp(INTERP_NOISY, amplitude, scale);
}

void TimelineWnd::RunCycleDialog()
{
    int32_t relative = -1;
    int32_t absolute = 1;
    if (!gTimelineDialogs.cycle || !gTimelineDialogs.cycle(Window(), &relative, &absolute))
        return;
    SetSelectedInterp(INTERP_CYCLE, float(relative), float(absolute));
}

void TimelineWnd::RunSettingsDialog()
{
    if (!fDocument || !gTimelineDialogs.settings || !gTimelineDialogs.settings(Window(), fDocument))
        return;
    RebuildRows(false);
    Redraw();
}

void TimelineWnd::MoveSelectedKeys(int32_t from, int32_t to)
{
    VornLayer* layer = CurrentLayer();
    if (!fDocument || !layer)
        return;
    to = std::max(to, 1);
    const int32_t delta = to - from;
    if (delta == 0)
        return;
    ScrollToFrame(to, false);
    if (fTableLength > 1) {
        for (int32_t row = 0; row < fRowCount; row++) {
            if (!IsRowShown(row))
                continue;
            const std::vector<uint8_t>& marks = fTables[row].marks;
            for (int32_t k = 1; k < fTableLength; k++) {
                const uint8_t mark = marks[size_t(k)];
                if (!(mark & KEY_MARK) || !(mark & KEY_SELECTED))
                    continue;
                const int64_t target = int64_t(k) + delta;
                if (delta > 0 && target + 1 >= fTableLength)
                    return;
                if (delta < 0 && target - 1 < 0)
                    return;
                const int64_t step = delta > 0 ? 1 : -1;
                for (int64_t f = k + step; f != target + step; f += step) {
                    const uint8_t other = marks[size_t(f)];
                    if ((other & KEY_MARK) && !(other & KEY_SELECTED))
                        return;
                }
            }
        }
    }
    fAnchorFrame = to;
    if (fUndoPending) {
        fUndoPending = false;
        fDocument->SetDirty();
        fDocument->PrepUndo(layer);
        PostUp(1000);
    }
    for (int32_t row = 0; row < fRowCount; row++) {
        if (!IsRowShown(row))
            continue;
        RowTables& t = fTables[row];
        auto moveFrame = [&](int32_t p) {
            const uint8_t mark = t.marks[size_t(p)];
            if (!(mark & KEY_MARK) || !(mark & KEY_SELECTED) || p == 0)
                return;
            const int32_t at = ChannelFrame(row, p);
            for (int32_t sub = 0; sub < fRows[row].fSubChannels; sub++) {
                AnimChannel* channel = layer->GetChannel(row, sub, fDocument);
                if (!channel)
                    continue;
                const int32_t id = KeyIndexAt(channel, at);
                if (id >= 0)
                    channel->SetKeyWhen(id, ClampFrame(int64_t(at) + delta));
            }
            const auto q = size_t(p + delta);
            const int32_t extent = t.extents[size_t(p)];
            t.marks[q] = mark;
            t.extents[q] = IsRelativeOrReference(mark, extent) ? ClampFrame(int64_t(extent) + delta) : extent;
            t.modes[q] = t.modes[size_t(p)];
            t.marks[size_t(p)] = 0;
            t.modes[size_t(p)] = KEY_NO_MODE;
        };
        if (delta < 0) {
            for (int32_t p = 0; p < fTableLength; p++)
                moveFrame(p);
        } else {
            for (int32_t p = fTableLength - 1; p >= 0; p--)
                moveFrame(p);
        }
    }
    Reevaluate();
    Redraw();
    PostUp(1001);
}

int32_t StretchedFrame(int32_t a, int32_t b, int32_t c, int32_t h)
{
    if (a == c)
        return h;
    const double e = double(b - c) / double(a - c);
    const double image = c + e * (double(h) - c);
    return ClampFrame(int64_t(image < 0 ? -std::floor(-image + 0.5) : std::floor(image + 0.5)));
}

void TimelineWnd::ScaleSelectedKeys(int32_t grabbed, int32_t frame, int32_t fixed, bool apply)
{
    VornLayer* layer = CurrentLayer();
    if (!fDocument || !layer)
        return;
    if (fUndoPending) {
        fUndoPending = false;
        fDocument->PrepUndo(layer);
        fDocument->SetDirty();
    }
    // Images beyond the tables' end would be written out of bounds: grow first.
    int64_t furthest = 0;
    for (int32_t row = 0; row < fRowCount; row++) {
        for (int32_t h : fTables[row].stretchFrames)
            furthest = std::max<int64_t>(furthest, StretchedFrame(grabbed, frame, fixed, h));
    }
    if (furthest >= fTableLength)
        ResizeFrameTables(furthest + 48);
    for (int32_t row = 0; row < fRowCount; row++) {
        if (!IsRowShown(row))
            continue;
        RowTables& t = fTables[row];
        for (int32_t f = 0; f < fTableLength; f++) {
            uint8_t& mark = t.marks[size_t(f)];
            if ((mark & KEY_MARK) && (mark & KEY_SELECTED)) {
                mark = 0;
                t.modes[size_t(f)] = KEY_NO_MODE;
            }
        }
        if (!apply) {
            for (int32_t h : t.stretchFrames) {
                const int32_t image = StretchedFrame(grabbed, frame, fixed, h);
                if (image < 0 || image >= fTableLength)
                    continue;
                t.marks[size_t(image)] = KEY_MARK | KEY_SELECTED;
                t.modes[size_t(image)] = INTERP_SMOOTH;
            }
            continue;
        }
        const std::vector<int32_t>& frames = t.stretchFrames;
        for (int32_t sub = 0; sub < fRows[row].fSubChannels; sub++) {
            AnimChannel* channel = layer->GetChannel(row, sub, fDocument);
            if (!channel)
                continue;
            auto moveOne = [&](int32_t h) {
                const int32_t at = ChannelFrame(row, h);
                const int32_t id = KeyIndexAt(channel, at);
                if (id >= 0)
                    channel->SetKeyWhen(id, ChannelFrame(row, StretchedFrame(grabbed, frame, fixed, h)));
            };
            if (frame >= grabbed) {
                for (auto it = frames.rbegin(); it != frames.rend(); ++it)
                    moveOne(*it);
            } else {
                for (int32_t h : frames)
                    moveOne(h);
            }
        }
    }
    if (apply)
        Reevaluate();
    Redraw();
}
