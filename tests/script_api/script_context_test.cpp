#include <string>

#include "registry_test_support.h"
#include "tolua++.h"

#include "bonelayer.h"
#include "grouplayer.h"
#include "m_mesh.h"
#include "m_curve.h"
#include "m_point.h"
#include "m_shape.h"
#include "meshlayer.h"
#include "qv_noise.h"
#include "qv_vector.h"
#include "app_folders.h"
#include "script_interface.h"
#include "switchlayer.h"
#include "vorndoc.h"

namespace {

// A document 80 pixels high: a vector layer "Top" offset by 5 frames, a group holding the
// vector layer "Inner", and a bone layer holding the vector layer "Arm" (three points, the first
// and last selected).
class ScriptContext : public RegistryTest {
protected:
    ScriptContext()
    {
        doc.SetShape(120, 80);
        top = Add(new MeshLayer, "Top");
        top->SetTimingOffset(5);
        group = Add(new GroupLayer, "Group");
        inner = new MeshLayer;
        inner->SetName("Inner");
        group->AddLayer(inner);
        bones = Add(new BoneLayer, "Bones");
        arm = new MeshLayer;
        arm->SetName("Arm");
        bones->AddLayer(arm);
        M_Mesh* mesh = arm->Mesh();
        mesh->AddPoint(QV_Vector2 { 0, 0 }, -1, 0);
        mesh->AddPoint(QV_Vector2 { 0.5f, 0 }, 1, 0);
        for (int32_t i = 0; i < mesh->GetNumPoints(); i++)
            mesh->GetPoint(i)->fSelected = i != 1;
        doc.SetSelLayer(top);
    }

    template <typename Layer> Layer* Add(Layer* layer, const char* name)
    {
        layer->SetName(name);
        doc.AddLayer(layer);
        return layer;
    }

    // Makes the layer the global name, as a plain layer.
    void Global(const char* name, VornLayer* layer)
    {
        lua_State* state = Registry().fState;
        tolua_pushusertype(state, layer, "VornLayer");
        lua_setglobal(state, name);
    }
    using RegistryTest::Global;

    // Runs the chunk with the record as the global si; "" or the error text.
    std::string Run(ScriptInterface& record, const std::string& code)
    {
        lua_State* state = Registry().fState;
        tolua_pushusertype(state, &record, "ScriptInterface");
        lua_setglobal(state, "si");
        return RunChunk(code);
    }

    VornDoc doc;
    MeshLayer* top;
    GroupLayer* group;
    MeshLayer* inner;
    BoneLayer* bones;
    MeshLayer* arm;
};

TEST_F(ScriptContext, VariablesWriteOnlyTheRecord)
{
    ScriptInterface record(&doc, nullptr);
    Global("Top", top);
    ASSERT_EQ(Run(record,
                  "Seen = string.format('%d %d %s %s %s', si.frame, si.layerFrame, tostring(si.layer == Top),"
                  " tostring(si.view), tostring(si.gridOn))\n"
                  "si.frame = 7 si.layerFrame = 9 si.gridSize = 0.25 si.gridOn = true si.layer = nil"),
        "");
    EXPECT_EQ(Global("Seen"), "0 5 true nil false");
    EXPECT_EQ(record.fFrame, 7);
    EXPECT_EQ(record.fLayerFrame, 9);
    EXPECT_FLOAT_EQ(record.fGridSize, 0.25f);
    EXPECT_TRUE(record.fGridOn);
    EXPECT_EQ(record.fLayer, nullptr);
    // Nothing followed the record: the document still has its frame and selection.
    EXPECT_EQ(doc.CurFrame(), 0);
    EXPECT_EQ(doc.GetSelectedLayer(), top);
}

TEST_F(ScriptContext, SetCurFrameFollowsTheSelectionSetSelLayerKeepsLayerFrame)
{
    ScriptInterface record(&doc, nullptr);
    ASSERT_EQ(Run(record, "si.layer = nil si:SetCurFrame(12.9)"), "");
    EXPECT_EQ(record.fFrame, 12);
    EXPECT_EQ(record.fLayerFrame, 17);
    EXPECT_EQ(record.fLayer, top);
    EXPECT_EQ(doc.CurFrame(), 12);

    record.fLayerFrame = 3;
    ASSERT_EQ(Run(record, "si:SetSelLayer(si:LayerAsVector(si.layer))"), "");
    EXPECT_EQ(record.fLayerFrame, 3);

    // A layer of another document is refused: selecting it would give it two owners.
    VornDoc other;
    auto* stray = new MeshLayer;
    other.AddLayer(stray);
    Global("Stray", stray);
    EXPECT_NE(Run(record, "si:SetSelLayer(Stray)").find("SetSelLayer"), std::string::npos);
    EXPECT_EQ(doc.GetSelectedLayer(), top);
    EXPECT_EQ(record.fLayer, top);

    // A sub-layer belongs to the document too; nil leaves the document's selection.
    record.fLayer = arm;
    ASSERT_EQ(Run(record, "local arm = si.layer si.layer = nil si:SetSelLayer(arm)"), "");
    EXPECT_EQ(doc.GetSelectedLayer(), arm);
    ASSERT_EQ(Run(record, "si:SetSelLayer(nil)"), "");
    EXPECT_EQ(record.fLayer, nullptr);
    EXPECT_EQ(doc.GetSelectedLayer(), arm);
}

TEST_F(ScriptContext, TypeTestsAndContentAccessors)
{
    auto* flip = new SwitchLayer;
    doc.AddLayer(flip);
    ScriptInterface record(&doc, nullptr);
    const struct {
        VornLayer* layer;
        const char* answers; // vector, group, bone, switch
    } cases[] = {
        { top, "MeshLayer nil nil nil" },
        { group, "nil GroupLayer nil nil" },
        { bones, "nil GroupLayer BoneLayer nil" },
        { flip, "nil GroupLayer BoneLayer SwitchLayer" },
        { nullptr, "nil nil nil nil" },
    };
    for (const auto& c : cases) {
        record.fLayer = c.layer;
        ASSERT_EQ(Run(record,
                      "local function kind(l) return l and tolua.type(l) or 'nil' end\n"
                      "local l = si.layer\n"
                      "Seen = kind(si:LayerAsVector(l))..' '..kind(si:LayerAsGroup(l))..' '"
                      "..kind(si:LayerAsBone(l))..' '..kind(si:LayerAsSwitch(l))"),
            "");
        EXPECT_EQ(Global("Seen"), c.answers);
    }

    const struct {
        VornLayer* layer;
        const char* answers; // mesh, skeleton, parent skeleton
    } content[] = {
        { arm, "M_Mesh nil M_Skeleton" },
        { bones, "nil M_Skeleton nil" },
        { inner, "M_Mesh nil nil" },
        { nullptr, "nil nil nil" },
    };
    for (const auto& c : content) {
        record.fLayer = c.layer;
        ASSERT_EQ(Run(record,
                      "local function kind(o) return o and tolua.type(o) or 'nil' end\n"
                      "Seen = kind(si:Mesh())..' '..kind(si:Skeleton())..' '..kind(si:ParentSkeleton())"),
            "");
        EXPECT_EQ(Global("Seen"), c.answers);
    }
    // The skeleton handed out is the bone layer's own.
    record.fLayer = arm;
    Global("Bones", bones);
    EXPECT_EQ(Run(record, "local held = si:ParentSkeleton() si.layer = Bones assert(held == si:Skeleton())"), "");
}

TEST_F(ScriptContext, GridSnappingAndUnits)
{
    ScriptInterface record(&doc, nullptr);
    ASSERT_FLOAT_EQ(record.fGridSize, 0.5f);
    ASSERT_EQ(Run(record,
                  "local a, b = QV.Vector2:new_local(), QV.Vector2:new_local()\n"
                  "a:Set(0.25, -0.25) b:Set(0.7, 0.2) si:SnapToGrid(a) si:SnapToGrid(b)\n"
                  "Seen = string.format('%g %g %g %g', a.x, a.y, b.x, b.y)\n"
                  "Units = string.format('%g %g', si:PixelToDoc(40), si:DocToPixel(0.25))"),
        "");
    EXPECT_EQ(Global("Seen"), "0.5 -0.5 0.5 0");
    EXPECT_EQ(Global("Units"), "0.5 20");
    EXPECT_NE(Run(record, "si:SnapToGrid(nil)").find("SnapToGrid"), std::string::npos);

    // Without a spacing there is no grid: the point stays where it is.
    record.fGridSize = 0;
    ASSERT_EQ(Run(record, "local a = QV.Vector2:new_local() a:Set(0.3, 0.1) si:SnapToGrid(a) Seen = a.x"), "");
    EXPECT_EQ(Global("Seen"), "0.30000001192093");
}

TEST_F(ScriptContext, CountsFollowTheCurrentVectorLayer)
{
    ScriptInterface record(&doc, nullptr);
    record.fLayer = arm;
    ASSERT_EQ(Run(record,
                  "Seen = string.format('%d %d %d %d %d', si:CountPoints(), si:CountSelectedPoints(),"
                  " si:CountCurves(), si:CountEdges(), si:CountSelectedEdges())"),
        "");
    EXPECT_EQ(Global("Seen"), "3 2 1 2 0");

    // The selection changes under the record: only a recount sees it.
    arm->Mesh()->GetPoint(1)->fSelected = true;
    ASSERT_EQ(Run(record, "Seen = si:CountSelectedPoints()..' '..si:CountSelectedPoints(true)"), "");
    EXPECT_EQ(Global("Seen"), "2 3");

    record.fLayer = group;
    ScriptInterface fresh(&doc, nullptr);
    fresh.fLayer = group;
    ASSERT_EQ(Run(fresh, "Seen = si:CountPoints()..' '..si:CountShapes()..' '..si:CountBones()"), "");
    EXPECT_EQ(Global("Seen"), "0 0 0");
}

// The names of the layers of the list, bottom first; groups list theirs in brackets.
std::string Names(VornDoc& doc, GroupLayer* group = nullptr)
{
    std::string text;
    const int32_t count = group ? group->CountLayers() : doc.CountLayers();
    for (int32_t i = 0; i < count; i++) {
        VornLayer* layer = group ? group->Layer(i) : doc.Layer(i);
        text += (i ? " " : "") + std::string(layer->Name().CString());
        if (layer->IsGroupType())
            text += "[" + Names(doc, static_cast<GroupLayer*>(layer)) + "]";
    }
    return text;
}

TEST_F(ScriptContext, CreateNewLayerFollowsTheCurrentLayerAndEmptiesUndo)
{
    for (const char* name : { "Second", "Third" }) {
        auto* layer = new MeshLayer;
        layer->SetName(name);
        group->AddLayer(layer);
    }
    doc.SetSelLayer(inner);
    doc.SetCurFrame(6);
    doc.PrepUndo(inner);
    ScriptInterface record(&doc, nullptr);
    ASSERT_EQ(Run(record, "Made = si:CreateNewLayer(VORN.LT_VECTOR) Same = Made == si.layer"), "");
    EXPECT_EQ(Global("Same"), "true");
    EXPECT_EQ(Names(doc), "Top Group[Inner Layer 4 Second Third] Bones[Arm]");
    VornLayer* made = group->Layer(1);
    EXPECT_EQ(record.fLayer, made);
    EXPECT_EQ(doc.GetSelectedLayer(), made);
    EXPECT_EQ(doc.fUndoLevel, 0);
    EXPECT_TRUE(doc.fDirty);
    EXPECT_FLOAT_EQ(static_cast<MeshLayer*>(made)->fNoiseAmp, 6.0f / 80.0f);
    EXPECT_FLOAT_EQ(made->fShadingBlur.GetValue(0), 1.0f / 15.0f);

    // A group at the top level comes in expanded, after the group that was current.
    doc.SetSelLayer(group);
    ASSERT_EQ(Run(record, "si:CreateNewLayer(VORN.LT_BONE)"), "");
    EXPECT_EQ(Names(doc), "Top Group[Inner Layer 4 Second Third] Layer 4[] Bones[Arm]");
    EXPECT_TRUE(static_cast<GroupLayer*>(doc.Layer(2))->IsExpanded());

    // Every kind is made, 3D layers included.
    ASSERT_EQ(Run(record, "Made = si:CreateNewLayer(VORN.LT_3D)"), "");
    EXPECT_EQ(Global("Made ~= nil"), "true");
    EXPECT_EQ(doc.CountLayers(), 5);
}

TEST_F(ScriptContext, DuplicateLayerCountsOnFromTheLastWord)
{
    const struct {
        const char* name;
        const char* copy;
    } cases[] = {
        { "Layer 9", "Layer 10" },
        { "Layer", "Layer 2" },
        { "Layer 2b", "Layer 3" },
        { "Arm x", "Arm x 2" },
    };
    ScriptInterface record(&doc, nullptr);
    Global("Inner", inner);
    for (const auto& c : cases) {
        inner->SetName(c.name);
        ASSERT_EQ(Run(record, "Copy = si:DuplicateLayer(Inner) Same = Copy == si.layer"), "");
        EXPECT_EQ(Global("Same"), "true");
        ASSERT_EQ(group->CountLayers(), 2);
        EXPECT_STREQ(group->Layer(1)->Name().CString(), c.copy);
        EXPECT_EQ(doc.GetSelectedLayer(), group->Layer(1));
        VornLayer* copy = group->Layer(1);
        doc.SetSelLayer(inner);
        group->RemoveLayer(copy);
        delete copy;
    }
    // The copy carries the content.
    record.fLayer = arm;
    Global("Arm", arm);
    ASSERT_EQ(Run(record, "Copy = si:DuplicateLayer(Arm) si.layer = Copy Seen = si:CountPoints() "
                          "Nothing = si:DuplicateLayer(nil)"),
        "");
    EXPECT_EQ(Global("Seen"), "3");
    EXPECT_EQ(Global("Nothing"), "nil");
    EXPECT_EQ(Names(doc), "Top Group[Arm x] Bones[Arm Arm 2]");
}

TEST_F(ScriptContext, PlacingRefusesCyclesAndStrangers)
{
    auto* sub = new GroupLayer;
    sub->SetName("Sub");
    group->AddLayer(sub);
    Global("Top", top);
    Global("Group", group);
    Global("Sub", sub);
    Global("Bones", bones);
    Global("Inner", inner);
    VornDoc other;
    auto* stray = new GroupLayer;
    other.AddLayer(stray);
    Global("Stray", stray);
    ScriptInterface record(&doc, nullptr);

    // Into itself or into a group inside it: nothing moves and nothing is marked.
    ASSERT_EQ(Run(record, "si:PlaceLayerInGroup(Group, Sub) si:PlaceLayerInGroup(Group, Group) "
                          "si:PlaceLayerInGroup(Inner, Top)"),
        "");
    EXPECT_EQ(Names(doc), "Top Group[Inner Sub[]] Bones[Arm]");
    EXPECT_FALSE(doc.fDirty);

    // Another document's layers, or no layer at all, are refused.
    for (const char* call : { "si:PlaceLayerInGroup(Stray, Group)", "si:PlaceLayerInGroup(Top, Stray)",
             "si:PlaceLayerInGroup(nil, Group)", "si:PlaceLayerBehindAnother(Stray, Top)",
             "si:PlaceLayerBehindAnother(Top, Stray)", "si:DuplicateLayer(Stray)" }) {
        const std::string error = Run(record, call);
        EXPECT_NE(error.find("argument"), std::string::npos) << call << ": " << error;
    }
    EXPECT_EQ(Names(doc), "Top Group[Inner Sub[]] Bones[Arm]");
    EXPECT_EQ(stray->Parent(), nullptr);
    EXPECT_EQ(other.CountLayers(), 1);

    doc.PrepUndo(top);
    ASSERT_EQ(Run(record, "si:PlaceLayerInGroup(Top, Group, false)"), "");
    EXPECT_EQ(Names(doc), "Group[Top Inner Sub[]] Bones[Arm]");
    EXPECT_EQ(doc.fUndoLevel, 0);
    EXPECT_TRUE(doc.fDirty);
    ASSERT_EQ(Run(record, "si:PlaceLayerInGroup(Inner, Sub)"), "");
    EXPECT_EQ(Names(doc), "Group[Top Sub[Inner]] Bones[Arm]");

    // Behind a layer of a group, then behind the first top-level layer.
    doc.fDirty = false;
    ASSERT_EQ(Run(record, "si:PlaceLayerBehindAnother(Bones, Inner)"), "");
    EXPECT_EQ(Names(doc), "Group[Top Sub[Bones[Arm] Inner]]");
    EXPECT_TRUE(doc.fDirty);
    ASSERT_EQ(Run(record, "si:PlaceLayerBehindAnother(Sub, Inner) si:PlaceLayerBehindAnother(Inner, nil)"), "");
    EXPECT_EQ(Names(doc), "Inner Group[Top Sub[Bones[Arm]]]");
    EXPECT_TRUE(doc.fDirty);
}

TEST_F(ScriptContext, AddPointKeyframeKeysTheSelectionInTheLayersTime)
{
    M_Mesh* mesh = top->Mesh();
    mesh->AddPoint(QV_Vector2 { 0, 0 }, -1, 0);
    mesh->GetPoint(0)->fSelected = false;
    mesh->GetPoint(1)->fPos = QV_Vector2 { 0.25f, 0.5f };
    ScriptInterface record(&doc, nullptr);
    ASSERT_EQ(Run(record, "si:AddPointKeyframe(3)"), "");
    EXPECT_TRUE(mesh->GetPoint(1)->fAnimPos.HasKey(8));
    EXPECT_FALSE(mesh->GetPoint(1)->fAnimPos.HasKey(3));
    EXPECT_FALSE(mesh->GetPoint(0)->fAnimPos.HasKey(8));
    const QV_Vector2 keyed = mesh->GetPoint(1)->fAnimPos.GetValue(8);
    EXPECT_FLOAT_EQ(keyed.x, 0.25f);
    EXPECT_FLOAT_EQ(keyed.y, 0.5f);

    // Points of a layer inside a bone layer, bound to no bone, keep where they are.
    record.fLayer = arm;
    arm->Mesh()->GetPoint(2)->fPos = QV_Vector2 { 0.5f, 0.75f };
    ASSERT_EQ(Run(record, "si:AddPointKeyframe(4)"), "");
    const QV_Vector2 armKey = arm->Mesh()->GetPoint(2)->fAnimPos.GetValue(4);
    EXPECT_FLOAT_EQ(armKey.x, 0.5f);
    EXPECT_FLOAT_EQ(armKey.y, 0.75f);
    EXPECT_FALSE(arm->Mesh()->GetPoint(1)->fAnimPos.HasKey(4));

    // Without a vector layer nothing is keyed and nothing fails.
    record.fLayer = group;
    EXPECT_EQ(Run(record, "si:AddPointKeyframe(2)"), "");
}

TEST_F(ScriptContext, FileListingEndsOnceAndAgain)
{
    const std::filesystem::path folder = app / "listing";
    std::filesystem::create_directories(folder / "sub");
    for (const char* name : { "b.lua", "a.txt" })
        std::ofstream(folder / name) << "x";
    ScriptInterface record(&doc, nullptr);
    ASSERT_EQ(Run(record,
                  "si:BeginFileListing('" + folder.string() + "')\n"
                  "local names = {} for i = 1, 5 do names[i] = tostring(si:GetNextFile()) end\n"
                  "Seen = table.concat(names, ' ')"),
        "");
    EXPECT_EQ(Global("Seen"), "a.txt b.lua sub nil nil");
    EXPECT_EQ(record.fFileListing, nullptr);

    // A folder that cannot be read lists nothing; a listing left unfinished goes with the record.
    ASSERT_EQ(Run(record, "si:BeginFileListing('" + (folder / "missing").string() + "') Seen = si:GetNextFile()"), "");
    EXPECT_EQ(Global("Seen"), "nil");
    ASSERT_EQ(Run(record, "si:BeginFileListing('" + folder.string() + "') si:GetNextFile()"), "");
    EXPECT_NE(record.fFileListing, nullptr);
}

TEST_F(ScriptContext, ScriptDocumentsAreLoadedAndDestroyedOnce)
{
    const std::filesystem::path file = app / "other doc.vrn";
    doc.SetPath(file.string().c_str());
    ASSERT_EQ(doc.Save(""), 0);
    std::ofstream(app / "broken.vrn") << "not a document";
    Global("Top", top);
    lua_State* state = Registry().fState;
    tolua_pushusertype(state, &doc, "VornDoc");
    lua_setglobal(state, "Open");
    ScriptInterface record(&doc, nullptr);
    ASSERT_EQ(Run(record,
                  "Loaded = si:LoadDocument('" + file.string() + "')\n"
                  "Missing = si:LoadDocument('" + (app / "none.vrn").string() + "')\n"
                  "Broken = si:LoadDocument('" + (app / "broken.vrn").string() + "')\n"
                  "si:DestroyDocument(nil)"),
        "");
    EXPECT_EQ(Global("Missing"), "nil");
    EXPECT_EQ(Global("Broken"), "nil");
    lua_getglobal(state, "Loaded");
    auto* loaded = static_cast<VornDoc*>(tolua_tousertype(state, -1, nullptr));
    lua_pop(state, 1);
    ASSERT_NE(loaded, nullptr);
    EXPECT_STREQ(loaded->Name().CString(), "other doc");
    EXPECT_EQ(loaded->CountLayers(), 3);

    // The application's document is not the script's to destroy.
    EXPECT_NE(Run(record, "si:DestroyDocument(Open)").find("argument"), std::string::npos);
    EXPECT_EQ(Run(record, "si:DestroyDocument(Loaded)"), "");
    EXPECT_NE(Run(record, "si:DestroyDocument(Loaded)").find("invalid 'self'"), std::string::npos);
}

TEST_F(ScriptContext, DrawingToolsNoiseAndAppFolder)
{
    ScriptInterface record(&doc, nullptr);
    ASSERT_EQ(Run(record,
                  "local at0 = si:DisableDrawingTools() si.frame = 3\n"
                  "Seen = tostring(at0)..' '..tostring(si:DisableDrawingTools())\n"
                  "local v = QV.Vector3:new_local() v.x, v.y, v.z = 0.3, 0.7, 1.1\n"
                  "Noise = si:NoiseVector(v, 2, 3)\n"
                  "Kind = tolua.type(Noise) Dir = si:AppDir()"),
        "");
    EXPECT_EQ(Global("Seen"), "false true");
    EXPECT_EQ(Global("Kind"), "QV_Vector3");
    EXPECT_EQ(Global("Dir"), AppFolder().CString());
    lua_State* state = Registry().fState;
    lua_getglobal(state, "Noise");
    const QV_Vector3 noise = *static_cast<QV_Vector3*>(tolua_tousertype(state, -1, nullptr));
    lua_pop(state, 1);
    EXPECT_FLOAT_EQ(noise.x, Noise3D(0.3f, 0.7f, 1.1f, 2, 3));
    EXPECT_FLOAT_EQ(noise.y, Noise3D(16.3f, 0.7f, 1.1f, 2, 3));
    EXPECT_FLOAT_EQ(noise.z, Noise3D(16.3f, 0.7f, 17.1f, 2, 3));
    EXPECT_NE(Run(record, "si:NoiseVector(nil, 1, 1)").find("NoiseVector"), std::string::npos);
}

// A closed triangle in the layer, its points selected as the mask's bits say (bit i: point i).
void Triangle(MeshLayer* layer, int mask)
{
    M_Mesh* mesh = layer->Mesh();
    if (mesh->GetNumPoints() == 0) {
        mesh->AddPoint(QV_Vector2 { 0, 0 }, -1, 0);
        mesh->AddPoint(QV_Vector2 { 0.5f, 0.5f }, 1, 0);
        mesh->GetCurve(0)->fClosed = true;
    }
    for (int32_t i = 0; i < 3; i++)
        mesh->GetPoint(i)->fSelected = (mask >> i) & 1;
}

TEST_F(ScriptContext, CreateShapeFromTheSelectedEdges)
{
    Triangle(inner, 7);
    M_Mesh* mesh = inner->Mesh();
    ASSERT_EQ(mesh->GetCurve(0)->GetNumSegments(), 3);
    ScriptInterface record(&doc, nullptr);
    record.fLayer = inner;
    ASSERT_EQ(Run(record, "First = si:CreateShape(true) Again = si:CreateShape(true)"), "");
    EXPECT_EQ(Global("First"), "0");
    EXPECT_EQ(Global("Again"), "0");
    ASSERT_EQ(mesh->GetNumShapes(), 1);
    EXPECT_TRUE(mesh->GetShape(0)->fHasFill);
    EXPECT_TRUE(mesh->GetShape(0)->fSelected);
    EXPECT_EQ(mesh->GetShape(0)->GetNumEdges(), 3);
    EXPECT_TRUE(doc.fDirty);

    // Two neighbours make a one-edge outline; they cannot make a fill.
    Triangle(inner, 3);
    ASSERT_EQ(Run(record, "Outline = si:CreateShape(false) Filled = si:CreateShape(true)"), "");
    EXPECT_EQ(Global("Outline"), "1");
    EXPECT_EQ(Global("Filled"), "-1");
    ASSERT_EQ(mesh->GetNumShapes(), 2);
    EXPECT_FALSE(mesh->GetShape(1)->fHasFill);
    EXPECT_EQ(mesh->GetShape(1)->GetNumEdges(), 1);
    EXPECT_FALSE(mesh->GetShape(0)->fSelected);

    // Without a vector layer there is nothing to build.
    record.fLayer = group;
    ASSERT_EQ(Run(record, "None = si:CreateShape(true)"), "");
    EXPECT_EQ(Global("None"), "-1");
}

TEST_F(ScriptContext, ShapesMadeLaterAppearAtTheirFrame)
{
    Triangle(inner, 7);
    M_Mesh* mesh = inner->Mesh();
    ScriptInterface record(&doc, nullptr);
    record.fLayer = inner;
    record.fFrame = 12;
    ASSERT_EQ(Run(record, "si:CreateShape(true)"), "");
    Triangle(inner, 3);
    ASSERT_EQ(Run(record, "si:CreateShape(false, 4, false)"), "");
    ASSERT_EQ(mesh->GetNumShapes(), 2);
    const struct {
        int32_t shape;
        int32_t frame;
    } cases[] = { { 0, 12 }, { 1, 4 } };
    for (const auto& c : cases) {
        M_Shape* shape = mesh->GetShape(c.shape);
        for (AnimColor* channel : { &shape->fMyStyle.fFillCol, &shape->fMyStyle.fLineCol }) {
            EXPECT_EQ(channel->CountKeys(), 2);
            EXPECT_TRUE(channel->HasKey(0));
            EXPECT_TRUE(channel->HasKey(c.frame));
            EXPECT_EQ(channel->GetKeyInterpMode(0), INTERP_STEP);
            EXPECT_FLOAT_EQ(channel->GetValue(0).a, 0.0f);
            EXPECT_GT(channel->GetValue(c.frame).a, 0.0f);
        }
    }
    EXPECT_EQ(mesh->GetShape(1)->fMyStyle.fLineCol.GetValue(4).AsColorStruct().a, 255);
}

} // namespace
