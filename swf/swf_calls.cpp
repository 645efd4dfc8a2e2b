// The flat calls over the writer's classes.
#include "swf.h"

#include "swf_movie.h"
#include "swf_shape.h"

#include <cstdio>

namespace {

template <class T>
void Drop(T* object)
{
    if (object)
        object->Release();
}

}  // namespace

SWFMovie newSWFMovie() { return new SwfMovie; }
void destroySWFMovie(SWFMovie movie) { Drop(movie); }

void SWFMovie_setDimension(SWFMovie movie, float width, float height)
{
    if (movie)
        movie->SetDimension(width, height);
}

void SWFMovie_setRate(SWFMovie movie, float rate)
{
    if (movie)
        movie->SetRate(rate);
}

void SWFMovie_setNumberOfFrames(SWFMovie movie, int frames)
{
    if (movie)
        movie->SetNumberOfFrames(frames);
}

void SWFMovie_setBackground(SWFMovie movie, uint8_t r, uint8_t g, uint8_t b)
{
    if (movie)
        movie->SetBackground(r, g, b);
}

SWFDisplayItem SWFMovie_add(SWFMovie movie, SWFShape shape)
{
    return movie ? movie->Timeline().Add(shape) : nullptr;
}

SWFDisplayItem SWFMovie_add(SWFMovie movie, SWFMovieClip clip)
{
    return movie ? movie->Timeline().Add(clip) : nullptr;
}

void SWFMovie_remove(SWFMovie movie, SWFDisplayItem item)
{
    if (movie && item)
        movie->Timeline().Remove(item);
}

void SWFMovie_nextFrame(SWFMovie movie)
{
    if (movie)
        movie->Timeline().NextFrame();
}

void SWFMovie_setSoundStream(SWFMovie movie, SWFSoundStream stream)
{
    if (movie)
        movie->SetSoundStream(stream);
}

int SWFMovie_save(SWFMovie movie, const char* path, int level)
{
    if (!movie)
        return -1;
    const int32_t written = movie->Save(path, level);
    if (written < 0)
        std::fprintf(stderr, "Cannot save the SWF movie %s: %s\n", path ? path : "", movie->Error().c_str());
    return written;
}

const char* SWFMovie_error(SWFMovie movie)
{
    if (!movie)
        return "";
    return movie->Problem();
}

SWFSoundStream newSWFSoundStreamFromPath(const char* path) { return SwfSoundStream::FromPath(path); }
void destroySWFSoundStream(SWFSoundStream stream) { Drop(stream); }

SWFShape newSWFShape() { return new SwfShape; }
void destroySWFShape(SWFShape shape) { Drop(shape); }

void SWFShape_movePenTo(SWFShape shape, float x, float y)
{
    if (shape)
        shape->MovePenTo(x, y);
}

void SWFShape_drawLineTo(SWFShape shape, float x, float y)
{
    if (shape)
        shape->LineTo(x, y);
}

void SWFShape_drawCurveTo(SWFShape shape, float controlX, float controlY, float anchorX, float anchorY)
{
    if (shape)
        shape->CurveTo(controlX, controlY, anchorX, anchorY);
}

void SWFShape_setLine(SWFShape shape, float width, uint8_t r, uint8_t g, uint8_t b, uint8_t a)
{
    if (shape)
        shape->SetLine(width, r, g, b, a);
}

void SWFShape_setRightFill(SWFShape shape, SWFFill fill)
{
    if (shape)
        shape->SetRightFill(fill);
}

SWFFill SWFShape_addSolidFill(SWFShape shape, uint8_t r, uint8_t g, uint8_t b, uint8_t a)
{
    return shape ? shape->AddFill(SwfFill::Solid(r, g, b, a)) : nullptr;
}

SWFFill SWFShape_addGradientFill(SWFShape shape, SWFGradient gradient, uint8_t flags)
{
    return shape ? shape->AddFill(SwfFill::Gradient(gradient, flags)) : nullptr;
}

SWFFill SWFShape_addBitmapFill(SWFShape shape, SWFBitmap bitmap, uint8_t flags)
{
    return shape ? shape->AddFill(SwfFill::Bitmap(bitmap, flags)) : nullptr;
}

void SWFShape_end(SWFShape shape)
{
    if (shape)
        shape->End();
}

SWFGradient newSWFGradient() { return new SwfGradient; }
void destroySWFGradient(SWFGradient gradient) { Drop(gradient); }

void SWFGradient_addEntry(SWFGradient gradient, float ratio, uint8_t r, uint8_t g, uint8_t b, uint8_t a)
{
    if (gradient)
        gradient->AddEntry(ratio, r, g, b, a);
}

void destroySWFFill(SWFFill fill) { Drop(fill); }

void SWFFill_moveTo(SWFFill fill, float x, float y)
{
    if (fill)
        fill->Matrix().MoveTo(x, y);
}

void SWFFill_move(SWFFill fill, float dx, float dy)
{
    if (fill)
        fill->Matrix().MoveBy(dx, dy);
}

void SWFFill_scaleXY(SWFFill fill, float sx, float sy)
{
    if (fill)
        fill->Matrix().Scale(sx, sy);
}

void SWFFill_rotate(SWFFill fill, float degrees)
{
    if (fill)
        fill->Matrix().Rotate(degrees);
}

SWFMovieClip newSWFMovieClip() { return new SwfMovieClip; }
void destroySWFMovieClip(SWFMovieClip clip) { Drop(clip); }

SWFDisplayItem SWFMovieClip_add(SWFMovieClip clip, SWFShape shape)
{
    return clip ? clip->Timeline().Add(shape) : nullptr;
}

SWFDisplayItem SWFMovieClip_add(SWFMovieClip clip, SWFMovieClip inner)
{
    return clip && inner != clip ? clip->Timeline().Add(inner) : nullptr;
}

void SWFMovieClip_nextFrame(SWFMovieClip clip)
{
    if (clip)
        clip->Timeline().NextFrame();
}

void SWFMovieClip_labelFrame(SWFMovieClip clip, const char* label)
{
    if (clip)
        clip->Timeline().Label(label);
}

void SWFMovieClip_setNumberOfFrames(SWFMovieClip clip, int frames)
{
    if (clip)
        clip->SetNumberOfFrames(frames);
}

void SWFDisplayItem_moveTo(SWFDisplayItem item, float x, float y)
{
    if (item)
        item->MoveTo(x, y);
}

void SWFDisplayItem_scaleTo(SWFDisplayItem item, float sx, float sy)
{
    if (item)
        item->ScaleTo(sx, sy);
}

void SWFDisplayItem_rotateTo(SWFDisplayItem item, float degrees)
{
    if (item)
        item->RotateTo(degrees);
}

void SWFDisplayItem_setColorMult(SWFDisplayItem item, float r, float g, float b, float a)
{
    if (item)
        item->SetColorMult(r, g, b, a);
}

SWFBitmap newSWFJpegBitmap_fromPath(const char* path) { return SwfBitmap::FromJpegFile(path); }
SWFBitmap newSWFDBLBitmapData_fromPngFile(const char* path) { return SwfBitmap::FromPngFile(path); }
void destroySWFBitmap(SWFBitmap bitmap) { Drop(bitmap); }
