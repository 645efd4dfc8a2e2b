#pragma once
// The vertex set-up and the edge-chain walk shared by the polygon rasterisers and the document
// context's textured polygons. Every float that becomes an integer here is clamped first, NaN
// included, so that no conversion is undefined whatever geometry a caller hands over.
#include "qv_raster.h"
#include <cstdint>

namespace polygon_walk {

// v clamped to lo..hi; NaN gives lo.
inline float Clamp(float v, float lo, float hi)
{
    if (!(v >= lo))
        return lo;
    return v > hi ? hi : v;
}

// Rows and columns far outside any raster but well inside int32.
constexpr float kRowLimit = 1.0e9f;

inline int32_t TruncRow(float v)
{
    return static_cast<int32_t>(Clamp(v, -kRowLimit, kRowLimit));
}

// The first row whose centre lies strictly below minY.
inline int32_t FirstRow(float minY)
{
    const float t = minY - 0.5f;
    return t >= 0 ? TruncRow(t) + 1 : TruncRow(t);
}

// floor(y + 0.5): the first row an edge ending at y no longer covers.
inline int32_t EndRow(float y)
{
    const float t = y + 0.5f;
    return t >= 0 ? TruncRow(t) : TruncRow(t) - 1;
}

// 16.16 value of v clamped to +-32760.
inline int32_t ToFixed(float v)
{
    return static_cast<int32_t>(Clamp(v, -32760.0f, 32760.0f) * 65536.0f);
}

// Fields of RasterVertex / RasterEdge in their common order, and masks of them.
constexpr int kFieldCount = 11;
enum : uint32_t {
    kFieldX = 1u << 0,
    kFieldShade = 1u << 1,
    kFieldU = 1u << 2,
    kFieldV = 1u << 3,
    kFieldZ = 1u << 4,
    kFieldW = 1u << 6,
    kFieldR = 1u << 7,
    kFieldG = 1u << 8,
    kFieldB = 1u << 9,
    kFieldA = 1u << 10,
    kFieldsAllButY = 0x7DF,
};

inline const float* Fields(const RasterVertex& v)
{
    return &v.x;
}
inline int32_t* Fields(RasterEdge& e)
{
    return &e.x;
}
inline float* Fields(RasterEdgeF& e)
{
    return &e.x;
}
static_assert(sizeof(RasterVertex) == kFieldCount * sizeof(float));
static_assert(sizeof(RasterEdge) == kFieldCount * sizeof(int32_t));

// Centred view units to pixels.
inline void MapPosition(RasterVertex& v, float centerX, float centerY)
{
    v.x = v.x * centerY + centerX;
    v.y = centerY - v.y * centerY;
}

inline float ScaleDepth(float z)
{
    return Clamp(z * 32768.0f, -32768.0f, 32768.0f);
}
inline float ScaleByte(float c)
{
    return Clamp(c * 255.0f, 0.0f, 255.0f);
}

// u or v times the texture size; clamped to the texels unless the texture repeats.
inline float ScaleTexel(float t, int32_t size, bool wrap)
{
    t *= static_cast<float>(size);
    if (wrap)
        return t;
    if (t < 0)
        return 0;
    const float last = static_cast<float>(size - 1);
    return t > last ? last : t;
}

// A vertex from view units and 0..1 colours to pixels, depth units and bytes.
inline void ScaleVertex(RasterVertex& v, float centerX, float centerY)
{
    MapPosition(v, centerX, centerY);
    v.shade = ScaleByte(v.shade);
    v.z = ScaleDepth(v.z);
    v.r = ScaleByte(v.r);
    v.g = ScaleByte(v.g);
    v.b = ScaleByte(v.b);
    v.a = ScaleByte(v.a);
}

// Texture coordinates from 0..1 to texels of a width x height texture.
inline void ScaleTexels(RasterVertex& v, int32_t width, int32_t height, bool wrap)
{
    v.u = ScaleTexel(v.u, width, wrap);
    v.v = ScaleTexel(v.v, height, wrap);
}

// The pixel and depth box of a polygon and its top vertex (the first strictly smallest y).
struct PolygonBox {
    float minX = 1e6f;
    float minY = 1e6f;
    float minZ = 1e6f;
    float maxX = -1e6f;
    float maxY = -1e6f;
    float maxZ = -1e6f;
    int32_t top = 0;

    void Add(const RasterVertex& v, int32_t index, bool withDepth)
    {
        if (v.x < minX)
            minX = v.x;
        if (v.x > maxX)
            maxX = v.x;
        if (v.y < minY) {
            minY = v.y;
            top = index;
        }
        if (v.y > maxY)
            maxY = v.y;
        if (withDepth) {
            if (v.z < minZ)
                minZ = v.z;
            if (v.z > maxZ)
                maxZ = v.z;
        }
    }

    // Something of the box may lie on a width x height raster.
    bool Meets(int32_t width, int32_t height) const
    {
        return maxX >= 0 && maxY >= 0 && minX < static_cast<float>(width)
            && minY < static_cast<float>(height);
    }

    // bounds = minX, minY, minZ, maxX, maxY, maxZ; widened by this box.
    void WidenBounds(float* bounds, bool withDepth) const
    {
        const float mins[3] = { minX, minY, minZ };
        const float maxs[3] = { maxX, maxY, maxZ };
        for (int i = 0; i < 3; i++) {
            if (i == 2 && !withDepth)
                continue;
            if (mins[i] < bounds[i])
                bounds[i] = mins[i];
            if (maxs[i] > bounds[3 + i])
                bounds[3 + i] = maxs[i];
        }
    }
};

// An edge field from a float: 16.16 fixed point in the integer walk, as it is in the float one.
inline void SetField(int32_t& field, float v)
{
    field = ToFixed(v);
}
inline void SetField(float& field, float v)
{
    field = v;
}

// Values at the centre of the row and change per row of the edge p -> q for the masked fields;
// the rest stay 0. Edge is RasterEdge (16.16) or RasterEdgeF.
template <typename Edge>
inline void SetUpEdge(
    const RasterVertex& p, const RasterVertex& q, int32_t row, uint32_t fields, Edge& value, Edge& step)
{
    value = Edge {};
    step = Edge {};
    float dy = q.y - p.y;
    if (dy == 0)
        dy = 1;
    const float inv = 1.0f / dy;
    const float sub = (static_cast<float>(row) + 0.5f) - p.y;
    const float* pf = Fields(p);
    const float* qf = Fields(q);
    auto* vf = Fields(value);
    auto* sf = Fields(step);
    for (int i = 0; i < kFieldCount; i++) {
        if (!(fields & (1u << i)))
            continue;
        const float slope = (qf[i] - pf[i]) * inv;
        SetField(vf[i], slope * sub + pf[i]);
        SetField(sf[i], slope);
    }
}

// Adds the step `times` times to every field but y. Fixed-point values wrap like the 32-bit
// registers they stand for, so a jump over many rows equals walking them.
inline void Advance(RasterEdge& value, const RasterEdge& step, int64_t times)
{
    int32_t* vf = Fields(value);
    const int32_t* sf = &step.x;
    for (int i = 0; i < kFieldCount; i++) {
        if (i == 5)
            continue;
        const uint64_t sum
            = static_cast<uint64_t>(vf[i]) + static_cast<uint64_t>(sf[i]) * static_cast<uint64_t>(times);
        vf[i] = static_cast<int32_t>(static_cast<uint32_t>(sum));
    }
}

inline void Advance(RasterEdgeF& value, const RasterEdgeF& step, int64_t times)
{
    constexpr int64_t kExactSteps = 65536;
    float* vf = Fields(value);
    const float* sf = &step.x;
    for (int i = 0; i < kFieldCount; i++) {
        if (i == 5)
            continue;
        if (times <= kExactSteps) {
            for (int64_t k = 0; k < times; k++)
                vf[i] += sf[i];
        } else {
            // Rows far above the raster: one product instead of an endless run of additions.
            vf[i] += sf[i] * static_cast<float>(times);
        }
    }
}

// Walks the rows of a polygon whose vertices are in pixels. Two chains start at the top vertex,
// the first toward lower indices, the second toward higher; each row whose centre lies below the
// top and not below the bottom is handed to span(row, first chain's edge, second chain's edge),
// rows above the raster (or odd rows when evenRowsOnly) skipped. Stops at the raster's last row.
template <typename Edge, typename Span>
void WalkPolygon(const RasterVertex* vertices, int32_t count, int32_t top, float minY, int32_t height,
    bool evenRowsOnly, uint32_t fields, Span span)
{
    Edge value[2] {};
    Edge step[2] {};
    int32_t current[2] = { top, top };
    int32_t row = FirstRow(minY);
    int32_t end[2] = { row - 1, row - 1 };
    int32_t remaining = count;
    for (;;) {
        for (int chain = 0; chain < 2; chain++) {
            while (end[chain] <= row && remaining > 0) {
                remaining--;
                int32_t next = current[chain] + (chain == 0 ? -1 : 1);
                if (next < 0)
                    next = count - 1;
                else if (next >= count)
                    next = 0;
                SetUpEdge(vertices[current[chain]], vertices[next], row, fields, value[chain], step[chain]);
                current[chain] = next;
                end[chain] = EndRow(vertices[next].y);
            }
        }
        while (row < end[0] && row < end[1]) {
            if (row >= height)
                return;
            if (row < 0) {
                // Nothing is drawn above the raster: go straight to its first row.
                const int32_t stop = end[0] < end[1] ? end[0] : end[1];
                const int32_t target = stop < 0 ? stop : 0;
                Advance(value[0], step[0], target - row);
                Advance(value[1], step[1], target - row);
                row = target;
                continue;
            }
            if (!evenRowsOnly || (row & 1) == 0)
                span(row, value[0], value[1]);
            Advance(value[0], step[0], 1);
            Advance(value[1], step[1], 1);
            row++;
        }
        if (row >= height || remaining == 0)
            return;
    }
}

} // namespace polygon_walk
