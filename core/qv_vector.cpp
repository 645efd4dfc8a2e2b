#include "qv_vector.h"
#include <cmath>

float QV_Vector2::Mag() const
{
    return std::sqrt(x * x + y * y);
}

QV_Vector2 QV_Vector2::Norm() const
{
    QV_Vector2 v = *this;
    v.NormMe();
    return v;
}

void QV_Vector2::NormMe()
{
    float mag = Mag();
    if (mag == 0) {
        x = 0;
        y = 1;
        return;
    }
    x /= mag;
    y /= mag;
}

void QV_Vector2::Rotate(float radians)
{
    float c = std::cos(radians);
    float s = std::sin(radians);
    float nx = c * x - s * y;
    float ny = s * x + c * y;
    x = nx;
    y = ny;
}

QV_Vector3 QV_Vector3::Set(float nx, float ny, float nz)
{
    x = nx;
    y = ny;
    z = nz;
    return *this;
}

QV_Vector3 QV_Vector3::operator+=(const QV_Vector3& v)
{
    x += v.x;
    y += v.y;
    z += v.z;
    return *this;
}

QV_Vector3 QV_Vector3::operator/=(float d)
{
    x /= d;
    y /= d;
    z /= d;
    return *this;
}

QV_Vector3 QV_Vector3::Norm() const
{
    QV_Vector3 v = *this;
    v.NormMe();
    return v;
}

void QV_Vector3::NormMe()
{
    float mag = std::sqrt(x * x + y * y + z * z);
    if (mag == 0) {
        Set(0, 0, 1);
        return;
    }
    x /= mag;
    y /= mag;
    z /= mag;
}

void QV_Vector3::GetOrthogonals(QV_Vector3& a, QV_Vector3& b) const
{
    if (x == 0 && y == 0 && z == 0) {
        a.Set(1, 0, 0);
        b.Set(0, 1, 0);
        return;
    }
    // Dividing by the largest component keeps the construction away from a
    // zero divisor; each choice is perpendicular to this vector by design.
    float ax = std::fabs(x), ay = std::fabs(y), az = std::fabs(z);
    if (ax >= ay && ax >= az)
        a.Set((y + z) / x, -1, -1);
    else if (ay >= az)
        a.Set(-1, (x + z) / y, -1);
    else
        a.Set(-1, -1, (x + y) / z);
    a.NormMe();
    b.Set(a.y * z - a.z * y, a.z * x - a.x * z, a.x * y - a.y * x);
    b.NormMe();
}

void QV_Vector3::Rotate(int32_t axis, float radians)
{
    float c = std::cos(radians);
    float s = std::sin(radians);
    switch (axis) {
    case X_AXIS: {
        float ny = c * y - s * z;
        float nz = s * y + c * z;
        y = ny;
        z = nz;
        break;
    }
    case Y_AXIS: {
        float nx = c * x + s * z;
        float nz = c * z - s * x;
        x = nx;
        z = nz;
        break;
    }
    case Z_AXIS: {
        float nx = c * x - s * y;
        float ny = s * x + c * y;
        x = nx;
        y = ny;
        break;
    }
    default:
        break;
    }
}
