#include "qv_raster3d.h"
#include "raster_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

namespace {

struct Clip {
    float x, y, z, w;
};

RasterPolygon ClipPolygon(uint8_t kind, std::initializer_list<Clip> points)
{
    RasterPolygon list {};
    list.kind = kind;
    for (const Clip& c : points) {
        RasterVertex& v = list.vertices[list.count++];
        v.x = c.x;
        v.y = c.y;
        v.z = c.z;
        v.w = c.w;
    }
    return list;
}

// A square over most of the view at one depth, counter-clockwise with y up.
RasterPolygon Square(uint8_t kind, float z, float half = 0.5f)
{
    return ClipPolygon(
        kind, { { -half, -half, z, 1 }, { half, -half, z, 1 }, { half, half, z, 1 }, { -half, half, z, 1 } });
}

constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kGreen = 0xFF00FF00u;
constexpr uint32_t kBlue = 0xFF0000FFu;

struct Raster3DFixture : ::testing::Test {
    Raster3DFixture()
        : target(64, 64, 32)
    {
        raster.AttachTarget(target.buffer);
        raster.SetColor(255, 0, 0);
    }
    uint32_t Centre() { return target.Get32(32, 32); }
    OwnedRaster target;
    QV_Raster3D raster;
};

TEST_F(Raster3DFixture, ClippingRemovesAndAddsVertices)
{
    // Every vertex beyond w - z = 0.
    RasterPolygon behind = ClipPolygon(kRasterFlat, { { 0, 0, 2, 1 }, { 0.5f, 0, 2, 1 }, { 0, 0.5f, 2, 1 } });
    raster.DrawPolygon(behind);
    EXPECT_TRUE(Painted(target).empty());

    // One vertex beyond w + y = 0: a vertex more.
    RasterPolygon one
        = ClipPolygon(kRasterFlat, { { 0, -1.5f, 0, 1 }, { 0.5f, 0.5f, 0, 1 }, { -0.5f, 0.5f, 0, 1 } });
    raster.DrawPolygon(one);
    EXPECT_EQ(one.count, 4);

    // A different vertex beyond each of two planes: five.
    RasterPolygon two
        = ClipPolygon(kRasterFlat, { { 0, 1.5f, 0, 1 }, { 0.5f, -1.5f, 0, 1 }, { -0.8f, 0, 0, 1 } });
    raster.DrawPolygon(two);
    EXPECT_EQ(two.count, 5);
    for (int32_t i = 0; i < two.count; i++) {
        EXPECT_GE(two.vertices[i].y, -0.5f) << "divided, mapped: every vertex on the raster";
        EXPECT_LE(two.vertices[i].y, 64.5f);
    }

    // Wholly inside: the list keeps its vertices (divided and mapped).
    RasterPolygon inside = Square(kRasterFlat, 0);
    raster.DrawPolygon(inside);
    EXPECT_EQ(inside.count, 4);
    EXPECT_EQ(Centre(), kRed);
}

TEST_F(Raster3DFixture, EightVerticesThatClippingTurnsIntoTwelveAreDrawnInPieces)
{
    OwnedRaster wide(128, 64, 32);
    raster.AttachTarget(wide.buffer);
    // An octagon larger than the view whose depth follows x: the depth planes cut it at x = +-1,
    // the row planes at y = +-1, each cut turning one vertex into two.
    RasterPolygon list {};
    list.kind = kRasterFlat;
    list.count = 8;
    for (int32_t i = 0; i < 8; i++) {
        const float a = static_cast<float>(i) * 0.785398163f;
        RasterVertex& v = list.vertices[i];
        v.x = 1.3f * std::cos(a);
        v.y = 1.3f * std::sin(a);
        v.z = v.x;
        v.w = 1;
    }
    raster.DrawPolygon(list);
    EXPECT_LE(list.count, RasterPolygon::kMaxVertices);
    auto at = [&wide](float x, float y) {
        return wide.Get32(static_cast<int32_t>(64 + x * 32), static_cast<int32_t>(32 - y * 32));
    };
    EXPECT_EQ(at(0, 0), kRed);
    EXPECT_EQ(at(0.9f, 0), kRed);
    EXPECT_EQ(at(-0.9f, 0), kRed);
    EXPECT_EQ(at(0.9f, 0.8f), kRed);
    EXPECT_EQ(at(-0.9f, -0.8f), kRed);
    EXPECT_EQ(at(0, 0.97f), kRed);
    EXPECT_EQ(at(1.1f, 0), 0u) << "cut by the depth plane";
    EXPECT_EQ(at(-1.1f, 0), 0u);
    EXPECT_EQ(at(0.97f, 0.97f), 0u) << "outside the octagon";

    // More than the record holds is refused outright.
    RasterPolygon bad = Square(kRasterFlat, 0);
    bad.count = 9;
    OwnedRaster fresh(64, 64, 32);
    raster.AttachTarget(fresh.buffer);
    raster.DrawPolygon(bad);
    EXPECT_TRUE(Painted(fresh).empty());
}

TEST_F(Raster3DFixture, OnlyStrictlyNearerPixelsAreWritten)
{
    RasterPolygon first = Square(kRasterFlat, 0.25f);
    raster.DrawPolygon(first);
    raster.SetColor(0, 255, 0);
    RasterPolygon same = Square(kRasterFlat, 0.25f);
    raster.DrawPolygon(same);
    EXPECT_EQ(Centre(), kRed) << "equal depth fails the test";
    RasterPolygon farther = Square(kRasterFlat, 0.2f);
    raster.DrawPolygon(farther);
    EXPECT_EQ(Centre(), kRed);
    RasterPolygon nearer = Square(kRasterFlat, 0.3f);
    raster.DrawPolygon(nearer);
    EXPECT_EQ(Centre(), kGreen);
    EXPECT_EQ(raster.fDepthRows[32][32], static_cast<int32_t>(0.3f * 32768.0f * 65536.0f));
}

TEST_F(Raster3DFixture, DepthsSpanningMoreThanHalfTheRangeStepTheRightWay)
{
    // From far to near across ten pixels: the 16.16 difference does not fit 32 bits.
    RasterEdge left {}, right {};
    left.x = 0x8000;
    right.x = 11 * 65536 + 0x8000;
    left.z = -30000 * 65536;
    right.z = 30000 * 65536;
    raster.FillSpan(5, left, right, kRasterFlat);
    EXPECT_EQ(raster.fDepthRows[5][1], -30000 * 65536);
    EXPECT_EQ(raster.fDepthRows[5][6], 0);
    EXPECT_EQ(raster.fDepthRows[5][11], 30000 * 65536);
    for (int32_t x = 2; x <= 11; x++)
        EXPECT_GT(raster.fDepthRows[5][x], raster.fDepthRows[5][x - 1]) << x;
}

TEST_F(Raster3DFixture, ClearedDepthIsTheFarthestValue)
{
    for (int32_t y = 0; y < 64; y += 21)
        for (int32_t x = 0; x < 64; x += 13)
            EXPECT_EQ(raster.fDepthRows[y][x], QV_Raster3D::kEmptyDepth);
    EXPECT_EQ(QV_Raster3D::kEmptyDepth, -32760 * 65536);
    RasterPolygon back = Square(kRasterFlat, -1.0f);
    raster.DrawPolygon(back);
    EXPECT_EQ(Centre(), 0u) << "stored -32768, walked -32760: not nearer than empty";
    RasterPolygon justNearer = Square(kRasterFlat, -0.999f);
    raster.DrawPolygon(justNearer);
    EXPECT_EQ(Centre(), kRed);

    // The same size keeps the depths; another size starts over.
    raster.AttachTarget(target.buffer);
    EXPECT_NE(raster.fDepthRows[32][32], QV_Raster3D::kEmptyDepth);
    OwnedRaster other(32, 16, 32);
    raster.AttachTarget(other.buffer);
    EXPECT_EQ(raster.fDepthWidth, 32);
    EXPECT_EQ(raster.fDepthHeight, 16);
    EXPECT_EQ(raster.fDepthRows[8][16], QV_Raster3D::kEmptyDepth);
    raster.AttachTarget(target.buffer);
    raster.ClearDepth();
    EXPECT_EQ(raster.fDepthRows[32][32], QV_Raster3D::kEmptyDepth);
}

TEST_F(Raster3DFixture, FacesTurnedAwayAreDroppedOrDrawnFartherInTheEdgeColour)
{
    // The projection flips z, so that adding to world z moves away from the eye.
    QV_Matrix flip;
    flip.m[10] = -1;
    raster.SetProjection(false, flip, rgb_color { 0, 0, 255, 255 }, 0);

    // (0, 0), (1, 0), (0, 1) turn counter-clockwise with y up: a front face.
    RasterPolygon front = ClipPolygon(kRasterFlat, { { 0, 0, 0, 1 }, { 0.9f, 0, 0, 1 }, { 0, 0.9f, 0, 1 } });
    raster.DrawPolygon(front);
    EXPECT_EQ(target.Get32(36, 28), kRed);

    OwnedRaster second(64, 64, 32);
    raster.AttachTarget(second.buffer);
    RasterPolygon back
        = ClipPolygon(kRasterFlat, { { 0, 0, 0.2f, 1 }, { 0, 0.9f, 0.2f, 1 }, { 0.9f, 0, 0.2f, 1 } });
    raster.DrawPolygon(back);
    EXPECT_TRUE(Painted(second).empty()) << "no edge offset: dropped";

    raster.SetProjection(false, flip, rgb_color { 0, 0, 255, 255 }, 0.05f);
    RasterPolygon edge
        = ClipPolygon(kRasterFlat, { { 0, 0, 0.2f, 1 }, { 0, 0.9f, 0.2f, 1 }, { 0.9f, 0, 0.2f, 1 } });
    raster.DrawPolygon(edge);
    EXPECT_EQ(second.Get32(36, 28), kBlue);
    EXPECT_EQ(edge.kind, kRasterFlat);
    EXPECT_NEAR(edge.vertices[0].z, 0.15f * 32768, 1) << "pushed 0.05 away";

    // The front face at the same place is nearer than the pushed back face, in either order.
    RasterPolygon cover
        = ClipPolygon(kRasterFlat, { { 0, 0, 0.2f, 1 }, { 0.9f, 0, 0.2f, 1 }, { 0, 0.9f, 0.2f, 1 } });
    raster.DrawPolygon(cover);
    EXPECT_EQ(second.Get32(36, 28), kRed) << "the front colour again after the edge colour";
    RasterPolygon again
        = ClipPolygon(kRasterFlat, { { 0, 0, 0.2f, 1 }, { 0, 0.9f, 0.2f, 1 }, { 0.9f, 0, 0.2f, 1 } });
    raster.DrawPolygon(again);
    EXPECT_EQ(second.Get32(36, 28), kRed);

    // Clockwise fronts: the counter-clockwise triangle is now the back face, and dropped.
    OwnedRaster third(64, 64, 32);
    raster.AttachTarget(third.buffer);
    raster.SetProjection(true, flip, rgb_color { 0, 0, 255, 255 }, 0);
    RasterPolygon turned = ClipPolygon(kRasterFlat, { { 0, 0, 0, 1 }, { 0.9f, 0, 0, 1 }, { 0, 0.9f, 0, 1 } });
    raster.DrawPolygon(turned);
    EXPECT_TRUE(Painted(third).empty());
}

TEST_F(Raster3DFixture, TexturedKindsTestDepthToo)
{
    // Blue in the far half of the texture, green in the near half, on a square whose top lies three
    // times as far as its bottom.
    OwnedRaster texture = Texture32(1, 2, [](int32_t, int32_t y) { return y == 0 ? kBlue : kGreen; });
    raster.SetTexture(&texture.buffer);
    auto receding = [](uint8_t kind) {
        RasterPolygon list = ClipPolygon(kind,
            { { -0.5f, -0.5f, 0, 1 }, { 0.5f, -0.5f, 0, 1 }, { 1.5f, 1.5f, 0, 3 }, { -1.5f, 1.5f, 0, 3 } });
        const float uv[4][2] = { { 0, 1 }, { 1, 1 }, { 1, 0 }, { 0, 0 } };
        for (int i = 0; i < 4; i++) {
            list.vertices[i].u = uv[i][0];
            list.vertices[i].v = uv[i][1];
        }
        return list;
    };
    // Four tenths of the way down from the top the perspective-correct v is 2/3, the affine one 0.4.
    RasterPolygon perspective = receding(kRasterTexturePerspective);
    raster.DrawPolygon(perspective);
    EXPECT_EQ(target.Get32(32, 28), kGreen);
    raster.ClearDepth();
    RasterPolygon affine = receding(kRasterTexture);
    raster.DrawPolygon(affine);
    EXPECT_EQ(target.Get32(32, 28), kBlue);
    raster.ClearDepth();
    RasterPolygon filtered = receding(kRasterTexturePerspectiveFiltered);
    raster.DrawPolygon(filtered);
    // Filtered: the colours mix across the texel rows, the near one ruling low on the screen.
    const uint32_t low = target.Get32(32, 40), high = target.Get32(32, 17);
    EXPECT_GT((low >> 8) & 0xFF, low & 0xFF);
    EXPECT_GT(high & 0xFF, (high >> 8) & 0xFF);
    EXPECT_EQ(low >> 24, 0xFFu);

    // The alpha test writes neither pixel nor depth for texels of alpha 128 or less.
    OwnedRaster faint = Texture32(2, 2, [](int32_t, int32_t) { return 0x80FFFFFFu; });
    raster.SetTexture(&faint.buffer);
    raster.ClearDepth();
    target.Fill32(0);
    RasterPolygon tested = Square(kRasterTextureAlphaTest, 0.5f);
    raster.DrawPolygon(tested);
    EXPECT_EQ(Centre(), 0u);
    RasterPolygon under = Square(kRasterFlat, 0.1f);
    raster.DrawPolygon(under);
    EXPECT_EQ(Centre(), kRed);
}

TEST(Raster3D, SmallerPixelsTakeTheirOwnForms)
{
    OwnedRaster wide(16, 16, 16);
    OwnedRaster texture(2, 2, 16);
    for (int32_t y = 0; y < 2; y++)
        for (int32_t x = 0; x < 2; x++)
            texture.Set16(x, y, 0x1234);
    QV_Raster3D raster;
    raster.AttachTarget(wide.buffer);
    raster.SetColor(0xF8, 0xFC, 0x08);
    RasterPolygon flat = Square(kRasterFlat, 0, 0.9f);
    raster.DrawPolygon(flat);
    EXPECT_EQ(wide.Get16(8, 8), raster.fColor565) << "the depth spans write 5:6:5 for the flat kind";

    RasterPolygon smooth = Square(kRasterSmooth, 0.5f, 0.9f);
    for (int32_t i = 0; i < 4; i++)
        smooth.vertices[i].r = 1;
    raster.DrawPolygon(smooth);
    EXPECT_EQ(wide.Get16(8, 8), 0x1Fu << 10) << "and 5:5:5 for the smooth kinds";

    raster.SetTexture(&texture.buffer);
    RasterPolygon filtered = Square(kRasterTexturePerspectiveFiltered, 0.75f, 0.9f);
    raster.DrawPolygon(filtered);
    EXPECT_EQ(filtered.kind, kRasterTexturePerspective) << "no filtering below 32 bits";
    EXPECT_EQ(wide.Get16(8, 8), 0x1234u);
}

} // namespace
