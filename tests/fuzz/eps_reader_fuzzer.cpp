// The EPS and Illustrator reader under libFuzzer: any bytes read into a fresh mesh must leave
// its points, curves and shapes linked in step, whatever operators, operands and comments the
// file holds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz_support.h"
#include "eps_import.h"
#include "m_mesh.h"
#include "qv_memstream.h"

class QV_Wnd;

// The reader's interface texts and alert, without the toolkit.
const char* Localize(const char* text)
{
    for (const char* p = text; p && *p; p++) {
        if (*p == '=')
            return p + 1;
    }
    return text;
}

int32_t Alert(QV_Wnd*, int32_t, const char*, const char*, const char*, const char*, const char*, const char*)
{
    return 0;
}

namespace {

void NoAlert(const char*, const char*, const char*) { }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QuietConsole console;
    SetConsoleSink(&console);
    gEPSAlert = NoAlert;
    QV_MemStream stream;
    if (stream.Open(int32_t(size) + 1) != 0)
        return 0;
    stream.WriteBytes(data, int32_t(size));
    stream.Rewind();
    M_Mesh mesh;
    ReadEPSIntoMesh(&stream, &mesh, 240, nullptr);
    if (!mesh.LinksAreConsistent())
        std::abort();
    return 0;
}
