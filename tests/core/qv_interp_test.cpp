#include "qv_interp.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

QV_Vector2 V(float x, float y)
{
    QV_Vector2 v;
    v.x = x;
    v.y = y;
    return v;
}

} // namespace

TEST(QV_Interp, SlerpEasesBetweenTheValues)
{
    EXPECT_FLOAT_EQ(Slerp(0.5f, 10, 20), 15.0f);
    EXPECT_EQ(Slerp(0.25f, 0, 1), 0.15625f);
    EXPECT_EQ(Slerp(0.0f, 3, 7), 3.0f);
    EXPECT_EQ(Slerp(1.0f, 3, 7), 7.0f);
    EXPECT_FLOAT_EQ(Slerp(0.75f, 0, 1), 0.84375f);
}

TEST(QV_Interp, InterpSmoothPassesThroughTheKeysAndNeverOvershoots)
{
    struct Case {
        const char* name;
        QV_Vector2 key1, key2, previous, next;
    } cases[] = {
        { "flat neighbours", V(0, 0), V(10, 10), V(0, 0), V(10, 10) },
        { "steep neighbours", V(0, 0), V(10, 10), V(-1, -100), V(11, 200) },
        { "falling between rising", V(0, 10), V(10, 0), V(-5, -50), V(15, 50) },
        { "uneven key spacing", V(3, -2), V(4, 5), V(-40, 30), V(100, -30) },
        // Neighbour keys at the very time of a key: the handle is 0 / 0.
        { "coincident neighbour", V(0, 0), V(10, 10), V(10, 10), V(10, 10) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const float lo = std::fmin(c.key1.y, c.key2.y), hi = std::fmax(c.key1.y, c.key2.y);
        EXPECT_FLOAT_EQ(InterpSmooth(c.key1, c.key2, c.previous, c.next, c.key1.x), c.key1.y);
        EXPECT_FLOAT_EQ(InterpSmooth(c.key1, c.key2, c.previous, c.next, c.key2.x), c.key2.y);
        for (int i = 0; i <= 200; ++i) {
            const float frame = c.key1.x + (c.key2.x - c.key1.x) * float(i) / 200.0f;
            const float v = InterpSmooth(c.key1, c.key2, c.previous, c.next, frame);
            ASSERT_TRUE(v >= lo - 1e-5f && v <= hi + 1e-5f) << "frame " << frame << " gives " << v;
        }
    }
}

TEST(QV_Interp, InterpSmoothShapes)
{
    // Collinear neighbours put the handles at the thirds: the curve is the line.
    for (float frame : { 1.0f, 2.5f, 5.0f, 9.0f })
        EXPECT_NEAR(InterpSmooth(V(0, 0), V(10, 10), V(-10, -10), V(20, 20), frame), frame, 1e-4f);
    // Flat neighbours: zero slope at both ends, so the middle is the midpoint
    // and the curve is the smoothstep of the frame.
    EXPECT_FLOAT_EQ(InterpSmooth(V(0, 0), V(10, 10), V(0, 0), V(10, 10), 5), 5.0f);
    EXPECT_NEAR(InterpSmooth(V(0, 0), V(10, 10), V(0, 0), V(10, 10), 2.5f), 10 * 0.15625f, 1e-5f);
    // Equal key values hold that value everywhere, whatever the neighbours do.
    for (float frame : { 0.0f, 0.3f, 5.0f, 10.0f })
        EXPECT_FLOAT_EQ(InterpSmooth(V(0, 4), V(10, 4), V(-3, 90), V(12, -90), frame), 4.0f);
}

TEST(QV_Interp, NearlyEqualIsStrict)
{
    EXPECT_TRUE(NearlyEqual(1.0f, 1.05f, 0.1f));
    EXPECT_TRUE(NearlyEqual(-2.0f, -2.0f, 1e-6f));
    EXPECT_FALSE(NearlyEqual(1.0f, 1.5f, 0.5f));
    EXPECT_FALSE(NearlyEqual(0.0f, 0.0f, 0.0f));
}

TEST(QV_Interp, BezierPointEndsAndMiddle)
{
    const QV_Vector2 p0 = V(1, 2), p1 = V(3, 8), p2 = V(-4, 6), p3 = V(9, -1);
    QV_Vector2 a = BezierPoint(p0, p1, p2, p3, 0);
    QV_Vector2 b = BezierPoint(p0, p1, p2, p3, 1);
    QV_Vector2 m = BezierPoint(p0, p1, p2, p3, 0.5f);
    EXPECT_EQ(a.x, p0.x);
    EXPECT_EQ(a.y, p0.y);
    EXPECT_EQ(b.x, p3.x);
    EXPECT_EQ(b.y, p3.y);
    EXPECT_FLOAT_EQ(m.x, (p0.x + 3 * p1.x + 3 * p2.x + p3.x) / 8);
    EXPECT_FLOAT_EQ(m.y, (p0.y + 3 * p1.y + 3 * p2.y + p3.y) / 8);
}
