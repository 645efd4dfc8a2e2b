// The particle simulation: seeding at layer frame 0, exact forward steps, approximate backward
// steps, and the depth sort. The order of the random draws is part of the document format.

#include <algorithm>
#include <cmath>

#include "particlelayer.h"
#include "interpsetting.h"
#include "qv_random.h"
#include "vorndoc.h"

namespace {

// Lifetimes beyond this many frames (over eleven hours at 24 fps) behave as this one: ages stay
// far from overflow and rebuilding a life stays cheap.
constexpr int32_t kLifetimeCap = 1 << 20;

float R()
{
    return float(QV_Rand()) / float(kQVRandMax);
}

float S()
{
    return R() * 2.0f - 1.0f;
}

// The generator's seeds are 32-bit products that wrap.
uint32_t SeedOf(int32_t seed, int32_t a, int32_t b)
{
    return uint32_t(seed) * uint32_t(a) * uint32_t(b);
}

bool Releases(const ParticleState& p, int32_t frame)
{
    // Records made by a larger count have no interval until the next seeding.
    return !p.fActive && p.fInterval > 0 && frame % p.fInterval == 0;
}

int32_t Life(int32_t lifetime)
{
    return std::min(lifetime, kLifetimeCap);
}

} // namespace

QV_Vector2 ParticleLayer::Acceleration() const
{
    QV_Vector2 a;
    a.Set(std::cos(fAccelAngle) * fAccelRate / fFps, std::sin(fAccelAngle) * fAccelRate / fFps);
    return a;
}

void ParticleLayer::Move(ParticleState& p, const QV_Vector2& accel)
{
    p.fPos.x += p.fVelocity.x / fFps;
    p.fPos.y += p.fVelocity.y / fFps;
    if (fDamping > 1e-6f) {
        p.fVelocity.x -= p.fVelocity.x * fDamping / fFps;
        p.fVelocity.y -= p.fVelocity.y * fDamping / fFps;
    }
    p.fVelocity.x += accel.x;
    p.fVelocity.y += accel.y;
}

void ParticleLayer::Spawn(ParticleState& p)
{
    const float r = R() * 0.5f;
    const float theta = R() * 6.2831855f;
    p.fSpawnPos.x = std::cos(theta) * r * fSourceShape.x;
    p.fSpawnPos.y = std::sin(theta) * r * fSourceShape.y;
    p.fSpawnPos.z = S() * fSourceShape.z * 0.5f;
    p.fPos = p.fSpawnPos;
    const float d = S() * fStartSpread + fStartDir;
    const float s = S() * fVelocitySpread + fVelocity;
    p.fSpawnVelocity.Set(std::cos(d) * s, std::sin(d) * s);
    p.fVelocity = p.fSpawnVelocity;
}

int32_t ParticleLayer::StartFrame(int32_t atAge)
{
    return fRandomStartTime ? QV_Rand() % 4096 : atAge;
}

VornLayer* ParticleLayer::PickTemplate()
{
    if (fLayers.fCount == 0)
        return nullptr;
    return static_cast<VornLayer*>(fLayers.fItems[QV_Rand() % fLayers.fCount]);
}

void ParticleLayer::Seed(const QV_Matrix& m0)
{
    const int32_t n = fNumParticles;
    const int32_t life = Life(fLifetime);
    for (int32_t i = 0; i < n; i++) {
        ParticleState& p = fParticles[i];
        QV_SRand(SeedOf(fSeed, i, i));
        Spawn(p);
        if (life < 1)
            p.fInterval = 1;
        else if (fEvenlySpaced)
            p.fInterval = n > life ? i % life + 1 : int32_t(int64_t(life) * i / n) + 1;
        else
            p.fInterval = QV_Rand() % life + 1;
        p.fAge = 0;
        p.fTemplateFrame = StartFrame(0);
        p.fActive = false;
        p.fPreview = i < fPreviewParticles;
        p.fEmitterTransform = m0;
        p.fTemplate = PickTemplate();
        if (p.fDynamics)
            p.fDynamics->Close();
    }
    SpreadPreview();
    if (fStartFull && fActivation.GetValue(0))
        RunFullStart();
}

void ParticleLayer::SpreadPreview()
{
    const int32_t n = fNumParticles;
    const int32_t p = fPreviewParticles;
    if (!fEvenlySpaced || p <= 0 || p >= n)
        return;
    const float ratio = float(n) / float(p);
    for (int32_t k = 0; k < p; k++) {
        const int64_t j = std::clamp<int64_t>(std::llround(double(k * ratio)) % n, 0, n - 1);
        std::swap(fParticles[k].fPreview, fParticles[j].fPreview);
    }
}

void ParticleLayer::RunFullStart()
{
    const int32_t life = Life(fLifetime);
    // Running a whole lifetime ahead for every particle is bounded: beyond the budget the start
    // runs fewer frames, which only shortens the trails the first frame shows.
    const int64_t budget = kMaxFullStartSteps / std::max(fNumParticles, 1);
    const int32_t frames = int32_t(std::clamp<int64_t>(life < 1 ? 1 : life, 1, std::max<int64_t>(budget, 1)));
    const QV_Vector2 accel = Acceleration();
    for (int32_t k = 1; k <= frames; k++) {
        for (int32_t i = 0; i < fNumParticles; i++) {
            ParticleState& p = fParticles[i];
            if (Releases(p, k))
                p.fActive = true;
            if (!p.fActive)
                continue;
            p.fAge++;
            p.fTemplateFrame++;
            if (p.fAge > life && life > 0) {
                p.fAge = 1;
                p.fTemplateFrame = StartFrame(1);
                p.fPos = p.fSpawnPos;
                p.fVelocity = p.fSpawnVelocity;
            }
            Move(p, accel);
        }
    }
}

void ParticleLayer::StepForward(int32_t t, const QV_Matrix& m0, const QV_Matrix& m1, const QV_Matrix& inverse)
{
    const int32_t life = Life(fLifetime);
    const bool on = fActivation.value;
    const QV_Vector2 accel = Acceleration();
    for (int32_t i = 0; i < fNumParticles; i++) {
        ParticleState& p = fParticles[i];
        if (Releases(p, t) && on) {
            p.fActive = true;
            p.fAge = life + 1;
            p.fTemplateFrame = StartFrame(life + 1);
        }
        if (!p.fActive)
            continue;
        p.fAge++;
        p.fTemplateFrame++;
        if (p.fAge > life && life > 0) {
            if (!on) {
                p.fActive = false;
                continue;
            }
            QV_SRand(SeedOf(fSeed, i, t));
            p.fAge = 1;
            p.fTemplateFrame = StartFrame(1);
            Spawn(p);
            if (fFreeFloating) {
                QV_Vector2 p0, p1, origin;
                p0.Set(p.fSpawnPos.x, p.fSpawnPos.y);
                p1 = p0;
                m0.Transform(p0);
                m1.Transform(p1);
                QV_Vector2 w;
                w.Set((p0.x - p1.x) * fFps * 0.5f, (p0.y - p1.y) * fFps * 0.5f);
                inverse.Transform(w);
                inverse.Transform(origin);
                p.fVelocity.x += w.x - origin.x;
                p.fVelocity.y += w.y - origin.y;
            }
            p.fEmitterTransform = m0;
            p.fTemplate = PickTemplate();
        }
        Move(p, accel);
    }
}

void ParticleLayer::StepBackwardAt(ParticleState& p, int32_t i, int32_t k)
{
    const int32_t life = Life(fLifetime);
    if (Releases(p, k) && fActivation.GetValue(k)) {
        p.fActive = true;
        p.fAge = -1;
        p.fTemplateFrame = StartFrame(-1);
    }
    if (!p.fActive)
        return;
    p.fAge--;
    p.fTemplateFrame--;
    const QV_Vector2 accel = Acceleration();
    if (p.fAge < 1 && life > 0) {
        const int32_t j = k - life + 1;
        if (!fActivation.GetValue(j)) {
            p.fActive = false;
            return;
        }
        QV_SRand(SeedOf(fSeed, j, i));
        p.fAge = life;
        p.fTemplateFrame = StartFrame(life);
        Spawn(p);
        GetFullTransform(DocFrameOf(j), p.fEmitterTransform, fDoc);
        const int64_t frames = int64_t(k) + 1 - j + 1;
        if (frames <= 4096) {
            for (int64_t f = 0; f < frames; f++) {
                p.fPos.x += p.fVelocity.x / fFps;
                p.fPos.y += p.fVelocity.y / fFps;
                p.fVelocity.x += accel.x;
                p.fVelocity.y += accel.y;
            }
        } else {
            // The same uniform acceleration in closed form: long lives stay cheap.
            const float m = float(frames);
            const float ramp = m * (m - 1.0f) * 0.5f;
            p.fPos.x += (p.fVelocity.x * m + accel.x * ramp) / fFps;
            p.fPos.y += (p.fVelocity.y * m + accel.y * ramp) / fFps;
            p.fVelocity.x += accel.x * m;
            p.fVelocity.y += accel.y * m;
        }
        p.fTemplate = PickTemplate();
    }
    p.fVelocity.x -= accel.x;
    p.fVelocity.y -= accel.y;
    p.fPos.x -= p.fVelocity.x / fFps;
    p.fPos.y -= p.fVelocity.y / fFps;
}

void ParticleLayer::StepBackward(int32_t t, int32_t last)
{
    for (int32_t i = 0; i < fNumParticles; i++) {
        StepBackwardAt(fParticles[i], i, last - 1);
        if (t < last - 1)
            StepBackwardAt(fParticles[i], i, t);
    }
}

void ParticleLayer::DepthSortParticles()
{
    if (std::fabs(fSourceShape.z) <= 1e-6f)
        return;
    QV_Vector3 eye;
    eye.Set(0.0f, 0.0f, 1.7321f);
    if (fDoc)
        eye = fDoc->fCameraTrack.value;
    auto key = [&eye](const ParticleState& p) {
        const float dx = p.fPos.x - eye.x, dy = p.fPos.y - eye.y, dz = p.fPos.z - eye.z;
        return dx * dx + dy * dy + dz * dz;
    };
    for (int32_t i = 1; i < fNumParticles; i++) {
        for (int32_t j = i; j > 0 && key(fParticles[j - 1]) + 1e-6f < key(fParticles[j]); j--)
            std::swap(fParticles[j - 1], fParticles[j]);
    }
}

void ParticleLayer::SetCurFrame(int32_t a)
{
    const int32_t offset = TotalTimingOffset();
    const int64_t t = int64_t(a) + offset;
    const int32_t last = fCurFrame;
    if (t < 0) {
        if (a == 0)
            SetCurFrame(ClampFrame(-int64_t(offset)));
        return;
    }
    if (t > int64_t(last) + 1) {
        for (int64_t f = int64_t(last) - offset + 1; f <= a; f++)
            SetCurFrame(int32_t(f));
        return;
    }
    if (fReading)
        return;
    if (fDoc)
        fFps = fDoc->Fps();
    QV_Matrix m0, m1;
    GetFullTransform(a, m0, fDoc);
    if (t > 0)
        GetFullTransform(a - 1, m1, fDoc);
    else
        m1 = m0;
    QV_Matrix inverse = m0;
    inverse.Invert();
    fActivation.SetCurFrame(int32_t(t));
    if (t == 0) {
        Seed(m0);
    } else if (t == int64_t(last) + 1) {
        StepForward(int32_t(t), m0, m1, inverse);
    } else if (t == last) {
    } else if (t == 1) {
        SetCurFrame(ClampFrame(-int64_t(offset)));
        SetCurFrame(ClampFrame(1 - int64_t(offset)));
        return;
    } else {
        StepBackward(int32_t(t), last);
    }
    DepthSortParticles();
    GroupLayer::SetCurFrame(a);
}
