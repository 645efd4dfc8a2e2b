#pragma once
// Shared by the fuzz targets that read whole documents. Include it from one file per target: it
// defines the stand-ins below.

#include <cstdlib>
#include <string>

#include "fuzz_support.h"
#include "interface_colors.h"
#include "interface_fonts.h"
#include "qv_baseimage.h"
#include "qv_memstream.h"
#include "qv_pixelbuffer.h"
#include "vorndoc.h"

// Reading and writing a document never reaches resources or interface texts: the program's
// versions of these live in the toolkit library, which stays out of these builds. Reaching one is
// a finding. The interface colours and font the note layer draws with are plain values here.
QV_PixelBuffer* GetResourceImage(const char*) { abort(); }
const char* Localize(const char*) { abort(); }
rgb_color Text { 0, 0, 0, 255 };
rgb_color ToolTipBackground { 197, 197, 197, 255 };
QV_Font* gMenuFont = nullptr;

inline std::string Written(VornDoc& doc)
{
    QV_MemStream out;
    out.Open(0);
    doc.Write(nullptr, &out);
    std::string text(size_t(out.Size()), '\0');
    out.Rewind();
    out.ReadBytes(text.data(), int32_t(text.size()));
    return text;
}

inline void Fill(QV_MemStream& stream, const void* data, size_t size)
{
    stream.Open(int32_t(size) + 16);
    stream.WriteBytes(data, int32_t(size));
    stream.Rewind();
    stream.fReading = true;
}
