#pragma once

#include <cstdint>

#include "qv_path.h"
#include "qv_string.h"

class QV_IoStream;

// Small readers shared by the older-generation records.
namespace vorn_v4 {

// The longest word a record reads, with its terminating NUL.
constexpr int32_t kWordSize = 256;

// Reads one word; false at the end of the stream (or an empty word).
bool ReadWord(QV_IoStream* stream, char* word, int32_t size = kWordSize);
// A double-quoted text of at most max - 1 bytes.
bool ReadText(QV_IoStream* stream, QV_String& text, int32_t max = 256);
// A count of elements that follow: false when negative, or when even one byte per element
// could not fit in what is left of the stream (checked before anything is allocated for it).
bool ReadCount(QV_IoStream* stream, int32_t& count);
// The path as the older files store it, taken from the folder of the stream's file when it is
// a relative name. Absolute paths, Windows ones included, stay as they are.
void JoinToDocumentFolder(QV_IoStream* stream, QV_String& path);
// Shared by the switch data: a path the document names relative to the folder of its file.
bool IsRelativePath(const char* path);

} // namespace vorn_v4
