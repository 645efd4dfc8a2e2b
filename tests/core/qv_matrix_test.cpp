#include "qv_matrix.h"
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

void ExpectNear(const QV_Vector3& v, float x, float y, float z, float tol = 1e-5f)
{
    EXPECT_NEAR(v.x, x, tol);
    EXPECT_NEAR(v.y, y, tol);
    EXPECT_NEAR(v.z, z, tol);
}

QV_Vector3 Apply(const QV_Matrix& m, float x, float y, float z)
{
    QV_Vector3 v { x, y, z };
    m.TransformAffine(v);
    return v;
}

QV_Matrix FromElements(std::initializer_list<float> e)
{
    QV_Matrix m;
    std::copy(e.begin(), e.end(), m.m);
    return m;
}

// A well-conditioned matrix with every kind of element in play.
QV_Matrix General()
{
    QV_Matrix m;
    m.Perspective(1.0f, 0.5f, 50, 1.5f);
    m.Rotate(X_AXIS, 0.3f);
    m.Rotate(Y_AXIS, -1.1f);
    m.Scale(2, 0.5f, 3);
    m.Translate(4, -2, 7);
    return m;
}

} // namespace

TEST(QV_Matrix, DefaultIsIdentity)
{
    QV_Matrix m;
    for (int i = 0; i < 16; i++)
        EXPECT_EQ(m.m[i], (i % 5 == 0) ? 1.0f : 0.0f) << i;
}

TEST(QV_Matrix, LaterCompositionAppliesToThePointFirst)
{
    QV_Matrix m;
    m.Translate(1, 0, 0);
    m.Scale(2, 2, 2);
    ExpectNear(Apply(m, 1, 0, 0), 3, 0, 0);

    QV_Matrix n;
    n.Scale(2, 2, 2);
    n.Translate(1, 0, 0);
    ExpectNear(Apply(n, 1, 0, 0), 4, 0, 0);

    // Multiply follows the same rule: its argument acts first.
    QV_Matrix scale;
    scale.Scale(10, 1, 1);
    QV_Matrix p;
    p.Translate(5, 0, 0);
    p.Multiply(scale);
    ExpectNear(Apply(p, 1, 0, 0), 15, 0, 0);
    EXPECT_FLOAT_EQ(p.m[12], 5);
}

TEST(QV_Matrix, RotationsAboutEachAxis)
{
    struct Case {
        int32_t axis;
        QV_Vector3 in, out;
    } cases[] = {
        { Z_AXIS, { 1, 0, 0 }, { 0, 1, 0 } },
        { Z_AXIS, { 0, 1, 0 }, { -1, 0, 0 } },
        { X_AXIS, { 0, 1, 0 }, { 0, 0, 1 } },
        { X_AXIS, { 0, 0, 1 }, { 0, -1, 0 } },
        { Y_AXIS, { 0, 0, 1 }, { 1, 0, 0 } },
        { Y_AXIS, { 1, 0, 0 }, { 0, 0, -1 } },
        { 3, { 1, 2, 3 }, { 1, 2, 3 } },
        { -1, { 1, 2, 3 }, { 1, 2, 3 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(
            testing::Message() << "axis " << c.axis << " in " << c.in.x << "," << c.in.y << "," << c.in.z);
        QV_Matrix m;
        m.Rotate(c.axis, kPi / 2);
        ExpectNear(Apply(m, c.in.x, c.in.y, c.in.z), c.out.x, c.out.y, c.out.z);
    }
}

TEST(QV_Matrix, RotationAgreesWithVectorRotation)
{
    for (int32_t axis = -1; axis <= 3; axis++) {
        SCOPED_TRACE(axis);
        QV_Matrix m;
        m.Rotate(axis, 0.7f);
        QV_Vector3 v { 0.3f, -1.2f, 2.5f };
        QV_Vector3 byMatrix = v;
        m.TransformAffine(byMatrix);
        v.Rotate(axis, 0.7f);
        ExpectNear(byMatrix, v.x, v.y, v.z);
    }
}

TEST(QV_Matrix, PerspectiveElements)
{
    QV_Matrix m;
    m.Perspective(kPi / 2, 1, 3, 2);
    float expected[16] = { 0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 2, -1, 0, 0, 3, 0 };
    for (int i = 0; i < 16; i++)
        EXPECT_NEAR(m.m[i], expected[i], 1e-6f) << i;
}

TEST(QV_Matrix, LookAtPutsEyeAtOriginAndTargetDownNegativeZ)
{
    struct Case {
        QV_Vector3 eye, target;
    } cases[] = {
        { { 0, 0, 0 }, { 0, 0, -5 } },
        { { 0, 0, 0 }, { 3, 0, 0 } },
        { { 1, 2, 3 }, { -4, 6, 0 } },
        { { -2, 5, 1 }, { -2, -3, 4 } },
        { { 0, 0, 10 }, { 0, 0, 20 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "target " << c.target.x << "," << c.target.y << "," << c.target.z);
        QV_Matrix m;
        m.LookAt(c.eye, c.target);
        float dx = c.target.x - c.eye.x, dy = c.target.y - c.eye.y, dz = c.target.z - c.eye.z;
        float dist = std::sqrt(dx * dx + dy * dy + dz * dz);
        ExpectNear(Apply(m, c.eye.x, c.eye.y, c.eye.z), 0, 0, 0, 1e-4f);
        ExpectNear(Apply(m, c.target.x, c.target.y, c.target.z), 0, 0, -dist, 1e-4f);
    }
    // Looking straight ahead changes nothing.
    QV_Matrix m;
    m.LookAt({ 0, 0, 0 }, { 0, 0, -1 });
    ExpectNear(Apply(m, 1, 2, 3), 1, 2, 3);
}

TEST(QV_Matrix, TransformDividesByWAndGuardsTheEyePlane)
{
    struct Case {
        float w;
        QV_Vector2 in;
        float x, y;
    } cases[] = {
        { 2, { 4, -6 }, 2, -3 },
        { 1e-6f, { 4, -6 }, 4e6f, -6e6f }, // at the limit: divides
        { 0, { 2, 3 }, 2e6f, 3e6f },
        { -1, { 2, 3 }, 2e6f, 3e6f }, // behind the eye: never divides by a negative w
        { 0, { 1e25f, -1e25f }, 1e30f, -1e30f },
        { 1e-20f, { 1e30f, 0 }, 1e30f, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "w " << c.w << " x " << c.in.x);
        QV_Matrix m;
        m.m[15] = c.w;
        QV_Vector2 v = c.in;
        m.Transform(v);
        EXPECT_FLOAT_EQ(v.x, c.x);
        EXPECT_FLOAT_EQ(v.y, c.y);
    }
    // A positive w well above the guard is a plain divide.
    QV_Matrix m;
    m.m[15] = 2;
    m.m[12] = 6;
    QV_Vector2 v { 2, 0 };
    m.Transform(v);
    EXPECT_FLOAT_EQ(v.x, 4);
}

TEST(QV_Matrix, TransformHomoAndTransform4)
{
    QV_Matrix m;
    m.Translate(1, 2, 3);
    m.m[15] = 2;
    QV_Vector3 v { 1, 2, 3 };
    m.TransformHomo(v);
    ExpectNear(v, 1, 2, 3);

    // A vanishing w scales by 10 rather than blowing up.
    m.m[15] = 0;
    v = { 1, 2, 3 };
    m.TransformHomo(v);
    ExpectNear(v, 20, 40, 60);

    float p[4] = { 1, 2, 3, 99 };
    m.m[3] = 5; // w picks up 5 * x
    m.Transform4(p);
    EXPECT_FLOAT_EQ(p[0], 2);
    EXPECT_FLOAT_EQ(p[1], 4);
    EXPECT_FLOAT_EQ(p[2], 6);
    EXPECT_FLOAT_EQ(p[3], 5);
}

TEST(QV_Matrix, Determinants)
{
    EXPECT_FLOAT_EQ(FromElements({ 2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 0, 0, 0, 5 }).Determinant(), 120);
    // One row swap flips the sign.
    EXPECT_FLOAT_EQ(FromElements({ 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1 }).Determinant(), -1);
    EXPECT_FLOAT_EQ(FromElements({ 1, 2, 3, 4, 5, 6, 7, 8, 2, 6, 4, 8, 3, 1, 1, 2 }).Determinant(), 72);
    // Columns (1, 0, 0), (2, 3, 0), (4, 5, 6): upper triangular.
    EXPECT_FLOAT_EQ(Determinant3(1, 0, 0, 2, 3, 0, 4, 5, 6), 18);
    EXPECT_FLOAT_EQ(Determinant3(0, 1, 0, 1, 0, 0, 0, 0, 1), -1);
}

TEST(QV_Matrix, InvertUndoesTheTransform)
{
    QV_Matrix t;
    t.Translate(1, 2, 3);
    t.Invert();
    ExpectNear(Apply(t, 0, 0, 0), -1, -2, -3);
    ExpectNear(Apply(t, 1, 2, 3), 0, 0, 0);

    QV_Matrix m = General();
    QV_Matrix inv = m;
    inv.Invert();
    QV_Matrix product = m;
    product.Multiply(inv);
    for (int i = 0; i < 16; i++)
        EXPECT_NEAR(product.m[i], (i % 5 == 0) ? 1.0f : 0.0f, 1e-4f) << i;
}

TEST(QV_Matrix, SingularMatrixIsLeftAsItsAdjugate)
{
    QV_Matrix m = FromElements({ 1, 2, 3, 4, 0, 0, 0, 0, 2, 6, 4, 8, 3, 1, 1, 2 });
    EXPECT_FLOAT_EQ(m.Determinant(), 0);
    QV_Matrix adj = m;
    adj.Adjoint();
    QV_Matrix inv = m;
    inv.Invert();
    for (int i = 0; i < 16; i++)
        EXPECT_FLOAT_EQ(inv.m[i], adj.m[i]) << i;
    // The adjugate satisfies adj x M = det x I, here the zero matrix; it is
    // not itself zero, so a plain copy would fail this.
    QV_Matrix product = m;
    product.Multiply(adj);
    bool anyNonZero = false;
    for (int i = 0; i < 16; i++) {
        EXPECT_NEAR(product.m[i], 0, 1e-4f) << i;
        anyNonZero = anyNonZero || adj.m[i] != 0;
    }
    EXPECT_TRUE(anyNonZero);
}

TEST(QV_Matrix, SetCopiesAllElements)
{
    QV_Matrix a = General();
    QV_Matrix b;
    b.Set(a);
    for (int i = 0; i < 16; i++)
        EXPECT_EQ(b.m[i], a.m[i]) << i;
}
