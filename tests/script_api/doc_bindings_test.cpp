#include <string>

#include "doc_script_test.h"

#include "animstring.h"
#include "binding_conventions.h"
#include "m_mesh.h"
#include "m_point.h"
#include "m_shape.h"
#include "m_shapestyle.h"
#include "m_style.h"
#include "meshlayer.h"
#include "grouplayer.h"
#include "shape_style_factory.h"

namespace {

// A new document with the vector layers "One" (selected) and "Two". The table-driven scripts
// of lua/ run against it with these globals besides si, doc and printed(): text (a text
// channel), label (a string object), aspect and the probes qualityFlags(layer), undoLevels(),
// effectCount(shape).
class DocBindings : public DocScriptTest {
protected:
    DocBindings()
    {
        one = new MeshLayer;
        one->SetName("One");
        doc.AddLayer(one);
        two = new MeshLayer;
        two->SetName("Two");
        doc.AddLayer(two);
        doc.SetSelLayer(one);
        record.fLayer = one;
        label = "Square";
        RegisterShapeStyles();
    }

    static int QualityFlags(lua_State* state)
    {
        auto* layer = static_cast<VornLayer*>(tolua_tousertype(state, 1, nullptr));
        lua_pushnumber(state, layer ? layer->fQualityFlags : -1);
        return 1;
    }

    static int UndoLevels(lua_State* state)
    {
        lua_pushnumber(state, Self<DocBindings>(state)->doc.fUndoLevel);
        return 1;
    }

    static int EffectCount(lua_State* state)
    {
        auto* shape = static_cast<M_Shape*>(tolua_tousertype(state, 1, nullptr));
        int count = 0;
        for (M_ShapeStyle* effect : shape->fMyStyle.fEffects)
            count += effect ? 1 : 0;
        lua_pushnumber(state, count);
        return 1;
    }

    void SetGlobals() override
    {
        Global("text", &text, "AnimString");
        Global("label", &label, "QV_String");
        lua_pushnumber(Registry().fState, double(872.0f / 486.0f));
        lua_setglobal(Registry().fState, "aspect");
        Function("qualityFlags", QualityFlags);
        Function("undoLevels", UndoLevels);
        Function("effectCount", EffectCount);
    }

    MeshLayer* one;
    MeshLayer* two;
    AnimString text;
    QV_String label;
};

TEST_F(DocBindings, ChannelScript)
{
    EXPECT_EQ(RunFile("channels.lua"), "");
}

TEST_F(DocBindings, LayerScript)
{
    EXPECT_EQ(RunFile("layers.lua"), "");
}

TEST_F(DocBindings, DocumentScript)
{
    EXPECT_EQ(RunFile("document.lua"), "");
    EXPECT_TRUE(doc.fDirty);
}

TEST_F(DocBindings, MeshScript)
{
    EXPECT_EQ(RunFile("mesh.lua"), "");
}

TEST_F(DocBindings, ShapeAndStyleScript)
{
    EXPECT_EQ(RunFile("shapes.lua"), "");
}

// Scripts store any masking mode; drawing takes one that names no mode as the first.
TEST_F(DocBindings, UnknownMaskingModeDrawsAsMasked)
{
    ASSERT_EQ(Run("doc:Layer(1):SetMaskingMode(42)"), "");
    EXPECT_EQ(two->MaskingMode(), 42);
    EXPECT_EQ(two->RenderMaskingMode(), MM_MASKED);
    two->SetMaskingMode(MM_SUB_MASK);
    EXPECT_EQ(two->RenderMaskingMode(), MM_SUB_MASK);
}

TEST_F(DocBindings, StaleObjectsRaiseTheSelfError)
{
    EXPECT_EQ(RunFile("stale.lua"), "");
}

// An assigned channel keeps its keys when its source gets keys or goes away.
TEST_F(DocBindings, AssignedChannelOutlivesItsSource)
{
    ASSERT_EQ(Run("doc:Layer(0).fTranslation:SetValue(10, QV.Vector3:new_local())\n"
                  "doc:Layer(1).fTranslation = doc:Layer(0).fTranslation\n"
                  "kept = doc:Layer(1).fTranslation"),
        "");
    doc.RemoveLayer(one);
    delete one;
    EXPECT_EQ(Run("assert(kept:CountKeys() == 2 and kept:HasKey(10))"), "");
    EXPECT_EQ(two->fTranslation.CountKeys(), 2);
}

// A style assigned from another shape's keeps effects of its own: the source's shape may go.
TEST_F(DocBindings, AssignedStyleOutlivesItsSource)
{
    M_Shape source(0), target(0);
    source.fMyStyle.SetSoftEdge(0.05f);
    source.fMyStyle.fLineWidth = 0.25f;
    {
        lua_State* state = Registry().fState;
        tolua_pushusertype(state, &target, "M_Shape");
        lua_setglobal(state, "S");
    }
    auto* a = new M_Shape(0);
    a->fMyStyle.SetSoftEdge(0.05f);
    a->fMyStyle.SetShading(1, 0.1f, 0.1f, rgb_color { 0, 0, 0, 255 });
    {
        lua_State* state = Registry().fState;
        QV_LuaPushObject(state, &a->fMyStyle, "M_Style");
        lua_setglobal(state, "A");
    }
    ASSERT_EQ(Run("S.fMyStyle = A"), "");
    M_ShapeStyle* copied = target.fMyStyle.fEffects[0];
    ASSERT_NE(copied, nullptr);
    EXPECT_NE(copied, a->fMyStyle.fEffects[0]);
    EXPECT_NE(target.fMyStyle.fEffects[1], nullptr);
    delete a;
    EXPECT_EQ(target.fMyStyle.fEffects[0]->StyleType(), source.fMyStyle.fEffects[0]->StyleType());
    EXPECT_NE(Run("return A.fLineWidth").find("invalid 'self'"), std::string::npos);
}

// A sub-layer kept across undo, which reads its group back as new layers, is stale.
TEST_F(DocBindings, LayerKeptAcrossUndoIsStale)
{
    auto* group = new GroupLayer;
    group->SetName("Group");
    auto* inner = new MeshLayer;
    inner->SetName("Inner");
    group->AddLayer(inner);
    doc.AddLayer(group);
    ASSERT_EQ(Run("doc:PrepUndo(doc:Layer(2))"), "");
    lua_State* state = Registry().fState;
    QV_LuaPushObject(state, inner, "VornLayer");
    lua_setglobal(state, "sub");
    ASSERT_EQ(Run("sub:SetName('Changed')"), "");
    doc.Undo();
    EXPECT_NE(Run("return sub:Name()").find("invalid 'self' in function 'Name'"), std::string::npos);
    EXPECT_NE(Run("return sub.fAlpha").find("invalid 'self'"), std::string::npos);
}

// The record stays empty while no script holds a model object, and empties when one is gone.
TEST_F(DocBindings, RecordFollowsTheObjectsHandedOut)
{
    const size_t before = QV_ScriptObjectRecordCount();
    ASSERT_EQ(Run("local p = doc:Layer(1).fAlpha"), "");
    EXPECT_GT(QV_ScriptObjectRecordCount(), before);
    doc.RemoveLayer(two);
    delete two;
    EXPECT_EQ(QV_ScriptObjectRecordCount(), before);
}

} // namespace

namespace {

// The tool's handlers receive mouse records with the start and current positions; a drag from
// A to B over points 0 and 1 keys them at their position + (B - A) at the layer's frame.
TEST_F(DocBindings, ToolDragKeysTheSelectedPoints)
{
    one->SetTimingOffset(5);
    M_Mesh* mesh = one->Mesh();
    mesh->AddLonePoint(QV_Vector2 { 0, 0 }, 0);
    mesh->AppendPoint(QV_Vector2 { 0.25f, 0 }, 0);
    mesh->AppendPoint(QV_Vector2 { 0.5f, 0.5f }, 0);
    for (int32_t i = 0; i < mesh->GetNumPoints(); i++)
        mesh->GetPoint(i)->fSelected = i < 2;
    record.fLayer = one;
    ASSERT_EQ(Run("dofile('" + std::string(DOC_BINDINGS_LUA) + "/drag_tool.lua') si:SetCurFrame(12)"), "");
    ASSERT_EQ(record.fLayerFrame, 17);
    const std::string drag = "local a = QV.Vector2:new_local() a.x, a.y = 0.1, 0.1\n"
                             "local b = QV.Vector2:new_local() b.x, b.y = 0.3, -0.2\n"
                             "local m = { startVec = a, vec = a }\n"
                             "DragKeys:OnMouseDown(si, m)\n"
                             "m.vec = b DragKeys:OnMouseMoved(si, m)\n"
                             "DragKeys:OnMouseUp(si, m)";
    ASSERT_EQ(Run(drag), "");
    const QV_Vector2 offset { 0.2f, -0.3f };
    const QV_Vector2 starts[] = { { 0, 0 }, { 0.25f, 0 } };
    for (int32_t i = 0; i < 2; i++) {
        M_Point* point = mesh->GetPoint(i);
        EXPECT_TRUE(point->fAnimPos.HasKey(17)) << i;
        const QV_Vector2 keyed = point->fAnimPos.GetValue(17);
        EXPECT_NEAR(keyed.x, starts[i].x + offset.x, 1e-5) << i;
        EXPECT_NEAR(keyed.y, starts[i].y + offset.y, 1e-5) << i;
    }
    EXPECT_FALSE(mesh->GetPoint(2)->fAnimPos.HasKey(17));
    EXPECT_EQ(mesh->GetPoint(2)->fAnimPos.GetValue(17).x, 0.5f);
    EXPECT_EQ(doc.fUndoLevel, 1);
    EXPECT_TRUE(doc.fDirty);
}

} // namespace

namespace {

std::string Command(const std::string& command)
{
    std::string output;
    if (FILE* pipe = popen((command + " 2>&1").c_str(), "r")) {
        char buffer[256];
        while (size_t n = fread(buffer, 1, sizeof(buffer), pipe))
            output.append(buffer, n);
        pclose(pipe);
    }
    return output;
}

// A menu script keys every layer and restyles the current layer's shapes; the saved document
// renders with the new fill, as ImageMagick reads the picture.
TEST_F(DocBindings, MenuScriptRestyleRenders)
{
    if (Command("command -v convert").empty())
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    record.fLayer = one;
    const std::string lua = DOC_BINDINGS_LUA;
    ASSERT_EQ(Run("dofile('" + lua + "/restyle_menu.lua') si:SetCurFrame(1)\n"
                  "local function V(x, y) local v = QV.Vector2:new_local() v.x, v.y = x, y return v end\n"
                  "local mesh = si:Mesh()\n"
                  "mesh:AddLonePoint(V(-0.5, -0.5), 0) mesh:AppendPoint(V(0.5, -0.5), 0)\n"
                  "mesh:AppendPoint(V(0.5, 0.5), 0) mesh:AppendPoint(V(-0.5, 0.5), 0)\n"
                  "mesh:Curve(0).fClosed = true mesh:SelectAll() si:CreateShape(true)\n"
                  "RestyleMenu:Run(si)"),
        "");
    EXPECT_TRUE(one->fAlpha.HasKey(1));
    EXPECT_TRUE(two->fAlpha.HasKey(1));
    const std::filesystem::path file = app / "restyled.celv";
    doc.SetPath(file.c_str());
    ASSERT_EQ(doc.Save("restyled"), 0);
    const std::string out = (app / "frame.png").string();
    const std::string render = Command(std::string(CELVANE_RENDER_FRAMES) + " '" + file.string() + "' 1 1 '" + out + "' 88 50");
    const std::string png = (app / "frame0001.png").string();
    ASSERT_TRUE(std::filesystem::exists(png)) << render;
    EXPECT_EQ(Command("convert '" + png + "' -format '%[fx:int(255*p{44,25}.r)],%[fx:int(255*p{44,25}.g)],"
                      "%[fx:int(255*p{44,25}.b)]' info:"),
        "255,0,0");
    // Outside the square the background shows.
    EXPECT_NE(Command("convert '" + png + "' -format '%[fx:int(255*p{2,2}.r)],%[fx:int(255*p{2,2}.g)]' info:"),
        "255,0");
}

} // namespace
