#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app_prefs.h"
#include "audiolayer.h"
#include "imagelayer.h"
#include "m_mesh.h"
#include "main_layer.h"
#include "meshlayer.h"
#include "plat_time.h"
#include "qv_arraylist.h"
#include "qv_app.h"
#include "qv_button.h"
#include "qv_message.h"
#include "qv_sound_mixer.h"
#include "qv_text_control.h"
#include "qv_wnd.h"
#include "resource_images.h"
#include "script.h"
#include "script_interface.h"
#include "shell_panel.h"
#include "status_bar.h"
#include "timeline_marks.h"
#include "vorn_view.h"
#include "vorn_wnd.h"
#include "vorndoc.h"

void (*gPlaybackSleep)(uint32_t milliseconds) = PlatSleep;

namespace {

constexpr int32_t kLargestFrame = 3000;

// Indices of the playback bar's buttons.
enum { kPrevKey, kRewind, kStepBack, kPlay, kStepForward, kJumpToEnd, kNextKey };

int32_t RoundHalfAway(double value)
{
    return int32_t(value < 0 ? -std::floor(-value + 0.5) : std::floor(value + 0.5));
}

void EnableButton(QV_Button* button, bool on)
{
    if (button)
        button->Enable(on);
}

void ShowImage(QV_Button* button, const char* image)
{
    if (!button)
        return;
    button->SetImage(GetResourceImage(image));
    button->Draw();
    button->Refresh();
}

} // namespace

bool MainLayer::HandlePlayback(QV_Message* message)
{
    const int32_t what = message->fWhat;
    switch (what) {
    case 1000:
        UpdateControls();
        if (fCurrentView && fCurrentView->AcceptsFocus())
            SetFocus(fCurrentView);
        if (fMainWindow && fMainWindow->fStyleWnd)
            fMainWindow->fStyleWnd->PostMessage(1006);
        return true;
    case 1002:
        for (QV_View* view : fCanvasViews) {
            if (view && view != fCurrentView && fWindow) {
                view->Draw();
                view->Refresh();
            }
        }
        return true;
    case 1004:
        FrameChanged();
        return true;
    case 1100:
    case 1107:
        if (fMainWindow && fMainWindow->fTimelineWnd)
            fMainWindow->fTimelineWnd->PostMessage(what);
        return true;
    case 1101:
    case 1102:
    case 1105:
    case 1106:
        StepFrame(what);
        return true;
    case 1103:
        StopPlayback();
        return true;
    case 1104:
        if (fPlaying)
            PostMessage(1103);
        else
            StartPlayback();
        return true;
    case 1108:
        PlaybackTick();
        return true;
    case 3001:
    case 3002:
        FrameFieldEntered(what == 3002);
        return true;
    default:
        break;
    }
    return false;
}

void MainLayer::UpdateControls()
{
    if (fMainWindow && fMainWindow->fToolWnd)
        fMainWindow->fToolWnd->UpdateToolButtons();
    if (fCurrentTool) {
        ScriptInterface record(fDoc, CurrentScriptView());
        fCurrentTool->UpdateWidgets(&record);
    }
    if (!fDoc) {
        for (QV_Button* button : fPlaybackButton)
            EnableButton(button, false);
        if (fFrameField)
            fFrameField->Enable(false);
        if (fEndField)
            fEndField->Enable(false);
        EnableButton(fMuteButton, false);
        return;
    }
    const int32_t frame = fDoc->CurFrame();
    EnableButton(fPlaybackButton[kPrevKey], frame >= 1 && !fPlaying);
    EnableButton(fPlaybackButton[kRewind], frame > 0);
    EnableButton(fPlaybackButton[kStepBack], frame >= 1 && !fPlaying);
    EnableButton(fPlaybackButton[kPlay], true);
    EnableButton(fPlaybackButton[kStepForward], !fPlaying);
    EnableButton(fPlaybackButton[kJumpToEnd], frame < fEndFrame);
    EnableButton(fPlaybackButton[kNextKey], !fPlaying);
    if (fFrameField)
        fFrameField->Enable(true);
    if (fEndField) {
        fEndField->Enable(true);
        const int32_t end = fDoc->EndFrame() < 1 ? fDoc->AnimDuration() : fDoc->EndFrame();
        fEndField->SetValue(FrameText(end).CString());
    }
    if (fMuteButton) {
        ShowImage(fMuteButton, gToggles.muteAudio ? "mute" : "nomute");
        fMuteButton->Enable(true);
    }
    if (VornLayer* layer = fDoc->GetSelectedLayer()) {
        if (layer->LayerType() == LT_VECTOR) {
            if (auto* vector = dynamic_cast<MeshLayer*>(layer))
                vector->Mesh()->MarkDanglingPoints(false);
        }
        const bool flat = layer->IsFlatAndStatic();
        if (flat != fLastStaticState) {
            fLastStaticState = flat;
            if (fMainWindow && fMainWindow->fLayerWnd)
                fMainWindow->fLayerWnd->PostMessage(1006);
        }
    }
}

QV_String MainLayer::FrameText(int32_t frame)
{
    QV_String text;
    if (gPrefs.smpte && fDoc) {
        fDoc->FrameToTimecode(frame, text);
        return text;
    }
    char number[16];
    std::snprintf(number, sizeof(number), "%d", int(frame));
    text = number;
    return text;
}

void MainLayer::FrameChanged()
{
    if (!fDoc)
        return;
    const int32_t frame = fDoc->CurFrame();
    RefreshViews();
    if (fMainWindow && fMainWindow->fTimelineWnd)
        fMainWindow->fTimelineWnd->SetFrame(frame, fPlaying);
    if (fMainWindow && fMainWindow->fLayerWnd)
        fMainWindow->fLayerWnd->PostMessage(1006);
    if (fMainWindow && fMainWindow->fStyleWnd)
        fMainWindow->fStyleWnd->RefreshAnimated();
    // A step by hand sounds the frame it reaches.
    if (fMixer && !gToggles.muteAudio && !fPlaying && !fQuietFrameChange) {
        const float fps = fDoc->Fps();
        UpdateAudioForFrame(frame);
        fMixer->PlayRange(std::max(0.0f, float(frame - 1) / fps), 1.0f / fps, 1.0f);
    }
    if (fFrameField)
        fFrameField->SetValue(FrameText(frame).CString());
    if (fStatusBar) {
        char text[96];
        if (fPlaying)
            std::snprintf(text, sizeof(text), "%d%s", int(RoundHalfAway(fMeasuredRate)),
                Localize("/Windows/MainLayer/FramesPerSecond= fps"));
        else
            std::snprintf(text, sizeof(text), "%s%d", Localize("/Windows/MainLayer/Frame=Frame: "), int(frame));
        fStatusBar->SetRightText(text);
    }
    if (fCurrentTool) {
        ScriptInterface record(fDoc, CurrentScriptView());
        fCurrentTool->UpdateWidgets(&record);
    }
}

void MainLayer::FrameFieldEntered(bool endField)
{
    if (!fDoc)
        return;
    QV_TextControl* field = endField ? fEndField : fFrameField;
    if (!field)
        return;
    const int32_t value = gPrefs.smpte ? fDoc->TimecodeToFrame(field->Value()) : field->IntValue();
    if (!endField) {
        fDoc->SetCurFrame(std::clamp(value, 0, kLargestFrame));
        PostMessage(1004);
        PostMessage(1000);
        return;
    }
    const int32_t end = std::min(std::max(value, fDoc->StartFrame()), kLargestFrame);
    fDoc->SetEndFrame(end);
    fEndFrame = fDoc->EndFrame();
    PostMessage(1004);
    PostMessage(1000);
    PostMessage(1006);
}

void MainLayer::StepFrame(int32_t what)
{
    if (!fDoc)
        return;
    if (fPlaying)
        PostMessage(1103);
    const int32_t frame = fDoc->CurFrame();
    switch (what) {
    case 1101:
        fDoc->SetCurFrame(0);
        PostMessage(1004);
        PostMessage(1006);
        return;
    case 1102:
        if (frame < 1)
            return;
        fDoc->SetCurFrame(frame - 1);
        PostMessage(1004);
        if (frame - 1 == 0)
            PostMessage(1006);
        return;
    case 1105:
        fDoc->SetCurFrame(frame + 1);
        PostMessage(1004);
        if (frame + 1 == 1)
            PostMessage(1006);
        return;
    default: {
        VornLayer* layer = fDoc->GetSelectedLayer();
        if (layer && !layer->CurrentPose().IsEmpty()) {
            fDoc->SetCurFrame(std::max(1, layer->AnimDuration()));
        } else {
            fEndFrame = fDoc->EndFrame();
            fDoc->SetCurFrame(fEndFrame);
        }
        PostMessage(1004);
        PostMessage(1006);
        return;
    }
    }
}

void MainLayer::StartPlayback()
{
    if (!fDoc)
        return;
    const float fps = fDoc->Fps();
    fPlaying = true;
    fFramesPlayed = 0;
    fFramesToSkip = 0;
    fMeasuredRate = fps;
    fEndFrame = fDoc->EndFrame();
    // Ticks come twice a frame so that a late frame is caught up soon; slow rates need no
    // such care and never sleep.
    fPlayPeriod = fps > 11 ? 0.5f / fps : 1.0f / fps;
    if (fMainWindow && fMainWindow->fHwnd)
        fPlayTimer = fMainWindow->AddTimer(fPlayPeriod, this, 1108);
    EnableButton(fPlaybackButton[kStepBack], false);
    EnableButton(fPlaybackButton[kStepForward], false);
    ShowImage(fPlaybackButton[kPlay], "stop");
    fPlayClock.Start();
    UpdateAudioTracks();
    if (fMixer) {
        fMixer->fMuted = gToggles.muteAudio;
        fMixer->Play();
        fMixer->Seek(float(fDoc->CurFrame() - 1) / fps);
    }
}

void MainLayer::StopPlayback()
{
    if (fMixer) {
        fMixer->fPlaying = false;
        fMixer->fRangeLimited = false;
    }
    if (!fPlaying)
        return;
    if (fPlayTimer && fMainWindow)
        fMainWindow->RemoveTimer(fPlayTimer);
    fPlayTimer = 0;
    ShowImage(fPlaybackButton[kPlay], "play");
    fPlaying = false;
    fPlayClock.Stop();
    fMeasuredRate = fDoc ? fDoc->Fps() : 0;
    // The frame shown last is announced once more without sounding it.
    fQuietFrameChange = true;
    PostMessage(1006);
    PostMessage(1004);
    fQuietFrameChange = false;
}

void MainLayer::PlaybackTick()
{
    if (!fDoc || !fPlaying)
        return;
    const float fps = fDoc->Fps();
    const int32_t frame = fDoc->CurFrame();
    const int32_t halfSecond = std::max(1, RoundHalfAway(fps * 0.5));
    float t0 = fPlayClock.Elapsed();
    const bool leftZero = frame == 0;

    bool audioLed = false;
    int32_t next = frame + 1;
    const bool tracking = fCurrentTool && fCurrentTool->fTableName == "QV_VideoTracking";
    if (gToggles.allowFrameSkipping && !tracking) {
        fFramesPlayed += fFramesToSkip;
        next = frame + fFramesToSkip + 1;
        if (fMixer && fMixer->IsPlaying()) {
            next = RoundHalfAway(double(fMixer->CurrentTime()) * fps + 0.5 / fMeasuredRate);
            audioLed = true;
        }
    }

    int32_t end = fEndFrame;
    VornLayer* layer = fDoc->GetSelectedLayer();
    if (PlayRangeEnd >= 0)
        end = PlayRangeEnd;
    else if (layer && !layer->CurrentPose().IsEmpty())
        end = std::max(1, layer->AnimDuration());
    const int32_t start = PlayRangeStart >= 0 ? PlayRangeStart : fDoc->StartFrame();
    if (next < start) {
        next = start;
        audioLed = false;
    }
    if (next > end) {
        next = start;
        audioLed = false;
        t0 = 0;
        fFramesPlayed = 0;
        fFramesToSkip = 0;
        fPlayClock.Start();
        fMeasuredRate = fps;
    }

    if (fMixer) {
        const float seconds = std::max(0.0f, float(next - 1) / fps);
        const bool moved = UpdateAudioForFrame(next);
        const bool resync = audioLed
            ? moved
            : next == 1 || moved || fFramesPlayed < halfSecond || fFramesPlayed % halfSecond == 0;
        if (resync) {
            if (fMixer->fTrackCount > 0)
                fMixer->fRate = gToggles.allowFrameSkipping ? 1.0f : std::min(1.0f, fMeasuredRate / fps);
            fMixer->Seek(seconds);
        }
    }

    fDoc->SetCurFrame(next);
    PostMessage(1004);

    fFramesPlayed++;
    fFramesToSkip = 0;
    const float elapsed = fPlayClock.Elapsed();
    fMeasuredRate = elapsed > 0 ? float(fFramesPlayed) / elapsed : fps;
    const int32_t wait = int32_t(1000.0f / fps - (elapsed - t0) * 1000.0f);
    if (wait > 0 && fps > 11)
        gPlaybackSleep(uint32_t(wait));
    else if (wait <= 0)
        fFramesToSkip = std::max(0, RoundHalfAway(-double(wait) / 1000.0 * fps));
    if (leftZero)
        PostMessage(1006);
}

void MainLayer::UpdateAudioTracks()
{
    if (!fDoc)
        return;
    QV_ArrayList layers;
    fDoc->CollectAudioLayers(layers, nullptr);
    if (layers.fCount == 0) {
        if (fMixer)
            fMixer->fTrackCount = 0;
        return;
    }
    if (!fMixer)
        fMixer = new QV_SoundMixer();
    fMixer->fTrackCount = 0;
    const float fps = fDoc->Fps();
    for (int32_t i = 0; i < layers.fCount; i++) {
        auto* audio = dynamic_cast<AudioLayer*>(static_cast<VornLayer*>(layers.fItems[i]));
        if (!audio)
            continue;
        const QV_SoundClip* clip = audio->Sound();
        if (!clip || !clip->HasSamples() || audio->IsRenderOnly() || audio->IsSilent())
            continue;
        QV_MixerTrack* track = fMixer->AddTrack(clip, -float(audio->TotalTimingOffset()) / fps, audio);
        if (!track)
            break;
        track->fSpeed = audio->PlaybackRate();
        if (!audio->fVisible)
            track->fLevel = 0;
    }
    if (fMixer->fTrackCount > 0)
        fMixer->fRate = 1.0f;
}

bool MainLayer::UpdateAudioForFrame(int32_t frame)
{
    if (!fMixer || !fDoc)
        return false;
    const float fps = fDoc->Fps();
    bool moved = false;
    const int32_t count = fMixer->fTrackCount;
    for (int32_t i = 0; i < count; i++) {
        QV_MixerTrack& track = fMixer->fTracks[i];
        auto* audio = static_cast<AudioLayer*>(track.fUserData);
        if (!audio)
            continue;
        const bool quiet = !audio->fVisible || audio->IsRenderOnly() || audio->IsSilent();
        track.fLevel = quiet ? 0.0f : audio->GetAudioLevel(frame);
        track.fPan = audio->GetStereoPosition(frame);
        const float start = std::max(0.0f, float(frame - 1) / fps) - audio->AudioTimeAt(frame, 1.0f / fps);
        if (std::fabs(start - track.fStart) > 0.0001f) {
            track.fStart = start;
            moved = true;
        }
    }
    return moved;
}
