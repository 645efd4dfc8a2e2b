#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "channelinfo.h"
#include "drawing_support.h"
#include "format_version.h"
#include "layer_render_support.h"
#include "layerfactory.h"
#include "bonelayer.h"
#include "meshlayer.h"
#include "particlelayer.h"
#include "qv_memstream.h"
#include "skeleton_test_support.h"
#include "vorn_test_support.h"

namespace {

std::string RecordText(VornLayer& layer)
{
    QV_MemStream stream;
    stream.Open(0);
    layer.WriteRecord(&stream);
    return StreamText(stream);
}

std::unique_ptr<VornLayer> ReadLayer(const std::string& text, std::string* error = nullptr)
{
    QV_MemStream stream;
    FillStream(stream, text);
    stream.fVersion = kCurrentFormatVersion;
    std::unique_ptr<VornLayer> layer(LayerFactory(LT_PARTICLE));
    const bool ok = layer && layer->ReadRecord(&stream);
    if (error)
        *error = stream.fError.CString();
    if (!ok)
        layer.reset();
    return layer;
}

// A layer of 100 evenly spaced particles living 24 frames, seeded again at frame 0.
void Settle(ParticleLayer& layer, bool fullStart, int32_t lifetime = 24, int32_t seed = 7)
{
    layer.SetNumParticles(100, 20);
    layer.SetLifetime(lifetime);
    layer.SetEvenlySpaced(true);
    layer.SetFullSpeedStart(fullStart);
    layer.SetRandomSeed(seed);
}

void ExpectSameParticle(const ParticleMotion& a, const ParticleMotion& b)
{
    EXPECT_EQ(a.fActive, b.fActive);
    EXPECT_EQ(a.fAge, b.fAge);
    EXPECT_EQ(a.fInterval, b.fInterval);
    EXPECT_EQ(a.fPos.x, b.fPos.x);
    EXPECT_EQ(a.fPos.y, b.fPos.y);
    EXPECT_EQ(a.fVelocity.x, b.fVelocity.x);
    EXPECT_EQ(a.fVelocity.y, b.fVelocity.y);
}

} // namespace

TEST(ParticleLayer, RecordRoundTripsWithTemplates)
{
    ParticleLayer layer;
    layer.SetName("Sparks");
    layer.SetNumParticles(40, 10);
    layer.SetLifetime(12);
    layer.SetRandomSeed(1234);
    layer.SetEvenlySpaced(true);
    layer.SetSourceDimensions(QV_Vector3().Set(0.5f, 0.25f, 0.125f));
    layer.SetVelocity(3.5f, 0.25f);
    layer.SetFullSpeedStart(false);
    layer.RunningTrack()->SetValue(30, false);
    MeshLayer* spark = new MeshLayer;
    spark->SetName("spark");
    layer.AddLayer(spark);
    layer.FinalizeSettings();
    const std::string written = RecordText(layer);
    EXPECT_NE(written.find("### particle layer values"), std::string::npos);
    EXPECT_NE(written.find("num_particles 40"), std::string::npos);

    std::string error;
    std::unique_ptr<VornLayer> back = ReadLayer(written, &error);
    ASSERT_NE(back, nullptr) << error;
    ParticleLayer& read = static_cast<ParticleLayer&>(*back);
    int32_t total, preview;
    read.GetNumParticles(total, preview);
    EXPECT_EQ(total, 40);
    EXPECT_EQ(preview, 10);
    EXPECT_EQ(read.RandomSeed(), 1234);
    EXPECT_EQ(read.CountLayers(), 1);
    EXPECT_FALSE(read.RunningTrack()->GetValue(30));
    EXPECT_EQ(RecordText(read), written);
    // The written floats carry six decimals, so only the lives must match exactly.
    for (int32_t i = 0; i < 40; i++) {
        EXPECT_EQ(read.Particle(i).fActive, layer.Particle(i).fActive) << i;
        EXPECT_EQ(read.Particle(i).fAge, layer.Particle(i).fAge) << i;
        EXPECT_EQ(read.Particle(i).fInterval, layer.Particle(i).fInterval) << i;
        EXPECT_NEAR(read.Particle(i).fPos.y, layer.Particle(i).fPos.y, 1e-4f) << i;
    }
    EXPECT_EQ(read.Particle(0).fTemplate, read.Layer(0));
}

TEST(ParticleLayer, ChannelRowComesFirst)
{
    ParticleLayer layer;
    EXPECT_EQ(layer.CountChannels(), 22);
    ChannelInfo info;
    layer.GetChannelInfo(0, info);
    EXPECT_EQ(info.fID, 10050);
    EXPECT_TRUE(info.fBoolGroup);
    EXPECT_TRUE(info.fVisibilityRow);
    EXPECT_EQ(layer.GetChannel(0, 0, nullptr), layer.RunningTrack());
    EXPECT_EQ(layer.GetChannel(1, 0, nullptr), &layer.fLayerOrdering);
}

TEST(ParticleLayer, DamagedCountsAreReadErrors)
{
    const struct {
        std::string text;
        std::string error;
    } cases[] = {
        { "{\n\tnum_particles -1\n}\n", "Read error at line 2. In code file lib_vorn/particlelayer, line 99." },
        { "{\n\tnum_particles 2000000000\n}\n", "Read error at line 2. In code file lib_vorn/particlelayer, line 99." },
        { "{\n\tseed x\n}\n", "Read error at line 2. In code file lib_vorn/particlelayer, line 102." },
        { "{\n\tsource_shape 1 2\n}\n", "Read error at line 3. In code file lib_vorn/particlelayer, line 107." },
        { "{\n\tgroup_mask 1\n}\n", "Unknown keyword: group_mask at line 2" },
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_EQ(ReadLayer(c.text, &error), nullptr) << c.text;
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << error;
    }
}

TEST(ParticleLayer, HugeLifetimesAndCountsStayBounded)
{
    // A full start would run two billion frames for a hundred thousand particles.
    std::string error;
    std::unique_ptr<VornLayer> layer = ReadLayer(
        "{\n\tnum_particles 100000\n\tparticle_lifetime 2147483647\n\tstart_full true\n}\n", &error);
    ASSERT_NE(layer, nullptr) << error;
    ParticleLayer& p = static_cast<ParticleLayer&>(*layer);
    p.SetCurFrame(1);
    p.SetCurFrame(2);
    p.SetCurFrame(5);
    p.SetCurFrame(3);
    EXPECT_EQ(p.CurFrame(), 3);
}

TEST(ParticleLayer, EvenlySpacedReleaseFollowsTheIntervals)
{
    ParticleLayer layer;
    Settle(layer, false);
    layer.SetCurFrame(1);
    for (int32_t i = 0; i < 100; i++)
        EXPECT_EQ(layer.Particle(i).fActive, i % 24 == 0) << i;
    layer.SetCurFrame(2);
    for (int32_t i : { 1, 25, 49, 73, 97 })
        EXPECT_TRUE(layer.Particle(i).fActive) << i;
    EXPECT_FALSE(layer.Particle(2).fActive);
}

TEST(ParticleLayer, OneSeedGivesTheSameParticles)
{
    ParticleLayer a, b, other;
    Settle(a, true, 24, 99);
    Settle(b, true, 24, 99);
    Settle(other, true, 24, 100);
    for (int32_t frame = 1; frame <= 30; frame++) {
        a.SetCurFrame(frame);
        b.SetCurFrame(frame);
        other.SetCurFrame(frame);
    }
    for (int32_t i = 0; i < 100; i++)
        ExpectSameParticle(a.Particle(i), b.Particle(i));
    // Particle 0 is seeded with 0 whatever the seed.
    EXPECT_EQ(a.Particle(0).fSpawnVelocity.x, other.Particle(0).fSpawnVelocity.x);
    EXPECT_EQ(a.Particle(0).fSpawnVelocity.y, other.Particle(0).fSpawnVelocity.y);
    EXPECT_NE(a.Particle(1).fSpawnVelocity.x, other.Particle(1).fSpawnVelocity.x);
}

TEST(ParticleLayer, WithoutLifetimeParticlesNeverDie)
{
    ParticleLayer layer;
    Settle(layer, false, 0);
    std::vector<ParticleMotion> seeded(&layer.Particle(0), &layer.Particle(0) + 100);
    for (int32_t frame = 1; frame <= 200; frame++)
        layer.SetCurFrame(frame);
    for (int32_t i = 0; i < 100; i++) {
        const ParticleState& p = layer.Particle(i);
        EXPECT_TRUE(p.fActive) << i;
        // Released at frame 1 with one frame of age past the lifetime, then never again.
        EXPECT_EQ(p.fAge, 201) << i;
        EXPECT_EQ(p.fSpawnVelocity.x, seeded[i].fSpawnVelocity.x) << i;
        EXPECT_EQ(p.fSpawnPos.y, seeded[i].fSpawnPos.y) << i;
    }
}

TEST(ParticleLayer, SteppingBackRestoresAges)
{
    ParticleLayer layer;
    Settle(layer, true);
    for (int32_t frame = 1; frame <= 10; frame++)
        layer.SetCurFrame(frame);
    std::vector<ParticleMotion> at10(&layer.Particle(0), &layer.Particle(0) + 100);
    layer.SetCurFrame(11);
    layer.SetCurFrame(10);
    for (int32_t i = 0; i < 100; i++) {
        const ParticleState& p = layer.Particle(i);
        EXPECT_EQ(p.fActive, at10[i].fActive) << i;
        EXPECT_EQ(p.fAge, at10[i].fAge) << i;
        EXPECT_EQ(p.fTemplateFrame, at10[i].fTemplateFrame) << i;
    }
    // Back to frame 1 and forward again replays forward play exactly.
    layer.SetCurFrame(1);
    for (int32_t frame = 2; frame <= 10; frame++)
        layer.SetCurFrame(frame);
    for (int32_t i = 0; i < 100; i++)
        ExpectSameParticle(layer.Particle(i), at10[i]);
}

TEST(ParticleLayer, NegativeOffsetSeedsAtDocumentFrameZero)
{
    ParticleLayer layer;
    Settle(layer, false);
    layer.SetCurFrame(3);
    layer.SetTimingOffset(-5);
    layer.SetCurFrame(0);
    EXPECT_EQ(layer.CurFrame(), 0);
    std::vector<ParticleMotion> seeded(&layer.Particle(0), &layer.Particle(0) + 100);
    for (int32_t frame = 1; frame <= 4; frame++) {
        layer.SetCurFrame(frame);
        EXPECT_EQ(layer.CurFrame(), 0);
    }
    for (int32_t i = 0; i < 100; i++)
        ExpectSameParticle(layer.Particle(i), seeded[i]);
}

TEST(ParticleLayer, RecordsBeyondTheLastSeedingStayInactive)
{
    ParticleLayer layer;
    Settle(layer, false);
    layer.SetTimingOffset(3);
    // A larger count without a new seeding: the new records have no release period yet.
    ASSERT_TRUE(layer.SetNumParticles(150, 20));
    for (int32_t frame = 1; frame <= 5; frame++)
        layer.SetCurFrame(frame);
    for (int32_t i = 100; i < 150; i++)
        EXPECT_FALSE(layer.Particle(i).fActive) << i;
    EXPECT_FALSE(layer.SetNumParticles(-3, 0));
}

namespace {

// Renders the particle layer of a 40 x 40 document at a frame and counts the template passes.
int32_t RenderedParticles(bool reduced, int32_t* expected)
{
    RenderBench bench(40, 40, 4);
    ParticleLayer* layer = new ParticleLayer;
    bench.doc.AddLayer(layer);
    RectLayer* spark = new RectLayer(0, 0, 2, 2);
    layer->AddLayer(spark);
    Settle(*layer, false);
    bench.doc.fCurFrame = 5;
    bench.settings.fReducedParticles = reduced;
    layer->RenderItem(&bench.doc, &bench.graphics, &bench.buffer.buffer, &bench.scratch.buffer, 0, &bench.settings);
    *expected = 0;
    for (int32_t i = 0; i < 100; i++) {
        const ParticleState& p = layer->Particle(i);
        if (p.fActive && (p.fPreview || !reduced))
            (*expected)++;
    }
    return int32_t(spark->calls.size());
}

} // namespace

TEST(ParticleLayerRender, EveryReleasedParticleRendersItsTemplate)
{
    int32_t expected = 0;
    // Frames 1 to 5 release the particles of intervals 1 to 5: five of each of the first four,
    // four of interval 5 (particles 4, 28, 52 and 76).
    EXPECT_EQ(RenderedParticles(false, &expected), 24);
    EXPECT_EQ(expected, 24);
    const int32_t reduced = RenderedParticles(true, &expected);
    EXPECT_EQ(reduced, expected);
    EXPECT_LT(reduced, 24);
    EXPECT_GT(reduced, 0);
}

TEST(ParticleLayerRender, TheTemplatesOriginLandsOnTheParticle)
{
    RenderBench bench(40, 40, 4);
    ParticleLayer* layer = new ParticleLayer;
    bench.doc.AddLayer(layer);
    RectLayer* spark = new RectLayer(0, 0, 2, 2);
    spark->SetOrigin(QV_Vector2 { 1.0f, 0.5f });
    layer->AddLayer(spark);
    Settle(*layer, true);
    bench.doc.fCurFrame = 3;
    layer->RenderItem(&bench.doc, &bench.graphics, &bench.buffer.buffer, &bench.scratch.buffer, 0, &bench.settings);
    const ParticleState* last = nullptr;
    for (int32_t i = 0; i < 100; i++) {
        if (layer->Particle(i).fActive)
            last = &layer->Particle(i);
    }
    ASSERT_NE(last, nullptr);
    QV_Vector3 origin;
    origin.Set(1.0f, 0.5f, 0.0f);
    spark->fParticleMatrix.TransformAffine(origin);
    EXPECT_NEAR(origin.x, last->fPos.x, 1e-5f);
    EXPECT_NEAR(origin.y, last->fPos.y, 1e-5f);
    // Orient turns the template's upward axis along the motion.
    QV_Vector3 above;
    above.Set(1.0f, 1.5f, 0.0f);
    spark->fParticleMatrix.TransformAffine(above);
    const float speed = std::hypot(last->fVelocity.x, last->fVelocity.y);
    EXPECT_NEAR(above.x - origin.x, last->fVelocity.x / speed, 1e-4f);
    EXPECT_NEAR(above.y - origin.y, last->fVelocity.y / speed, 1e-4f);
}

TEST(ParticleLayerDraw, TheCurrentLayerOutlinesItsEmitter)
{
    EditorCanvas canvas;
    EditorColours colours({ { "VornColObj", rgb_color { 0, 0, 255, 255 } } });
    ParticleLayer* layer = new ParticleLayer;
    layer->SetSourceDimensions(QV_Vector3().Set(1.0f, 1.0f, 0.0f));
    canvas.doc.AddLayer(layer);
    canvas.doc.fSelLayer = layer;
    int32_t mode = DRAW_EDIT;
    layer->Draw(&canvas.doc, &canvas.graphics, nullptr, mode, layer, nullptr);
    auto blue = [](rgb_color c) { return c.b > 200 && c.r < 100; };
    // The ellipse of half-axes 0.5 passes pixels (75, 50), (50, 25), (25, 50) and (50, 75).
    EXPECT_GT(canvas.Count(blue, 73, 48, 77, 52), 0);
    EXPECT_GT(canvas.Count(blue, 48, 23, 52, 27), 0);
    EXPECT_GT(canvas.Count(blue, 23, 48, 27, 52), 0);
    EXPECT_GT(canvas.Count(blue, 48, 73, 52, 77), 0);
    EXPECT_EQ(canvas.Count(blue, 60, 60, 66, 66), 0);
}

TEST(ParticleLayer, SwitchedOffParticlesFinishTheirLivesAndWait)
{
    ParticleLayer layer;
    layer.RunningTrack()->SetValue(10, false);
    layer.RunningTrack()->SetValue(50, true);
    Settle(layer, false);
    for (int32_t frame = 1; frame <= 40; frame++)
        layer.SetCurFrame(frame);
    for (int32_t i = 0; i < 100; i++)
        EXPECT_FALSE(layer.Particle(i).fActive) << i;
    for (int32_t frame = 41; frame <= 50; frame++)
        layer.SetCurFrame(frame);
    // Intervals are i mod 24 + 1: those dividing 50 release again at once.
    for (int32_t i = 0; i < 100; i++)
        EXPECT_EQ(layer.Particle(i).fActive, 50 % (i % 24 + 1) == 0) << i;
}

namespace {

// A particle layer of four never-dying particles whose one template is a bone layer with an
// upright dynamic bone: each particle's motion swings the bone its own way.
struct SwingingParticles {
    explicit SwingingParticles(RenderBench& bench)
    {
        bench.doc.AddLayer(layer);
        rig = new BoneLayer;
        bone = AddRestBone(rig->fSkeleton, -1, QV_Vector2 { 0, 0 }, 1.5707964f, 0.2f);
        bone->fBoneDynamics.SetValue(0, true);
        bone->fSpringForce = 0;
        bone->fDampingForce = 0;
        bone->fTorqueForce = 1;
        layer->AddLayer(rig);
        layer->SetNumParticles(4, 1);
        layer->SetLifetime(0);
        layer->SetFullSpeedStart(false);
        layer->SetDirection(0.0f, 3.0f);
        layer->SetRandomSeed(11);
    }
    // The dynamic angle this particle's own state holds.
    float DynAngle(int32_t i)
    {
        rig->fSkeleton.RestoreDynamicsState(layer->Particle(i).fDynamics.get());
        return bone->fDynAngle;
    }
    ParticleLayer* layer = new ParticleLayer;
    BoneLayer* rig = nullptr;
    M_Bone* bone = nullptr;
};

} // namespace

TEST(ParticleLayerRender, EachParticleCarriesItsOwnBoneDynamics)
{
    // One layer renders all four particles, the other (the same seed) only the preview one.
    RenderBench all(40, 40, 4), one(40, 40, 4);
    SwingingParticles everyone(all), alone(one);
    one.settings.fReducedParticles = true;
    for (int32_t frame = 1; frame <= 6; frame++) {
        for (RenderBench* bench : { &all, &one }) {
            bench->doc.fCurFrame = frame;
            ParticleLayer* layer = bench == &all ? everyone.layer : alone.layer;
            layer->RenderItem(&bench->doc, &bench->graphics, &bench->buffer.buffer, &bench->scratch.buffer, 0,
                &bench->settings);
        }
    }
    ASSERT_TRUE(everyone.layer->Particle(0).fPreview);
    ASSERT_TRUE(everyone.layer->Particle(0).fDynamics);
    // Particle 0 swung exactly as it does alone, whatever the others did with the shared template.
    EXPECT_EQ(StreamText(*everyone.layer->Particle(0).fDynamics), StreamText(*alone.layer->Particle(0).fDynamics));
    const float angle0 = everyone.DynAngle(0);
    EXPECT_GT(std::fabs(angle0 - 1.5707964f), 1e-3f) << "the bone lags behind its moving particle";
    for (int32_t i = 1; i < 4; i++) {
        ASSERT_TRUE(everyone.layer->Particle(i).fDynamics) << i;
        EXPECT_NE(everyone.DynAngle(i), angle0) << i;
    }

    // Seeding again starts every particle's dynamics afresh.
    all.doc.fCurFrame = 0;
    everyone.layer->SetCurFrame(0);
    EXPECT_FALSE(everyone.layer->Particle(0).fDynamics->IsOpen());
}
