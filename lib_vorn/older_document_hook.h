#pragma once

class QV_MemStream;

// The document reader opens files of the older generation (versions 8 to 10) through a converter
// that lives in a later library: it rewrites the file at the path as current-format text into
// out (an open memory stream) and answers false when the file cannot be read. The program and
// the tools that open documents install it at start-up; without one, older files are refused.
using OlderDocumentConverter = bool (*)(const char* path, QV_MemStream* out);

void SetOlderDocumentConverter(OlderDocumentConverter converter);
OlderDocumentConverter GetOlderDocumentConverter();
