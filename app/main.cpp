#include <cstdio>
#include <string>

// The application shell arrives with its own subsystem; until then the
// executable only reports what it would open.
int main(int argc, char** argv)
{
    std::string doc;
    for (int i = 1; i < argc; ++i) {
        if (!doc.empty())
            doc += ' ';
        doc += argv[i];
    }
    if (doc.empty())
        std::printf("Celvane: the main window is not built yet; it would start with a new document.\n");
    else
        std::printf("Celvane: the main window is not built yet; it would open \"%s\".\n", doc.c_str());
    return 0;
}
