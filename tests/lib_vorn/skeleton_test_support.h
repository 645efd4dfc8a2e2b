#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "m_skeleton.h"
#include "qv_matrix.h"
#include "qv_vector.h"

// A bone whose rest values (frame-0 keys) and current values agree: it shows its rest pose
// until a test changes fPos, fAngle or fScale.
inline M_Bone* AddRestBone(
    M_Skeleton& skeleton, int32_t parent, QV_Vector2 pos, float angle, float length = 1)
{
    M_Bone* bone = skeleton.AddBone(0);
    bone->fParent = parent;
    bone->fLength = length;
    bone->fAnimPos.SetValue(0, pos);
    bone->fAnimAngle.SetValue(0, angle);
    bone->fPos = pos;
    bone->fAngle = angle;
    return bone;
}

inline QV_Vector2 Apply(const QV_Matrix& matrix, QV_Vector2 p)
{
    matrix.Transform(p);
    return p;
}

#define EXPECT_VEC2_NEAR(actual, ex, ey, tolerance)                                                          \
    do {                                                                                                     \
        const QV_Vector2 v_ = (actual);                                                                      \
        EXPECT_NEAR(v_.x, (ex), (tolerance));                                                                \
        EXPECT_NEAR(v_.y, (ey), (tolerance));                                                                \
    } while (0)

inline void ExpectMatrixNear(const QV_Matrix& actual, const QV_Matrix& expected, float tolerance = 1e-5f)
{
    for (int32_t i = 0; i < 16; i++)
        EXPECT_NEAR(actual.m[i], expected.m[i], tolerance) << "element " << i;
}

inline QV_Matrix Translation(float x, float y)
{
    QV_Matrix matrix;
    matrix.Translate(x, y, 0);
    return matrix;
}

// The direction of the matrix's x axis, as atan2.
inline float WorldAngleOf(const QV_Matrix& matrix)
{
    const QV_Vector2 o = Apply(matrix, { 0, 0 }), x = Apply(matrix, { 1, 0 });
    return std::atan2(x.y - o.y, x.x - o.x);
}
