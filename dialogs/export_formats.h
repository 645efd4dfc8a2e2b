#pragma once

#include <cstdint>

#include "qv_string.h"

class RenderSettings;
class VornDoc;

// Export formats are numbered after the image writers of the registry (N of them) and the
// movie kinds (AVI, then MOV while the movie libraries are present, Q = 1):
//   image writer k: format k, list position k;  layered PSD: format 4096, position N;
//   AVI: format N, position N + 1;  MOV: format N + 1, position N + 2;
//   SWF: format N + 1 + Q, position N + 2 + Q.
// Format lists and "PreferredFormat" hold list positions; RenderSettings::fFormat holds formats.
enum class ExportKind { Images, LayeredPSD, Movie, SWF };

int32_t ExportWriterCount();
int32_t ExportMovieKindCount();
int32_t FormatOfListPosition(int32_t position);
int32_t ListPositionOfFormat(int32_t format);
ExportKind KindOfFormat(int32_t format);
// 0 AVI, 1 MOV; only for movie formats.
int32_t MovieKindOfFormat(int32_t format);
// The writer's extension, "psd", "avi", "mov" or "swf".
QV_String FormatExtension(int32_t format);
int32_t AviListPosition();
int32_t SwfListPosition();

// A copy of every field, the path by value.
void CopyRenderSettings(RenderSettings& to, const RenderSettings& from);

// The frame an export of the document ends at by default: its end frame, or the last key when
// it has none.
int32_t DefaultEndFrame(VornDoc* document);

// The output beside a project: its folder, its name without extension and the format's
// extension.
QV_String OutputPathBeside(const char* projectPath, const char* documentName, int32_t format);

// The frame size of an SWF export: the longer side at most 1024 pixels.
void ClampSwfSize(int32_t& width, int32_t& height);

// The client size of a window showing an export of a document that size, on a usable screen
// that size.
void ExportWindowSize(int32_t documentWidth, int32_t documentHeight, int32_t screenWidth, int32_t screenHeight,
    int32_t& width, int32_t& height);
