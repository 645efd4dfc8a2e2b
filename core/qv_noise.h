#pragma once
#include "qv_vector.h"

// Smooth lattice noise. All of it comes from one fixed 32 x 32 x 32 lattice
// filled from a fixed seed, so noise is the same on every run and machine.

// Fills the lattice once per process: reseeds the calling thread's generator
// with 666 and draws the values in index order. Noise3D calls it on first
// use; later calls do nothing. Safe to call from any thread.
void InitNoiseTable();

// Noise in -amplitude..amplitude, repeating every 32 / frequency units along
// each axis. 0 for amplitude < 1e-6, without filling the lattice.
float Noise3D(float x, float y, float z, float amplitude, float frequency);

// Sum of |Noise3D| over octaves from frequency down to 0.001, halving
// amplitude and frequency each time.
float FractalNoise3D(const QV_Vector3& point, float amplitude, float frequency);

// Three Noise3D samples: at (x, y, z), (x + 16, y, z) and (x + 16, y, z + 16).
QV_Vector3 NoiseVector3D(float x, float y, float z, float amplitude, float frequency);

// FractalNoise3D at p, p + (16, 0, 0) and p + (16, 0, 16).
QV_Vector3 FractalNoiseVector3D(const QV_Vector3& point, float amplitude, float frequency);

// Noise3D at (x, y, 0) and (x + 16, y, 0).
QV_Vector2 NoiseVector2D(const QV_Vector2& point, float amplitude, float frequency);

// An offset for line noise that depends only on the point's position (and
// the seed): fractal noise centred by subtracting amplitude / 2.
QV_Vector2 JitterVector2D(const QV_Vector2& point, float amplitude, float frequency, int seed);
