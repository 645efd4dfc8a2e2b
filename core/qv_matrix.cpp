#include "qv_matrix.h"
#include <algorithm>
#include <cmath>

void QV_Matrix::Identity()
{
    for (int32_t i = 0; i < 16; i++)
        m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

void QV_Matrix::Set(const QV_Matrix& other)
{
    std::copy(other.m, other.m + 16, m);
}

void QV_Matrix::Multiply(const QV_Matrix& a)
{
    float r[16];
    for (int32_t row = 0; row < 4; row++) {
        for (int32_t col = 0; col < 4; col++) {
            float sum = 0;
            for (int32_t k = 0; k < 4; k++)
                sum += a.m[4 * row + k] * m[4 * k + col];
            r[4 * row + col] = sum;
        }
    }
    std::copy(r, r + 16, m);
}

void QV_Matrix::Translate(float x, float y, float z)
{
    QV_Matrix t;
    t.m[12] = x;
    t.m[13] = y;
    t.m[14] = z;
    Multiply(t);
}

void QV_Matrix::Scale(float x, float y, float z)
{
    QV_Matrix s;
    s.m[0] = x;
    s.m[5] = y;
    s.m[10] = z;
    Multiply(s);
}

void QV_Matrix::Rotate(int32_t axis, float radians)
{
    float c = std::cos(radians);
    float s = std::sin(radians);
    QV_Matrix r;
    switch (axis) {
    case X_AXIS:
        r.m[5] = c;
        r.m[6] = s;
        r.m[9] = -s;
        r.m[10] = c;
        break;
    case Y_AXIS:
        r.m[0] = c;
        r.m[2] = -s;
        r.m[8] = s;
        r.m[10] = c;
        break;
    case Z_AXIS:
        r.m[0] = c;
        r.m[1] = s;
        r.m[4] = -s;
        r.m[5] = c;
        break;
    default:
        break;
    }
    Multiply(r);
}

void QV_Matrix::Perspective(float fieldOfView, float nearZ, float farZ, float aspect)
{
    float t = std::tan(fieldOfView / 2);
    QV_Matrix p;
    p.m[0] = 1 / (t * aspect);
    p.m[5] = 1 / t;
    p.m[10] = (farZ + nearZ) / (farZ - nearZ);
    p.m[14] = 2 * farZ * nearZ / (farZ - nearZ);
    p.m[11] = -1;
    p.m[15] = 0;
    Multiply(p);
}

void QV_Matrix::LookAt(const QV_Vector3& eye, const QV_Vector3& target)
{
    float dx = target.x - eye.x;
    float dy = target.y - eye.y;
    float dz = target.z - eye.z;
    float yaw = std::atan2(dx, -dz);
    float pitch = -std::atan2(dy, std::sqrt(dx * dx + dz * dz));

    // Built back to front, since each step goes in front of the last:
    // V = T(-eye) x R_Y(yaw) x R_X(pitch).
    QV_Matrix v;
    v.Rotate(X_AXIS, pitch);
    v.Rotate(Y_AXIS, yaw);
    v.Translate(-eye.x, -eye.y, -eye.z);
    Multiply(v);
}

void QV_Matrix::TransformAffine(QV_Vector3& v) const
{
    float x = v.x * m[0] + v.y * m[4] + v.z * m[8] + m[12];
    float y = v.x * m[1] + v.y * m[5] + v.z * m[9] + m[13];
    float z = v.x * m[2] + v.y * m[6] + v.z * m[10] + m[14];
    v.Set(x, y, z);
}

void QV_Matrix::Transform4(float* v) const
{
    float x = v[0] * m[0] + v[1] * m[4] + v[2] * m[8] + m[12];
    float y = v[0] * m[1] + v[1] * m[5] + v[2] * m[9] + m[13];
    float z = v[0] * m[2] + v[1] * m[6] + v[2] * m[10] + m[14];
    float w = v[0] * m[3] + v[1] * m[7] + v[2] * m[11] + m[15];
    v[0] = x;
    v[1] = y;
    v[2] = z;
    v[3] = w;
}

void QV_Matrix::Transform(QV_Vector2& v) const
{
    constexpr float kLimit = 1e30f;
    float x = v.x * m[0] + v.y * m[4] + m[12];
    float y = v.x * m[1] + v.y * m[5] + m[13];
    float w = v.x * m[3] + v.y * m[7] + m[15];
    if (w < 1e-6f) {
        x *= 1e6f;
        y *= 1e6f;
    } else {
        x /= w;
        y /= w;
    }
    v.x = std::clamp(x, -kLimit, kLimit);
    v.y = std::clamp(y, -kLimit, kLimit);
}

void QV_Matrix::TransformHomo(QV_Vector3& v) const
{
    float x = v.x * m[0] + v.y * m[4] + v.z * m[8] + m[12];
    float y = v.x * m[1] + v.y * m[5] + v.z * m[9] + m[13];
    float z = v.x * m[2] + v.y * m[6] + v.z * m[10] + m[14];
    float w = v.x * m[3] + v.y * m[7] + v.z * m[11] + m[15];
    float f = std::fabs(w) < 1e-6f ? 10.0f : 1.0f / w;
    v.Set(x * f, y * f, z * f);
}

float Determinant3(float a1, float a2, float a3, float b1, float b2, float b3, float c1, float c2, float c3)
{
    return a1 * (b2 * c3 - b3 * c2) - b1 * (a2 * c3 - a3 * c2) + c1 * (a2 * b3 - a3 * b2);
}

namespace {

// Determinant of the 3 x 3 matrix left when row skipRow and column skipCol
// are struck out.
float Minor(const float* m, int32_t skipRow, int32_t skipCol)
{
    float e[9];
    int32_t n = 0;
    for (int32_t row = 0; row < 4; row++) {
        if (row == skipRow)
            continue;
        for (int32_t col = 0; col < 4; col++) {
            if (col != skipCol)
                e[n++] = m[4 * row + col];
        }
    }
    // e holds the minor row by row; a determinant is the same for the
    // transpose, so its rows serve as Determinant3's columns.
    return Determinant3(e[0], e[1], e[2], e[3], e[4], e[5], e[6], e[7], e[8]);
}

} // namespace

float QV_Matrix::Determinant() const
{
    return m[0] * Minor(m, 0, 0) - m[1] * Minor(m, 0, 1) + m[2] * Minor(m, 0, 2) - m[3] * Minor(m, 0, 3);
}

void QV_Matrix::Adjoint()
{
    float adj[16];
    for (int32_t row = 0; row < 4; row++) {
        for (int32_t col = 0; col < 4; col++) {
            float sign = ((row + col) % 2 == 0) ? 1.0f : -1.0f;
            // Transposed: the cofactor of (col, row) lands at (row, col).
            adj[4 * row + col] = sign * Minor(m, col, row);
        }
    }
    std::copy(adj, adj + 16, m);
}

void QV_Matrix::Invert()
{
    float det = Determinant();
    Adjoint();
    if (std::fabs(det) < 1e-6f)
        return;
    for (float& e : m)
        e /= det;
}
