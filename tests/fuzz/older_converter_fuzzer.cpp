// The older-document converter under libFuzzer, reached the way the program reaches it: the
// input is a file that the document reader opens, and a version line of 8 to 10 hands it to the
// converter. A document that opens must write text that reads back and writes the same again.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "document_fuzz_support.h"
#include "older_document.h"
#include "older_document_hook.h"
#include "qv_filestream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1 << 20))
        return 0;
    static QuietConsole console;
    SetConsoleSink(&console);
    SetOlderDocumentConverter(vorn_v4::ConvertOlderDocument);

    // The documents name their files beside themselves: a folder of this process's own.
    static const std::string folder = [] {
        char pattern[] = "/tmp/celvane_older_fuzz_XXXXXX";
        const char* made = mkdtemp(pattern);
        return std::string(made ? made : "/tmp");
    }();
    const std::string path = folder + "/input.vorn";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    QV_FileStream in;
    if (in.Open(path.c_str(), true) != 0)
        return 0;
    VornDoc doc(&in);
    if (doc.fReadFailed) {
        Check(!in.fError.IsEmpty());
        return 0;
    }
    in.Close();
    const std::string text = Written(doc);
    QV_MemStream again;
    Fill(again, text.data(), text.size());
    VornDoc copy(&again);
    Check(!copy.fReadFailed);
    Check(Written(copy) == text);
    return 0;
}
