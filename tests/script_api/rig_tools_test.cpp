// The bone and layer tools of the installation's scripts folder, driven as script_harness
// drives them (the same document steps, in this process) on a small rig: each row runs steps
// on the document, saves it, and checks what the saved file holds; Ctrl+Z after each row's
// drag gives back the document as it was saved before.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bonelayer.h"
#include "harness_document.h"
#include "image_format_registry.h"
#include "imagelayer.h"
#include "m_bone.h"
#include "m_mesh.h"
#include "m_point.h"
#include "m_skeleton.h"
#include "meshlayer.h"
#include "qv_lua_console.h"
#include "qv_message.h"
#include "read_document.h"
#include "script_registry.h"
#include "shape_style_factory.h"
#include "vorn_module.h"
#include "vorndoc.h"

namespace {

namespace fs = std::filesystem;

constexpr float kPi = 3.14159265f;

class Lines : public QV_ConsoleLineSink {
public:
    void ConsoleLine(const char* text, rgb_color) override { fText += std::string(text) + "\n"; }
    std::string fText;
};

// The saved text without its time of creation.
std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string text;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("### Created", 0) != 0)
            text += line + "\n";
    }
    return text;
}

// Two bones in a row along x from the origin (0 the parent of 1, 0 selected), a vector layer
// "Skin" inside the rig, a vector layer "Sheet", a layer "Turned" a quarter turn round, and a
// movie layer "Movie" when a movie is given.
void WriteRig(const fs::path& path, const fs::path& movie)
{
    VornDoc doc;
    doc.SetShape(200, 200);
    auto* rig = new BoneLayer;
    rig->SetName("Rig");
    M_Skeleton* skeleton = rig->Skeleton();
    for (int i = 0; i < 2; i++) {
        M_Bone* bone = skeleton->AddBone(0);
        const QV_Vector2 pos { i == 0 ? 0.0f : 0.5f, 0 };
        bone->fAnimPos.SetValue(0, pos);
        bone->fPos = pos;
        bone->fAnimAngle.SetValue(0, 0);
        bone->fAngle = 0;
        bone->fLength = 0.5f;
        bone->fParent = i - 1;
    }
    skeleton->GetBone(0)->fSelected = true;
    skeleton->UpdateBoneMatrix(-1);
    auto* skin = new MeshLayer;
    skin->SetName("Skin");
    skin->Mesh()->AddLonePoint(QV_Vector2 { 0.2f, 0.3f }, 0);
    skin->Mesh()->AppendPoint(QV_Vector2 { 0.7f, 0.3f }, 0);
    skin->Mesh()->AppendPoint(QV_Vector2 { 0.9f, 0.4f }, 0);
    rig->AddLayer(skin);
    doc.AddLayer(rig);
    for (const char* name : { "Sheet", "Turned" }) {
        auto* sheet = new MeshLayer;
        sheet->SetName(name);
        sheet->Mesh()->AddLonePoint(QV_Vector2 { 0.3f, 0 }, 0);
        sheet->Mesh()->AppendPoint(QV_Vector2 { 0.3f, 0.3f }, 0);
        doc.AddLayer(sheet);
    }
    static_cast<MeshLayer*>(doc.Layer(2))->fRotationZ.SetValue(0, kPi / 2);
    if (!movie.empty()) {
        auto* image = new ImageLayer;
        image->SetName("Movie");
        EXPECT_TRUE(image->SetSourceImage(movie.c_str()));
        doc.AddLayer(image);
    }
    doc.SetPath(path.c_str());
    ASSERT_EQ(doc.Save(""), 0);
}

// Splits a step line as a shell and script_harness split its arguments; "lua:CODE" runs CODE in the
// scripts' Lua state (as a Lua file step does).
std::vector<std::pair<std::string, std::vector<std::string>>> Steps(const std::string& line)
{
    // Words split at spaces, except within single quotes.
    std::vector<std::string> all;
    std::string word;
    bool quoted = false, any = false;
    for (char c : line + " ") {
        if (c == '\'') {
            quoted = !quoted;
            any = true;
        } else if (c == ' ' && !quoted) {
            if (any)
                all.push_back(word);
            word.clear();
            any = false;
        } else {
            word += c;
            any = true;
        }
    }
    std::vector<std::pair<std::string, std::vector<std::string>>> steps;
    for (size_t i = 0; i < all.size(); i++) {
        std::pair<std::string, std::vector<std::string>> step { all[i], {} };
        const bool modifiers = HarnessDocument::TakesModifiers(all[i]);
        while (i + 1 < all.size() && all[i + 1].rfind("lua:", 0) != 0
            && (all[i + 1].rfind("--", 0) != 0
                || (modifiers && (all[i + 1] == "--shift" || all[i + 1] == "--ctrl" || all[i + 1] == "--alt"))))
            step.second.push_back(all[++i]);
        steps.push_back(step);
    }
    return steps;
}

class RigTools : public ::testing::Test {
protected:
    RigTools()
        : folder(fs::path(::testing::TempDir())
            / ("rig_tools_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name())))
    {
        fs::remove_all(folder);
        fs::create_directories(folder);
        ImageFormatRegistry::Init();
        RegisterShapeStyles();
        QV_LuaConsole::AddSink(&lines);
    }
    ~RigTools() override
    {
        QV_LuaConsole::FlushPending();
        QV_LuaConsole::RemoveSink(&lines);
        ImageFormatRegistry::Free();
        fs::remove_all(folder);
    }

    // A registry with the installation's scripts and a harness document on the rig.
    struct Session {
        explicit Session(QV_Message* settings)
            : registry(settings, OpenVornModule)
        {
            registry.fScriptsFolder = CELVANE_DATA_FOLDER;
            registry.fScriptsFolder.Append("scripts");
            registry.LoadScripts();
        }
        ScriptRegistry registry;
        std::unique_ptr<HarnessDocument> document;
    };

    bool Run(Session& session, const std::string& line)
    {
        if (!session.document)
            session.document = std::make_unique<HarnessDocument>(&session.registry);
        for (auto& [option, arguments] : Steps(line)) {
            if (option.rfind("lua:", 0) == 0) {
                const fs::path file = folder / "step.lua";
                std::ofstream(file, std::ios::binary) << option.substr(4);
                if (session.registry.DoFile(file.c_str()) != kScriptOK)
                    return false;
            } else if (!session.document->Run(option, arguments)) {
                return false;
            }
        }
        QV_LuaConsole::FlushPending();
        return true;
    }

    fs::path folder;
    Lines lines;
    QV_Message settings;
};

struct Row {
    const char* name;
    const char* setup;
    const char* drag;
    std::function<void(VornDoc&)> check;
};

GroupLayer* Rig(VornDoc& doc) { return static_cast<GroupLayer*>(doc.Layer(0)); }
M_Skeleton* Skel(VornDoc& doc) { return static_cast<BoneLayer*>(doc.Layer(0))->Skeleton(); }
M_Bone* Bone(VornDoc& doc, int i) { return Skel(doc)->GetBone(i); }
MeshLayer* Skin(VornDoc& doc) { return static_cast<MeshLayer*>(Rig(doc)->Layer(0)); }

void Near(QV_Vector2 v, float x, float y, const char* what)
{
    EXPECT_NEAR(v.x, x, 1e-3) << what;
    EXPECT_NEAR(v.y, y, 1e-3) << what;
}

const std::vector<Row>& ToolRows()
{
    static const std::vector<Row> rows = {
        { "add bone below the selected one", "--layer Rig --tool QV_AddBone", "--drag 0,0.5 0,0.7 0,0.9",
            [](VornDoc& doc) {
                ASSERT_EQ(Skel(doc)->GetNumBones(), 3);
                M_Bone* bone = Bone(doc, 2);
                EXPECT_EQ(bone->fParent, 0);
                EXPECT_NEAR(bone->fLength, 0.4f, 1e-3);
                EXPECT_NEAR(bone->fAnimAngle.GetValue(0), kPi / 2, 1e-3);
                Near(bone->fAnimPos.GetValue(0), 0, 0.5f, "base");
                EXPECT_TRUE(bone->fSelected);
                EXPECT_FALSE(Bone(doc, 0)->fSelected);
            } },
        { "add a new root with Shift", "--layer Rig --tool QV_AddBone", "--drag -0.5,-0.5 -0.5,-0.5 --shift",
            [](VornDoc& doc) {
                ASSERT_EQ(Skel(doc)->GetNumBones(), 3);
                EXPECT_EQ(Bone(doc, 2)->fParent, -1);
                // A click gives the bone its default length, upward.
                EXPECT_NEAR(Bone(doc, 2)->fLength, 0.25f, 1e-3);
                EXPECT_NEAR(Bone(doc, 2)->fAnimAngle.GetValue(0), kPi / 2, 1e-3);
            } },
        { "select bone: click, Shift adds, Ctrl removes", "--layer Rig --tool QV_SelectBone",
            "--drag 0.75,0 0.75,0 --drag 0.25,0.01 0.25,0.01 --shift --drag 0.75,0 0.75,0 --ctrl",
            [](VornDoc& doc) {
                EXPECT_TRUE(Bone(doc, 0)->fSelected);
                EXPECT_FALSE(Bone(doc, 1)->fSelected);
            } },
        { "translate bone at frame 12 keys only there", "--layer Rig --frame 12 --tool QV_TranslateBone",
            "--drag 0.25,0 0.25,0.1 0.25,0.2",
            [](VornDoc& doc) {
                M_Bone* bone = Bone(doc, 0);
                EXPECT_TRUE(bone->fAnimPos.HasKey(12));
                Near(bone->fAnimPos.GetValue(12), 0, 0.2f, "keyed");
                Near(bone->fAnimPos.GetValue(0), 0, 0, "rest");
                EXPECT_FALSE(Bone(doc, 1)->fAnimPos.HasKey(12));
            } },
        { "rotate bone turns it about its base", "--layer Rig --tool QV_RotateBone", "--drag 1,0 0.9,0.3 0.5,0.5",
            [](VornDoc& doc) {
                EXPECT_NEAR(Bone(doc, 1)->fAnimAngle.GetValue(0), kPi / 2, 1e-3);
                EXPECT_NEAR(Bone(doc, 0)->fAnimAngle.GetValue(0), 0, 1e-6);
            } },
        { "rotate bone snaps through its option",
            "lua:QV_RotateBone:HandleMessage(nil,nil,VORN.MSG_BASE+1) --layer Rig --tool QV_RotateBone",
            "--drag 1,0 0.5,0.45",
            [](VornDoc& doc) {
                // atan2(0.45, 0) is 90 degrees already; 0.5,0.45 from 0.5,0 lies straight up.
                const float angle = Bone(doc, 1)->fAnimAngle.GetValue(0);
                EXPECT_NEAR(std::remainder(angle, kPi / 12), 0, 1e-4);
            } },
        { "manipulate bones moves the chain toward the pointer", "--layer Rig --frame 12 --tool QV_ManipulateBones",
            "--drag 0.98,0 0.8,0.4 0.6,0.6",
            [](VornDoc& doc) {
                const float a0 = Bone(doc, 0)->fAnimAngle.GetValue(12);
                const float a1 = Bone(doc, 1)->fAnimAngle.GetValue(12);
                EXPECT_TRUE(Bone(doc, 0)->fAnimAngle.HasKey(12));
                EXPECT_TRUE(Bone(doc, 1)->fAnimAngle.HasKey(12));
                const float x = 0.5f * std::cos(a0) + 0.5f * std::cos(a0 + a1);
                const float y = 0.5f * std::sin(a0) + 0.5f * std::sin(a0 + a1);
                EXPECT_LT(std::hypot(x - 0.6f, y - 0.6f), 0.05f) << x << "," << y;
                EXPECT_NEAR(Bone(doc, 0)->fAnimAngle.GetValue(0), 0, 1e-6);
            } },
        { "offset bone", "--layer Rig --tool QV_OffsetBone", "--drag 0.25,0 0.25,0.1",
            [](VornDoc& doc) { Near(Bone(doc, 0)->fOffset, 0, 0.1f, "offset"); } },
        { "bone strength grows with a drag to the right", "--layer Rig --tool QV_BoneStrength", "--drag 0.25,0 0.75,0",
            [](VornDoc& doc) {
                EXPECT_NEAR(Bone(doc, 0)->fStrength, 1.5f, 1e-3);
                EXPECT_NEAR(Bone(doc, 1)->fStrength, 1, 1e-6);
            } },
        { "bind layer to the bone clicked", "--layer Skin --tool QV_BindLayer", "--drag 0.75,0 0.75,0",
            [](VornDoc& doc) { EXPECT_EQ(Skin(doc)->LayerParentBone(), 1); } },
        { "bind layer: a click on nothing gives it back to the blend", "--layer Skin --tool QV_BindLayer --drag 0.75,0 0.75,0",
            "--drag -0.8,-0.8 -0.8,-0.8", [](VornDoc& doc) { EXPECT_EQ(Skin(doc)->LayerParentBone(), -2); } },
        { "bind points binds the selected points to the bone clicked", "--layer Skin --select 0,1 --tool QV_BindPoints",
            "--drag 0.75,0 0.75,0",
            [](VornDoc& doc) {
                M_Mesh* mesh = Skin(doc)->Mesh();
                EXPECT_EQ(mesh->GetPoint(0)->fParent, 1);
                EXPECT_EQ(mesh->GetPoint(1)->fParent, 1);
                EXPECT_EQ(mesh->GetPoint(2)->fParent, -2);
                EXPECT_TRUE(Bone(doc, 1)->fSelected);
            } },
        { "bind points: Return binds to the selected bone", "--layer Skin --select 2 --tool QV_BindPoints", "--key return",
            [](VornDoc& doc) {
                EXPECT_EQ(Skin(doc)->Mesh()->GetPoint(2)->fParent, 0);
            } },
        { "bind points: Alt-click gives them back to the blend", "--layer Skin --select 0,1 --tool QV_BindPoints "
          "--drag 0.75,0 0.75,0", "--drag 0.75,0 0.75,0 --alt",
            [](VornDoc& doc) {
                M_Mesh* mesh = Skin(doc)->Mesh();
                EXPECT_EQ(mesh->GetPoint(0)->fParent, -2);
                EXPECT_EQ(mesh->GetPoint(1)->fParent, -2);
            } },
        { "transform layer at frame 12 keys only there", "--layer Sheet --frame 12 --tool QV_TransformLayer",
            "--drag 0,0 0.1,0 0.3,0.1",
            [](VornDoc& doc) {
                VornLayer* sheet = doc.Layer(1);
                EXPECT_TRUE(sheet->fTranslation.HasKey(12));
                const QV_Vector3 moved = sheet->fTranslation.GetValue(12);
                EXPECT_NEAR(moved.x, 0.3f, 1e-3);
                EXPECT_NEAR(moved.y, 0.1f, 1e-3);
                EXPECT_NEAR(sheet->fTranslation.GetValue(0).x, 0, 1e-6);
            } },
        { "rotate layer about its origin", "--layer Sheet --tool QV_RotateLayer", "--drag 0.5,0 0.4,0.4 0,0.5",
            [](VornDoc& doc) { EXPECT_NEAR(doc.Layer(1)->fRotationZ.GetValue(0), kPi / 2, 1e-3); } },
        { "scale layer", "--layer Sheet --tool QV_ScaleLayer", "--drag 0.5,0 0.7,0 1,0",
            [](VornDoc& doc) {
                const QV_Vector3 scale = doc.Layer(1)->fScale.GetValue(0);
                EXPECT_NEAR(scale.x, 2, 1e-3);
                EXPECT_NEAR(scale.y, 2, 1e-3);
            } },
        { "scale layer with Shift scales one side", "--layer Sheet --tool QV_ScaleLayer", "--drag 0.5,0 1,0.3 --shift",
            [](VornDoc& doc) {
                const QV_Vector3 scale = doc.Layer(1)->fScale.GetValue(0);
                EXPECT_NEAR(scale.x, 2, 1e-3);
                EXPECT_NEAR(scale.y, 1, 1e-3);
            } },
        { "set origin keeps the turned layer in place", "--layer Turned --tool QV_SetOrigin", "--drag 0.2,0 0.2,0",
            [](VornDoc& doc) {
                VornLayer* turned = doc.Layer(2);
                // The document point (0.2, 0) is (0, -0.2) of the quarter-turned layer.
                Near(turned->Origin(), 0, -0.2f, "origin");
                QV_Matrix m;
                turned->GetLayerTransform(0, m, &doc);
                QV_Vector2 p { 0.3f, 0 };
                m.Transform(p);
                // Before, the turn alone carried (0.3, 0) to (0, 0.3).
                Near(p, 0, 0.3f, "a point of the layer");
            } },
    };
    return rows;
}

TEST_F(RigTools, EachToolEditsTheSavedDocumentAndOneUndoGivesItBack)
{
    const fs::path rig = folder / "rig.vorn";
    WriteRig(rig, "");
    for (const Row& row : ToolRows()) {
        SCOPED_TRACE(row.name);
        lines.fText.clear();
        Session session(&settings);
        const fs::path out = folder / "out.vorn";
        const fs::path before = folder / "before.vorn";
        const fs::path undone = folder / "undone.vorn";
        ASSERT_TRUE(Run(session, "--doc " + rig.string() + " " + row.setup + " --save " + before.string()));
        ASSERT_TRUE(Run(session, std::string(row.drag) + " --save " + out.string()));
        EXPECT_EQ(lines.fText, "");
        VornDoc* saved = ReadDocument(out.c_str());
        ASSERT_NE(saved, nullptr);
        row.check(*saved);
        delete saved;
        // Selection is no edit: the undo of a selection-only row has nothing to give back.
        if (std::string(row.name).rfind("select bone", 0) != 0) {
            session.document->fDoc->Undo();
            ASSERT_TRUE(Run(session, "--save " + undone.string()));
            const std::string a = ReadFile(before);
            // Whole documents make unreadable failure messages: compare, then say which.
            const std::string b = ReadFile(undone);
            size_t at = 0;
            while (at < a.size() && at < b.size() && a[at] == b[at])
                at++;
            EXPECT_TRUE(b == a) << "undo did not give back the document; it differs at\n"
                                << a.substr(at > 40 ? at - 40 : 0, 80) << "\n-----\n"
                                << b.substr(at > 40 ? at - 40 : 0, 80);
            EXPECT_FALSE(ReadFile(out) == a) << "the tool changed nothing";
        }
    }
}

TEST_F(RigTools, VideoTrackingAddsMovesAndDeletesTrackingPoints)
{
    const fs::path movie = folder / "clip.avi";
    const std::string make = "ffmpeg -loglevel error -y -f lavfi -i testsrc=size=80x60:rate=12 -t 1 -c:v mjpeg "
        + movie.string();
    if (std::system(make.c_str()) != 0)
        GTEST_SKIP() << "ffmpeg cannot make the movie";
    const fs::path rig = folder / "rig.vorn";
    WriteRig(rig, movie);
    Session session(&settings);
    const fs::path out = folder / "tracked.vorn";
    ASSERT_TRUE(Run(session, "--doc " + rig.string()));
    // The canvas has drawn the movie before anyone clicks on it; the headless one draws no layer.
    static_cast<ImageLayer*>(session.document->fDoc->Layer(3))->LoadMedia(32);
    ASSERT_TRUE(Run(session, "--layer Movie --tool QV_VideoTracking "
                             "--drag 0,0 0,0 --drag 0.2,0.2 0.2,0.2 --frame 5 --drag 0,0 0.1,0.1 --save "
            + out.string()));
    EXPECT_EQ(lines.fText, "");
    {
        VornDoc* saved = ReadDocument(out.c_str());
        ASSERT_NE(saved, nullptr);
        auto* image = static_cast<ImageLayer*>(saved->Layer(3));
        ASSERT_EQ(image->CountTrackingPoints(), 2);
        TrackingPoint* moved = image->GetTrackingPoint(0);
        EXPECT_TRUE(moved->fAnimPos.HasKey(5));
        EXPECT_NE(moved->fAnimPos.GetValue(5).x, moved->fAnimPos.GetValue(0).x);
        EXPECT_EQ(moved->fSearchRadius, 16);
        delete saved;
    }
    // The moved point is the selected one; Delete takes it away, Return tracks what is left.
    ASSERT_TRUE(Run(session, "--key delete --drag 0.2,0.2 0.2,0.2 --key return --save " + out.string()));
    VornDoc* saved = ReadDocument(out.c_str());
    ASSERT_NE(saved, nullptr);
    auto* image = static_cast<ImageLayer*>(saved->Layer(3));
    EXPECT_EQ(image->CountTrackingPoints(), 1);
    delete saved;
}

} // namespace

namespace {

TEST_F(RigTools, MenuScriptsSpacePointsAndReverseKeys)
{
    const fs::path rig = folder / "rig.vorn";
    WriteRig(rig, "");
    Session session(&settings);
    const fs::path out = folder / "menus.vorn";
    ASSERT_TRUE(Run(session, "--doc " + rig.string() + " --layer Skin --select 0,1,2 --menu 'Distribute Points Evenly' "
                             "--layer Sheet --frame 10 --tool QV_TransformLayer --drag 0,0 0.1,0 --frame 20 "
                             "--drag 0,0 0.1,0 --menu 'Reverse Layer Keys' --save "
            + out.string()));
    EXPECT_EQ(lines.fText, "");
    VornDoc* saved = ReadDocument(out.c_str());
    ASSERT_NE(saved, nullptr);
    // The middle point goes halfway between the two farthest apart, which stay.
    M_Mesh* mesh = Skin(*saved)->Mesh();
    Near(mesh->GetPoint(1)->fAnimPos.GetValue(0), 0.55f, 0.35f, "middle");
    Near(mesh->GetPoint(2)->fAnimPos.GetValue(0), 0.9f, 0.4f, "end");
    // Keys at 10 and 20 of the range 1 to 240 land at 231 and 221; frame 0 stays.
    AnimVec3& track = saved->Layer(1)->fTranslation;
    EXPECT_FALSE(track.HasKey(10));
    EXPECT_FALSE(track.HasKey(20));
    ASSERT_TRUE(track.HasKey(231));
    ASSERT_TRUE(track.HasKey(221));
    EXPECT_NEAR(track.GetValue(231).x, 0.1f, 1e-3);
    EXPECT_NEAR(track.GetValue(221).x, 0.2f, 1e-3);
    EXPECT_TRUE(track.HasKey(0));
    delete saved;
}

} // namespace
