#include "texture_source.h"

#include <string>

#include "document_path.h"
#include "image_file.h"
#include "plat_files.h"
#include "qv_iostream.h"

TextureSource::TextureSource()
    : fFillMode(0)
{
}

bool TextureSource::ReadRecord(QV_IoStream* stream)
{
    return stream->ReadPath(fPath) && stream->ReadInt(fFillMode);
}

void TextureSource::WriteRecord(QV_IoStream* stream)
{
    stream->WritePath(fPath.CString());
    stream->WriteSpace();
    stream->WriteInt(fFillMode);
    stream->WriteSpace();
}

bool TextureSource::Load()
{
    if (fPath.IsEmpty())
        return false;
    if (!fImage.buffer.pixels) {
        // Paths typed or stored on Windows may still hold backslashes.
        QV_Path path(fPath);
        path.ToSlashes();
        // Names inside documents may differ in case from the file on disk.
        const QV_String folder = path.Folder();
        const QV_String name = path.FileName();
        const std::string found
            = PlatFindFile(folder.CString() ? folder.CString() : "", name.CString() ? name.CString() : "");
        if (LoadImageFile(found.empty() ? path.CString() : found.c_str(), fImage, 0) != 0)
            fImage.Free();
    }
    return fImage.buffer.pixels != nullptr && fImage.buffer.bytesPerPixel == 4;
}

void TextureSource::Drop()
{
    fImage.Free();
}

bool TextureSource::SetPath(const char* path)
{
    if (!DocumentPathAllowed(path))
        return false;
    fPath = path ? path : "";
    Drop();
    return true;
}
