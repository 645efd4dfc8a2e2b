// The mesh record reader under libFuzzer. The first byte picks how the rest is read: with c its
// value modulo 36, the format version is 11 + c % 9 and c / 9 the mode (0 a new mesh, 1 a paste
// into a mesh that holds a curve and a shape, 2 the same without the clean-up, 3 a mesh whose
// clean-up is off); a first byte of 128 or more reads through a file stream (as a document does)
// rather than memory. A mesh that reads must keep its links in step through the editing
// operations, and what it writes must read back.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/mman.h>

#include "fuzz_support.h"
#include "m_curve.h"
#include "m_mesh.h"
#include "m_point.h"
#include "m_shape.h"
#include "qv_filestream.h"
#include "qv_memstream.h"

namespace {

const char* FilePath()
{
    static std::string path;
    if (path.empty()) {
        const int fd = memfd_create("fuzz-mesh", 0);
        if (fd < 0)
            abort();
        path = "/proc/self/fd/" + std::to_string(fd);
    }
    return path.c_str();
}

bool StoreFile(const uint8_t* data, size_t size)
{
    FILE* file = fopen(FilePath(), "wb");
    if (!file)
        return false;
    const bool written = size == 0 || fwrite(data, 1, size, file) == size;
    return fclose(file) == 0 && written;
}

bool Tidy(const M_Mesh& mesh)
{
    for (int32_t i = mesh.fNumPoints; i < mesh.fPointCapacity; i++) {
        if (mesh.fPoints[i])
            return false;
    }
    for (int32_t i = mesh.fNumCurves; i < mesh.fCurveCapacity; i++) {
        if (mesh.fCurves[i])
            return false;
    }
    for (int32_t i = mesh.fNumShapes; i < mesh.fShapeCapacity; i++) {
        if (mesh.fShapes[i])
            return false;
    }
    for (int32_t i = mesh.fNumGroups; i < mesh.fGroupCapacity; i++) {
        if (mesh.fGroups[i])
            return false;
    }
    return true;
}

// The operations that walk from curves to points and shapes, on whatever was read.
void Exercise(M_Mesh& mesh)
{
    mesh.MarkDanglingPoints(true);
    for (int32_t s = 0; s < mesh.fNumShapes; s++) {
        QV_Vector2 min, max;
        mesh.fShapes[s]->ShapeBounds(min, max);
        mesh.fShapes[s]->ShapeBounds(3, min, max);
        mesh.fShapes[s]->AllPointsSelected();
        mesh.fShapes[s]->EffectHandle2();
        mesh.fShapes[s]->ScaleLineWidths(2, 1);
    }
    for (int32_t c = 0; c < mesh.fNumCurves && c < 64; c++) {
        M_Curve* curve = mesh.fCurves[c];
        for (int32_t s = 0; s < curve->GetNumSegments() && curve->fNumPoints >= 2 && s < 64; s++)
            curve->ClosestPointOnSegment(s, QV_Vector2 { 0.5f, 0.5f });
    }
    mesh.SelectConnected();
    mesh.AddGroup("\"all\"");
    if (mesh.fNumCurves > 0) {
        mesh.SimplifyCurve(0, 0.2f);
        mesh.AddPoint(QV_Vector2 { 0.1f, 0.2f }, 0, 0, 4);
    }
    Check(mesh.LinksAreConsistent());
    if (mesh.fNumPoints > 1) {
        mesh.AddPoint(QV_Vector2 { -0.3f, 0.2f }, mesh.fNumPoints - 1, 2);
        mesh.WeldPoints(0, mesh.fNumPoints - 1, 5);
    }
    Check(mesh.LinksAreConsistent());
    if (mesh.fNumCurves > 0)
        mesh.DeleteEdge(mesh.fNumCurves - 1, mesh.fCurves[mesh.fNumCurves - 1]->fNumPoints / 2, 6);
    if (mesh.fNumPoints > 0)
        mesh.DeletePoint(mesh.fNumPoints / 2);
    if (mesh.fNumCurves > 0)
        mesh.DeleteCurve(0);
    mesh.RemoveDegenerates();
    Check(mesh.LinksAreConsistent());
    Check(Tidy(mesh));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > (1 << 20))
        return 0;
    static QuietConsole console;
    SetConsoleSink(&console);

    const int32_t choice = data[0] % 36;
    const int32_t version = 11 + choice % 9;
    const int32_t mode = choice / 9;
    const bool fromFile = data[0] >= 128;

    M_Mesh mesh;
    if (mode == 1 || mode == 2) {
        mesh.AddLonePoint(QV_Vector2 { 0, 0 }, 0);
        mesh.AppendPoint(QV_Vector2 { 1, 0 }, 0);
        mesh.AppendPoint(QV_Vector2 { 1, 1 }, 0);
        M_Shape* shape = new M_Shape(0);
        shape->AddEdge(0, 0, 0);
        shape->AddEdge(0, 1, 0);
        mesh.AddShape(shape);
    }
    if (mode == 3)
        mesh.fCleanup = false;
    const int32_t pointsBefore = mesh.fNumPoints;

    bool read;
    if (fromFile) {
        if (!StoreFile(data + 1, size - 1))
            return 0;
        QV_FileStream stream;
        if (stream.Open(FilePath(), true) != 0)
            return 0;
        stream.fVersion = version;
        read = mesh.ReadRecord(&stream, mode == 2);
    } else {
        QV_MemStream stream;
        if (stream.Open(int32_t(size)) != 0)
            return 0;
        stream.WriteBytes(data + 1, int32_t(size - 1));
        stream.Rewind();
        stream.fReading = true;
        stream.fVersion = version;
        read = mesh.ReadRecord(&stream, mode == 2);
    }
    Check(mesh.LinksAreConsistent());
    Check(Tidy(mesh));
    if (!read) {
        // A failed read leaves the mesh as it was.
        Check(mesh.fNumPoints == pointsBefore);
        return 0;
    }

    // What was read is written again and must read back as it was written.
    QV_MemStream out;
    out.Open(0);
    mesh.WriteRecord(&out);
    const int32_t points = mesh.fNumPoints, curves = mesh.fNumCurves, shapes = mesh.fNumShapes;
    out.Rewind();
    out.fReading = true;
    out.fVersion = 19;
    M_Mesh copy;
    copy.fCleanup = mesh.fCleanup;
    Check(copy.ReadRecord(&out, false));
    Check(copy.fNumPoints == points && copy.fNumCurves == curves && copy.fNumShapes == shapes);

    Exercise(mesh);
    return 0;
}
