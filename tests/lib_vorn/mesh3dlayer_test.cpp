#include <gtest/gtest.h>

#include <string>

#include "layer_render_support.h"
#include "layer_test_support.h"
#include "layerfactory.h"
#include "media_test_support.h"
#include "mesh3dlayer.h"
#include "qv_filestream.h"
#include "qv_memstream.h"
#include "qv_raster3d.h"
#include "raster_rows.h"
#include "vorn_test_support.h"
#include "vorndoc.h"

namespace {

// The render bench of the layer tests; the run's depth rasteriser is the caller's to delete.
struct Bench3D : RenderBench {
    Bench3D()
        : RenderBench(64, 48, 0)
    {
    }
    ~Bench3D() { delete settings.fRaster3D; }
};

// A unit square facing the viewer (counter-clockwise with y up) in the default colour.
Mesh3DLayer* AddSquare(VornDoc& doc, float half = 0.5f)
{
    auto* layer = new Mesh3DLayer;
    doc.AddLayer(layer);
    M_Mesh3D& mesh = layer->Mesh();
    mesh.SetDefaultColor({ 0, 0, 255, 255 });
    mesh.SetEdgeColor({ 255, 255, 0, 255 });
    mesh.AddPoint({ -half, -half, 0 });
    mesh.AddPoint({ half, -half, 0 });
    mesh.AddPoint({ half, half, 0 });
    mesh.AddPoint({ -half, half, 0 });
    mesh.AddFace(0, 1, 2, 3);
    return layer;
}

std::string Colour(const uint8_t* p)
{
    return std::to_string(p[kRed]) + " " + std::to_string(p[kGreen]) + " " + std::to_string(p[kBlue]) + " "
        + std::to_string(p[kAlpha]);
}

} // namespace

TEST(Mesh3DLayer, WindingFlipsAndBackFaceOutlines)
{
    const struct {
        const char* name;
        bool clockwise;
        bool flip;
        float edgeOffset;
        const char* centre;
    } cases[] = {
        { "front face", false, false, 0, "0 0 255 255" },
        { "back face, no outline", true, false, 0, "0 0 0 0" },
        { "back face in the edge colour", true, false, 0.05f, "255 255 0 255" },
        { "one flip keeps the front face in front", false, true, 0, "0 0 255 255" },
        { "one flip keeps the back face behind", true, true, 0, "0 0 0 0" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bench3D bench;
        Mesh3DLayer* layer = AddSquare(bench.doc);
        layer->Mesh().SetClockwise(c.clockwise);
        layer->SetEdgeOffset(c.edgeOffset);
        layer->fFlipH.SetValue(0, c.flip);
        bench.doc.SetCurFrame(1);
        bench.Render(layer);
        EXPECT_EQ(Colour(bench.Pixel(32, 24)), c.centre);
        EXPECT_EQ(Colour(bench.Pixel(2, 2)), "0 0 0 0");
        // The winding is the mesh's own again after the render.
        EXPECT_EQ(layer->Mesh().Clockwise(), c.clockwise);
    }
}

TEST(Mesh3DLayer, ExtraSmoothRendersAtFourTimesAndAveragesSixteenSamples)
{
    Bench3D bench;
    // Edges at 32 +- 10.5 pixels: half-covered columns.
    Mesh3DLayer* layer = AddSquare(bench.doc, 10.5f / 24.0f);
    layer->SetEdgeOffset(0);
    QV_BaseImage scratch;
    bench.settings.fSupersampleImage = &scratch;
    bench.settings.fAntialias = true;
    bench.settings.fExtraSmooth = true;
    bench.doc.SetCurFrame(1);
    bench.Render(layer);
    EXPECT_EQ(scratch.buffer.width, 4 * 64);
    EXPECT_EQ(scratch.buffer.height, 4 * 48);
    EXPECT_EQ(bench.Pixel(32, 24)[kAlpha], 255);
    const uint8_t edge = bench.Pixel(21, 24)[kAlpha];
    EXPECT_GT(edge, 60);
    EXPECT_LT(edge, 200);
}

TEST(Mesh3DLayer, NoWarpAtFrameZeroWithoutABoneTool)
{
    for (const bool tool : { false, true }) {
        Bench3D bench;
        auto* bones = new StandInGroupKind(LT_BONE);
        bones->bones.wholeOffset = { 0.5f, 0 };
        bench.doc.AddLayer(bones);
        auto* layer = new Mesh3DLayer;
        bones->AddLayer(layer);
        layer->SetEdgeOffset(0);
        M_Mesh3D& mesh = layer->Mesh();
        mesh.SetDefaultColor({ 0, 255, 0, 255 });
        for (const QV_Vector3 p : { QV_Vector3 { -0.2f, -0.2f, 0 }, QV_Vector3 { 0.2f, -0.2f, 0 }, QV_Vector3 { 0.2f, 0.2f, 0 } })
            mesh.AddPoint(p);
        mesh.AddPoint({ -0.2f, 0.2f, 0 });
        mesh.AddFace(0, 1, 2, 3);
        if (tool)
            bench.doc.fCurrentTool = "QV_ManipulateBones";
        bench.doc.SetCurFrame(0);
        bench.Render(layer);
        EXPECT_EQ(bench.Pixel(32, 24)[kAlpha], tool ? 0 : 255) << tool;
        EXPECT_EQ(bench.Pixel(44, 24)[kAlpha], tool ? 255 : 0) << tool;
    }
}

TEST(Mesh3DLayer, TexturedObjModelRendersItsTexture)
{
    REQUIRE_FFMPEG();
    MediaFolder folder;
    // Left half red, right half green.
    ASSERT_TRUE(Ffmpeg("-f lavfi -i color=c=black:s=8x8 -frames:v 1 -vf \"format=rgb24,geq=r='if(lt(X,4),255,0)':g='if(lt(X,4),0,255)':b='0'\" '"
        + folder.Path("Checker.png") + "'"));
    folder.Write("paint.mtl", "newmtl paint\nKd 1 1 1\nmap_Kd checker.png\n");
    const std::string obj = folder.Write("square.obj",
        "mtllib paint.mtl\nv -0.5 -0.5 0\nv 0.5 -0.5 0\nv 0.5 0.5 0\nv -0.5 0.5 0\n"
        "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\nusemtl paint\nf 1/1 2/2 3/3 4/4\n");
    Bench3D bench;
    auto* layer = new Mesh3DLayer;
    bench.doc.AddLayer(layer);
    ASSERT_TRUE(layer->SetSourceMesh(obj.c_str()));
    ASSERT_EQ(layer->Mesh().CountFaces(), 1);
    bench.doc.SetCurFrame(1);
    bench.Render(layer);
    EXPECT_EQ(Colour(bench.Pixel(26, 24)), "255 0 0 255");
    EXPECT_EQ(Colour(bench.Pixel(38, 24)), "0 255 0 255");
    EXPECT_EQ(Colour(bench.Pixel(5, 5)), "0 0 0 0");
}

TEST(Mesh3DLayer, ExternalModelsAreReimportedKeepingTheRecordsColours)
{
    MediaFolder folder;
    const std::string obj = folder.Write("tri.obj", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    Mesh3DLayer layer;
    ASSERT_TRUE(layer.SetSourceMesh(obj.c_str()));
    layer.Mesh().SetDefaultColor({ 1, 2, 3, 255 });
    layer.Mesh().SetClockwise(true);
    layer.SetEdgeOffset(0.25f);

    QV_MemStream out;
    out.Open(0);
    layer.WriteRecord(&out);
    const std::string text = StreamText(out);
    EXPECT_EQ(text.find("points"), std::string::npos) << text;
    EXPECT_NE(text.find("\tedge_offset 0.25\n"), std::string::npos) << text;
    QV_MemStream in;
    FillStream(in, text);
    VornLayer* read = LayerFactory(LT_3D);
    ASSERT_TRUE(read->ReadRecord(&in)) << in.fError.CString();
    auto* back = static_cast<Mesh3DLayer*>(read);
    EXPECT_EQ(back->Mesh().CountFaces(), 1);
    EXPECT_EQ(back->Mesh().CountPoints(), 3);
    EXPECT_EQ(back->Mesh().DefaultColor().g, 2);
    EXPECT_TRUE(back->Mesh().Clockwise());
    EXPECT_FLOAT_EQ(back->EdgeOffset(), 0.25f);
    // An empty path forgets the file and keeps the geometry.
    back->SetSourceMesh("");
    EXPECT_EQ(back->Mesh().CountPoints(), 3);
    EXPECT_TRUE(back->SourceMesh().IsEmpty());
    delete read;
}

TEST(MediaDocument, ImageAnd3DLayersOpenSaveAndRender)
{
    REQUIRE_FFMPEG();
    MediaFolder folder;
    ASSERT_TRUE(Ffmpeg("-f lavfi -i color=c=0xff0000:s=8x8 -frames:v 1 '" + folder.Path("Red.png") + "'"));
    folder.Write("tri.obj", "v -0.2 -0.9 0\nv 0.2 -0.9 0\nv 0 -0.5 0\nf 1 2 3\n");
    // The names differ in case from the files: the document came from a system that ignored it.
    const std::string doc = folder.Write("scene.vorn",
        "application/x-vnd.qv_vorndoc\nversion 19\ndimensions 64 48\n"
        "layer_type 2\n{\n\tname \"Still\"\n\timage \"red.png\"\n\tshape -1 -1\n}\n"
        "layer_type 8\n{\n\tname \"Model\"\n\texternal_model \"TRI.obj\"\n\tmesh\n\t[\n\t\tdefault_color 0 255 0 255\n\t]\n}\n");
    const std::string png = folder.Path("frame.png");
    const std::string command = std::string(CELVANE_RENDER_FRAMES) + " '" + doc + "' 1 1 '" + png + "' > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    ASSERT_TRUE(Ffmpeg("-i '" + folder.Path("frame0001.png") + "' -f rawvideo -pix_fmt rgba '" + folder.Path("frame.rgba") + "'"))
        << "render_frames wrote no frame";
    std::string pixels;
    if (FILE* f = std::fopen(folder.Path("frame.rgba").c_str(), "rb")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            pixels.append(buffer, n);
        std::fclose(f);
    }
    ASSERT_EQ(pixels.size(), size_t(64 * 48 * 4));
    auto at = [&](int x, int y) {
        const unsigned char* p = reinterpret_cast<const unsigned char*>(pixels.data()) + (y * 64 + x) * 4;
        return std::to_string(p[0]) + " " + std::to_string(p[1]) + " " + std::to_string(p[2]);
    };
    EXPECT_EQ(at(32, 24).substr(0, 2), "25") << "the still, 8 x 8 at the centre: " << at(32, 24);
    EXPECT_EQ(at(32, 24).substr(4), "0 0") << "the still, 8 x 8 at the centre";
    EXPECT_EQ(at(32, 43), "0 255 0") << "the model's triangle below it";

    // Written back, both layers keep their kind and paths.
    const std::string copy = folder.Path("copy.vorn");
    const std::string roundtrip = std::string(CELVANE_DOC_ROUNDTRIP) + " '" + doc + "' '" + copy + "' > /dev/null";
    ASSERT_EQ(std::system(roundtrip.c_str()), 0);
    QV_FileStream stream;
    ASSERT_EQ(stream.Open(copy.c_str(), true), 0);
    VornDoc reread(&stream);
    ASSERT_FALSE(reread.fReadFailed) << stream.fError.CString();
    ASSERT_EQ(reread.CountLayers(), 2);
    EXPECT_EQ(reread.Layer(0)->LayerType(), LT_IMAGE);
    EXPECT_EQ(static_cast<Mesh3DLayer*>(reread.Layer(1))->Mesh().CountFaces(), 1);
}
