#pragma once

#include "qv_string.h"

// Paths in memory are '/'-separated. Stored paths made on Windows may arrive with '\'; readers
// pass them through ToSlashes before anything below looks at them.
class QV_Path : public QV_String {
public:
    QV_Path();
    QV_Path(const char* text);
    QV_Path(const QV_String& text);
    QV_Path(const QV_Path& other) = default;
    QV_Path& operator=(const QV_Path& other) = default;
    using QV_String::operator=;

    // In place: every '\' becomes '/'.
    void ToSlashes();
    QV_String Folder() const;
    QV_String FileName() const;
    QV_String BaseName() const;
    QV_String Extension() const;
    // In place join: one '/' between the path and the part unless either side already has it
    // or the path is empty.
    void Append(const char* part);
    void Append(const QV_String& part);
    QV_String MimeType() const;
    QV_String MediaType() const;
};

// Looks the lower-cased text after the last '.' up in a fixed table; unknown or missing
// extensions give "application/octet-stream". A null path counts as having no extension.
const char* MimeTypeForPath(const char* path);
