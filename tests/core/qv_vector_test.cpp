#include "qv_vector.h"
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace {

float Dot(const QV_Vector3& a, const QV_Vector3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

} // namespace

TEST(QV_Vector, ZeroVectorsNormaliseToAFixedDirection)
{
    QV_Vector3 zero3;
    QV_Vector3 n3 = zero3.Norm();
    EXPECT_EQ(n3.x, 0);
    EXPECT_EQ(n3.y, 0);
    EXPECT_EQ(n3.z, 1);
    zero3.NormMe();
    EXPECT_EQ(zero3.z, 1);

    QV_Vector2 zero2;
    QV_Vector2 n2 = zero2.Norm();
    EXPECT_EQ(n2.x, 0);
    EXPECT_EQ(n2.y, 1);
    zero2.NormMe();
    EXPECT_EQ(zero2.y, 1);
}

TEST(QV_Vector, NormalisingKeepsTheDirection)
{
    QV_Vector3 v { 3, 0, -4 };
    QV_Vector3 n = v.Norm();
    EXPECT_FLOAT_EQ(n.x, 0.6f);
    EXPECT_FLOAT_EQ(n.z, -0.8f);
    EXPECT_EQ(v.x, 3); // Norm leaves the original alone

    QV_Vector2 w { -3, 4 };
    EXPECT_FLOAT_EQ(w.Mag(), 5);
    w.NormMe();
    EXPECT_FLOAT_EQ(w.x, -0.6f);
    EXPECT_FLOAT_EQ(w.y, 0.8f);
}

TEST(QV_Vector, InPlaceOperatorsReturnTheResult)
{
    QV_Vector3 v;
    QV_Vector3 s = v.Set(2, 4, 6);
    EXPECT_EQ(s.y, 4);
    QV_Vector3 sum = (v += QV_Vector3 { 1, 1, 1 });
    EXPECT_EQ(sum.x, 3);
    EXPECT_EQ(v.z, 7);
    QV_Vector3 q = (v /= 2);
    EXPECT_FLOAT_EQ(q.x, 1.5f);
    EXPECT_FLOAT_EQ(v.y, 2.5f);
}

TEST(QV_Vector, OrthogonalsArePerpendicularUnitVectors)
{
    QV_Vector3 cases[] = {
        { 1, 0, 0 },
        { 0, 1, 0 },
        { 0, 0, 1 },
        { 0, 0, -3 },
        { -5, 2, 1 },
        { 1, -7, 2 },
        { 1, 1, 1 },
        { 0.001f, 0, 0 },
        { 2, 2, -9 },
        { -1, -1, 0 },
    };
    for (const QV_Vector3& v : cases) {
        SCOPED_TRACE(testing::Message() << v.x << "," << v.y << "," << v.z);
        QV_Vector3 a, b;
        v.GetOrthogonals(a, b);
        EXPECT_NEAR(Dot(a, a), 1, 1e-5f);
        EXPECT_NEAR(Dot(b, b), 1, 1e-5f);
        EXPECT_NEAR(Dot(a, b), 0, 1e-5f);
        QV_Vector3 n = v.Norm();
        EXPECT_NEAR(Dot(a, n), 0, 1e-5f);
        EXPECT_NEAR(Dot(b, n), 0, 1e-5f);
    }
    QV_Vector3 a, b;
    QV_Vector3 {}.GetOrthogonals(a, b);
    EXPECT_EQ(a.x, 1);
    EXPECT_EQ(b.y, 1);
}

TEST(QV_Vector, RotationsFollowTheRightHand)
{
    constexpr float kHalfPi = std::numbers::pi_v<float> / 2;
    struct Case {
        int32_t axis;
        QV_Vector3 in, out;
    } cases[] = {
        { X_AXIS, { 0, 1, 0 }, { 0, 0, 1 } },
        { Y_AXIS, { 0, 0, 1 }, { 1, 0, 0 } },
        { Z_AXIS, { 1, 0, 0 }, { 0, 1, 0 } },
        { 5, { 1, 2, 3 }, { 1, 2, 3 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.axis);
        QV_Vector3 v = c.in;
        v.Rotate(c.axis, kHalfPi);
        EXPECT_NEAR(v.x, c.out.x, 1e-6f);
        EXPECT_NEAR(v.y, c.out.y, 1e-6f);
        EXPECT_NEAR(v.z, c.out.z, 1e-6f);
    }
    QV_Vector2 p { 1, 0 };
    p.Rotate(kHalfPi);
    EXPECT_NEAR(p.x, 0, 1e-6f);
    EXPECT_NEAR(p.y, 1, 1e-6f);
}
