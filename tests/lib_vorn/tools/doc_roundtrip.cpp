// doc_roundtrip IN OUT: reads the document IN with the program's reader and writes it to OUT
// with its writer. A read failure prints the reader's first error text and exits 1. The tests'
// way to check documents made outside the project; not installed.

#include <cstdio>

#include "qv_filestream.h"
#include "shape_style_factory.h"
#include "vorndoc.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: doc_roundtrip IN OUT\n");
        return 2;
    }
    // The shape effects as the application registers them at start-up.
    RegisterShapeStyles();
    QV_FileStream in;
    if (in.Open(argv[1], true) != 0) {
        std::printf("cannot open %s\n", argv[1]);
        return 1;
    }
    VornDoc* doc = new VornDoc(&in);
    if (doc->fReadFailed) {
        std::printf("%s\n", in.fError.CString());
        delete doc;
        return 1;
    }
    in.Close();
    doc->SetPath(argv[2]);
    const int32_t status = doc->Save(nullptr);
    delete doc;
    if (status != 0) {
        std::printf("cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
