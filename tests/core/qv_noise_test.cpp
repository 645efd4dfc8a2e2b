#include "qv_noise.h"
#include "qv_random.h"

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace {

// The lattice and the noise written out independently: 64-bit generator
// arithmetic, double precision, floor-based cells.
const std::vector<double>& ReferenceLattice()
{
    static const std::vector<double> lattice = [] {
        std::vector<double> values;
        uint64_t state = 666;
        for (int i = 0; i < 32768; ++i) {
            state = (state * 214013 + 2531011) % 4294967296ull;
            values.push_back(double(state / 65536 % 32768) / 32767.0 * 2.0 - 1.0);
        }
        return values;
    }();
    return lattice;
}

// The lattice coordinates themselves are float arithmetic by design.
double ReferenceNoise(float x, float y, float z, float amplitude, float frequency)
{
    const double c[3] = { x * frequency + 0.001209f, y * frequency + 0.001306f, z * frequency + 0.001413f };
    int i0[3], i1[3];
    double f[3];
    for (int a = 0; a < 3; ++a) {
        const double cell = std::floor(c[a]);
        f[a] = c[a] - cell;
        const long long wrapped = ((static_cast<long long>(cell) % 32) + 32) % 32;
        i0[a] = int(wrapped);
        i1[a] = int((wrapped + 1) % 32);
    }
    auto at = [](int xi, int yi, int zi) { return ReferenceLattice()[size_t((xi * 32 + yi) * 32 + zi)]; };
    auto lerp = [](double a, double b, double t) { return a + (b - a) * t; };
    const double v00 = lerp(at(i0[0], i0[1], i0[2]), at(i1[0], i0[1], i0[2]), f[0]);
    const double v10 = lerp(at(i0[0], i1[1], i0[2]), at(i1[0], i1[1], i0[2]), f[0]);
    const double v01 = lerp(at(i0[0], i0[1], i1[2]), at(i1[0], i0[1], i1[2]), f[0]);
    const double v11 = lerp(at(i0[0], i1[1], i1[2]), at(i1[0], i1[1], i1[2]), f[0]);
    return lerp(lerp(v00, v10, f[1]), lerp(v01, v11, f[1]), f[2]) * amplitude;
}

// Noise3D at lattice node (i, j, k), frequency 1: the offsets cancel.
float NoiseAtNode(int i, int j, int k)
{
    return Noise3D(float(i) - 0.001209f, float(j) - 0.001306f, float(k) - 0.001413f, 1.0f, 1.0f);
}

float NodeValue(int r)
{
    return float(r) / 32767.0f * 2.0f - 1.0f;
}

QV_Vector3 P(float x, float y, float z)
{
    QV_Vector3 p;
    p.x = x;
    p.y = y;
    p.z = z;
    return p;
}

// Runs in a process of its own: the lattice must still be empty.
int FirstUseInFreshProcess()
{
    int faults = 0;
    QV_SRand(1);
    if (Noise3D(1.5f, 2.5f, 3.5f, 0.0f, 1.0f) != 0.0f)
        faults |= 1;
    if (QV_Rand() != 41) // amplitude 0 filled the lattice (and reseeded)
        faults |= 2;

    // Many threads use the noise for the first time at once.
    constexpr int kThreads = 8;
    std::atomic<int> ready { 0 };
    float values[kThreads];
    int nextDraw[kThreads];
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            ++ready;
            while (ready < kThreads)
                std::this_thread::yield();
            values[t] = NoiseAtNode(31, 31, 31);
            nextDraw[t] = QV_Rand();
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    int reseeded = 0;
    for (int t = 0; t < kThreads; ++t) {
        if (std::fabs(values[t] - NodeValue(15656)) > 1e-4f)
            faults |= 4; // read a lattice that was not filled yet
        // The filling thread drew the whole lattice after srand(666); every
        // other thread still has its fresh sequence.
        if (nextDraw[t] == 4907)
            ++reseeded;
        else if (nextDraw[t] != 41)
            faults |= 8;
    }
    if (reseeded != 1)
        faults |= 16;

    QV_SRand(1);
    NoiseAtNode(3, 4, 5);
    InitNoiseTable();
    if (QV_Rand() != 41) // filled a second time
        faults |= 32;
    return faults;
}

} // namespace

TEST(QV_NoiseDeathTest, LatticeIsFilledOnceOnFirstRealUseEvenFromManyThreads)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(exit(FirstUseInFreshProcess()), ::testing::ExitedWithCode(0), "");
}

TEST(QV_Noise, LatticeHoldsTheSeed666SequenceWithZFastest)
{
    // Draws 1, 2, 33, 1025 and 32768 after srand(666).
    EXPECT_NEAR(NoiseAtNode(0, 0, 0), NodeValue(2213), 1e-4f);
    EXPECT_NEAR(NoiseAtNode(0, 0, 1), NodeValue(22734), 1e-4f);
    EXPECT_NEAR(NoiseAtNode(0, 1, 0), NodeValue(5564), 1e-4f);
    EXPECT_NEAR(NoiseAtNode(1, 0, 0), NodeValue(29721), 1e-4f);
    EXPECT_NEAR(NoiseAtNode(31, 31, 31), NodeValue(15656), 1e-4f);
    EXPECT_NEAR(NoiseAtNode(-1, -1, -1), NodeValue(15656), 1e-4f);
}

TEST(QV_Noise, MatchesTheLatticeInterpolationEverywhere)
{
    struct Case {
        float x, y, z, amplitude, frequency;
    } cases[] = {
        { 0.25f, 0.5f, 0.75f, 1, 1 },
        { 3.7f, 12.2f, 30.9f, 2.5f, 1 },
        { -0.3f, -7.9f, -31.4f, 1, 1 },
        { -2.0f, -1.0f, -33.0f, 1, 1 },
        { 1000.3f, -1234.56f, 77.7f, 0.5f, 1 },
        { 5.5f, -4.4f, 3.3f, 1, 0.37f },
        { -12.0f, 9.75f, 0.1f, 3, 2.5f },
        { 1e6f, -1e6f, 4e5f, 1, 1 },
    };
    for (const Case& c : cases) {
        const float got = Noise3D(c.x, c.y, c.z, c.amplitude, c.frequency);
        EXPECT_NEAR(got, ReferenceNoise(c.x, c.y, c.z, c.amplitude, c.frequency), 2e-4 * c.amplitude)
            << c.x << ", " << c.y << ", " << c.z;
        EXPECT_LE(std::fabs(got), c.amplitude);
    }
    EXPECT_EQ(Noise3D(1.5f, 2.5f, 3.5f, 5e-7f, 1), 0.0f);
    EXPECT_EQ(Noise3D(NAN, 2.5f, 3.5f, 1, 1), 0.0f);
    EXPECT_EQ(Noise3D(1.5f, INFINITY, 3.5f, 1, 1), 0.0f);
}

TEST(QV_Noise, ContinuousAcrossCellsAndNegativeWholeNumbers)
{
    // A step of 0.01 can change the noise by at most 0.02 (neighbouring
    // lattice values differ by at most 2); a wrong cell gives a jump.
    for (float frequency : { 1.0f, 0.5f }) {
        for (int axis = 0; axis < 3; ++axis) {
            float p[3] = { 0.37f, -5.61f, 2.93f };
            p[axis] = -40.0f;
            float previous = Noise3D(p[0], p[1], p[2], 1, frequency);
            for (int i = 1; i <= 8000; ++i) {
                p[axis] = -40.0f + float(i) * 0.01f;
                const float v = Noise3D(p[0], p[1], p[2], 1, frequency);
                ASSERT_LE(std::fabs(v - previous), 0.0201f * frequency + 1e-5f)
                    << "axis " << axis << " at " << p[axis] << " frequency " << frequency;
                previous = v;
            }
        }
    }
    // Exactly on a negative whole lattice coordinate (the cell below, fraction 1).
    for (float whole : { -1.0f, -2.0f, -32.0f }) {
        float x = whole - 0.001209f;
        for (int step = 0; step < 64 && x + 0.001209f != whole; ++step)
            x = std::nextafter(x, x + 0.001209f < whole ? 0.0f : -100.0f);
        ASSERT_EQ(x + 0.001209f, whole);
        const float on = Noise3D(x, 0.4f, 0.6f, 1, 1);
        EXPECT_NEAR(on, Noise3D(x - 1e-4f, 0.4f, 0.6f, 1, 1), 5e-4f);
        EXPECT_NEAR(on, Noise3D(x + 1e-4f, 0.4f, 0.6f, 1, 1), 5e-4f);
        EXPECT_NEAR(on, ReferenceNoise(x, 0.4f, 0.6f, 1, 1), 1e-5f);
    }
}

TEST(QV_Noise, RepeatsEvery32OverFrequencyUnits)
{
    for (float frequency : { 1.0f, 0.5f, 2.0f, 0.25f }) {
        const float period = 32.0f / frequency;
        for (float x : { 0.3f, -3.3f, 7.77f }) {
            const float y = 1.9f, z = -0.6f;
            const float v = Noise3D(x, y, z, 1, frequency);
            EXPECT_NEAR(Noise3D(x + period, y, z, 1, frequency), v, 1e-3f);
            EXPECT_NEAR(Noise3D(x, y - period, z, 1, frequency), v, 1e-3f);
            EXPECT_NEAR(Noise3D(x, y, z + 2 * period, 1, frequency), v, 1e-3f);
        }
    }
}

TEST(QV_Noise, FractalNoiseSumsOctavesDownToOneThousandth)
{
    const QV_Vector3 p = P(1.3f, -2.7f, 0.45f);
    EXPECT_EQ(FractalNoise3D(p, 1, 0.001f), 0.0f);
    EXPECT_EQ(FractalNoise3D(p, 1, 0.0005f), 0.0f);
    EXPECT_EQ(FractalNoise3D(p, 5e-7f, 1), 0.0f);

    // Frequency 1: ten octaves, 1 down to 1/512.
    float sum = 0, amplitude = 2, frequency = 1;
    for (int octave = 0; octave < 10; ++octave) {
        sum += std::fabs(Noise3D(p.x, p.y, p.z, amplitude, frequency));
        amplitude /= 2;
        frequency /= 2;
    }
    EXPECT_FLOAT_EQ(FractalNoise3D(p, 2, 1), sum);
    EXPECT_NEAR(FractalNoise3D(p, 2, 0.002f), std::fabs(Noise3D(p.x, p.y, p.z, 2, 0.002f)), 1e-6f);
}

TEST(QV_Noise, VectorFormsSampleAtShiftedPoints)
{
    const float x = 2.2f, y = -1.1f, z = 0.7f, a = 1.5f, f = 0.8f;
    const QV_Vector3 n = NoiseVector3D(x, y, z, a, f);
    EXPECT_EQ(n.x, Noise3D(x, y, z, a, f));
    EXPECT_EQ(n.y, Noise3D(x + 16, y, z, a, f));
    EXPECT_EQ(n.z, Noise3D(x + 16, y, z + 16, a, f));
    EXPECT_NE(n.x, n.y);

    const QV_Vector3 fn = FractalNoiseVector3D(P(x, y, z), a, f);
    EXPECT_EQ(fn.x, FractalNoise3D(P(x, y, z), a, f));
    EXPECT_EQ(fn.y, FractalNoise3D(P(x + 16, y, z), a, f));
    EXPECT_EQ(fn.z, FractalNoise3D(P(x + 16, y, z + 16), a, f));

    QV_Vector2 point;
    point.x = x;
    point.y = y;
    const QV_Vector2 n2 = NoiseVector2D(point, a, f);
    EXPECT_EQ(n2.x, Noise3D(x, y, 0, a, f));
    EXPECT_EQ(n2.y, Noise3D(x + 16, y, 0, a, f));

    // Jitter: fractal noise at z = seed * 1.3 / frequency, centred by a / 2.
    const QV_Vector2 j = JitterVector2D(point, a, f, 3);
    const float jz = 3 * 1.3f / f;
    EXPECT_FLOAT_EQ(j.x, FractalNoise3D(P(x, y, jz), a, f) - a / 2);
    EXPECT_FLOAT_EQ(j.y, FractalNoise3D(P(x + 16, y, jz), a, f) - a / 2);
    const QV_Vector2 again = JitterVector2D(point, a, f, 3);
    EXPECT_EQ(again.x, j.x);
    EXPECT_EQ(again.y, j.y);
    EXPECT_NE(JitterVector2D(point, a, f, 4).x, j.x);

    const QV_Vector2 still = JitterVector2D(point, a, 0, 3);
    EXPECT_EQ(still.x, -a / 2);
    EXPECT_EQ(still.y, -a / 2);
}
