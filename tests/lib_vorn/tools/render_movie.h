#pragma once

#include <cstdint>

class VornDoc;

// Whether the path names a movie render_frames writes (".avi" or ".mov", any case).
bool IsMoviePath(const char* path);

// Renders frames first to last of the document through the frame render job into one movie at
// the document's frame rate: AVI or MOV by the path's extension, with the codec named (a
// four-character code such as "mp4v", "jpeg", "png", "rle", or an encoder name; null for the
// default), then adds the sound file as soundtrack (without one, the document's audio layers mixed over
// the rendered range, when it has any) and closes. Prints the failure and
// answers 1 on any failure, else 0.
int RenderMovie(VornDoc& doc, int32_t first, int32_t last, const char* path, const char* codec, const char* sound);

// Takes "--codec NAME" and "--sound FILE" out of the arguments, wherever they stand, leaving the
// others in order. False when an option lacks its value.
bool TakeMovieOptions(int& argc, char** argv, const char*& codec, const char*& sound);
