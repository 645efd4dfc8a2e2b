#pragma once

#include <cstdint>

class M_ShapeStyle;

// The style index of every effect kind (its StyleType); the type id is 10203 + the index, and
// 10202 means plain, no effect.
constexpr int32_t kStyleShaded = 0;
constexpr int32_t kStyleSplotchy = 1;
constexpr int32_t kStyleSoftEdge = 2;
constexpr int32_t kStyleSpots = 3;
constexpr int32_t kStyleHalo = 4;
constexpr int32_t kStyleGradient = 5;
constexpr int32_t kStyleTexture = 6;
constexpr int32_t kStyleSketchy = 7;
constexpr int32_t kStyleAngledPen = 8;
constexpr int32_t kStyleGradient2 = 9;
constexpr int32_t kStyleTexture2 = 10;
constexpr int32_t kStyleKindCount = 11;

// A new effect of the type id (10203 to 10213) with its defaults, owned by the caller; null for
// every other id.
M_ShapeStyle* NewShapeStyle(int32_t typeId);

// Installs NewShapeStyle as the maker behind CreateShapeStyle, through which the style records
// of the document model create their effects, and the soft edge and shading value constructors
// behind CreateSoftEdgeStyle and CreateShadingStyle. Called once at start-up, before any document
// is read; calling it again does no harm.
void RegisterShapeStyles();
