// convert_old IN OUT: writes the version 11 text that the converter makes of the older document
// IN (format versions 8 to 10) to OUT. When IN cannot be converted it prints the message the
// program shows and exits 1. The tests' way to look at a conversion; not installed.

#include <cstdio>
#include <vector>

#include "older_document.h"
#include "qv_memstream.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: convert_old IN OUT\n");
        return 2;
    }
    QV_MemStream text;
    if (text.Open(0) != 0 || !vorn_v4::ConvertOlderDocument(argv[1], &text)) {
        std::printf("This appears to be an older Vorn file, but it couldn't be opened.\n");
        return 1;
    }
    FILE* out = std::fopen(argv[2], "wb");
    if (!out) {
        std::printf("cannot write %s\n", argv[2]);
        return 1;
    }
    std::vector<char> bytes(size_t(text.Size()));
    text.Rewind();
    text.fReading = true;
    text.ReadBytes(bytes.data(), int32_t(bytes.size()));
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    if (std::fclose(out) != 0 || !written) {
        std::printf("cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
