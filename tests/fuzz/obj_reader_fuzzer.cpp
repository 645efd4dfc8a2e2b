// The OBJ and MTL importer and the 3D mesh record under libFuzzer. Input that starts with "["
// is a mesh record; anything else is an OBJ file, and whatever follows a line "#MTL" is the
// material library "lib.mtl" beside it. Whatever imports or reads must survive the editing
// operations and write a record that reads back to the same lists.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "fuzz_support.h"
#include "m_mesh3d.h"
#include "qv_memstream.h"

namespace {

const std::string& Folder()
{
    static std::string folder;
    if (folder.empty()) {
        char pattern[] = "/tmp/fuzz_obj_XXXXXX";
        if (!mkdtemp(pattern))
            abort();
        folder = pattern;
    }
    return folder;
}

void Store(const std::string& path, const std::string& bytes)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (!file)
        abort();
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
}

// Every index a face holds is either in its list or left alone by the operations.
void Exercise(M_Mesh3D& mesh)
{
    QV_MemStream out;
    out.Open(0);
    mesh.WriteRecord(&out, true);
    out.Rewind();
    out.fReading = true;
    M_Mesh3D copy;
    Check(copy.ReadRecord(&out));
    Check(copy.CountPoints() == mesh.CountPoints() && copy.CountFaces() == mesh.CountFaces()
        && copy.CountMaterials() == mesh.CountMaterials() && copy.CountTexturePoints() == mesh.CountTexturePoints());
    if (mesh.CountPoints() > 0)
        mesh.RemovePoint(0);
    if (mesh.CountMaterials() > 0)
        mesh.RemoveMaterial(0);
    if (mesh.CountTexturePoints() > 0)
        mesh.RemoveTexturePoint(0);
    mesh.AddFace(-3, 1, 1 << 30);
    mesh.ScaleToRadius(1);
    if (mesh.CountFaces() > 0)
        mesh.RemoveFace(0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > (1 << 20))
        return 0;
    static QuietConsole console;
    SetConsoleSink(&console);
    const std::string input(reinterpret_cast<const char*>(data), size);
    M_Mesh3D mesh;
    if (!input.empty() && input[0] == '[') {
        QV_MemStream stream;
        if (stream.Open(int32_t(size) + 1) != 0)
            return 0;
        stream.WriteBytes(input.data(), int32_t(size));
        stream.Rewind();
        stream.fReading = true;
        if (!mesh.ReadRecord(&stream))
            return 0;
    } else {
        const size_t split = input.find("#MTL\n");
        const std::string obj = Folder() + "/model.obj";
        Store(obj, input.substr(0, split));
        Store(Folder() + "/lib.mtl", split == std::string::npos ? std::string() : input.substr(split + 5));
        mesh.ImportOBJ(obj.c_str());
    }
    Exercise(mesh);
    return 0;
}
