#include "document_path.h"

#include <cstring>

#include "console_sink.h"
#include "qv_string.h"

bool DocumentPathAllowed(const char* path)
{
    if (!path || !std::strchr(path, '"'))
        return true;
    QV_String line("Cannot use the file ");
    line.Append(path);
    line.Append(": a document cannot store a path that holds a double quote. Rename the file or its folder.");
    ConsolePrint(line.CString(), rgb_color { 255, 0, 0, 255 });
    return false;
}
