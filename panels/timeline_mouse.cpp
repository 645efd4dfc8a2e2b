#include <algorithm>
#include <cmath>

#include "animbool.h"
#include "app_prefs.h"
#include "main_layer.h"
#include "qv_app.h"
#include "qv_graphics.h"
#include "qv_keys.h"
#include "qv_layer.h"
#include "qv_menu.h"
#include "qv_message.h"
#include "qv_tool_tip.h"
#include "timeline_marks.h"
#include "timeline_wnd.h"
#include "vorn_wnd.h"
#include "vorndoc.h"
#include "vornlayer.h"

namespace {

constexpr int32_t kShift = 1;
constexpr int32_t kCtrl = 2;
constexpr int32_t kAlt = 4;

bool Inside(const QV_Rect& r, int32_t x, int32_t y)
{
    return x >= r.left && x <= r.right && y >= r.top && y <= r.bottom;
}

} // namespace

int32_t TimelineWnd::FrameAtX(int32_t x)
{
    const QV_Rect r = RulerRect();
    const double frame = double(x - (r.left + fFrameWidth + 1)) / fFrameWidth + FirstVisibleFrame();
    const auto rounded = int32_t(frame < 0 ? -std::floor(-frame + 0.5) : std::floor(frame + 0.5));
    return std::clamp(rounded, 0, 3000);
}

int32_t TimelineWnd::RowAtY(int32_t y)
{
    const int32_t offset = y + fScrollOffset - IconColumnTop();
    if (offset < 0)
        return -1;
    const int32_t line = offset / kRowHeight;
    int32_t at = 0;
    for (int32_t row = 0; row < fRowCount; row++) {
        if (!IsRowShown(row))
            continue;
        if (at == line)
            return row;
        at++;
        if (fRows[row].fSeparator) {
            if (at == line)
                return -1;
            at++;
        }
    }
    return -1;
}

void TimelineWnd::SetDocFrame(int32_t frame)
{
    if (!fDocument)
        return;
    fDocument->SetCurFrame(frame);
    PostUp(1004);
    // The main layer may not pass the frame on to the panel: follow it here as well (a second
    // SetFrame for the same frame does nothing).
    SetFrame(fDocument->CurFrame(), false);
}

void TimelineWnd::MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message)
{
    ShellPanel::MouseDown(x, y, button, modifiers, message);
    if (!fDocument || (fCapturedChild && fCapturedChild != this))
        return;
    const int32_t frame = FrameAtX(x);
    fPressFrame = frame;
    VornLayer* layer = CurrentLayer();
    if (layer) {
        for (int32_t row = 0; row < fRowCount; row++) {
            fRows[row].Reset();
            layer->GetChannelInfo(row, fRows[row]);
        }
    }
    const QV_Rect ruler = RulerRect();
    const QV_Rect keys = KeyAreaRect();
    const int32_t iconTop = IconColumnTop();
    if (x >= 0 && x <= 25 && y >= iconTop && y <= keys.bottom) {
        if (fViewMode != 3) {
            const int32_t row = RowAtY(y);
            if (row >= 0) {
                std::vector<uint8_t>& marks = fTables[row].marks;
                const bool wasSelected = !marks.empty() && (marks[0] & KEY_SELECTED);
                for (uint8_t& mark : marks)
                    mark = uint8_t(wasSelected ? (mark & ~KEY_SELECTED) : (mark | KEY_SELECTED));
                Redraw();
            }
        }
    } else if (Inside(ruler, x, y)) {
        if (modifiers & kCtrl) {
            if (frame >= 1) {
                if (frame == PlayRangeStart) {
                    PlayRangeStart = -1;
                } else if (frame == PlayRangeEnd) {
                    PlayRangeEnd = -1;
                } else if (button == 1) {
                    PlayRangeStart = frame;
                    if (PlayRangeEnd > 0 && PlayRangeStart > PlayRangeEnd)
                        PlayRangeEnd = -1;
                } else {
                    PlayRangeEnd = frame;
                    if (PlayRangeStart > 0 && PlayRangeStart > PlayRangeEnd)
                        PlayRangeStart = -1;
                }
                Redraw();
            }
        } else if (modifiers & kAlt) {
            int32_t start = fDocument->StartFrame();
            int32_t end = fDocument->EndFrame();
            if (button == 1) {
                if (frame > end)
                    end = frame;
                else
                    start = frame;
            } else {
                if (start > frame)
                    start = frame;
                else
                    end = frame;
            }
            fDocument->SetStartFrame(start);
            fDocument->SetEndFrame(end);
            fDocument->SetDirty();
            Redraw();
        } else if (button == 2) {
            if (layer && layer->CurrentPose().IsEmpty()) {
                fTimingDrag = true;
                fDocument->PrepUndo(layer);
                fDocument->SetDirty();
            }
        } else if (button == 1) {
            if (fMainWindow && fMainWindow->fMainLayer)
                fMainWindow->fMainLayer->UpdateAudioTracks();
            fScrub = true;
        }
    } else if (Inside(keys, x, y)) {
        if (fViewMode == 3) {
            SequencerDown(x, y);
        } else {
            const int32_t row = RowAtY(y);
            const bool onKey = row >= 0 && frame < fTableLength && (fTables[row].marks[size_t(frame)] & KEY_MARK);
            if (onKey) {
                uint8_t& mark = fTables[row].marks[size_t(frame)];
                if (!(modifiers & kShift) && !(mark & KEY_SELECTED))
                    ClearSelection();
                if ((modifiers & kShift) && (mark & KEY_SELECTED))
                    mark &= uint8_t(~KEY_SELECTED);
                else
                    mark |= KEY_SELECTED;
                const bool cycle = (mark & KEY_CYCLE) != 0;
                if ((modifiers & kCtrl) && cycle)
                    mark |= KEY_SELECTED;
                Redraw();
                if (button == 2) {
                    OpenKeyMenu(x, y, row, frame, false);
                } else if ((modifiers & kCtrl) && cycle) {
                    fDocument->PrepUndo(layer);
                    fDocument->SetDirty();
                    fCycleDrag = true;
                    fCycleFrame = frame;
                } else {
                    fKeyMove = true;
                    fUndoPending = true;
                    fAnchorFrame = frame;
                    if (modifiers & kAlt) {
                        int32_t count = 0;
                        int32_t firstKey = -1;
                        int32_t lastKey = -1;
                        for (int32_t r = 0; r < fRowCount; r++) {
                            fTables[r].stretchFrames.clear();
                            if (!IsRowShown(r))
                                continue;
                            for (int32_t f = 0; f < fTableLength; f++) {
                                const uint8_t m = fTables[r].marks[size_t(f)];
                                if ((m & KEY_MARK) && (m & KEY_SELECTED)) {
                                    fTables[r].stretchFrames.push_back(f);
                                    count++;
                                    if (firstKey < 0 || f < firstKey)
                                        firstKey = f;
                                    lastKey = std::max(lastKey, f);
                                }
                            }
                        }
                        if (count > 1 && firstKey != lastKey && (fAnchorFrame == firstKey || fAnchorFrame == lastKey)) {
                            fKeyMove = false;
                            fStretch = true;
                            fStretchGrabbed = fAnchorFrame;
                            fStretchFixed = fAnchorFrame == firstKey ? lastKey : firstKey;
                        }
                    }
                }
            } else if (row >= 0 && button == 2) {
                OpenKeyMenu(x, y, row, frame, true);
            } else if (row >= 0 && button == 1 && fRows[row].fVisibilityRow) {
                ToggleVisibilityKey(row, frame);
            } else if (y < Size().y - fScrollBarSize) {
                if (!(modifiers & kShift))
                    ClearSelection();
                fRubberBand = true;
                fBandStart = fBandCurrent = QV_Point { x, y };
                Redraw();
                DrawBand();
            }
        }
    }
    if (fScrub) {
        PostUp(1103);
        if (QV_Layer* owner = OwnerLayer())
            owner->SetFocus(nullptr);
        SetDocFrame(FrameAtX(x));
    }
}

void TimelineWnd::OpenKeyMenu(int32_t x, int32_t y, int32_t row, int32_t frame, bool addOnly)
{
    fContextRow = row;
    fContextFrame = frame;
    static const int32_t kItems[] = { 7024, 7026, 7025, 7030, 7031, 7027, 7028, 7029 };
    fKeyMenu->UncheckAll();
    if (addOnly) {
        for (int32_t item : kItems)
            fKeyMenu->SetEnabled(item, false);
    } else {
        bool discrete = false;
        VornLayer* layer = CurrentLayer();
        if (layer && fRows[row].fSubChannels == 1) {
            AnimChannel* channel = layer->GetChannel(row, 0, fDocument);
            discrete = channel && (channel->ChannelType() == CHANNEL_BOOL || channel->ChannelType() == CHANNEL_STRING);
        }
        for (int32_t item : kItems) {
            const bool stepOrCycle = item == 7027 || item == 7029;
            fKeyMenu->SetEnabled(item, !discrete || stepOrCycle);
        }
        if (!discrete) {
            static const int32_t kByMode[] = { 7026, 7024, 7025, 7027, 7028, 7029, 0, 7030, 7031 };
            const int32_t mode = SelectedInterpMode();
            if (mode >= 0 && mode <= 8 && kByMode[mode])
                fKeyMenu->SetChecked(kByMode[mode], true);
        }
    }
    fKeyMenu->SetEnabled(7023, true);
    if (QV_Wnd* window = Window()) {
        const QV_Point at = ConvertToWindow(QV_Point { x, y });
        fKeyMenu->Popup(window, at.x, at.y);
    }
}

void TimelineWnd::ToggleVisibilityKey(int32_t row, int32_t frame)
{
    VornLayer* layer = CurrentLayer();
    if (!layer)
        return;
    fDocument->PrepUndo(layer);
    fDocument->SetDirty();
    const int32_t at = ChannelFrame(row, frame);
    for (int32_t sub = 0; sub < fRows[row].fSubChannels; sub++) {
        AnimChannel* channel = layer->GetChannel(row, sub, fDocument);
        if (!channel || channel->ChannelType() != CHANNEL_BOOL)
            continue;
        auto* on = static_cast<AnimBool*>(channel);
        on->SetValue(at, !on->GetValue(at));
    }
    if (frame < fTableLength) {
        uint8_t& mark = fTables[row].marks[size_t(frame)];
        if (!(mark & KEY_MARK))
            fTables[row].keyCount++;
        mark |= KEY_MARK;
    }
    if (fRows[row].fID == CHANNEL_LAYER_VIS && layer->IsAudioType())
        ComputeAudioWave();
    Redraw();
    PostUp(1001);
    PostUp(1000);
}

void TimelineWnd::DrawBand()
{
    QV_Graphics* graphics = GetGraphics();
    if (!graphics)
        return;
    graphics->SelectionRect(std::min(fBandStart.x, fBandCurrent.x), std::min(fBandStart.y, fBandCurrent.y),
        std::max(fBandStart.x, fBandCurrent.x), std::max(fBandStart.y, fBandCurrent.y), false);
}

void TimelineWnd::MouseMoved(int32_t x, int32_t y, int32_t modifiers, QV_Message* message)
{
    ShellPanel::MouseMoved(x, y, modifiers, message);
    if (!fDocument)
        return;
    if (!AnyButtonDown()) {
        const int32_t iconTop = IconColumnTop();
        const int32_t row = (x >= 0 && x <= 25 && y >= iconTop && fViewMode != 3) ? RowAtY(y) : -1;
        if (fToolTip) {
            QV_Wnd* window = Window();
            if (row >= 0 && window) {
                const QV_Point at = ConvertToWindow(QV_Point { x, y });
                fToolTip->Show(window, at.x, at.y, fRows[row].fLabel.CString());
            } else {
                fToolTip->Hide();
            }
        }
    }
    const int32_t frame = FrameAtX(x);
    if (fScrub) {
        if (frame != fDocument->CurFrame())
            SetDocFrame(frame);
    } else if (fTimingDrag) {
        if (frame != fPressFrame) {
            VornLayer* layer = CurrentLayer();
            if (layer) {
                const int32_t current = layer->CurrentPose().IsEmpty() ? layer->TimingOffset() : 0;
                layer->SetTimingOffset(ClampFrame(int64_t(fPressFrame) - frame + current));
            }
            fPressFrame = frame;
            RebuildRows(false);
            Redraw();
            PostUp(1001);
        }
    } else if (fRubberBand) {
        Redraw();
        fBandCurrent = QV_Point { x, y };
        DrawBand();
        Refresh();
    } else if (fKeyMove) {
        MoveSelectedKeys(fAnchorFrame, frame);
    } else if (fStretch) {
        ScaleSelectedKeys(fStretchGrabbed, frame, fStretchFixed, false);
    } else if (fCycleDrag) {
        CycleDragTo(frame);
    } else if (fSeqDrag) {
        SequencerMoved(x);
    }
}

void TimelineWnd::CycleDragTo(int32_t frame)
{
    if (!CurrentLayer())
        return;
    const int32_t d = fCycleFrame - frame;
    ForEachMarkedKey(KEY_MARK | KEY_SELECTED | KEY_CYCLE, 1, [&](const KeyVisit& key) {
        if (!key.channel->HasKey(key.at))
            return true;
        InterpSetting setting = key.channel->GetKeyInterp(key.at);
        if (setting.interpMode != INTERP_CYCLE)
            return true;
        if (setting.val1 >= 0)
            setting.val1 = std::max(1.0f, setting.val1 + float(d));
        if (setting.val2 >= 0)
            setting.val2 = std::max(0.0f, setting.val2 - float(d));
        key.channel->SetKeyInterpSetting(key.at, setting);
        int32_t& extent = fTables[key.row].extents[size_t(key.frame)];
        if (setting.val2 >= 0)
            extent = ClampFrame(-10000 - int64_t(RoundParam(setting.val2)));
        else
            extent = ClampFrame(int64_t(key.frame) - RoundParam(setting.val1));
        return true;
    });
    fCycleFrame = frame;
    Redraw();
    PostUp(1001);
}

void TimelineWnd::MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message)
{
    ShellPanel::MouseUp(x, y, button, modifiers, message);
    if (!fDocument)
        return;
    if (fScrub) {
        PostUp(1103);
        fScrub = false;
        PostUp(1000);
    }
    if (fTimingDrag) {
        fTimingDrag = false;
        Redraw();
    }
    fCycleDrag = false;
    if (fRubberBand) {
        fRubberBand = false;
        fBandCurrent = QV_Point { x, y };
        EndRubberBand();
        Redraw();
        PostUp(1000);
    }
    if (fKeyMove) {
        fKeyMove = false;
        RebuildRows(true);
        Redraw();
        PostUp(1000);
    }
    if (fStretch) {
        ScaleSelectedKeys(fStretchGrabbed, FrameAtX(x), fStretchFixed, true);
        fStretch = false;
        RebuildRows(true);
        Redraw();
        PostUp(1000);
    }
    if (fSeqDrag)
        SequencerUp();
}

void TimelineWnd::EndRubberBand()
{
    const int32_t left = std::min(fBandStart.x, fBandCurrent.x);
    const int32_t right = std::max(fBandStart.x, fBandCurrent.x);
    const int32_t top = std::min(fBandStart.y, fBandCurrent.y);
    const int32_t bottom = std::max(fBandStart.y, fBandCurrent.y);
    int32_t firstRow = -1;
    for (int32_t y = top; y <= bottom && firstRow < 0; y++)
        firstRow = RowAtY(y);
    int32_t lastRow = -1;
    for (int32_t y = bottom; y >= top && lastRow < 0; y--)
        lastRow = RowAtY(y);
    if (firstRow < 0 || lastRow < 0)
        return;
    const int32_t firstFrame = std::clamp(FrameAtX(left), 0, fTableLength - 1);
    const int32_t lastFrame = std::clamp(FrameAtX(right), 0, fTableLength - 1);
    for (int32_t row = firstRow; row <= lastRow && row < fRowCount; row++) {
        if (!IsRowShown(row))
            continue;
        for (int32_t f = firstFrame; f <= lastFrame; f++)
            fTables[row].marks[size_t(f)] ^= KEY_SELECTED;
    }
}

void TimelineWnd::MouseWheel(float distance, int32_t x, int32_t y, int32_t modifiers, QV_Message* message)
{
    ShellPanel::MouseWheel(distance, x, y, modifiers, message);
    if (!fDocument)
        return;
    bool handled = false;
    if (message && message->FindBool("HandledMouseWheel", handled) && handled)
        return;
    if (distance == 0)
        return;
    const int32_t step = distance > 0 ? -1 : 1;
    PostUp(1103);
    const int32_t from = fDocument->CurFrame();
    const int32_t to = std::max(0, from + step);
    if (QV_Layer* owner = OwnerLayer())
        owner->SetFocus(nullptr);
    if (to == from)
        return;
    SetDocFrame(to);
    if (from == 0 || to == 0)
        PostUp(1000);
}

void TimelineWnd::KeyDown(int32_t key, int32_t modifiers)
{
    if (key == KEY_RETURN) {
        PostUp(1007);
        return;
    }
    ShellPanel::KeyDown(key, modifiers);
}
