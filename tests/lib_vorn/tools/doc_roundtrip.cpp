// doc_roundtrip IN OUT: reads the document IN with the program's reader and writes it to OUT
// with its writer. A read failure prints the reader's first error text and exits 1; so does a
// failed save, with its reason. The tests'
// way to check documents made outside the project; not installed.

#include <cstdio>

#include "older_document.h"
#include "older_document_hook.h"
#include "read_document.h"
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
    // Older documents open through the converter, as in the program.
    SetOlderDocumentConverter(vorn_v4::ConvertOlderDocument);
    VornDoc* doc = ReadDocument(argv[1]);
    if (!doc)
        return 1;
    doc->SetPath(argv[2]);
    QV_String reason;
    const int32_t status = doc->Save(nullptr, &reason);
    delete doc;
    if (status != 0) {
        std::printf("cannot write %s: %s\n", argv[2], reason.CString());
        return 1;
    }
    return 0;
}
