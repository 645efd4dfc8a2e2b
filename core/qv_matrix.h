#pragma once
#include "qv_vector.h"
#include <cstdint>

// A 4 x 4 transform for row vectors: a point p = (x, y, z, 1) maps to p x M,
// so the translation lives in m[12..14] and m[15] is the homogeneous scale.
// Element (row, column) is m[4 * row + column].
//
// Every composing operation puts the new transform in front: it applies to a
// point before what the matrix held already.
struct QV_Matrix {
    float m[16];

    QV_Matrix() { Identity(); }

    void Identity();
    void Set(const QV_Matrix& other);
    // this = a x this (a applies first to a point).
    void Multiply(const QV_Matrix& a);
    void Translate(float x, float y, float z);
    void Scale(float x, float y, float z);
    // Any axis other than X_AXIS, Y_AXIS, Z_AXIS composes the identity.
    void Rotate(int32_t axis, float radians);
    void Perspective(float fieldOfView, float nearZ, float farZ, float aspect);
    // Puts a camera at eye looking at target in front of the matrix.
    void LookAt(const QV_Vector3& eye, const QV_Vector3& target);

    // (x, y, z, 1) x M without the divide.
    void TransformAffine(QV_Vector3& v) const;
    // (v[0], v[1], v[2], 1) x M into v[0..3]; v[3] is only written.
    void Transform4(float* v) const;
    // (x, y, 0, 1) x M with the divide by w. A w at or behind the eye
    // (below 1e-6) scales by 1e6 instead, and the result is clamped to
    // +-1e30 so that integer conversions downstream stay defined.
    void Transform(QV_Vector2& v) const;
    // (x, y, z, 1) x M times 1 / w, or times 10 when w is about zero.
    void TransformHomo(QV_Vector3& v) const;

    float Determinant() const;
    // Replaces the matrix by its adjugate.
    void Adjoint();
    // A singular matrix (|det| < 1e-6) is left as its adjugate.
    void Invert();
};

// Determinant of the 3 x 3 matrix with columns (a1, a2, a3), (b1, b2, b3),
// (c1, c2, c3).
float Determinant3(float a1, float a2, float a3, float b1, float b2, float b3, float c1, float c2, float c3);
