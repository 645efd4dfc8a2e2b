#pragma once

#include <cstdint>

#include "qv_graphics.h"
#include "qv_matrix.h"

// Pushes the graphics transform and puts back exactly what the caller had: the depth, the
// matrix at it and the axis-aligned flag. A full matrix stack takes no further level, yet its
// Pop still pops: a plain Push/Pop pair around a draw would then damage the caller's transform.
class PushedTransform {
public:
    // A null context makes every operation a no-op.
    explicit PushedTransform(QV_Graphics* graphics)
        : fGraphics(graphics)
    {
        if (!graphics)
            return;
        fDepth = graphics->fMatrixDepth;
        fMatrix = graphics->CurrentTransform();
        fAxisAligned = graphics->fAxisAligned;
        graphics->Push();
    }
    // Pushes, then multiplies the transform into the new level.
    PushedTransform(QV_Graphics* graphics, const QV_Matrix& transform)
        : PushedTransform(graphics)
    {
        if (graphics)
            graphics->ApplyMatrix(transform);
    }
    ~PushedTransform() { Restore(); }
    PushedTransform(const PushedTransform&) = delete;
    PushedTransform& operator=(const PushedTransform&) = delete;

    // Drawing coordinates become the raster's pixels.
    void MakeIdentity()
    {
        if (!fGraphics)
            return;
        fGraphics->fMatrices[fGraphics->fMatrixDepth].Identity();
        fGraphics->fAxisAligned = true;
    }

    // Puts the caller's transform back now rather than at the end of the scope.
    void Restore()
    {
        if (!fGraphics || fRestored)
            return;
        fRestored = true;
        while (fGraphics->fMatrixDepth > fDepth)
            fGraphics->Pop();
        fGraphics->fMatrices[fDepth] = fMatrix;
        fGraphics->fAxisAligned = fAxisAligned;
    }

private:
    QV_Graphics* fGraphics;
    int32_t fDepth = 0;
    QV_Matrix fMatrix;
    bool fAxisAligned = true;
    bool fRestored = false;
};
