#include "export_formats.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "image_format_registry.h"
#include "media_presence.h"
#include "qv_movie_writer.h"
#include "qv_path.h"
#include "render_settings.h"
#include "vorndoc.h"

int32_t ExportWriterCount()
{
    return ImageFormatRegistry::CountWriters();
}

int32_t ExportMovieKindCount()
{
    return gQuickTimePresent ? 2 : 1;
}

int32_t FormatOfListPosition(int32_t position)
{
    const int32_t n = ExportWriterCount();
    if (position < n)
        return position;
    if (position == n)
        return kRenderFormatPSD;
    return position - 1;
}

int32_t ListPositionOfFormat(int32_t format)
{
    const int32_t n = ExportWriterCount();
    if (format == kRenderFormatPSD)
        return n;
    if (format < n)
        return format;
    return format + 1;
}

ExportKind KindOfFormat(int32_t format)
{
    const int32_t n = ExportWriterCount();
    if (format >= 0 && format < n)
        return ExportKind::Images;
    if (format == kRenderFormatPSD)
        return ExportKind::LayeredPSD;
    if (format >= n && format < n + ExportMovieKindCount())
        return ExportKind::Movie;
    return ExportKind::SWF;
}

int32_t MovieKindOfFormat(int32_t format)
{
    return format - ExportWriterCount();
}

QV_String FormatExtension(int32_t format)
{
    switch (KindOfFormat(format)) {
    case ExportKind::Images:
        return ImageFormatRegistry::WriterExtension(format);
    case ExportKind::LayeredPSD:
        return "psd";
    case ExportKind::Movie:
        return MovieFileExtension(MovieKindOfFormat(format));
    case ExportKind::SWF:
        break;
    }
    return "swf";
}

int32_t AviListPosition()
{
    return ExportWriterCount() + 1;
}

int32_t SwfListPosition()
{
    return ExportWriterCount() + 1 + ExportMovieKindCount();
}

void CopyRenderSettings(RenderSettings& to, const RenderSettings& from)
{
    if (&to == &from)
        return;
    to.fDoc = from.fDoc;
    to.fImage = from.fImage;
    to.fPreviewGraphics = from.fPreviewGraphics;
    to.fSupersampleImage = from.fSupersampleImage;
    to.fRaster3D = from.fRaster3D;
    to.fQuickPreview = from.fQuickPreview;
    to.fAntialias = from.fAntialias;
    to.fShapeEffects = from.fShapeEffects;
    to.fLayerEffects = from.fLayerEffects;
    to.fVariableLineWidths = from.fVariableLineWidths;
    to.fHalfSize = from.fHalfSize;
    to.fHalfFrameRate = from.fHalfFrameRate;
    to.fReducedParticles = from.fReducedParticles;
    to.fExtraSmooth = from.fExtraSmooth;
    to.fNTSCSafe = from.fNTSCSafe;
    to.fNoPremultiply = from.fNoPremultiply;
    to.fNoFills = from.fNoFills;
    to.fRenderingMask = from.fRenderingMask;
    to.fStartFrame = from.fStartFrame;
    to.fEndFrame = from.fEndFrame;
    to.fPath = from.fPath;
    to.fFormat = from.fFormat;
    to.fMargin = from.fMargin;
    to.fPSDWriter = from.fPSDWriter;
    to.fMovieWriters = from.fMovieWriters;
    to.fSWFMovie = from.fSWFMovie;
}

int32_t DefaultEndFrame(VornDoc* document)
{
    if (!document)
        return 0;
    return document->fEndFrame > 0 ? document->fEndFrame : document->AnimDuration();
}

QV_String OutputPathBeside(const char* projectPath, const char* documentName, int32_t format)
{
    QV_String folder = QV_Path(projectPath ? projectPath : "").Folder();
    QV_String name = documentName ? documentName : "";
    QV_String out = folder;
    if (!out.IsEmpty() && out.CString()[out.Length() - 1] != '/' && name.CString()[0] != '/')
        out.Append("/");
    const char* text = name.CString();
    const char* dot = std::strrchr(text, '.');
    QV_String base = dot ? name.Left(int32_t(dot - text)) : name;
    out.Append(base.CString());
    const QV_String extension = FormatExtension(format);
    if (!extension.IsEmpty()) {
        out.Append(".");
        out.Append(extension.CString());
    }
    return out;
}

void ClampSwfSize(int32_t& width, int32_t& height)
{
    if (width <= 1024 && height <= 1024)
        return;
    if (width > height) {
        height = int32_t(std::lround(double(height) * 1024.0 / double(width)));
        width = 1024;
    } else {
        width = int32_t(std::lround(double(width) * 1024.0 / double(height)));
        height = 1024;
    }
}

void ExportWindowSize(int32_t documentWidth, int32_t documentHeight, int32_t screenWidth, int32_t screenHeight,
    int32_t& width, int32_t& height)
{
    width = std::min(documentWidth + 32, screenWidth - 96);
    height = std::min(documentHeight + 32, screenHeight - 96);
}
