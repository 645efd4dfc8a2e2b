#pragma once
// The anti-aliasing objects behind QV_Graphics's smooth filling. Only the smooth-fill code (and
// its tests) include this; everything else sees the three types as opaque.
#include "agg_pixfmt_rgba.h"
#include "agg_rasterizer_scanline_aa.h"
#include "agg_rendering_buffer.h"
#include "agg_scanline_u.h"
#include <cstdint>

// Straight (non-premultiplied) blending of all four channels: with a = colour alpha x coverage,
// an opaque colour at full coverage is stored as it is, anything else moves each byte toward the
// colour's byte by (colour - pixel) x a >> 16.
struct QV_AggBlender {
    typedef agg::rgba8 color_type;
    typedef agg::order_bgra order_type;
    typedef color_type::value_type value_type;
    typedef color_type::calc_type calc_type;
    typedef color_type::long_type long_type;

    static void blend_pix(
        value_type* p, value_type cr, value_type cg, value_type cb, value_type alpha, agg::cover_type cover)
    {
        const int32_t a = int32_t(alpha) * int32_t(cover);
        if (a == 255 * 255) {
            p[order_type::R] = cr;
            p[order_type::G] = cg;
            p[order_type::B] = cb;
            p[order_type::A] = alpha;
            return;
        }
        p[order_type::R] = Toward(p[order_type::R], cr, a);
        p[order_type::G] = Toward(p[order_type::G], cg, a);
        p[order_type::B] = Toward(p[order_type::B], cb, a);
        p[order_type::A] = Toward(p[order_type::A], alpha, a);
    }

    static void blend_pix(value_type* p, value_type cr, value_type cg, value_type cb, value_type alpha)
    {
        blend_pix(p, cr, cg, cb, alpha, agg::cover_full);
    }

    static value_type Toward(value_type p, value_type c, int32_t a)
    {
        // Arithmetic shift: a step down rounds toward the colour's byte as well.
        return value_type(int32_t(p) + ((int32_t(c) - int32_t(p)) * a >> 16));
    }
};

struct QV_AggBuffer : agg::rendering_buffer { };

struct QV_AggPixelFormat : agg::pixfmt_alpha_blend_rgba<QV_AggBlender, agg::rendering_buffer> {
    explicit QV_AggPixelFormat(agg::rendering_buffer& buffer)
        : agg::pixfmt_alpha_blend_rgba<QV_AggBlender, agg::rendering_buffer>(buffer)
    {
    }
};

struct QV_AggRasterizer : agg::rasterizer_scanline_aa<> { };

struct QV_AggScanline : agg::scanline_u8 { };

// Coverage in, coverage out: the non-linear table the smooth fills have always been drawn with.
extern const uint8_t kSmoothFillGamma[256];
