#pragma once

#include <cstdint>
#include <vector>

#include "animvec2.h"
#include "qv_pixelbuffer.h"
#include "qv_rect.h"
#include "qv_string.h"

class QV_IoStream;

// A point of a movie layer that follows a small patch of the picture from one movie frame to
// the next: each step searches around its last position for the patch most like the one it had
// in the previous frame and keys the place found (image pixels, y downward) into fAnimPos.
class TrackingPoint {
public:
    explicit TrackingPoint(int32_t startFrame);
    ~TrackingPoint();

    const QV_String& Name() const { return fName; }
    // Double quotes are left out: the record stores the name between quotes without escapes.
    void SetName(const char* name);
    int32_t StartFrame() const { return fStartFrame; }

    // Tracks from frame F: keys the position there as a restart key and deletes the keys an
    // earlier run tracked after F, up to the next restart key.
    void Restart(int32_t frame);
    // One step at layer frame F between the previous frame's picture and the current one; only
    // while tracking, not lost, and F follows the last tracked frame.
    void TrackFrame(int32_t frame, const QV_PixelBuffer& current, const QV_PixelBuffer& previous);

    bool ReadRecord(QV_IoStream* stream);
    void WriteRecord(QV_IoStream* stream);

    // Mean absolute difference per colour byte of two windows (inclusive edges) where both lie
    // inside their rasters, each pixel pair weighted by its row's and column's weight; 20 when
    // no pair counts.
    static float WindowDifference(const QV_PixelBuffer& a, const QV_Rect& windowA, const QV_PixelBuffer& b,
        const QV_Rect& windowB, const float* weights);

    // Whether a key is one Restart or AddTrackingPoint wrote.
    static bool IsRestartKey(const InterpSetting& setting);

    QV_String fName;
    AnimVec2 fAnimPos;
    int32_t fCompareRadius;
    int32_t fSearchRadius;
    int32_t fLastFrame;
    bool fSelected;
    int32_t fLastTrackedFrame;
    bool fTracking;
    int32_t fStartFrame;
    int32_t fRefFrame;
    QV_Point fStartPos;
    QV_Point fCurPos;
    QV_Point fRefPos;
    float fVelocity[2];
    float fScore;
    bool fLost;
};
