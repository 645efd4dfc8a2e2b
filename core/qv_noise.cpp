#include "qv_noise.h"

#include "qv_random.h"

#include <cmath>
#include <mutex>

namespace {

constexpr int kNoiseSize = 32;

// Indexed [x][y][z], z fastest. Written once under gNoiseTableOnce, read-only
// afterwards.
float NoiseTable[kNoiseSize * kNoiseSize * kNoiseSize];
std::once_flag gNoiseTableOnce;

void FillNoiseTable()
{
    QV_SRand(666);
    for (float& value : NoiseTable)
        value = float(QV_Rand()) / float(kQVRandMax) * 2.0f - 1.0f;
}

// Splits a lattice coordinate into its cell (wrapped into 0..31, and the next
// one) and the fraction within it. A negative whole number belongs to the cell
// below with fraction 1, as the stored animations expect.
void LatticeCell(float value, int& cell, int& next, float& fraction)
{
    float whole = std::trunc(value);
    if (value < 0.0f)
        whole -= 1.0f;
    fraction = value - whole;
    // fmod keeps the wrap exact for any magnitude, where an int cast would overflow.
    int wrapped = int(std::fmod(whole, float(kNoiseSize)));
    if (wrapped < 0)
        wrapped += kNoiseSize;
    cell = wrapped;
    next = (wrapped + 1) % kNoiseSize;
}

inline float Lerp(float a, float b, float f)
{
    return a + (b - a) * f;
}

inline float Lattice(int x, int y, int z)
{
    return NoiseTable[(x * kNoiseSize + y) * kNoiseSize + z];
}

} // namespace

void InitNoiseTable()
{
    std::call_once(gNoiseTableOnce, FillNoiseTable);
}

float Noise3D(float x, float y, float z, float amplitude, float frequency)
{
    if (amplitude < 1e-6f)
        return 0.0f;
    InitNoiseTable();

    const float lx = x * frequency + 0.001209f;
    const float ly = y * frequency + 0.001306f;
    const float lz = z * frequency + 0.001413f;
    if (!std::isfinite(lx) || !std::isfinite(ly) || !std::isfinite(lz))
        return 0.0f;

    int x0, x1, y0, y1, z0, z1;
    float fx, fy, fz;
    LatticeCell(lx, x0, x1, fx);
    LatticeCell(ly, y0, y1, fy);
    LatticeCell(lz, z0, z1, fz);

    const float v00 = Lerp(Lattice(x0, y0, z0), Lattice(x1, y0, z0), fx);
    const float v10 = Lerp(Lattice(x0, y1, z0), Lattice(x1, y1, z0), fx);
    const float v01 = Lerp(Lattice(x0, y0, z1), Lattice(x1, y0, z1), fx);
    const float v11 = Lerp(Lattice(x0, y1, z1), Lattice(x1, y1, z1), fx);
    const float v0 = Lerp(v00, v10, fy);
    const float v1 = Lerp(v01, v11, fy);
    return Lerp(v0, v1, fz) * amplitude;
}

float FractalNoise3D(const QV_Vector3& point, float amplitude, float frequency)
{
    if (amplitude < 1e-6f)
        return 0.0f;
    float sum = 0.0f;
    while (frequency > 0.001f) {
        sum += std::fabs(Noise3D(point.x, point.y, point.z, amplitude, frequency));
        amplitude *= 0.5f;
        frequency *= 0.5f;
    }
    return sum;
}

QV_Vector3 NoiseVector3D(float x, float y, float z, float amplitude, float frequency)
{
    QV_Vector3 v;
    v.x = Noise3D(x, y, z, amplitude, frequency);
    v.y = Noise3D(x + 16.0f, y, z, amplitude, frequency);
    v.z = Noise3D(x + 16.0f, y, z + 16.0f, amplitude, frequency);
    return v;
}

QV_Vector3 FractalNoiseVector3D(const QV_Vector3& point, float amplitude, float frequency)
{
    QV_Vector3 shifted = point;
    QV_Vector3 v;
    v.x = FractalNoise3D(shifted, amplitude, frequency);
    shifted.x += 16.0f;
    v.y = FractalNoise3D(shifted, amplitude, frequency);
    shifted.z += 16.0f;
    v.z = FractalNoise3D(shifted, amplitude, frequency);
    return v;
}

QV_Vector2 NoiseVector2D(const QV_Vector2& point, float amplitude, float frequency)
{
    QV_Vector2 v;
    v.x = Noise3D(point.x, point.y, 0.0f, amplitude, frequency);
    v.y = Noise3D(point.x + 16.0f, point.y, 0.0f, amplitude, frequency);
    return v;
}

QV_Vector2 JitterVector2D(const QV_Vector2& point, float amplitude, float frequency, int seed)
{
    // With no frequency the fractal sum is empty and z plays no part.
    const float z = frequency != 0.0f ? float(seed) * 1.3f / frequency : 0.0f;
    QV_Vector3 p;
    p.x = point.x;
    p.y = point.y;
    p.z = z;
    QV_Vector2 v;
    v.x = FractalNoise3D(p, amplitude, frequency) - amplitude * 0.5f;
    p.x = point.x + 16.0f;
    v.y = FractalNoise3D(p, amplitude, frequency) - amplitude * 0.5f;
    return v;
}
