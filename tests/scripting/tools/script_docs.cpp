// script_docs STRUCTURE
// Runs the scripting documentation generator on the structure file and lists the pages it
// wrote, one path a line. Exit status 1 on bad usage.
#include <cstdio>
#include <vector>

#include "script_docs.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: script_docs STRUCTURE\n");
        return 1;
    }
    std::vector<QV_String> pages;
    GenerateScriptDocs(argv[1], &pages);
    for (const QV_String& page : pages)
        std::printf("%s\n", page.CString());
    return 0;
}
