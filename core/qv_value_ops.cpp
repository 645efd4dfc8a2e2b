// The small operations of the value types that scripts compute with.
#include <cmath>

#include "qv_color.h"
#include "qv_rect.h"
#include "qv_vector.h"

void QV_Point::Set(int32_t nx, int32_t ny)
{
    x = nx;
    y = ny;
}

void QV_Point::Set(const QV_Point& p)
{
    x = p.x;
    y = p.y;
}

bool QV_Rect::Contains(const QV_Point& p) const
{
    if (p.x < left || p.x > right)
        return false;
    return p.y >= top && p.y <= bottom;
}

void QV_Vector2::Set(float nx, float ny)
{
    x = nx;
    y = ny;
}

void QV_Vector2::Set(const QV_Vector2& v)
{
    x = v.x;
    y = v.y;
}

float QV_Vector2::Dot(const QV_Vector2& v) const
{
    return y * v.y + x * v.x;
}

float QV_Vector2::SquaredMag() const
{
    return x * x + y * y;
}

QV_Vector2 QV_Vector2::GetOrthogonal() const
{
    return QV_Vector2 { -y, x };
}

QV_Vector2 QV_Vector2::operator+(const QV_Vector2& v) const
{
    return QV_Vector2 { x + v.x, y + v.y };
}

QV_Vector2 QV_Vector2::operator-(const QV_Vector2& v) const
{
    return QV_Vector2 { x - v.x, y - v.y };
}

QV_Vector2 QV_Vector2::operator*(float s) const
{
    return QV_Vector2 { x * s, y * s };
}

QV_Vector2 QV_Vector2::operator/(float s) const
{
    return QV_Vector2 { x / s, y / s };
}

void QV_Vector3::Set(const QV_Vector3& v)
{
    x = v.x;
    y = v.y;
    z = v.z;
}

float QV_Vector3::Dot(const QV_Vector3& v) const
{
    return y * v.y + x * v.x + z * v.z;
}

QV_Vector3 QV_Vector3::Cross(const QV_Vector3& v) const
{
    return QV_Vector3 { y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x };
}

float QV_Vector3::SquaredMag() const
{
    return x * x + y * y + z * z;
}

float QV_Vector3::Mag() const
{
    return std::sqrt(SquaredMag());
}

QV_Vector3 QV_Vector3::operator+(const QV_Vector3& v) const
{
    return QV_Vector3 { x + v.x, y + v.y, z + v.z };
}

QV_Vector3 QV_Vector3::operator-(const QV_Vector3& v) const
{
    return QV_Vector3 { x - v.x, y - v.y, z - v.z };
}

QV_Vector3 QV_Vector3::operator*(float s) const
{
    return QV_Vector3 { x * s, y * s, z * s };
}

QV_Vector3 QV_Vector3::operator/(float s) const
{
    return QV_Vector3 { x / s, y / s, z / s };
}

void QV_ColorVector::Set(float nr, float ng, float nb)
{
    Set(nr, ng, nb, 1);
}

void QV_ColorVector::Set(float nr, float ng, float nb, float na)
{
    r = nr;
    g = ng;
    b = nb;
    a = na;
}

void QV_ColorVector::Set(const QV_ColorVector& c)
{
    *this = c;
}

float QV_ColorVector::SquaredMag() const
{
    return r * r + g * g + b * b;
}

float QV_ColorVector::Mag() const
{
    return std::sqrt(SquaredMag());
}

void QV_ColorVector::Invert()
{
    r = 1 - r;
    g = 1 - g;
    b = 1 - b;
}

bool QV_ColorVector::IsBlack() const
{
    return r < 0.000001f && g < 0.000001f && b < 0.000001f;
}

bool QV_ColorVector::IsWhite() const
{
    return r > 0.999999f && g > 0.999999f && b > 0.999999f;
}

bool QV_ColorVector::IsOpaque() const
{
    return a > 0.999999f;
}

bool QV_ColorVector::IsTransparent() const
{
    return a < 0.000001f;
}
