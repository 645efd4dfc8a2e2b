#pragma once

#include <cstdint>
#include <memory>

#include "animbool.h"
#include "grouplayer.h"
#include "qv_matrix.h"
#include "qv_memstream.h"
#include "qv_vector.h"

// What the simulation moves and counts for one particle: plain values, copied freely.
struct ParticleMotion {
    QV_Vector3 fSpawnPos{};
    QV_Vector3 fPos{};
    QV_Vector2 fSpawnVelocity{};
    QV_Vector2 fVelocity{};
    // 0 until the first seeding: such a particle is never released.
    int32_t fInterval = 0;
    int32_t fAge = 0;
    int32_t fTemplateFrame = 0;
    bool fActive = false;
    bool fPreview = false;
};

// One particle: where it was released and where it is now, its release period and its life,
// and what it shows.
struct ParticleState : ParticleMotion {
    QV_Matrix fEmitterTransform;
    VornLayer* fTemplate = nullptr;
    // The bone dynamics of a bone or switch template as this particle last showed it: every
    // particle swings its own bones although all share one template. Made on first use; closed
    // at every seeding. Owned, so records move and are never copied.
    std::unique_ptr<QV_MemStream> fDynamics;
};

// A group layer whose sub-layers are templates: a fixed number of particles, each showing one
// template, leave an elliptic emitter, move, age and are released again. Everything follows from
// the parameters and the seed, so documents store only those.
//
// Split by concern: the class and its channel row (particlelayer.cpp), the record
// (particlelayer_record.cpp), the simulation (particlelayer_sim.cpp), drawing and rendering
// (particlelayer_draw.cpp).
class ParticleLayer : public GroupLayer {
public:
    ParticleLayer();
    ~ParticleLayer() override;

    int32_t LayerType() override;
    bool ReadRecord(QV_IoStream* stream) override;
    void WriteRecord(QV_IoStream* stream) override;
    void SetCurFrame(int32_t frame) override;
    void Draw(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* scratch, int32_t& drawMode, VornLayer* currentLayer,
        RenderSettings* settings) override;
    int32_t CountRenderItems() override;
    void RenderItem(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* target, QV_PixelBuffer* scratch,
        int32_t item, RenderSettings* settings) override;
    int32_t AnimDuration() override;
    int32_t CountChannels() override;
    void GetChannelInfo(int32_t row, ChannelInfo& info) override;
    AnimChannel* GetChannel(int32_t row, int32_t sub, VornDoc* doc) override;

    // False, with nothing changed, when total is negative or the records cannot be allocated.
    bool SetNumParticles(int32_t total, int32_t preview);
    void GetNumParticles(int32_t& total, int32_t& preview) const;
    // Seeds again with the current settings and comes back to the current frame.
    void FinalizeSettings();
    void SetRandomSeed(int32_t seed);
    int32_t RandomSeed() const { return fSeed; }

    void SetLifetime(int32_t frames) { fLifetime = frames; }
    int32_t Lifetime() const { return fLifetime; }
    void SetOrientation(bool on) { fOrient = on; }
    bool Orientation() const { return fOrient; }
    void SetFreeFloating(bool on) { fFreeFloating = on; }
    bool FreeFloating() const { return fFreeFloating; }
    void SetEvenlySpaced(bool on) { fEvenlySpaced = on; }
    bool EvenlySpaced() const { return fEvenlySpaced; }
    void SetRandomStartTime(bool on) { fRandomStartTime = on; }
    bool RandomStartTime() const { return fRandomStartTime; }
    void SetSourceDimensions(const QV_Vector3& size) { fSourceShape = size; }
    QV_Vector3 SourceDimensions() const { return fSourceShape; }
    void SetDirection(float direction, float spread);
    void GetDirection(float& direction, float& spread) const;
    void SetVelocity(float velocity, float spread);
    void GetVelocity(float& velocity, float& spread) const;
    void SetDamping(float damping) { fDamping = damping; }
    float Damping() const { return fDamping; }
    void SetAcceleration(float angle, float rate);
    void GetAcceleration(float& angle, float& rate) const;
    void SetFullSpeedStart(bool on) { fStartFull = on; }
    bool FullSpeedStart() const { return fStartFull; }
    AnimBool* RunningTrack() { return &fActivation; }

    const ParticleState& Particle(int32_t index) const { return fParticles[index]; }

    // The most particles a record may ask for, and the most particle steps a full start may take.
    static constexpr int32_t kMaxParticles = 1000000;
    static constexpr int64_t kMaxFullStartSteps = 20000000;

    int32_t fNumParticles;
    int32_t fPreviewParticles;
    int32_t fCapacity;
    ParticleState* fParticles;
    float fFps;
    bool fReading;
    int32_t fLifetime;
    int32_t fSeed;
    bool fOrient;
    bool fFreeFloating;
    bool fEvenlySpaced;
    bool fRandomStartTime;
    QV_Vector3 fSourceShape;
    float fStartDir;
    float fStartSpread;
    float fVelocity;
    float fVelocitySpread;
    float fDamping;
    float fAccelAngle;
    float fAccelRate;
    bool fStartFull;
    AnimBool fActivation;

protected:
    // The emitter's ellipse, then the group's origin marker.
    void DrawEditOverlays(VornDoc* doc, XGraphics* graphics) override;

private:
    bool Reallocate(int32_t capacity);
    void ComeBackTo(int32_t docFrame);

    // Drawing and rendering (particlelayer_draw.cpp).
    // The template's origin to the particle, turned along its motion when orient is on.
    QV_Matrix Placement(const ParticleState& p) const;
    // startFrame: the frame at or before which the template's dynamics start afresh.
    void EvaluateTemplate(ParticleState& p, int32_t startFrame);
    bool ParticleDrawn(const ParticleState& p, bool atFrameZero, bool previewOnly, int32_t mode,
        VornLayer* currentLayer);
    // Free-floating particles carry their emitter transform: the layer's own is undone.
    void PushFreeFloating(XGraphics* graphics, VornDoc* doc);
    VornLayer* EditedSubLayer(VornLayer* currentLayer);
    void RenderParticle(VornDoc* doc, XGraphics* graphics, QV_PixelBuffer* target, QV_PixelBuffer* scratch,
        ParticleState& p, RenderSettings* settings);

    // The simulation (particlelayer_sim.cpp).
    void Spawn(ParticleState& p);
    int32_t StartFrame(int32_t atAge);
    VornLayer* PickTemplate();
    void Move(ParticleState& p, const QV_Vector2& accel);
    QV_Vector2 Acceleration() const;
    void Seed(const QV_Matrix& m0);
    void SpreadPreview();
    void RunFullStart();
    void StepForward(int32_t t, const QV_Matrix& m0, const QV_Matrix& m1, const QV_Matrix& inverse);
    void StepBackward(int32_t t, int32_t last);
    void StepBackwardAt(ParticleState& p, int32_t i, int32_t k);
    void DepthSortParticles();
};
