// The particle layer's class, its parameters and its channel row.

#include "particlelayer.h"

#include <algorithm>
#include <ctime>
#include <new>

#include "channelinfo.h"

ParticleLayer::ParticleLayer()
    : fNumParticles(100)
    , fPreviewParticles(20)
    , fCapacity(0)
    , fParticles(nullptr)
    , fFps(24.0f)
    , fReading(false)
    , fLifetime(24)
    , fSeed(int32_t(std::clock()))
    , fOrient(true)
    , fFreeFloating(true)
    , fEvenlySpaced(false)
    , fRandomStartTime(false)
    , fStartDir(1.5707964f)
    , fStartSpread(0.17453294f)
    , fVelocity(2.0f)
    , fVelocitySpread(0.5f)
    , fDamping(0.0f)
    , fAccelAngle(4.712389f)
    , fAccelRate(4.0f)
    , fStartFull(true)
{
    fSourceShape.Set(0.1f, 0.1f, 0.0f);
    fActivation.SetValue(0, true);
    Reallocate(100);
    SetCurFrame(DocFrameOf(fCurFrame));
}

ParticleLayer::~ParticleLayer()
{
    delete[] fParticles;
}

int32_t ParticleLayer::LayerType()
{
    return LT_PARTICLE;
}

bool ParticleLayer::Reallocate(int32_t capacity)
{
    ParticleState* particles = new (std::nothrow) ParticleState[std::max(capacity, 1)];
    if (!particles)
        return false;
    delete[] fParticles;
    fParticles = particles;
    fCapacity = capacity;
    return true;
}

bool ParticleLayer::SetNumParticles(int32_t total, int32_t preview)
{
    if (total < 0 || total > kMaxParticles)
        return false;
    if (total > fCapacity && !Reallocate(total))
        return false;
    fNumParticles = total;
    fPreviewParticles = std::min(preview, total);
    return true;
}

void ParticleLayer::GetNumParticles(int32_t& total, int32_t& preview) const
{
    total = fNumParticles;
    preview = fPreviewParticles;
}

void ParticleLayer::ComeBackTo(int32_t docFrame)
{
    SetCurFrame(0);
    if (docFrame != 0)
        SetCurFrame(docFrame);
}

void ParticleLayer::FinalizeSettings()
{
    const int32_t d = DocFrameOf(fCurFrame);
    fPreviewParticles = std::min(fPreviewParticles, fNumParticles);
    // A count that could not be allocated never stands: the reader and the setter refuse it.
    if (fNumParticles > fCapacity && !Reallocate(fNumParticles))
        fNumParticles = fCapacity;
    ComeBackTo(d);
}

void ParticleLayer::SetRandomSeed(int32_t seed)
{
    const int32_t d = DocFrameOf(fCurFrame);
    fSeed = seed;
    ComeBackTo(d);
}

void ParticleLayer::SetDirection(float direction, float spread)
{
    fStartDir = direction;
    fStartSpread = spread;
}

void ParticleLayer::GetDirection(float& direction, float& spread) const
{
    direction = fStartDir;
    spread = fStartSpread;
}

void ParticleLayer::SetVelocity(float velocity, float spread)
{
    fVelocity = velocity;
    fVelocitySpread = spread;
}

void ParticleLayer::GetVelocity(float& velocity, float& spread) const
{
    velocity = fVelocity;
    spread = fVelocitySpread;
}

void ParticleLayer::SetAcceleration(float angle, float rate)
{
    fAccelAngle = angle;
    fAccelRate = rate;
}

void ParticleLayer::GetAcceleration(float& angle, float& rate) const
{
    angle = fAccelAngle;
    rate = fAccelRate;
}

int32_t ParticleLayer::AnimDuration()
{
    // The templates' own keys do not make the layer longer.
    return std::max(fActivation.Duration(), VornLayer::AnimDuration());
}

int32_t ParticleLayer::CountChannels()
{
    return 1 + GroupLayer::CountChannels();
}

void ParticleLayer::GetChannelInfo(int32_t row, ChannelInfo& info)
{
    if (row != 0) {
        GroupLayer::GetChannelInfo(row - 1, info);
        return;
    }
    info.Reset();
    info.fID = 10050;
    info.SetLook("channel_particle", "/Animation/Channels/ParticlesOnOff=Particles On/Off");
    info.fSeparator = true;
    info.fBoolGroup = true;
    info.fVisibilityRow = true;
}

AnimChannel* ParticleLayer::GetChannel(int32_t row, int32_t sub, VornDoc* doc)
{
    if (row != 0)
        return GroupLayer::GetChannel(row - 1, sub, doc);
    return &fActivation;
}
