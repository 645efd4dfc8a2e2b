#include <cmath>

#include "plat_beep.h"
#include "qv_functions.h"
#include "script_test_support.h"

namespace {

struct Expect {
    const char* expression;
    double value;
};

class QVValues : public HostTest {
protected:
    void ExpectAll(std::initializer_list<Expect> cases, double tolerance = 0)
    {
        for (const Expect& c : cases) {
            const double got = Number(c.expression);
            if (tolerance == 0)
                EXPECT_EQ(got, c.value) << c.expression;
            else
                EXPECT_NEAR(got, c.value, tolerance) << c.expression;
        }
    }
};

} // namespace

TEST_F(QVValues, NewObjectsAndBytes)
{
    Run("C = QV.rgb_color(); CV = QV.ColorVector:new_local(); M = QV.Matrix(); V = QV.Vector2()\n"
        "R = QV.Rect(); P = QV.Point()");
    for (const Expect& c : std::initializer_list<Expect> { { "C.r + C.g + C.b + C.a", 0 },
             { "CV.r + CV.g + CV.b + CV.a", 4 }, { "V.x", 0 }, { "R.left + R.bottom", 0 } })
        EXPECT_EQ(Number(c.expression), c.value) << c.expression;
    struct Byte {
        const char* value;
        double stored;
    };
    for (const Byte& b : { Byte { "256", 0 }, Byte { "-1", 255 }, Byte { "12.9", 12 }, Byte { "'200'", 200 },
             Byte { "0/0", 0 }, Byte { "1e12", 255 } }) {
        Run((std::string("C.r = ") + b.value).c_str());
        EXPECT_EQ(Number("C.r"), b.stored) << b.value;
    }
    Run("P:Set(2.9, -2.9)");
    EXPECT_EQ(Number("P.x"), 2);
    EXPECT_EQ(Number("P.y"), -2);
    Run("local q = QV.Point(); q:Set(5, 6); P:Set(q)");
    EXPECT_EQ(Number("P.x * 10 + P.y"), 56);
}

TEST_F(QVValues, RectanglesContainTheirEdges)
{
    Run("R = QV.Rect(); R.left, R.top, R.right, R.bottom = 10, 20, 0, 5\n"
        "function at(x, y) local p = QV.Point(); p:Set(x, y); return R:Contains(p) and 1 or 0 end");
    EXPECT_EQ(Number("at(5, 10)"), 0);
    Run("R:Normalize()");
    EXPECT_EQ(Number("(R.left == 0 and R.top == 5 and R.right == 10 and R.bottom == 20) and 1 or 0"), 1);
    EXPECT_EQ(Number("at(0, 5) + at(10, 20) + at(0, 20) + at(10, 5)"), 4);
    EXPECT_EQ(Number("at(11, 10) + at(5, 21)"), 0);
}

TEST_F(QVValues, ModuleFunctions)
{
    for (const Expect& c : std::initializer_list<Expect> { { "QV.Round(0.5)", 1 }, { "QV.Round(-0.5)", -1 },
             { "QV.Round(0)", 0 }, { "QV.Round(2.5)", 3 }, { "QV.Round(-2.4)", -2 }, { "QV.Round(0/0)", 0 },
             { "QV.Round(-1e20)", -2147483648.0 }, { "QV.Clamp(5, 0, 10)", 5 }, { "QV.Clamp(-1, 0, 10)", 0 },
             { "QV.Clamp(11, 0, 10)", 10 }, { "QV.Clamp(5, 10, 0)", 10 }, { "QV.Clamp(15, 10, 0)", 0 },
             { "QV.Lerp(0.5, 10, 20)", 15 }, { "QV.Lerp(2, 0, 10)", 20 }, { "QV.Slerp(0, 3, 9)", 3 },
             { "QV.Slerp(1, 3, 9)", 9 }, { "QV.Slerp(0.5, 10, 20)", 15 }, { "QV.Slerp(0.25, 0, 1)", 0.15625 },
             { "QV.X_AXIS + QV.Y_AXIS * 10 + QV.Z_AXIS * 100", 210 }, { "QV.FREE_AXIS", 6 },
             { "QV.NEGY_AXIS", 4 } })
        EXPECT_EQ(Number(c.expression), c.value) << c.expression;
}

TEST(QVSnooze, CountsAreBoundedAndNeverEndless)
{
    struct Case {
        double ms;
        uint32_t wait;
    };
    for (const Case& c : { Case { -1, 0 }, Case { 0, 0 }, Case { 0.9, 0 }, Case { 25.7, 25 },
             Case { 4294967295.0, 2147483647u }, Case { NAN, 0 }, Case { 1e300, 2147483647u } })
        EXPECT_EQ(SnoozeMilliseconds(c.ms), c.wait) << c.ms;
}

namespace {
int gValueBeeps = 0;
}

TEST_F(QVValues, BeepAndSnoozeReturn)
{
    PlatSetBeepHook([] { gValueBeeps++; });
    Run("QV.Beep(); QV.Snooze(-1); QV.Snooze(0)");
    PlatSetBeepHook(nullptr);
    EXPECT_EQ(gValueBeeps, 1);
}

TEST_F(QVValues, Vectors)
{
    Run("V = QV.Vector2(); V:Set(3, 4); W = QV.Vector3(); W:Set(0, 0, 1)\n"
        "A, B = QV.Vector3(), QV.Vector3(); W:GetOrthogonals(A, B)\n"
        "Z = QV.Vector2():Norm(); Z3 = QV.Vector3(); Z3:NormMe()\n"
        "O = QV.Vector2(); O:Set(0, 2); O = O:GetOrthogonal()\n"
        "S = V + V; D = V - V; M = V * 2; Q = V / 0\n"
        "X = QV.Vector3(); X:Set(1, 0, 0); C = X:Cross(QV.Vector3()); Y = QV.Vector3(); Y:Set(0, 1, 0); C = "
        "X:Cross(Y)\n"
        "R19 = QV.Vector3(); R19:Set(1, 0, 0); R19:Rotate(1.9, math.pi / 2)\n"
        "R5 = QV.Vector3(); R5:Set(1, 2, 3); R5:Rotate(5, 1)\n"
        "T = QV.Vector2(); T:Set(1, 0); T:Rotate(math.pi / 2)");
    ExpectAll({ { "V:Mag()", 5 }, { "V:SquaredMag()", 25 }, { "V:Norm().x", 0.6f }, { "V:Dot(V)", 25 },
        { "Z.x", 0 }, { "Z.y", 1 }, { "Z3.z", 1 }, { "O.x", -2 }, { "O.y", 0 }, { "S.x", 6 }, { "D.y", 0 },
        { "M.y", 8 }, { "V.x", 3 }, { "C.z", 1 }, { "R5.x * 100 + R5.y * 10 + R5.z", 123 } });
    ExpectAll({ { "A.x", -0.70710677 }, { "A.y", -0.70710677 }, { "A.z", 0 }, { "B.x", -0.70710677 },
                  { "B.y", 0.70710677 }, { "B.z", 0 }, { "R19.x", 0 }, { "R19.z", -1 }, { "T.x", 0 },
                  { "T.y", 1 } },
        1e-6);
    EXPECT_TRUE(std::isinf(Number("Q.x")));
    EXPECT_TRUE(std::isnan(Number("(QV.Vector2() / 0).x")));
    EXPECT_EQ(
        Number("(function() local ok = pcall(function() return 2 * V end) return ok and 1 or 0 end)()"), 0);
}

TEST_F(QVValues, Matrices)
{
    Run("function through(m, x, y) local v = QV.Vector2(); v:Set(x, y); m:Transform(v); return v end\n"
        "function through3(m, x, y, z) local v = QV.Vector3(); v:Set(x, y, z); m:Transform(v); return v end\n"
        "TS = QV.Matrix(); TS:Translate(1, 0, 0); TS:Scale(2, 2, 2)\n"
        "RZ = QV.Matrix(); RZ:Rotate(QV.Z_AXIS, math.pi / 2); R27 = QV.Matrix(); R27:Rotate(2.7, math.pi / "
        "2)\n"
        "R5 = QV.Matrix(); R5:Rotate(5, 1)\n"
        "INV = QV.Matrix(); INV:Scale(2, 4, 8); INV:Invert()\n"
        "ZERO = QV.Matrix(); ZERO:Scale(0, 0, 0); ZERO:Translate(0, 0, 0); ZERO:Perspective(1, 1, 2, 1); "
        "ZERO:Scale(0, 0, 0)\n"
        "ZERO:Invert()\n"
        "MUL = QV.Matrix(); MUL:Scale(2, 2, 2); local t = QV.Matrix(); t:Translate(1, 0, 0); "
        "MUL:Multiply(t)");
    ExpectAll({ { "through(QV.Matrix(), 3, 4).x", 3 }, { "through(QV.Matrix(), 3, 4).y", 4 },
                  { "through(TS, 1, 0).x", 3 }, { "through(TS, 1, 0).y", 0 }, { "through(RZ, 1, 0).x", 0 },
                  { "through(RZ, 1, 0).y", 1 }, { "through(R27, 1, 0).y", 1 }, { "through(R5, 1, 0).x", 1 },
                  { "through(INV, 2, 4).x", 1 }, { "through(INV, 2, 4).y", 1 },
                  { "through3(INV, 0, 0, 8).z", 1 }, { "through(MUL, 1, 0).x", 4 },
                  { "through3(ZERO, 1, 2, 3).x", 0 }, { "through3(ZERO, 1, 2, 3).z", 0 } },
        1e-6);
}

TEST_F(QVValues, TransformDividesByW)
{
    // This perspective gives w = -z for a point (x, y, z).
    Run("function project(z, homo)\n"
        "  local m = QV.Matrix(); m:Perspective(math.pi / 2, 1, 3, 1)\n"
        "  if homo then local v = QV.Vector3(); v:Set(1, 1, z); m:Transform(v); return v end\n"
        "  local v = QV.Vector2(); v:Set(1, 1); if z ~= 0 then local t = QV.Matrix(); t:Translate(0, 0, z); "
        "m:Multiply(t) end\n"
        "  m:Transform(v); return v end");
    // Vector2 form: W 0 and W -2 both take the factor 1,000,000.
    ExpectAll({ { "project(0).x", 1e6 }, { "project(2).x", 1e6 } }, 1);
    // Vector3 form: W 0 multiplies by 10, W -2 divides with its sign.
    ExpectAll({ { "project(0, true).x", 10 }, { "project(2, true).x", -0.5 } }, 1e-6);
}

TEST_F(QVValues, ColourVectors)
{
    Run("C = QV.ColorVector(); C:Set(1, 0.5, -0.2, 2); S = C:AsColorStruct()\n"
        "B = QV.rgb_color(); B.r, B.g, B.b, B.a = 255, 128, 0, 255; FromB = QV.ColorVector(); FromB:Set(B)\n"
        "Three = QV.ColorVector(); Three:Set(0.5, 0.5, 0.5, 0.25); Three:Set(0.5, 0.5, 0.5)\n"
        "L = QV.ColorVector(); L:Set(0.2, 0.4, 0.6, 0.5); R = QV.ColorVector(); R:Set(0.1, 0.1, 0.1, 1); Sum "
        "= L + R\n"
        "Twice = L * 2; Inv = QV.ColorVector(); Inv:Set(L); Inv:Invert()\n"
        "N = QV.ColorVector(); N:Set(1.5, -0.5, 0.5, 2); N:Normalize()\n"
        "W = QV.ColorVector(); W:Set(0.999999, 0.999999, 0.999999, 0.999999)\n"
        "function flag(b) return b and 1 or 0 end");
    ExpectAll({ { "S.r", 255 }, { "S.g", 128 }, { "S.b", 0 }, { "S.a", 255 }, { "FromB.r", 1 },
        { "FromB.b", 0 }, { "Three.a", 1 }, { "Sum.a", 0.5f }, { "Twice.a", 0.5f }, { "N.r", 1 },
        { "N.g", 0 }, { "N.a", 1 }, { "flag(W:IsWhite())", 0 }, { "flag(W:IsOpaque())", 0 },
        { "flag(QV.ColorVector():IsWhite())", 1 }, { "flag(N:IsTransparent())", 0 } });
    ExpectAll({ { "FromB.g", 0.50196 }, { "Sum.r", 0.3 }, { "Sum.b", 0.7 }, { "Twice.b", 1.2 },
                  { "Inv.r", 0.8 }, { "Inv.a", 0.5 }, { "L:Mag()", std::sqrt(0.56) } },
        1e-5);
    Run("K = QV.ColorVector(); K:Set(-1, 0, 0)");
    EXPECT_EQ(Number("flag(K:IsBlack())"), 1);
}
