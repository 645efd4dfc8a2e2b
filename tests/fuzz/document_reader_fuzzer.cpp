// The document reader under libFuzzer. A document that reads must write text that reads back
// and writes the same text again; its first layer then goes through an undo and a redo.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "console_sink.h"
#include "interface_colors.h"
#include "interface_fonts.h"
#include "qv_baseimage.h"
#include "qv_color.h"
#include "qv_memstream.h"
#include "qv_pixelbuffer.h"
#include "vorndoc.h"

// Reading and writing a document never reaches resources or interface texts: the program's
// versions of these live in the toolkit library, which stays out of this build. Reaching one is
// a finding. The interface colours and font the note layer draws with are plain values here.
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

void Fill(QV_MemStream& stream, const void* data, size_t size)
{
    stream.Open(int32_t(size) + 16);
    stream.WriteBytes(data, int32_t(size));
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
