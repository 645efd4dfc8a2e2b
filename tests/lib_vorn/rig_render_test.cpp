// Whole frames of bone, switch and particle layers through the frame render job, checked where
// the model says the shapes must land: a 64 x 48 document maps (x, y) to the pixel
// (32 + 24 x, 24 - 24 y) over a white background.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "../graphics/image_test_support.h"
#include "bonelayer.h"
#include "drawing_support.h"
#include "image_file.h"
#include "image_format_registry.h"
#include "meshlayer.h"
#include "particlelayer.h"
#include "render_job.h"
#include "shape_render_support.h"
#include "skeleton_test_support.h"
#include "switchlayer.h"

namespace {

constexpr rgb_color kSquareRed { 220, 30, 20, 255 };
constexpr rgb_color kSquareBlue { 20, 40, 220, 255 };
constexpr rgb_color kSparkGreen { 20, 200, 40, 255 };
constexpr float kQuarterTurn = 1.5707964f;

struct Rgb {
    int r, g, b;
    bool Red() const { return r > 180 && g < 90 && b < 90; }
    bool Blue() const { return b > 180 && r < 90 && g < 110; }
    bool Green() const { return g > 160 && r < 90 && b < 110; }
    bool White() const { return r > 245 && g > 245 && b > 245; }
};

class FrameRender {
public:
    FrameRender()
    {
        BuildBlendTables();
        doc.SetShape(64, 48);
        EXPECT_EQ(frame.Allocate(64, 48, 32), 0);
    }

    void Render(int32_t at)
    {
        RenderSettings settings;
        settings.SetDefaults();
        settings.fDoc = &doc;
        settings.fImage = &frame;
        settings.fStartFrame = at;
        settings.fEndFrame = at;
        RenderJob job;
        job.fSettings = &settings;
        job.fFrame = at;
        while (job.RenderFrame()) { }
        ASSERT_EQ(job.LastStatus(), 0) << job.LastError().CString();
    }

    Rgb At(float x, float y) const
    {
        const uint8_t* p = ShapeBench::At(frame, int32_t(std::lround(32 + 24 * x)), int32_t(std::lround(24 - 24 * y)));
        return Rgb { p[2], p[1], p[0] };
    }

    VornDoc doc;
    QV_BaseImage frame;
};

MeshLayer* SquareLayer(const char* name, float x, float y, float half, rgb_color fill)
{
    MeshLayer* layer = new MeshLayer;
    layer->SetName(name);
    AddSquare(layer->fMesh, x - half, y - half, x + half, y + half, fill);
    return layer;
}

} // namespace

TEST(RigRender, BoundSquareTurnsWithItsBone)
{
    FrameRender r;
    BoneLayer* rig = new BoneLayer;
    M_Bone* bone = AddRestBone(rig->fSkeleton, -1, QV_Vector2 { 0, 0 }, 0, 1);
    bone->fAnimAngle.SetValue(1, 0);
    bone->fAnimAngle.SetValue(10, kQuarterTurn);
    MeshLayer* arm = SquareLayer("Arm", 0.5f, 0, 0.15f, kSquareRed);
    for (int32_t i = 0; i < arm->fMesh.fNumPoints; i++)
        arm->fMesh.fPoints[i]->fParent = 0;
    rig->AddLayer(arm);
    r.doc.AddLayer(rig);

    for (const int32_t frame : { 1, 5, 10 }) {
        SCOPED_TRACE(frame);
        r.Render(frame);
        const float a = bone->fAnimAngle.GetValue(frame);
        const float c = std::cos(a), s = std::sin(a);
        // The square's centre and a corner region turn about the bone's base.
        EXPECT_TRUE(r.At(0.5f * c, 0.5f * s).Red());
        EXPECT_TRUE(r.At(0.6f * c - 0.1f * s, 0.6f * s + 0.1f * c).Red());
        // Where the square stands at the other end of the turn stays empty.
        const float other = frame == 10 ? 0 : kQuarterTurn;
        if (std::fabs(other - a) > 0.8f) {
            EXPECT_TRUE(r.At(0.5f * std::cos(other), 0.5f * std::sin(other)).White());
        }
    }
}

TEST(RigRender, SwitchShowsOneSubLayerOrBlendsTowardsTheNext)
{
    struct Case {
        int32_t frame;
        bool blend;
        // What the left, middle and right places show: 'r', 'b' or ' '.
        const char* expected;
    };
    const Case cases[] = {
        { 1, false, "r  " },
        { 4, false, "r  " },
        { 10, false, "  b" },
        { 12, false, "  b" },
        // Halfway to the next key the shown square has moved halfway over.
        { 5, true, " r " },
        { 10, true, "  b" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.frame << (c.blend ? " blended" : ""));
        FrameRender r;
        SwitchLayer* mouth = new SwitchLayer;
        mouth->AddLayer(SquareLayer("Left", -0.6f, 0, 0.15f, kSquareRed));
        mouth->AddLayer(SquareLayer("Right", 0.6f, 0, 0.15f, kSquareBlue));
        mouth->fSwitchValues.SetValue(0, QV_String("Left"));
        mouth->fSwitchValues.SetValue(10, QV_String("Right"));
        mouth->SetInterpMode(c.blend);
        r.doc.AddLayer(mouth);
        r.Render(c.frame);
        const float xs[3] = { -0.6f, 0, 0.6f };
        for (int32_t k = 0; k < 3; k++) {
            const Rgb p = r.At(xs[k], 0);
            const char seen = p.Red() ? 'r' : p.Blue() ? 'b' : p.White() ? ' ' : '?';
            EXPECT_EQ(seen, c.expected[k]) << "place " << k;
        }
    }
}

namespace {

// Thirty particles of a green square about five pixels wide; full start on, so the first frames
// show trails.
ParticleLayer* Sparks(VornDoc& doc)
{
    ParticleLayer* sparks = new ParticleLayer;
    doc.AddLayer(sparks);
    sparks->AddLayer(SquareLayer("Spark", 0, 0, 0.1f, kSparkGreen));
    sparks->SetNumParticles(30, 10);
    sparks->SetVelocity(1.5f, 0.5f);
    sparks->SetDirection(kQuarterTurn, 1.0f);
    sparks->SetAcceleration(3 * kQuarterTurn, 1.0f);
    sparks->SetRandomSeed(1234);
    return sparks;
}

} // namespace

TEST(RigRender, EveryReleasedParticleShowsItsTemplateWhereItIs)
{
    FrameRender r;
    ParticleLayer* sparks = Sparks(r.doc);
    for (const int32_t frame : { 1, 6, 12 }) {
        SCOPED_TRACE(frame);
        r.Render(frame);
        int32_t checked = 0;
        for (int32_t i = 0; i < 30; i++) {
            const ParticleState& p = sparks->Particle(i);
            if (!p.fActive || std::fabs(p.fPos.x) > 1.2f || std::fabs(p.fPos.y) > 0.9f)
                continue;
            EXPECT_TRUE(r.At(p.fPos.x, p.fPos.y).Green()) << "particle " << i;
            checked++;
        }
        EXPECT_GE(checked, 10);
        // The corners are far from every path.
        EXPECT_TRUE(r.At(-1.25f, -0.9f).White());
        EXPECT_TRUE(r.At(1.25f, -0.9f).White());
    }
}

TEST(RigRender, OneSeedRendersTheSameParticlesInTwoProcesses)
{
    ScratchFolder folder;
    {
        VornDoc doc;
        doc.SetShape(64, 48);
        Sparks(doc);
        doc.SetPath((folder / "sparks.celv").c_str());
        ASSERT_EQ(doc.Save(nullptr), 0);
    }
    auto render = [&](const char* name) {
        const std::string out = folder / name;
        const CommandResult run
            = RunCommand(std::string(CELVANE_RENDER_FRAMES) + " '" + (folder / "sparks.celv") + "' 7 7 '" + out + "'");
        EXPECT_EQ(WEXITSTATUS(run.status), 0) << run.output;
        std::ifstream in(out.substr(0, out.size() - 4) + "0007.png", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string first = render("first.png");
    const std::string second = render("second.png");
    ASSERT_FALSE(first.empty());
    EXPECT_TRUE(first == second) << "the two processes drew different particles";

    // The frame holds the particles: green wherever the model of this process puts them.
    ImageFormatRegistry::Init();
    QV_BaseImage image;
    ASSERT_EQ(LoadImageFile((folder / "first0007.png").c_str(), image, 0), 0);
    VornDoc doc;
    ParticleLayer* sparks = Sparks(doc);
    for (int32_t f = 1; f <= 7; f++)
        doc.SetCurFrame(f);
    int32_t checked = 0;
    for (int32_t i = 0; i < 30; i++) {
        const ParticleState& p = sparks->Particle(i);
        if (!p.fActive || std::fabs(p.fPos.x) > 1.2f || std::fabs(p.fPos.y) > 0.9f)
            continue;
        const uint8_t* px
            = ShapeBench::At(image, int32_t(std::lround(32 + 24 * p.fPos.x)), int32_t(std::lround(24 - 24 * p.fPos.y)));
        EXPECT_TRUE((Rgb { px[2], px[1], px[0] }).Green()) << "particle " << i;
        checked++;
    }
    EXPECT_GE(checked, 10);
}
