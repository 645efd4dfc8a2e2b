#pragma once

#include <cstdint>

// The SWF writer's calls. Units are pixels as floats (stored in twips), y points down and
// angles are degrees, counter-clockwise on screen. Every handle is reference-counted: a maker's
// answer is the caller's reference, dropped by the matching destroy call, and whatever holds a
// handle (a movie its shapes and clips, a shape its fills) keeps it alive. Every call accepts
// null and then does nothing (answering null, or -1 for a save).

class SwfMovie;
class SwfMovieClip;
class SwfShape;
class SwfFill;
class SwfGradient;
class SwfBitmap;
class SwfDisplayItem;
class SwfSoundStream;

typedef SwfMovie* SWFMovie;
typedef SwfMovieClip* SWFMovieClip;
typedef SwfShape* SWFShape;
typedef SwfFill* SWFFill;
typedef SwfGradient* SWFGradient;
typedef SwfBitmap* SWFBitmap;
typedef SwfDisplayItem* SWFDisplayItem;  // owned by its movie or clip
typedef SwfSoundStream* SWFSoundStream;

constexpr uint8_t SWFFILL_LINEAR_GRADIENT = 0x10;
constexpr uint8_t SWFFILL_RADIAL_GRADIENT = 0x12;
constexpr uint8_t SWFFILL_TILED_BITMAP = 0x40;
constexpr uint8_t SWFFILL_CLIPPED_BITMAP = 0x41;

SWFMovie newSWFMovie();
void destroySWFMovie(SWFMovie movie);
void SWFMovie_setDimension(SWFMovie movie, float width, float height);
void SWFMovie_setRate(SWFMovie movie, float rate);
void SWFMovie_setNumberOfFrames(SWFMovie movie, int frames);
void SWFMovie_setBackground(SWFMovie movie, uint8_t r, uint8_t g, uint8_t b);
// Defines the shape or clip when needed and places it on the depth above every depth in use.
SWFDisplayItem SWFMovie_add(SWFMovie movie, SWFShape shape);
SWFDisplayItem SWFMovie_add(SWFMovie movie, SWFMovieClip clip);
void SWFMovie_remove(SWFMovie movie, SWFDisplayItem item);
void SWFMovie_nextFrame(SWFMovie movie);
void SWFMovie_setSoundStream(SWFMovie movie, SWFSoundStream stream);
// Compressed with zlib at the level (0 … 9); the bytes written, or -1 with nothing written
// under the path and the reason on standard error.
int SWFMovie_save(SWFMovie movie, const char* path, int level);
// Why no save of the movie can succeed any more (it has passed one of the format's 16-bit limits
// of characters, depths or frames), else why the last save failed, else "". An export asks after
// each frame, so as to stop at once rather than render frames that no file can hold.
const char* SWFMovie_error(SWFMovie movie);

SWFSoundStream newSWFSoundStreamFromPath(const char* path);
void destroySWFSoundStream(SWFSoundStream stream);

SWFShape newSWFShape();
void destroySWFShape(SWFShape shape);
void SWFShape_movePenTo(SWFShape shape, float x, float y);
void SWFShape_drawLineTo(SWFShape shape, float x, float y);
void SWFShape_drawCurveTo(SWFShape shape, float controlX, float controlY, float anchorX, float anchorY);
void SWFShape_setLine(SWFShape shape, float width, uint8_t r, uint8_t g, uint8_t b, uint8_t a);
void SWFShape_setRightFill(SWFShape shape, SWFFill fill);
SWFFill SWFShape_addSolidFill(SWFShape shape, uint8_t r, uint8_t g, uint8_t b, uint8_t a);
SWFFill SWFShape_addGradientFill(SWFShape shape, SWFGradient gradient, uint8_t flags);
SWFFill SWFShape_addBitmapFill(SWFShape shape, SWFBitmap bitmap, uint8_t flags);
void SWFShape_end(SWFShape shape);

SWFGradient newSWFGradient();
void destroySWFGradient(SWFGradient gradient);
void SWFGradient_addEntry(SWFGradient gradient, float ratio, uint8_t r, uint8_t g, uint8_t b, uint8_t a);

void destroySWFFill(SWFFill fill);
void SWFFill_moveTo(SWFFill fill, float x, float y);
void SWFFill_move(SWFFill fill, float dx, float dy);
void SWFFill_scaleXY(SWFFill fill, float sx, float sy);
void SWFFill_rotate(SWFFill fill, float degrees);

SWFMovieClip newSWFMovieClip();
void destroySWFMovieClip(SWFMovieClip clip);
SWFDisplayItem SWFMovieClip_add(SWFMovieClip clip, SWFShape shape);
// A clip inside itself would never end, so that is refused.
SWFDisplayItem SWFMovieClip_add(SWFMovieClip clip, SWFMovieClip inner);
void SWFMovieClip_nextFrame(SWFMovieClip clip);
void SWFMovieClip_labelFrame(SWFMovieClip clip, const char* label);
void SWFMovieClip_setNumberOfFrames(SWFMovieClip clip, int frames);

void SWFDisplayItem_moveTo(SWFDisplayItem item, float x, float y);
void SWFDisplayItem_scaleTo(SWFDisplayItem item, float sx, float sy);
void SWFDisplayItem_rotateTo(SWFDisplayItem item, float degrees);
void SWFDisplayItem_setColorMult(SWFDisplayItem item, float r, float g, float b, float a);

SWFBitmap newSWFJpegBitmap_fromPath(const char* path);
SWFBitmap newSWFDBLBitmapData_fromPngFile(const char* path);
void destroySWFBitmap(SWFBitmap bitmap);
