#include "qv_file_lister.h"

#include "plat_files.h"

QV_FileLister::QV_FileLister(const char* folder)
    : fNames(PlatListFolder(folder ? folder : ""))
{
}

const char* QV_FileLister::NextFile()
{
    if (fNext >= fNames.size())
        return nullptr;
    fName = fNames[fNext++].c_str();
    return fName.CString();
}
