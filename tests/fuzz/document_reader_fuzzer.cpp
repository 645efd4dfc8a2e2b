// The document reader under libFuzzer. A document that reads must write text that reads back
// and writes the same text again; its first layer then goes through an undo and a redo.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "document_fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1 << 20))
        return 0;
    static QuietConsole console;
    SetConsoleSink(&console);

    QV_MemStream stream;
    Fill(stream, data, size);
    VornDoc doc(&stream);
    if (doc.fReadFailed) {
        Check(!stream.fError.IsEmpty());
        return 0;
    }

    const std::string text = Written(doc);
    QV_MemStream again;
    Fill(again, text.data(), text.size());
    VornDoc copy(&again);
    Check(!copy.fReadFailed);
    Check(Written(copy) == text);

    if (doc.CountLayers() > 0) {
        doc.PrepUndo(doc.Layer(0));
        doc.Undo();
        doc.Redo();
    }
    return 0;
}
