#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>
#include <strings.h>

#include "app_prefs.h"
#include "audiolayer.h"
#include "follow_flags.h"
#include "grouplayer.h"
#include "imagelayer.h"
#include "interface_fonts.h"
#include "main_layer.h"
#include "qv_app.h"
#include "qv_base_widget.h"
#include "qv_button.h"
#include "qv_docking_wnd.h"
#include "qv_font.h"
#include "qv_layout_view.h"
#include "qv_menu.h"
#include "qv_message.h"
#include "qv_scroll_bar.h"
#include "qv_sound_clip.h"
#include "qv_tab_view.h"
#include "qv_tool_tip.h"
#include "resource_images.h"
#include "timeline_marks.h"
#include "timeline_wnd.h"
#include "vorn_wnd.h"
#include "vorndoc.h"
#include "vornlayer.h"

TimelineDialogs gTimelineDialogs;
bool gChannelSwitches[64];

namespace {

bool gSwitchesRead = false;

int32_t Round(double value)
{
    return int32_t(value < 0 ? -std::floor(-value + 0.5) : std::floor(value + 0.5));
}

void ReadChannelSwitches()
{
    ResetChannelSwitches();
    if (!gApp)
        return;
    for (int32_t i = 0; i < 64; i++) {
        char key[32];
        std::snprintf(key, sizeof(key), "channel_on_%d", int(i));
        QV_String text;
        if (!gApp->fUserSettings.FindString(key, text))
            continue;
        gChannelSwitches[i] = strcasecmp(text.CString(), "true") == 0 || text == "1";
    }
}

void WriteChannelSwitches()
{
    if (!gApp)
        return;
    for (int32_t i = 0; i < 64; i++) {
        char key[32];
        std::snprintf(key, sizeof(key), "channel_on_%d", int(i));
        gApp->fUserSettings.AddBool(key, gChannelSwitches[i]);
    }
}

// Sound layers as the timeline treats them: audio layers and movies with sound.
bool HasSound(VornLayer* layer)
{
    if (!layer || !layer->IsAudioType())
        return false;
    auto* audio = static_cast<AudioLayer*>(layer);
    return audio->Sound() != nullptr;
}

} // namespace

void ResetChannelSwitches()
{
    for (int32_t i = 0; i < 64; i++) {
        const bool off = (i >= 3 && i <= 7) || (i >= 9 && i <= 14) || (i >= 22 && i <= 29) || (i >= 38 && i <= 43)
            || i == 62 || i == 63;
        gChannelSwitches[i] = !off;
    }
}

TimelineWnd* CurrentTimeline()
{
    if (!gVornWnd)
        return nullptr;
    return dynamic_cast<TimelineWnd*>(gVornWnd->fTimelineWnd);
}

void TimelineUpdateSelectedChannels()
{
    if (TimelineWnd* timeline = CurrentTimeline())
        timeline->UpdateSelectedChannels();
}

TimelineWnd::TimelineWnd(VornWnd* owner, VornDoc* document)
    : ShellPanel(PanelKind::Timeline, owner, Localize("/Windows/Timeline/Title=Timeline"), true, 5, "TimelineWnd", 32,
          450, 287, 680)
    , fShownFrame(0)
    , fPreviousShownFrame(0)
    , fTabBar(nullptr)
    , fDeleteButton(nullptr)
    , fCopyButton(nullptr)
    , fPasteButton(nullptr)
    , fSettingsButton(nullptr)
    , fZoomOut(nullptr)
    , fZoomIn(nullptr)
    , fHScroll(nullptr)
    , fVScroll(nullptr)
    , fKeyMenu(nullptr)
    , fToolTip(nullptr)
    , fAudioButtons(nullptr)
    , fRestartAudio(nullptr)
    , fAudioLevel(nullptr)
    , fTrackLayer(nullptr)
    , fAudioButtonsAttached(false)
    , fFrameWidth(8)
    , fSequencerLines(0)
    , fViewMode(1)
    , fScrollOffset(0)
    , fFirstFrame(0)
    , fAudioWavePresent(false)
    , fTableLength(0)
    , fRowCount(0)
    , fColumnX(-1)
    , fScrub(false)
    , fTimingDrag(false)
    , fRubberBand(false)
    , fKeyMove(false)
    , fUndoPending(false)
    , fStretch(false)
    , fStretchGrabbed(0)
    , fStretchFixed(0)
    , fCycleDrag(false)
    , fCycleFrame(0)
    , fSeqDrag(false)
    , fSeqFirstMove(false)
    , fSeqLayer(nullptr)
    , fAnchorFrame(0)
    , fPressFrame(0)
    , fContextFrame(0)
    , fContextRow(-1)
    , fLastIconClick(0)
{
    const int32_t metric = ScaledMetric20();
    fScrollBarSize = Round(metric * 0.889);
    fTopBarHeight = metric + 2;
    const int32_t ascent = gWidgetFont ? gWidgetFont->Ascent() : 11;
    fRulerHeight = 3 * ascent / 2;
    fHeaderHeight = ascent + 2;
    BuildWidgets();
    ResizeFrameTables(1024);
    ClearPlayRange();
    ClearOnionSkinFrames();
    if (!gSwitchesRead) {
        gSwitchesRead = true;
        ReadChannelSwitches();
    }
    RebuildRows(false);
    SetDocument(document);
}

TimelineWnd::~TimelineWnd()
{
    WriteChannelSwitches();
    if (fAudioButtonsAttached)
        RemoveChild(fAudioButtons);
    delete fAudioButtons;
    delete fKeyMenu;
    ClearPlayRange();
    if (fToolTip) {
        fToolTip->Hide();
        delete fToolTip;
    }
}

void TimelineWnd::BuildWidgets()
{
    const QV_Point size = Size();
    const int32_t w = size.x;
    const int32_t h = size.y;
    auto place = [this](QV_View* view, int32_t x, int32_t y) {
        view->MoveTo(x, y);
        AddChild(view);
    };
    auto fit = [](QV_View* view) {
        const QV_Point preferred = view->PreferredSize();
        if (preferred.x > 0 && preferred.y > 0)
            view->ResizeTo(preferred.x, preferred.y);
    };

    fTabBar = new QV_TabBar();
    fTabBar->AddTab(Localize("/Windows/Timeline/Channels=Channels"));
    fTabBar->AddTab(Localize("/Windows/Timeline/Sequencer=Sequencer"));
    fit(fTabBar);
    place(fTabBar, 30, std::max(0, fTopBarHeight - fTabBar->Size().y));
    int32_t x = fTabBar->Frame().right + 1 + 32;
    auto button = [&](const char* label, int32_t message) {
        auto* b = new QV_ShortButton(label, message);
        fit(b);
        place(b, x, 1);
        x = b->Frame().right + 1 + 4;
        return b;
    };
    fDeleteButton = button(Localize("/Windows/Timeline/Delete=Delete"), 3135);
    fCopyButton = button(Localize("/Windows/Timeline/Copy=Copy"), 3133);
    fPasteButton = button(Localize("/Windows/Timeline/Paste=Paste"), 3134);
    // Nothing else reaches the timeline settings, so the top bar offers them.
    fSettingsButton = button(Localize("/Windows/Timeline/Settings=Settings..."), 7020);
    x += 32 - 4;

    fAudioButtons = new QV_LayoutView(false, 4, 0, 0);
    fRestartAudio = new QV_ShortButton(Localize("/Windows/Timeline/RestartAudio=Restart Audio"), 3213);
    fAudioLevel = new QV_ShortButton(Localize("/Windows/Timeline/AudioLevel=Audio Level"), 3214);
    fTrackLayer = new QV_ShortButton(Localize("/Windows/Timeline/TrackLayerToVideo=Track Layer To Video..."), 3209);
    fAudioButtons->AddChild(fRestartAudio);
    fAudioButtons->AddChild(fAudioLevel);
    fAudioButtons->AddChild(fTrackLayer);
    fit(fAudioButtons);
    fAudioButtons->MoveTo(x, 1);

    fZoomIn = new QV_Button(
        GetResourceImage("zoom_in"), Localize("/Windows/Timeline/ZoomIn=Zoom In"), false, 7022, FOLLOW_RIGHT | FOLLOW_TOP);
    fit(fZoomIn);
    place(fZoomIn, w - 2 - fZoomIn->Size().x, 1);
    fZoomOut = new QV_Button(GetResourceImage("zoom_out"), Localize("/Windows/Timeline/ZoomOut=Zoom Out"), false, 7021,
        FOLLOW_RIGHT | FOLLOW_TOP);
    fit(fZoomOut);
    place(fZoomOut, fZoomIn->Frame().left - 2 - fZoomOut->Size().x, 1);

    const int32_t s = fScrollBarSize;
    fHScroll = new QV_ScrollBar(false, std::max(16, w - 28 - s - 27), 7009, FOLLOW_LEFT | FOLLOW_RIGHT | FOLLOW_BOTTOM);
    fHScroll->ResizeTo(std::max(16, w - 28 - s - 27), s);
    place(fHScroll, 28, h - s);
    fHScroll->fStep = 1;
    fVScroll = new QV_ScrollBar(true, std::max(16, h - fTopBarHeight), 7010, FOLLOW_TOP | FOLLOW_RIGHT | FOLLOW_BOTTOM);
    fVScroll->ResizeTo(s, std::max(16, h - fTopBarHeight - s));
    place(fVScroll, w - s, fTopBarHeight);
    fVScroll->fStep = 17;
    fVScroll->fPage = 51;
    int32_t first = 0;
    int32_t last = 0;
    fTableLength = 0;
    {
        const QV_Rect k = KeyAreaRect();
        last = (k.right - k.left + 1) / fFrameWidth - 1;
    }
    fHScroll->fPage = std::max(1, last - first - 12);

    fKeyMenu = new QV_Menu(Localize("/Menus/Keyframe/Title=Keyframes"));
    fKeyMenu->AddItem(Localize("/Menus/Keyframe/AddKeyframe=Add Keyframe"), 0, 7023);
    fKeyMenu->AddItem(nullptr, 0, 0);
    fKeyMenu->AddItem(Localize("/Menus/Keyframe/Smooth=Smooth"), 0, 7024);
    fKeyMenu->AddItem(Localize("/Menus/Keyframe/Linear=Linear"), 0, 7026);
    fKeyMenu->AddItem(Localize("/Menus/Keyframe/EaseInOut=Ease In/Out"), 0, 7025);
    fKeyMenu->AddItem(Localize("/Menus/Keyframe/EaseIn=Ease In"), 0, 7030);
    fKeyMenu->AddItem(Localize("/Menus/Keyframe/EaseOut=Ease Out"), 0, 7031);
    fKeyMenu->AddItem(Localize("/Menus/Keyframe/Step=Step"), 0, 7027);
    fKeyMenu->AddItem(Localize("/Menus/Keyframe/Noisy=Noisy..."), 0, 7028);
    fKeyMenu->AddItem(Localize("/Menus/Keyframe/Cycle=Cycle..."), 0, 7029);
    fKeyMenu->fTarget = this;
    fToolTip = new QV_ToolTip();
}

VornLayer* TimelineWnd::CurrentLayer() const
{
    return fDocument ? fDocument->GetSelectedLayer() : nullptr;
}

int32_t TimelineWnd::TimingOffset() const
{
    VornLayer* layer = CurrentLayer();
    return layer ? layer->TotalTimingOffset() : 0;
}

int32_t TimelineWnd::ChannelFrame(int32_t row, int32_t frame) const
{
    if (row >= 0 && row < kMaxRows && fRows[row].fID >= CHANNEL_CAMERA_TRACK)
        return frame;
    return ClampFrame(int64_t(frame) + TimingOffset());
}

int32_t TimelineWnd::TableFrame(int32_t row, int32_t channelFrame) const
{
    if (row >= 0 && row < kMaxRows && fRows[row].fID >= CHANNEL_CAMERA_TRACK)
        return channelFrame;
    return ClampFrame(int64_t(channelFrame) - TimingOffset());
}

void TimelineWnd::PostUp(int32_t what)
{
    if (!fMainWindow)
        return;
    QV_Message message(what);
    fMainWindow->HandleMessage(&message);
}

void TimelineWnd::SetDocument(VornDoc* document)
{
    fDocument = document;
    fShownFrame = 0;
    fAudioWavePresent = false;
    fSeqLayer = nullptr;
    fScrub = fTimingDrag = fRubberBand = fKeyMove = fStretch = fCycleDrag = fSeqDrag = false;
    if (!document) {
        ClearPlayRange();
        ClearOnionSkinFrames();
        Enable(false);
        for (int32_t i = 0; i < fChildCount; i++)
            fChildren[i]->Enable(false);
    } else {
        Enable(true);
        for (int32_t i = 0; i < fChildCount; i++)
            fChildren[i]->Enable(true);
        fShownFrame = document->CurFrame();
        RebuildRows(false);
        fShownFrame = -123;
        SetFrame(document->CurFrame(), false);
        fShownFrame = document->CurFrame();
    }
    Redraw();
}

void TimelineWnd::ClearRowTables(int32_t row, bool keepSelection)
{
    RowTables& t = fTables[row];
    const uint8_t keep = keepSelection ? uint8_t(KEY_SELECTED | KEY_COPIED) : uint8_t(0);
    for (uint8_t& mark : t.marks)
        mark &= keep;
    std::fill(t.modes.begin(), t.modes.end(), KEY_NO_MODE);
    t.keyCount = 0;
}

void TimelineWnd::RebuildRows(bool keepSelection)
{
    if (!fDocument)
        return;
    VornLayer* layer = CurrentLayer();
    if (fRestartAudio) {
        const bool sound = layer && layer->IsAudioType();
        fRestartAudio->Enable(sound && layer->LayerType() == LT_AUDIO);
        fAudioLevel->Enable(sound);
        bool movieSibling = false;
        if (layer) {
            GroupLayer* parent = layer->Parent();
            const int32_t count = parent ? parent->CountLayers() : fDocument->CountLayers();
            for (int32_t i = 0; i < count && !movieSibling; i++) {
                VornLayer* other = parent ? parent->Layer(i) : fDocument->Layer(i);
                if (other && other != layer && other->LayerType() == LT_IMAGE) {
                    auto* image = static_cast<ImageLayer*>(other);
                    movieSibling = image->IsMovieLayer() && image->MovieDuration() > 0;
                }
            }
        }
        fTrackLayer->Enable(movieSibling);
    }
    if (!keepSelection && fFloatWindow && layer) {
        QV_String title = Localize("/Windows/Timeline/Title=Timeline");
        if (!layer->Name().IsEmpty()) {
            title.Append(" : ");
            title.Append(layer->Name().CString());
        }
        fFloatWindow->SetTitle(title.CString());
    }
    fRowCount = 0;
    for (int32_t row = 0; row < kMaxRows; row++)
        ClearRowTables(row, keepSelection);
    if (layer) {
        fRowCount = std::min(layer->CountChannels(), kMaxRows);
        for (int32_t row = 0; row < fRowCount; row++) {
            fRows[row].Reset();
            layer->GetChannelInfo(row, fRows[row]);
            for (int32_t sub = 0; sub < fRows[row].fSubChannels; sub++)
                AddChannelKeys(row, layer->GetChannel(row, sub, fDocument));
        }
    }
    ComputeAudioWave();
    UpdateScrollBars();
}

void TimelineWnd::AddChannelKeys(int32_t row, AnimChannel* channel)
{
    if (!channel || row < 0 || row >= kMaxRows)
        return;
    const int64_t offset = fRows[row].fID >= CHANNEL_CAMERA_TRACK ? 0 : -int64_t(TimingOffset());
    const int64_t end = offset + channel->Duration();
    if (int64_t(fTableLength) <= end)
        ResizeFrameTables(end + 48);
    RowTables& t = fTables[row];
    const int32_t n = channel->CountKeys();
    if (n > 1 && offset < 0 && t.keyCount < 2)
        t.keyCount = 2;
    for (int32_t k = 0; k < n; k++) {
        const int64_t f64 = int64_t(channel->GetKeyWhen(k)) + offset;
        // Frames the tables could not grow to stay unmarked.
        if (f64 < 0 || f64 >= fTableLength)
            continue;
        const auto f = size_t(f64);
        if (!(t.marks[f] & KEY_MARK))
            t.keyCount++;
        t.marks[f] |= KEY_MARK;
        InterpSetting setting = DefaultInterpSetting();
        channel->GetKeyInterpByID(k, setting);
        const auto mode = uint8_t(std::clamp(setting.interpMode, 0, 254));
        if (t.modes[f] == KEY_NO_MODE)
            t.modes[f] = mode;
        else if (t.modes[f] != mode)
            t.modes[f] = INTERP_SMOOTH;
        if (setting.interpMode == INTERP_CYCLE) {
            t.marks[f] |= KEY_CYCLE;
            if (setting.val2 >= 0)
                t.extents[f] = ClampFrame(-int64_t(RoundParam(setting.val2)) - 10000);
            else
                t.extents[f] = ClampFrame(f64 - RoundParam(setting.val1));
        } else if (setting.interpMode == INTERP_POSE) {
            t.marks[f] |= KEY_REFERENCE;
            AnimChannel* action = channel->PoseAction(setting);
            t.extents[f] = action ? ClampFrame(f64 + action->Duration() - 1) : int32_t(f64);
        }
    }
}

bool TimelineWnd::ResizeFrameTables(int64_t length)
{
    length = std::min(length, kMaxTableLength);
    if (length <= fTableLength)
        return length <= fTableLength && length > 0;
    const auto n = size_t(length);
    try {
        for (RowTables& t : fTables) {
            t.marks.resize(n, 0);
            t.extents.resize(n, 0);
            t.modes.resize(n, KEY_NO_MODE);
        }
        fAudioWave.resize(n, 0.0f);
    } catch (const std::bad_alloc&) {
        // The tables keep their old length; what lies beyond it stays unmarked.
        for (RowTables& t : fTables) {
            t.marks.resize(size_t(fTableLength));
            t.extents.resize(size_t(fTableLength));
            t.modes.resize(size_t(fTableLength));
        }
        fAudioWave.resize(size_t(fTableLength));
        return false;
    }
    fTableLength = int32_t(length);
    UpdateScrollBars();
    return true;
}

QV_Rect TimelineWnd::RulerRect() const
{
    const QV_Point size = Size();
    return QV_Rect { 28, fTopBarHeight, size.x - 1 - fScrollBarSize, fTopBarHeight + fRulerHeight - 1 };
}

QV_Rect TimelineWnd::KeyAreaRect() const
{
    const QV_Point size = Size();
    return QV_Rect { 28, fTopBarHeight + fRulerHeight, size.x - 1 - fScrollBarSize, size.y - 1 - fScrollBarSize };
}

int32_t TimelineWnd::IconColumnTop() const
{
    return fTopBarHeight + fRulerHeight + fHeaderHeight;
}

int32_t TimelineWnd::FirstVisibleFrame() const
{
    return fHScroll ? fHScroll->fValue : fFirstFrame;
}

int32_t TimelineWnd::FrameX(int32_t frame, int32_t first) const
{
    return 28 + (frame - first + 1) * fFrameWidth;
}

void TimelineWnd::VisibleFrames(int32_t& first, int32_t& last)
{
    const QV_Rect k = KeyAreaRect();
    first = FirstVisibleFrame();
    last = first + (k.right - k.left + 1) / fFrameWidth - 1;
    if (last >= fTableLength)
        ResizeFrameTables(int64_t(last) + 48);
}

void TimelineWnd::ScrollToFrame(int32_t frame, bool page)
{
    if (frame < 0)
        frame = fDocument ? fDocument->CurFrame() : 0;
    int32_t first = 0;
    int32_t last = 0;
    VisibleFrames(first, last);
    int32_t target = first;
    if (frame < first)
        target = frame;
    else if (frame < last - 2)
        return;
    else
        target = page ? frame - 2 : first + (frame + 2 - last);
    target = std::max(0, target);
    fFirstFrame = target;
    if (fHScroll) {
        if (target > fHScroll->fMax)
            fHScroll->SetRange(target);
        fHScroll->SetValue(target);
    }
}

void TimelineWnd::UpdateScrollBars()
{
    if (!fHScroll || !fVScroll)
        return;
    const QV_Rect k = KeyAreaRect();
    const int32_t visible = (k.right - k.left + 1) / std::max(1, fFrameWidth) - 1;
    fHScroll->SetRange(std::max(0, fTableLength - visible));
    int32_t range = 0;
    if (fViewMode == 3) {
        const int32_t needed = (fSequencerLines + 1) * kSequencerLine;
        const int32_t height = k.bottom - k.top;
        range = needed > height ? needed - height : 0;
    } else if (fRowCount > 0) {
        int32_t lines = fRowCount + 2;
        if (fRowCount > 12)
            lines++;
        const int32_t needed = lines * kRowHeight + fTopBarHeight + fRulerHeight + fHeaderHeight + fScrollBarSize - Size().y;
        range = std::max(0, needed);
    }
    fVScroll->Enable(range > 0 && fDocument);
    fVScroll->SetRange(range);
    if (fScrollOffset > range) {
        fScrollOffset = range;
        fVScroll->SetValue(range);
    }
}

bool TimelineWnd::IsRowShown(int32_t row)
{
    VornLayer* layer = CurrentLayer();
    if (!layer || row < 0 || row >= fRowCount)
        return false;
    const ChannelInfo& info = fRows[row];
    if (gPrefs.masterAnimChannel)
        return info.fID == CHANNEL_LAYER_ALL;
    if (info.fID == CHANNEL_LAYER_ALL || info.fSubChannels <= 0)
        return false;
    if (info.fID == 10051)
        return HasSound(layer);
    if (info.fID == 10052)
        return layer->LayerType() == LT_AUDIO;
    const int32_t count = fTables[row].keyCount;
    if (count > 1)
        return true;
    if (count == 0)
        return false;
    const int32_t frame0 = TableFrame(row, 0);
    if (frame0 < 0 || frame0 > 0 || frame0 >= fTableLength)
        return false;
    return fTables[row].modes[size_t(frame0)] == INTERP_NOISY;
}

void TimelineWnd::SetFrame(int32_t frame, bool playing)
{
    fPreviousShownFrame = fShownFrame;
    if (!fDocument || frame == fShownFrame)
        return;
    if (frame >= fTableLength)
        ResizeFrameTables(int64_t(frame) + 48);
    fShownFrame = frame;
    if (fDocument->CurFrame() != frame)
        fDocument->SetCurFrame(frame);
    const int32_t before = FirstVisibleFrame();
    ScrollToFrame(fDocument->CurFrame(), playing);
    const int32_t after = FirstVisibleFrame();
    const bool scrolled = after != before;
    DrawTimeline(playing && !(scrolled && after > before));
    if (playing && frame > fPreviousShownFrame && !scrolled && OwnerLayer()) {
        const QV_Rect r = RulerRect();
        const QV_Rect k = KeyAreaRect();
        int32_t x0 = r.left + (fPreviousShownFrame - after) * fFrameWidth;
        int32_t x1 = r.left + (frame - after + 2) * fFrameWidth;
        if (fFrameWidth < 3) {
            x0 -= 3;
            x1 += 3;
        }
        Invalidate(x0, r.bottom - 4, x1, k.bottom);
        return;
    }
    Refresh();
}

void TimelineWnd::SelectChannelKey(int32_t channelID)
{
    if (!fDocument)
        return;
    ClearSelection();
    const int32_t f = fDocument->CurFrame();
    if (f >= fTableLength)
        ResizeFrameTables(int64_t(f) + 48);
    auto mark = [this, f](int32_t id) {
        if (f < 0 || f >= fTableLength)
            return;
        for (int32_t row = 0; row < fRowCount; row++) {
            if (fRows[row].fID != id && fRows[row].fID != CHANNEL_LAYER_ALL)
                continue;
            uint8_t& m = fTables[row].marks[size_t(f)];
            if (!(m & KEY_MARK))
                fTables[row].keyCount++;
            m |= KEY_MARK;
        }
    };
    mark(channelID);
    static const int32_t kPairs[][2] = { { 10020, 10021 }, { 10022, 10023 }, { 10024, 10025 }, { 10026, 10027 },
        { 10034, 10035 }, { 10036, 10037 }, { 10038, 10039 }, { 10040, 10041 } };
    for (const auto& pair : kPairs) {
        if (channelID == pair[0])
            mark(pair[1]);
        else if (channelID == pair[1])
            mark(pair[0]);
    }
    Redraw();
}

void TimelineWnd::UpdateSelectedChannels()
{
    for (int32_t row = 0; row < kMaxRows; row++) {
        if (fRows[row].fSelectionOnly)
            ClearRowTables(row, false);
    }
    if (VornLayer* layer = CurrentLayer()) {
        for (int32_t row = 0; row < fRowCount; row++) {
            if (!fRows[row].fSelectionOnly)
                continue;
            fRows[row].Reset();
            layer->GetChannelInfo(row, fRows[row]);
            for (int32_t sub = 0; sub < fRows[row].fSubChannels; sub++)
                AddChannelKeys(row, layer->GetChannel(row, sub, fDocument));
        }
    }
    Redraw();
}

void TimelineWnd::ComputeAudioWave()
{
    if (!fDocument)
        return;
    std::fill(fAudioWave.begin(), fAudioWave.end(), 0.0f);
    fAudioWavePresent = false;
    QV_ArrayList sources;
    VornLayer* current = CurrentLayer();
    if (HasSound(current))
        sources.Append(current);
    else
        fDocument->CollectAudioLayers(sources, nullptr);
    const float fps = fDocument->Fps() > 0 ? fDocument->Fps() : 24.0f;
    for (int32_t i = 0; i < sources.fCount; i++) {
        auto* layer = static_cast<VornLayer*>(sources.fItems[i]);
        if (!HasSound(layer))
            continue;
        auto* audio = static_cast<AudioLayer*>(layer);
        QV_SoundClip* sound = audio->Sound();
        if (!sound || !layer->fVisible || layer->IsRenderOnly() || audio->IsSilent())
            continue;
        const float duration = sound->Duration();
        if (!(duration > 0))
            continue;
        fAudioWavePresent = true;
        const float rate = audio->PlaybackRate();
        const int32_t offset = layer->TotalTimingOffset();
        AnimChannel* jump = nullptr;
        for (int32_t row = 0; row < layer->CountChannels() && !jump; row++) {
            ChannelInfo info;
            layer->GetChannelInfo(row, info);
            if (info.fID == 10052)
                jump = layer->GetChannel(row, 0, fDocument);
        }
        int64_t lastFrame = int64_t(offset) + int64_t(duration * fps);
        if (jump && jump->CountKeys() > 0) {
            const int32_t lastKey = jump->CountKeys() - 1;
            if (jump->GetKeyInterpModeByID(lastKey) == INTERP_CYCLE)
                lastFrame = int64_t(fTableLength) + offset;
            else
                lastFrame = int64_t(offset) + jump->GetKeyWhen(lastKey) + int64_t(duration * fps);
        }
        int64_t j = -int64_t(offset);
        int64_t c = offset;
        for (; j < fTableLength - 1 && c <= lastFrame; j++, c++) {
            if (j < 0)
                continue;
            const float t = rate * audio->AudioTimeAt(int32_t(j), 1.0f / fps);
            if (!(t >= 0 && t < duration))
                continue;
            const float level = audio->GetAudioLevel(ClampFrame(c));
            if (level > 0)
                fAudioWave[size_t(j)] += audio->GetRMSAmplitude(t, rate / fps) * level;
        }
    }
    if (!fAudioWavePresent)
        return;
    const float largest = fAudioWave.empty() ? 0.0f : *std::max_element(fAudioWave.begin(), fAudioWave.end());
    if (largest > 0) {
        const float scale = 1.0f / (1.1f * largest);
        for (float& value : fAudioWave)
            value *= scale;
    }
}

void TimelineWnd::ClearSelection()
{
    for (RowTables& t : fTables) {
        for (uint8_t& mark : t.marks)
            mark &= uint8_t(~KEY_SELECTED);
    }
}
