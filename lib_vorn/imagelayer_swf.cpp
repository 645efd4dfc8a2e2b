// The image layer's SWF export: a JPEG or PNG picture becomes a bitmap-filled rectangle, defined
// once as a labelled clip and placed every frame with the layer's transform and opacity.

#include <cmath>
#include <string>

#include "imagelayer.h"
#include "media_path.h"
#include "swf.h"
#include "vorndoc.h"
#include "xgraphics.h"

namespace {

constexpr float kPi = 3.14159265f;  // single precision, as the angles are turned to degrees

QV_Vector2 Apply(const QV_Matrix& m, const QV_Vector2& p)
{
    QV_Vector2 v = p;
    m.Transform(v);
    return v;
}

} // namespace

void ImageLayer::ExportSWFBitmap(VornDoc* doc, XGraphics* graphics)
{
    if (!graphics || !IsFlatAndStatic() || !fImage.buffer.pixels)
        return;
    const float w = float(fImage.buffer.width), h = float(fImage.buffer.height);
    if (!fSWFClip) {
        const QV_String type = fImagePath.MimeType();
        std::string path = FindMediaFile(fImagePath.CString(), fDoc ? fDoc : doc);
        if (path.empty())
            path = fImagePath.CString();
        if (type == "image/jpeg" || type == "image/png") {
            fSWFBitmap = type == "image/jpeg" ? newSWFJpegBitmap_fromPath(path.c_str())
                                              : newSWFDBLBitmapData_fromPngFile(path.c_str());
            // Unreadable now; the next frame tries again.
            if (!fSWFBitmap)
                return;
        }
        fSWFClip = newSWFMovieClip();
        SWFMovieClip_setNumberOfFrames(fSWFClip, 1);
        fSWFShape = newSWFShape();
        if (fSWFBitmap) {
            fSWFFill = SWFShape_addBitmapFill(fSWFShape, fSWFBitmap, SWFFILL_CLIPPED_BITMAP);
            if (fSWFFill) {
                SWFFill_moveTo(fSWFFill, -w / 2, -h / 2);
                SWFShape_setRightFill(fSWFShape, fSWFFill);
            }
        }
        SWFShape_movePenTo(fSWFShape, -w / 2, -h / 2);
        SWFShape_drawLineTo(fSWFShape, w / 2, -h / 2);
        SWFShape_drawLineTo(fSWFShape, w / 2, h / 2);
        SWFShape_drawLineTo(fSWFShape, -w / 2, h / 2);
        SWFShape_drawLineTo(fSWFShape, -w / 2, -h / 2);
        SWFShape_end(fSWFShape);
        SWFMovieClip_add(fSWFClip, fSWFShape);
        SWFMovieClip_labelFrame(fSWFClip, fName.CString());
        SWFMovieClip_nextFrame(fSWFClip);
    }

    const QV_Matrix m = graphics->CurrentTransform();
    const QV_Vector2 o = Apply(m, QV_Vector2 { 0, 0 });
    const QV_Vector2 base = Apply(m, fOrigin);
    const QV_Vector2 a = Apply(m, QV_Vector2 { fOrigin.x + 1, fOrigin.y }) - base;
    const QV_Vector2 b = Apply(m, QV_Vector2 { fOrigin.x, fOrigin.y + 1 }) - base;
    // Output pixels per layer unit times layer units per picture pixel: the picture keeps its
    // size relative to the frame whatever size the movie is written at.
    float sx = a.Mag() * fShapeWidth / w;
    const float sy = b.Mag() * fShapeHeight / h;
    float angle = -std::atan2(a.y, a.x);
    if (b.y * a.x - b.x * a.y > 0) {
        sx = -sx;
        angle += kPi;
    }
    SWFDisplayItem item = SWFMovie_add(graphics->fSWFTarget, fSWFClip);
    SWFDisplayItem_scaleTo(item, sx, sy);
    SWFDisplayItem_rotateTo(item, angle * 180 / kPi);
    SWFDisplayItem_moveTo(item, o.x, o.y);
    SWFDisplayItem_setColorMult(item, 1, 1, 1, fAlpha.value);
    if (item)
        graphics->fSWFItems.Append(item);
}
