#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "interpsetting.h"
#include "qv_baseimage.h"
#include "qv_memstream.h"
#include "tracking_point.h"
#include "vorn_test_support.h"

namespace {

constexpr int32_t kSize = 96;

uint8_t Texture(int32_t x, int32_t y, int32_t c)
{
    uint32_t h = uint32_t(x) * 73856093u ^ uint32_t(y) * 19349663u ^ uint32_t(c) * 83492791u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    return uint8_t(h >> 24);
}

// A picture of noise, and the same picture moved by (dx, dy).
struct MovedPicture {
    MovedPicture(int32_t dx, int32_t dy)
    {
        previous.Allocate(kSize, kSize, 32);
        current.Allocate(kSize, kSize, 32);
        for (int32_t y = 0; y < kSize; y++) {
            for (int32_t x = 0; x < kSize; x++) {
                uint8_t* p = previous.buffer.pixels + y * previous.buffer.rowBytes + x * 4;
                uint8_t* q = current.buffer.pixels + y * current.buffer.rowBytes + x * 4;
                for (int32_t c = 0; c < 3; c++) {
                    p[c] = Texture(x, y, c);
                    q[c] = Texture(x - dx, y - dy, c);
                }
                p[3] = q[3] = 255;
            }
        }
    }
    QV_BaseImage previous;
    QV_BaseImage current;
};

// A point keyed at (x, y) and started at frame 1, as the image layer adds one.
void StartAt(TrackingPoint& point, float x, float y)
{
    point.fAnimPos.SetValue(1, QV_Vector2 { x, y });
    point.Restart(1);
}

} // namespace

TEST(TrackingPoint, SearchReachesSixteenBackAndFifteenOn)
{
    const struct {
        int32_t dx, dy;
        bool exact;
    } cases[] = { { -16, 0, true }, { 15, 0, true }, { 0, -16, true }, { 0, 15, true }, { 16, 0, false },
        { 0, 16, false }, { 3, -2, true } };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.dx) + ", " + std::to_string(c.dy));
        MovedPicture picture(c.dx, c.dy);
        TrackingPoint point(1);
        StartAt(point, 48, 48);
        point.TrackFrame(2, picture.current.buffer, picture.previous.buffer);
        EXPECT_EQ(point.fCurPos.x == 48 + c.dx && point.fCurPos.y == 48 + c.dy, c.exact)
            << point.fCurPos.x << ", " << point.fCurPos.y;
        EXPECT_FALSE(point.fLost);
        EXPECT_TRUE(point.fAnimPos.HasKey(2));
        EXPECT_EQ(point.fLastTrackedFrame, 2);
    }
}

TEST(TrackingPoint, JumpsAgainstTheMotionAreLosses)
{
    const struct {
        float velocity;
        int32_t jump;
        bool lost;
    } cases[] = { { 1, 6, true }, { 1, 5, false }, { 3, -11, true }, { 3, -9, false } };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.jump) + " after " + std::to_string(c.velocity));
        MovedPicture picture(c.jump, 0);
        TrackingPoint point(1);
        StartAt(point, 48, 48);
        point.fVelocity[0] = c.velocity;
        point.TrackFrame(2, picture.current.buffer, picture.previous.buffer);
        EXPECT_EQ(point.fLost, c.lost);
        // A lost step keys nothing and leaves the point where it was.
        EXPECT_EQ(point.fAnimPos.HasKey(2), !c.lost);
        EXPECT_EQ(point.fCurPos.x, c.lost ? 48 : 48 + c.jump);
    }
}

TEST(TrackingPoint, HandKeysAreTakenAndLeavingThePictureKeysFarAhead)
{
    MovedPicture picture(5, 0);
    TrackingPoint point(1);
    StartAt(point, 48, 48);
    point.fAnimPos.SetValue(2, QV_Vector2 { 40.7f, 30.2f });
    point.TrackFrame(2, picture.current.buffer, picture.previous.buffer);
    EXPECT_EQ(point.fCurPos.x, 40);
    EXPECT_EQ(point.fCurPos.y, 30);
    EXPECT_FLOAT_EQ(point.fScore, 0);
    // Steps only follow the last tracked frame.
    point.TrackFrame(4, picture.current.buffer, picture.previous.buffer);
    EXPECT_EQ(point.fLastTrackedFrame, 2);

    MovedPicture away(-6, 0);
    TrackingPoint edge(1);
    StartAt(edge, 3, 48);
    edge.TrackFrame(2, away.current.buffer, away.previous.buffer);
    EXPECT_EQ(edge.fCurPos.x, -3);
    EXPECT_TRUE(edge.fLost);
    ASSERT_TRUE(edge.fAnimPos.HasKey(1002));
    EXPECT_LT(edge.fAnimPos.GetValue(1002).x, -3);
    // Lost points wait for a restart.
    edge.TrackFrame(3, away.current.buffer, away.previous.buffer);
    EXPECT_EQ(edge.fLastTrackedFrame, 2);
}

TEST(TrackingPoint, RestartDeletesTrackedKeysUpToTheNextRestartKey)
{
    for (const int32_t defaultMode : { INTERP_SMOOTH, INTERP_LINEAR }) {
        SCOPED_TRACE(defaultMode);
        PrefOverride prefs({ { "DefaultInterp", defaultMode } });
        TrackingPoint point(1);
        for (int32_t f = 11; f <= 40; f++)
            point.fAnimPos.SetValue(f, QV_Vector2 { float(f), 0 });
        point.fAnimPos.SetKeyInterp(30, INTERP_LINEAR, -1, -1);
        point.fAnimPos.SetValue(10, QV_Vector2 { 7.5f, -2.5f });
        point.Restart(10);
        for (int32_t f = 11; f < 30; f++)
            EXPECT_FALSE(point.fAnimPos.HasKey(f)) << f;
        for (int32_t f = 30; f <= 40; f++)
            EXPECT_TRUE(point.fAnimPos.HasKey(f)) << f;
        EXPECT_TRUE(TrackingPoint::IsRestartKey(point.fAnimPos.GetKeyInterp(10)));
        EXPECT_EQ(point.fCurPos.x, 8);
        EXPECT_EQ(point.fCurPos.y, -3);
        EXPECT_EQ(point.StartFrame(), 10);
    }
}

TEST(TrackingPoint, RecordRoundTripsWithTheCompareRadiusTwice)
{
    TrackingPoint point(5);
    point.SetName("Eye \"left\"");
    point.fCompareRadius = 6;
    point.fSearchRadius = 20;
    point.fLastFrame = 300;
    point.fSelected = true;
    point.fAnimPos.SetValue(5, QV_Vector2 { 12, 34 });
    point.Restart(5);
    point.fCurPos = { 13, 35 };
    QV_MemStream out;
    out.Open(0);
    point.WriteRecord(&out);
    const std::string text = StreamText(out);
    EXPECT_EQ(text.substr(0, text.find('\n')), "\"Eye left\" 6 20 300 true 6 true 5 5 5 12 34 13 35 12 34");

    QV_MemStream in;
    FillStream(in, text);
    TrackingPoint back(0);
    ASSERT_TRUE(back.ReadRecord(&in));
    QV_MemStream again;
    again.Open(0);
    back.WriteRecord(&again);
    EXPECT_EQ(StreamText(again), text);

    // Radii beyond the usual weights are served by weights of their own size.
    MovedPicture picture(2, 1);
    TrackingPoint wide(1);
    StartAt(wide, 48, 48);
    wide.fCompareRadius = 600;
    wide.fSearchRadius = 3;
    wide.TrackFrame(2, picture.current.buffer, picture.previous.buffer);
    EXPECT_EQ(wide.fLastTrackedFrame, 2);
}
