// The older-document converter under libFuzzer, reached the way the program reaches it: the
// input is a file that the document reader opens, and a version line of 8 to 10 hands it to the
// converter. A document that opens must write text that reads back and writes the same again.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "console_sink.h"
#include "interface_colors.h"
#include "interface_fonts.h"
#include "older_document.h"
#include "older_document_hook.h"
#include "qv_baseimage.h"
#include "qv_color.h"
#include "qv_filestream.h"
#include "qv_memstream.h"
#include "qv_pixelbuffer.h"
#include "vorndoc.h"

// As in the document reader's target: resources and interface texts are never reached.
QV_PixelBuffer* GetResourceImage(const char*) { abort(); }
const char* Localize(const char*) { abort(); }
rgb_color Text { 0, 0, 0, 255 };
rgb_color ToolTipBackground { 197, 197, 197, 255 };
QV_Font* gMenuFont = nullptr;

namespace {

class QuietConsole : public ConsoleSink {
public:
    void Print(const char*, rgb_color) override { }
};

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

std::string Written(VornDoc& doc)
{
    QV_MemStream out;
    out.Open(0);
    doc.Write(nullptr, &out);
    std::string text(size_t(out.Size()), '\0');
    out.Rewind();
    out.ReadBytes(text.data(), int32_t(text.size()));
    return text;
}

void Fill(QV_MemStream& stream, const std::string& text)
{
    stream.Open(int32_t(text.size()) + 16);
    stream.WriteBytes(text.data(), int32_t(text.size()));
    stream.Rewind();
    stream.fReading = true;
}

} // namespace

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
    Fill(again, text);
    VornDoc copy(&again);
    Check(!copy.fReadFailed);
    Check(Written(copy) == text);
    return 0;
}
