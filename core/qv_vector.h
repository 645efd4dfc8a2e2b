#pragma once
#include <cstdint>

// Axis selectors for the rotations of vectors and matrices.
constexpr int32_t X_AXIS = 0;
constexpr int32_t Y_AXIS = 1;
constexpr int32_t Z_AXIS = 2;

// Document coordinates. A plain value: copy it freely.
struct QV_Vector2 {
    float x = 0;
    float y = 0;

    void Set(float nx, float ny);
    void Set(const QV_Vector2& v);
    float Dot(const QV_Vector2& v) const;
    float Mag() const;
    float SquaredMag() const;
    // A quarter turn, same length.
    QV_Vector2 GetOrthogonal() const;
    QV_Vector2 operator+(const QV_Vector2& v) const;
    QV_Vector2 operator-(const QV_Vector2& v) const;
    QV_Vector2 operator*(float s) const;
    // No test for 0: IEEE infinities or NaN.
    QV_Vector2 operator/(float s) const;
    // The zero vector has no direction; (0, 1) keeps callers that build
    // normals from degenerate segments away from NaN.
    QV_Vector2 Norm() const;
    void NormMe();
    // Counter-clockwise when y points up.
    void Rotate(float radians);
};

// World coordinates. A plain value: copy it freely.
struct QV_Vector3 {
    float x = 0;
    float y = 0;
    float z = 0;

    QV_Vector3 Set(float nx, float ny, float nz);
    void Set(const QV_Vector3& v);
    float Dot(const QV_Vector3& v) const;
    // this x v.
    QV_Vector3 Cross(const QV_Vector3& v) const;
    float Mag() const;
    float SquaredMag() const;
    QV_Vector3 operator+(const QV_Vector3& v) const;
    QV_Vector3 operator-(const QV_Vector3& v) const;
    QV_Vector3 operator*(float s) const;
    QV_Vector3 operator/(float s) const;
    QV_Vector3 operator+=(const QV_Vector3& v);
    QV_Vector3 operator/=(float d);

    // The zero vector gives (0, 0, 1).
    QV_Vector3 Norm() const;
    void NormMe();
    // Two unit vectors perpendicular to this one and to each other.
    void GetOrthogonals(QV_Vector3& a, QV_Vector3& b) const;
    // Rotates in place about X_AXIS, Y_AXIS or Z_AXIS; any other axis
    // leaves the vector as it is.
    void Rotate(int32_t axis, float radians);
};
