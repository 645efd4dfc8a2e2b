#include "qv_rect.h"
#include <gtest/gtest.h>

namespace {

QV_Rect R(int32_t l, int32_t t, int32_t r, int32_t b)
{
    QV_Rect rect;
    rect.left = l;
    rect.top = t;
    rect.right = r;
    rect.bottom = b;
    return rect;
}

std::string Str(const QV_Rect& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + ","
        + std::to_string(r.bottom);
}

} // namespace

TEST(QV_Rect, ValueInitialisedToZero)
{
    QV_Rect r {};
    QV_Point p {};
    EXPECT_EQ(Str(r), "0,0,0,0");
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
}

TEST(QV_Rect, Intersect)
{
    struct Case {
        QV_Rect a, b;
        bool overlap;
        const char* result;
    } cases[] = {
        { R(0, 0, 10, 10), R(5, 5, 20, 20), true, "5,5,10,10" },
        { R(0, 0, 10, 10), R(11, 0, 20, 10), false, "0,0,10,10" },
        { R(10, 10, 0, 0), R(5, 5, 20, 20), true, "5,5,10,10" },
        { R(10, 10, 0, 0), R(30, 30, 40, 40), false, "0,0,10,10" }, // normalised even when apart
        { R(0, 0, 10, 10), R(10, 10, 20, 20), true, "10,10,10,10" }, // edges are inclusive
        { R(0, 0, 10, 10), R(2, 3, 4, 5), true, "2,3,4,5" },
        { R(0, 0, 10, 10), R(0, 11, 10, 20), false, "0,0,10,10" },
        { R(-5, -5, 5, 5), R(-20, 0, 0, 20), true, "-5,0,0,5" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Str(c.a) + " with " + Str(c.b));
        QV_Rect r = c.a;
        EXPECT_EQ(r.Intersect(c.b), c.overlap);
        EXPECT_EQ(Str(r), c.result);
    }
}

TEST(QV_Rect, NormalizeUnionAndCorners)
{
    QV_Rect r = R(7, 9, 2, 3);
    r.Normalize();
    EXPECT_EQ(Str(r), "2,3,7,9");

    // Union takes minima and maxima as given, without normalising.
    QV_Rect u = R(0, 0, 4, 4);
    u.Union(R(2, -3, 10, 1));
    EXPECT_EQ(Str(u), "0,-3,10,4");

    QV_Rect c = R(1, 2, 3, 4);
    EXPECT_EQ(c.TopRight().x, 3);
    EXPECT_EQ(c.TopRight().y, 2);
    EXPECT_EQ(c.BottomLeft().x, 1);
    EXPECT_EQ(c.BottomLeft().y, 4);
    EXPECT_EQ(c.BottomRight().x, 3);
    EXPECT_EQ(c.BottomRight().y, 4);
}

TEST(ClipLineToRect, Cases)
{
    struct Case {
        QV_Point a, b;
        bool visible;
        QV_Point ca, cb;
    } cases[] = {
        { { -10, 0 }, { 10, 10 }, true, { 0, 5 }, { 10, 10 } },
        { { 10, 10 }, { -10, 0 }, true, { 10, 10 }, { 0, 5 } },
        { { 20, 30 }, { 50, 60 }, true, { 20, 30 }, { 50, 60 } }, // inside: untouched
        { { -50, 50 }, { 150, 50 }, true, { 0, 50 }, { 100, 50 } },
        { { 50, -10 }, { 50, 200 }, true, { 50, 0 }, { 50, 100 } },
        { { -10, 110 }, { 110, -10 }, true, { 0, 100 }, { 100, 0 } },
        { { -5, 10 }, { -1, 90 }, false, { -5, 10 }, { -1, 90 } }, // both left
        { { 10, 101 }, { 90, 500 }, false, { 10, 101 }, { 90, 500 } }, // both below
        { { 101, 0 }, { 200, 100 }, false, { 101, 0 }, { 200, 100 } }, // both right
        { { 0, -1 }, { 100, -1 }, false, { 0, -1 }, { 100, -1 } }, // both above
        { { -3, 1 }, { 1, -3 }, false, { 0, -2 }, { 1, -3 } }, // passes the corner outside
        // Moved coordinates round half away from zero.
        { { -1, 0 }, { 1, 1 }, true, { 0, 1 }, { 1, 1 } },
        { { -1, 20 }, { 1, 19 }, true, { 0, 20 }, { 1, 19 } },
        // Far-off endpoints from a projected line stay well-defined.
        { { -2000000000, -2000000000 }, { 2000000000, 2000000000 }, true, { 0, 0 }, { 100, 100 } },
    };
    QV_Rect r = R(0, 0, 100, 100);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a.x << "," << c.a.y << " - " << c.b.x << "," << c.b.y);
        QV_Point a = c.a, b = c.b;
        EXPECT_EQ(ClipLineToRect(a, b, r), c.visible);
        EXPECT_EQ(a.x, c.ca.x);
        EXPECT_EQ(a.y, c.ca.y);
        EXPECT_EQ(b.x, c.cb.x);
        EXPECT_EQ(b.y, c.cb.y);
    }
}

TEST(ClipLineToRect, NegativeHalvesRoundAwayFromZero)
{
    QV_Point a { -1, 0 }, b { 1, -1 };
    EXPECT_TRUE(ClipLineToRect(a, b, R(0, -10, 10, 10)));
    EXPECT_EQ(a.x, 0);
    EXPECT_EQ(a.y, -1); // -0.5
}

TEST(ClipLineToRectF, KeepsFractions)
{
    float ax = -1, ay = 0, bx = 1, by = 1;
    EXPECT_TRUE(ClipLineToRectF(ax, ay, bx, by, R(0, 0, 100, 100)));
    EXPECT_FLOAT_EQ(ax, 0);
    EXPECT_FLOAT_EQ(ay, 0.5f);
    EXPECT_FLOAT_EQ(bx, 1);

    ax = 150.5f, ay = 20, bx = 50.5f, by = 70;
    EXPECT_TRUE(ClipLineToRectF(ax, ay, bx, by, R(0, 0, 100, 100)));
    EXPECT_FLOAT_EQ(ax, 100);
    EXPECT_FLOAT_EQ(ay, 45.25f);

    ax = -3, ay = -3, bx = -0.5f, by = 50;
    EXPECT_FALSE(ClipLineToRectF(ax, ay, bx, by, R(0, 0, 100, 100)));
}
