#include "blend_tables.h"
#include "composite_modes.h"
#include "owned_raster.h"

#include <gtest/gtest.h>

namespace {

using Composite = void (*)(QV_PixelBuffer&, const QV_PixelBuffer&, int32_t, int32_t, bool);

// The destination pixel after compositing one source pixel onto it.
uint32_t CompositeOne(Composite composite, uint32_t source, uint32_t destination, bool merge = false)
{
    OwnedRaster s(1, 1, 32);
    s.Set32(0, 0, source);
    OwnedRaster d(1, 1, 32);
    d.Set32(0, 0, destination);
    composite(s.buffer, d.buffer, 0, 0, merge);
    return d.Get32(0, 0);
}

uint32_t Grey(uint32_t alpha, uint32_t v)
{
    return Pixel32(alpha, v, v, v);
}

} // namespace

class CompositeModes : public ::testing::Test {
protected:
    void SetUp() override { BuildBlendTables(); }
};

TEST_F(CompositeModes, OverlayBranchesOnTheDestination)
{
    EXPECT_EQ(CompositeOne(CompositeOverlay, Grey(255, 255), Grey(40, 127)), Grey(40, 253));
    EXPECT_EQ(CompositeOne(CompositeOverlay, Grey(255, 0), Grey(40, 128)), Grey(40, 2));
    EXPECT_EQ(CompositeOne(CompositeOverlay, Grey(255, 0), Grey(40, 127)), Grey(40, 0));
}

TEST_F(CompositeModes, PerChannelModes)
{
    struct Case {
        const char* name;
        Composite composite;
        uint32_t source;
        uint32_t destination;
        uint32_t expected;
    };
    const uint32_t colour = Pixel32(90, 12, 130, 250);
    const Case cases[] = {
        { "multiply by white", CompositeMultiply, Grey(255, 255), colour, colour },
        { "multiply", CompositeMultiply, Pixel32(255, 128, 255, 0), colour,
            Pixel32(90, BlendMulTable[128][12], 130, 0) },
        { "screen by black", CompositeScreen, Grey(255, 0), colour, colour },
        { "screen by white", CompositeScreen, Grey(255, 255), colour, Pixel32(90, 255, 255, 255) },
        { "add saturates", CompositeAdd, Pixel32(255, 10, 130, 10), colour, Pixel32(90, 22, 255, 255) },
        { "difference", CompositeDifference, Pixel32(255, 20, 100, 255), colour, Pixel32(90, 8, 30, 5) },
        { "colour of grey", CompositeColor, Grey(255, 30), Pixel32(90, 255, 0, 0), Grey(90, 128) },
        { "saturation of grey", CompositeSaturation, Grey(255, 200), Pixel32(90, 255, 0, 0), Grey(90, 128) },
        { "luminosity of white", CompositeLuminosity, Grey(255, 255), colour, Pixel32(90, 255, 255, 255) },
        { "hue of red", CompositeHue, Pixel32(255, 255, 0, 0), Pixel32(90, 0, 255, 0),
            Pixel32(90, 255, 1, 1) },
    };
    for (const Case& c : cases)
        EXPECT_EQ(CompositeOne(c.composite, c.source, c.destination), c.expected) << c.name;
}

TEST_F(CompositeModes, PartialAlphaMixesTheBlendAndMergesAlpha)
{
    const uint32_t destination = Grey(0, 100);
    // Difference of 250 and 100 is 150, mixed at 128 with the destination 100.
    const uint32_t mixed = BlendMulTable[128][150] + BlendMulTable[127][100];
    EXPECT_EQ(CompositeOne(CompositeDifference, Grey(128, 250), destination, true), Grey(128, mixed));
    EXPECT_EQ(CompositeOne(CompositeDifference, Grey(128, 250), destination, false), Grey(0, mixed));
    EXPECT_EQ(CompositeOne(CompositeDifference, Grey(0, 250), destination, true), destination);
    EXPECT_EQ(CompositeOne(CompositeMultiply, Grey(255, 0), destination, true), Grey(255, 0));
}

TEST_F(CompositeModes, BlendModeSelectsTheOperation)
{
    OwnedRaster s(1, 1, 32);
    s.Set32(0, 0, Grey(255, 128));
    auto run = [&s](int32_t mode) {
        OwnedRaster d(1, 1, 32);
        d.Set32(0, 0, Grey(255, 100));
        CompositeRasterMode(mode, s.buffer, d.buffer, 0, 0, false);
        return d.Get32(0, 0);
    };
    EXPECT_EQ(run(BM_NORMAL), Grey(255, 128));
    EXPECT_EQ(run(BM_MULTIPLY), Grey(255, BlendMulTable[128][100]));
    EXPECT_EQ(run(BM_ADD), Grey(255, 228));
    EXPECT_EQ(run(BM_DIFFERENCE), Grey(255, 28));
    EXPECT_EQ(run(42), Grey(255, 128)) << "unknown modes composite as normal";
    EXPECT_EQ(run(-1), Grey(255, 128));
}

TEST_F(CompositeModes, OtherEqualDepthsAreCopiedPlainly)
{
    OwnedRaster s(1, 1, 16);
    s.Set16(0, 0, 0x1234);
    OwnedRaster d(2, 1, 16);
    CompositeScreen(s.buffer, d.buffer, 1, 0, true);
    EXPECT_EQ(d.Get16(1, 0), 0x1234);
    EXPECT_EQ(d.Get16(0, 0), 0);
}
