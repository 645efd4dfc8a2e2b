// The folder listing of the script context.

#include "script_interface.h"

#include "qv_file_lister.h"
#include "qv_string.h"

void ScriptInterface::BeginFileListing(const char* folder)
{
    delete fFileListing;
    fFileListing = new QV_FileLister(folder ? folder : "");
}

const char* ScriptInterface::GetNextFile()
{
    // Scripts read the answer after the call: it lives until the next one.
    static QV_String name;
    name = "";
    if (fFileListing) {
        if (const char* next = fFileListing->NextFile())
            name = next;
    }
    if (!name.IsEmpty())
        return name.CString();
    delete fFileListing;
    fFileListing = nullptr;
    return nullptr;
}
