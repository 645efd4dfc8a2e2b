// The script classes of the layer kinds, skeletons and 3D meshes: one table-driven Lua script
// per class family (lua/), run on a document that holds a layer of every kind.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "doc_script_test.h"

#include "audiolayer.h"
#include "bonelayer.h"
#include "grouplayer.h"
#include "image_format_registry.h"
#include "imagelayer.h"
#include "m_mesh3d.h"
#include "mesh3dlayer.h"
#include "meshlayer.h"
#include "particlelayer.h"
#include "switchlayer.h"

namespace {

// A mono 16-bit WAV of a 441 Hz sine at half scale, one second at 44.1 kHz.
void WriteWave(const std::filesystem::path& path)
{
    const int32_t rate = 44100, samples = rate;
    std::ofstream out(path, std::ios::binary);
    auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out << "RIFF";
    u32(36 + samples * 2);
    out << "WAVEfmt ";
    u32(16);
    u16(1);
    u16(1);
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    out << "data";
    u32(samples * 2);
    for (int32_t i = 0; i < samples; i++) {
        const double s = std::sin(2 * 3.14159265358979 * 441 * i / rate);
        u16(uint16_t(int16_t(s * 16000)));
    }
}

template <typename Layer> Layer* Add(VornDoc& doc, const char* name)
{
    auto* layer = new Layer;
    layer->SetName(name);
    doc.AddLayer(layer);
    return layer;
}

// The globals besides si (on the vector layer "Vec"), doc and printed(): the layers img, grp
// (empty), bones, switch (with the vector sub-layers "A", "B", "A"), parts, model and sound
// (as VornLayer), the paths picture (a 640 x 480 PNG) and wave (a WAV), and the probe
// loadMedia(imageLayer).
class LayerKinds : public DocScriptTest {
protected:
    LayerKinds()
    {
        ImageFormatRegistry::Init();
        doc.SetShape(1280, 960);
        vec = Add<MeshLayer>(doc, "Vec");
        img = Add<ImageLayer>(doc, "Img");
        grp = Add<GroupLayer>(doc, "Grp");
        bones = Add<BoneLayer>(doc, "Bones");
        sw = Add<SwitchLayer>(doc, "Switch");
        parts = Add<ParticleLayer>(doc, "Parts");
        model = Add<Mesh3DLayer>(doc, "Model");
        sound = Add<AudioLayer>(doc, "Sound");
        for (const char* name : { "A", "B", "A" }) {
            auto* sub = new MeshLayer;
            sub->SetName(name);
            sw->AddLayer(sub);
        }
        doc.SetSelLayer(vec);
        record.fLayer = vec;
        picture = app / "picture.png";
        wave = app / "tone.wav";
    }
    ~LayerKinds() override { ImageFormatRegistry::Free(); }

    static int LoadMedia(lua_State* state)
    {
        auto* layer = static_cast<ImageLayer*>(tolua_tousertype(state, 1, nullptr));
        if (layer)
            layer->LoadMedia(32);
        return 0;
    }

    void SetGlobals() override
    {
        Global("img", img, "VornLayer");
        Global("grp", grp, "VornLayer");
        Global("bones", bones, "VornLayer");
        Global("switch", sw, "VornLayer");
        Global("parts", parts, "VornLayer");
        Global("model", model, "VornLayer");
        Global("sound", sound, "VornLayer");
        lua_State* state = Registry().fState;
        lua_pushstring(state, picture.c_str());
        lua_setglobal(state, "picture");
        lua_pushstring(state, wave.c_str());
        lua_setglobal(state, "wave");
        Function("loadMedia", LoadMedia);
    }

    MeshLayer* vec;
    ImageLayer* img;
    GroupLayer* grp;
    BoneLayer* bones;
    SwitchLayer* sw;
    ParticleLayer* parts;
    Mesh3DLayer* model;
    AudioLayer* sound;
    std::filesystem::path picture, wave;
};

TEST_F(LayerKinds, VectorAndImageLayerScript)
{
    const std::string command = "convert -size 640x480 xc:'#808080' '" + picture.string() + "'";
    if (std::system(command.c_str()) != 0)
        GTEST_SKIP() << "ImageMagick cannot make the picture";
    EXPECT_EQ(RunFile("image_layers.lua"), "");
}

TEST_F(LayerKinds, GroupSwitchAndParticleLayerScript)
{
    EXPECT_EQ(RunFile("group_layers.lua"), "");
}

TEST_F(LayerKinds, SkeletonScript)
{
    EXPECT_EQ(RunFile("skeleton.lua"), "");
}

TEST_F(LayerKinds, Mesh3DScript)
{
    EXPECT_EQ(RunFile("mesh3d.lua"), "");
}

TEST_F(LayerKinds, AudioLayerScript)
{
    WriteWave(wave);
    EXPECT_EQ(RunFile("audio_layers.lua"), "");
}

TEST_F(LayerKinds, StaleObjectsOfTheLayerKindsRaiseTheSelfError)
{
    const std::string command = "convert -size 64x48 xc:white '" + picture.string() + "'";
    if (std::system(command.c_str()) != 0)
        GTEST_SKIP() << "ImageMagick cannot make the picture";
    EXPECT_EQ(RunFile("stale_kinds.lua"), "");
}

// A material added from another mesh is copied: both meshes free their own under ASan.
TEST_F(LayerKinds, MaterialAddedAcrossMeshesHasOneOwner)
{
    Mesh3DLayer other;
    M_Material3D* created = other.Mesh().CreateNewMaterial();
    created->color = rgb_color { 10, 20, 30, 255 };
    Global("source", created, "M_Material3D");
    Global("target", &model->Mesh(), "M_Mesh3D");
    ASSERT_EQ(Run("target:AddMaterial(source)\n"
                  "assert(target:CountMaterials() == 1)\n"
                  "assert(target:Material(0) ~= source)\n"
                  "assert(target:Material(0).color.g == 20)"),
        "");
    ASSERT_EQ(model->Mesh().CountMaterials(), 1);
    EXPECT_NE(model->Mesh().Material(0), created);
    EXPECT_NE(Run("target:AddMaterial(nil)").find("error in function 'AddMaterial'."), std::string::npos);
}

// Scripts store any group mask; rendering takes one that names no mask as none.
TEST_F(LayerKinds, UnknownGroupMaskRendersAsNone)
{
    ASSERT_EQ(Run("si:LayerAsGroup(grp):SetGroupMask(42)"), "");
    EXPECT_EQ(grp->GetGroupMask(), 42);
    EXPECT_EQ(grp->RenderGroupMask(), GROUP_MASK_NONE);
    grp->SetGroupMask(GROUP_MASK_HIDE_ALL);
    EXPECT_EQ(grp->RenderGroupMask(), GROUP_MASK_HIDE_ALL);
}

// A group sorted with a document a script loaded does not keep it: the document may be
// destroyed before the group's next sort.
TEST_F(LayerKinds, GroupDoesNotKeepAForeignSortDocument)
{
    auto* foreign = new VornDoc;
    Global("foreign", foreign, "VornDoc");
    ASSERT_EQ(Run("local g = si:LayerAsGroup(grp) g:FullDepthSort(foreign) g:DepthSort(foreign)"), "");
    EXPECT_NE(grp->fSortDoc, foreign);
    delete foreign;
    EXPECT_EQ(Run("si:LayerAsGroup(grp):SetDepthSorted(true)"), "");
    ASSERT_EQ(Run("local g = si:LayerAsGroup(grp) g:FullDepthSort(doc)"), "");
    EXPECT_EQ(grp->fSortDoc, &doc);
}

} // namespace
