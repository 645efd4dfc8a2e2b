#pragma once

#include <cstdint>
#include <memory>

#include "animval.h"
#include "qv_path.h"
#include "qv_sound_clip.h"
#include "qv_string.h"
#include "vornlayer.h"

class SwfSoundStream;
class XGraphics;

// A sound in the layer tree: no picture, an animated level, an animated "jump" that re-times the
// sound, and a stereo position taken from where the layer origin sits in the scene. The document
// mixes its audio layers into a WAV file for movie exports.
//
// audiolayer.cpp holds the class, timing and levels; audiolayer_record.cpp the record.
class AudioLayer : public VornLayer {
public:
    AudioLayer();
    ~AudioLayer() override;

    int32_t LayerType() override;
    bool ReadRecord(QV_IoStream* stream) override;
    void WriteRecord(QV_IoStream* stream) override;
    void SetCurFrame(int32_t frame) override;
    // No picture: only brings the layer to the document frame and runs its script.
    void Draw(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* scratch, int32_t& drawMode,
        VornLayer* currentLayer, RenderSettings* settings) override;
    int32_t CountRenderItems() override;
    void RenderItem(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* target, QV_PixelBuffer* scratch,
        int32_t item, RenderSettings* settings) override;
    // Frames the sound lasts at the document's rate, plus one; -1 without a sound.
    int32_t LayerDuration() override;
    int32_t CountChannels() override;
    void GetChannelInfo(int32_t row, ChannelInfo& info) override;
    AnimChannel* GetChannel(int32_t row, int32_t sub, VornDoc* doc) override;
    // Speed the sound plays at; movie layers play theirs at their own rate.
    virtual float PlaybackRate();

    // 0 with samples, -6 for an empty path (or one a document cannot store), -5 when the file
    // gives no samples; the path is kept either way.
    int32_t SetAudioFile(const char* path);
    const QV_Path& AudioFile() const { return fAudioFile; }
    // The clip when it holds samples, else null.
    QV_SoundClip* Sound() const;
    // The loudest frame-long window's RMS, at least 0.0001; 1 without a sound. Cached.
    float MaxAmplitude();
    bool IsSilent();
    // Level at a document frame: 0 while invisible, never negative.
    float GetAudioLevel(int32_t frame);
    // 0 without spatial positioning, else the scene x of the layer origin.
    float GetStereoPosition(int32_t frame);
    // Where in the sound (seconds) a document frame plays, for frames of secondsPerFrame.
    float AudioTimeAt(int32_t frame, float secondsPerFrame);

    float GetAmplitude(float time, float window) const;
    float GetRMSAmplitude(float time, float window) const;
    float GetMaxAmplitude(float time, float window) const;

    bool SpatialPositioning() const { return fSpatialPositioning; }
    void SetSpatialPositioning(bool on) { fSpatialPositioning = on; }
    const QV_String& AudioText() const { return fAudioText; }
    // Double quotes are left out: the record stores the text between quotes without escapes.
    void SetAudioText(const char* text);

    AnimVal fAudioLevel;
    AnimVal fJumpToFrame;
    QV_Path fAudioFile;
    bool fSpatialPositioning;
    QV_String fAudioText;
    std::unique_ptr<QV_SoundClip> fSound;
    float fMaxAmplitude;
    // The stream an SWF export made of the file; the movie holds its own reference.
    SwfSoundStream* fSwfSoundStream;

private:
    // At layer frame 1 of an SWF export an MP3 file becomes the movie's stream sound.
    void StartSwfSound(XGraphics* graphics);
};
