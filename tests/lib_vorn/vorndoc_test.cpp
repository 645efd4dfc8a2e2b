#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <vector>

#include "layer_test_support.h"
#include "m_point.h"
#include "m_shape.h"
#include "m_style.h"
#include "meshlayer.h"
#include "qv_iostream.h"
#include "vorn_test_support.h"

namespace {

std::vector<VornLayer*> Order(const QV_ArrayList& list)
{
    std::vector<VornLayer*> layers;
    for (int32_t i = 0; i < list.fCount; i++)
        layers.push_back(static_cast<VornLayer*>(list.fItems[i]));
    return layers;
}

VornLayer* LayerAt(VornDoc& doc, float z, const char* name)
{
    VornLayer* layer = NewBaseLayer(name);
    layer->fTranslation.SetValue(0, QV_Vector3 { 0, 0, z });
    doc.AddLayer(layer);
    return layer;
}

} // namespace

TEST(VornDoc, NewDocumentDefaults)
{
    VornDoc doc;
    EXPECT_EQ(doc.Name(), "Untitled.celv");
    EXPECT_EQ(doc.Width(), 872);
    EXPECT_EQ(doc.Height(), 486);
    EXPECT_EQ(doc.StartFrame(), 1);
    EXPECT_EQ(doc.EndFrame(), 240);
    EXPECT_EQ(doc.Fps(), 24.0f);
    EXPECT_EQ(doc.fBackColor.r, 255);
    EXPECT_EQ(doc.fBackColor.a, 255);
    EXPECT_EQ(doc.fCameraTrack.value.z, 1.7321f);
    EXPECT_EQ(doc.fCameraZoom.value, 1.0f);
    EXPECT_TRUE(doc.fAllow3D);
    EXPECT_EQ(doc.fFocusDistance, 2.0f);
    EXPECT_EQ(doc.fMaxBlur, 0.05f);
    EXPECT_EQ(doc.fVersion, 19);
    EXPECT_TRUE(doc.fCurrentTool.IsEmpty());
    ASSERT_NE(doc.fRedoStream, nullptr);
    EXPECT_EQ(doc.fRedoStream->fVersion, 19);
    EXPECT_EQ(doc.AnimDuration(), 0);

    doc.fCameraRoll.SetValue(30, 1);
    doc.SetEndFrame(0);
    EXPECT_EQ(doc.EndFrame(), 30);
}

TEST(VornDoc, LayerIndicesOutOfRangePrintAndGiveNull)
{
    ConsoleCapture console;
    VornDoc doc;
    doc.AddLayer(NewBaseLayer());
    EXPECT_EQ(doc.Layer(-1), nullptr);
    EXPECT_EQ(doc.Layer(1), nullptr);
    EXPECT_EQ(doc.LayerByDepth(5), nullptr);
    EXPECT_NE(doc.Layer(0), nullptr);
    const std::vector<std::string> expected = { "VornDoc:Layer - out of range",
        "VornDoc:Layer - out of range", "VornDoc:LayerByDepth - out of range" };
    EXPECT_EQ(console.lines, expected);
    EXPECT_EQ(console.colors[0].r, 255);
    EXPECT_EQ(console.colors[0].g, 0);
    EXPECT_EQ(console.colors[0].a, 255);
}

TEST(VornDoc, InsertLayerPlacesBeforeOrAfterItsSibling)
{
    VornDoc doc;
    VornLayer* bottom = NewBaseLayer("bottom");
    doc.AddLayer(bottom);
    VornLayer* below = NewBaseLayer("below");
    doc.InsertLayer(below, bottom, false);
    VornLayer* above = NewBaseLayer("above");
    doc.InsertLayer(above, bottom, true);
    EXPECT_EQ(Order(doc.fLayers), (std::vector<VornLayer*> { below, bottom, above }));
    EXPECT_EQ(Order(doc.fDepthLayers), Order(doc.fLayers));
    EXPECT_EQ(above->fDoc, &doc);
    EXPECT_EQ(doc.LayerByName("above"), above);
    EXPECT_EQ(doc.LayerByName("Above"), nullptr);
}

TEST(VornDoc, DepthSortDrawsFartherLayersFirst)
{
    VornDoc doc;
    VornLayer* near = LayerAt(doc, 0, "near");
    VornLayer* immune = LayerAt(doc, 5, "immune");
    VornLayer* far = LayerAt(doc, -5, "far");
    VornLayer* twin = LayerAt(doc, 0, "twin");
    immune->fImmuneToCamera = true;
    doc.DepthSort();
    EXPECT_EQ(Order(doc.fDepthLayers), Order(doc.fLayers));

    doc.fDepthSort = true;
    doc.FullDepthSort();
    // The farther layer is sorted past the camera-immune one, which keeps its place; the two
    // layers at the same depth keep their order.
    EXPECT_EQ(Order(doc.fDepthLayers), (std::vector<VornLayer*> { far, immune, near, twin }));

    doc.fDistanceSort = true;
    far->fTranslation.SetValue(0, QV_Vector3 { 0, 0, 1.5f });
    doc.SetCurFrame(0);
    EXPECT_EQ(Order(doc.fDepthLayers), (std::vector<VornLayer*> { near, immune, twin, far }));
}

TEST(VornDoc, GroupsSortTheirOwnSubLayers)
{
    VornDoc doc;
    GroupLayer* group = new GroupLayer;
    doc.AddLayer(group);
    VornLayer* front = NewBaseLayer("front");
    VornLayer* back = NewBaseLayer("back");
    group->AddLayer(front);
    group->AddLayer(back);
    back->fTranslation.SetValue(0, QV_Vector3 { 0, 0, -3 });
    group->fDepthSort = true;
    doc.SetCurFrame(0);
    EXPECT_EQ(Order(group->fDepthLayers), (std::vector<VornLayer*> { back, front }));
}

TEST(VornDoc, SelectingLeavesActionEditingWhereItDiffers)
{
    VornDoc doc;
    VornLayer* a = NewBaseLayer("a");
    VornLayer* b = NewBaseLayer("b");
    doc.AddLayer(a);
    doc.AddLayer(b);
    doc.SetSelLayer(nullptr);
    EXPECT_EQ(doc.GetSelectedLayer(), nullptr);

    b->fVisible = false;
    a->ActivatePose("walk", true);
    doc.SetSelLayer(b);
    EXPECT_TRUE(b->fVisible);
    EXPECT_EQ(doc.GetSelectedLayer(), b);
    // The first selection always starts on the main timeline; a is not touched.
    EXPECT_EQ(a->CurrentPose(), "walk");

    b->ActivatePose("walk", true);
    doc.SetSelLayer(a);
    EXPECT_EQ(a->CurrentPose(), "walk");
    EXPECT_EQ(b->CurrentPose(), "walk");

    b->ActivatePose("run", true);
    doc.SetSelLayer(b);
    EXPECT_TRUE(a->CurrentPose().IsEmpty());
    EXPECT_TRUE(b->CurrentPose().IsEmpty());
}

TEST(VornDoc, CountSelectedLayersGathersTheTreeInOrder)
{
    VornDoc doc;
    EXPECT_EQ(doc.CountSelectedLayers(), 0);
    VornLayer* first = NewBaseLayer();
    GroupLayer* group = new GroupLayer;
    VornLayer* inner = NewBaseLayer();
    doc.AddLayer(first);
    doc.AddLayer(group);
    group->AddLayer(inner);
    doc.SetSelLayer(first);
    inner->fSecondarySelection = true;
    EXPECT_EQ(doc.CountSelectedLayers(), 1);
    first->fSecondarySelection = true;
    group->fSecondarySelection = true;
    EXPECT_EQ(doc.CountSelectedLayers(), 3);
    EXPECT_EQ(Order(doc.fSelectedLayers), (std::vector<VornLayer*> { first, group, inner }));
    doc.ClearSecondarySelection();
    EXPECT_FALSE(inner->fSecondarySelection);
    EXPECT_EQ(doc.CountSelectedLayers(), 1);
}

TEST(VornDoc, FrameChangesReachShownLayersAndTheirChannels)
{
    VornDoc doc;
    VornLayer* shown = NewBaseLayer();
    VornLayer* hidden = NewBaseLayer();
    VornLayer* renderOnly = NewBaseLayer();
    doc.AddLayer(shown);
    doc.AddLayer(hidden);
    doc.AddLayer(renderOnly);
    hidden->fVisible = false;
    renderOnly->fRenderOnly = true;
    M_Style* style = new M_Style(0);
    doc.AddStyle(style);
    doc.SetCurFrame(9);
    EXPECT_EQ(shown->CurFrame(), 9);
    EXPECT_EQ(hidden->CurFrame(), 0);
    EXPECT_EQ(renderOnly->CurFrame(), 0);
    EXPECT_EQ(doc.fCameraPanTilt.GetCurFrame(), 9);
    EXPECT_EQ(style->fLineCol.GetCurFrame(), 9);
}

TEST(VornDoc, Timecodes)
{
    struct Case {
        float fps;
        int32_t frame;
        const char* text;
    };
    const Case toText[] = {
        { 24, 0, "00:00:00:00" },
        { 24, 36, "00:00:01:12" },
        { 24, 86400, "01:00:00:00" },
        { 25, 25, "00:00:01:00" },
        { 25, 12, "00:00:00:12" },
        { 25, 13, "00:00:00:13" },
        { 24, 24 * 3723 + 5, "01:02:03:05" },
    };
    for (const Case& c : toText) {
        VornDoc doc;
        ASSERT_TRUE(doc.SetFps(c.fps));
        QV_String text;
        doc.FrameToTimecode(c.frame, text);
        EXPECT_EQ(text, c.text) << c.fps << " " << c.frame;
    }

    struct Back {
        const char* text;
        int32_t frame;
    };
    const Back toFrame[] = {
        { "1:00", 24 },
        { "01:00:00:00", 86400 },
        { "12", 12 },
        { "abc", -1 },
        { "", -1 },
        { "0:-3", -3 },
        { "1:2:3", 24 * 62 + 3 },
        { "99999999999999999999", INT32_MAX },
        { "0:0:0:-99999999999999", INT32_MIN },
    };
    VornDoc doc;
    for (const Back& c : toFrame)
        EXPECT_EQ(doc.TimecodeToFrame(c.text), c.frame) << c.text;
}

TEST(VornDoc, SettingsThatWouldDivideByZeroAreRefused)
{
    VornDoc doc;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (float fps : { 0.0f, -24.0f, nan, inf })
        EXPECT_FALSE(doc.SetFps(fps)) << fps;
    EXPECT_EQ(doc.Fps(), 24.0f);
    EXPECT_TRUE(doc.SetFps(29.97f));
    EXPECT_EQ(doc.Fps(), 29.97f);

    EXPECT_FALSE(doc.SetShape(0, 100));
    EXPECT_FALSE(doc.SetShape(100, -1));
    EXPECT_EQ(doc.Width(), 872);
    EXPECT_TRUE(doc.SetShape(1, 1));
    EXPECT_EQ(doc.AspectRatio(), 1.0f);

    struct Focus {
        float distance, range;
        bool accepted;
    };
    const Focus focus[] = { { -2, 1, false }, { -0.5f, 1, false }, { 0, 0, false }, { nan, 1, false },
        { 2, inf, false }, { -0.4f, 1, true }, { 3, 0.5f, true } };
    for (const Focus& f : focus)
        EXPECT_EQ(doc.SetFocus(f.distance, f.range), f.accepted) << f.distance << " " << f.range;
    EXPECT_EQ(doc.fFocusDistance, 3.0f);
    EXPECT_EQ(doc.fFocusRange, 0.5f);
}

TEST(VornDoc, DepthOfFieldDefaultsComeFromThePreferences)
{
    VornDoc doc;
    {
        LayerPrefs prefs({ { "ProjDofEnabled", 1 } },
            { { "ProjDofDistance", 4 }, { "ProjDofRange", 2 }, { "ProjDofBlur", 0.1f } });
        doc.ApplyDepthOfFieldDefaults();
    }
    EXPECT_TRUE(doc.fDepthOfField);
    EXPECT_EQ(doc.fFocusDistance, 4.0f);
    EXPECT_EQ(doc.fFocusRange, 2.0f);
    EXPECT_EQ(doc.fMaxBlur, 0.1f);
    {
        // A focus range wholly behind the eye is not taken.
        LayerPrefs prefs({}, { { "ProjDofDistance", -5 }, { "ProjDofRange", 1 } });
        doc.ApplyDepthOfFieldDefaults();
    }
    EXPECT_FALSE(doc.fDepthOfField);
    EXPECT_EQ(doc.fFocusDistance, 4.0f);
    EXPECT_EQ(doc.fMaxBlur, 0.05f);
}

TEST(VornDoc, FiveViewsShareFourSlots)
{
    VornDoc doc;
    int views[5];
    auto view = [&views](int i) { return reinterpret_cast<QV_View*>(&views[i]); };
    for (int i = 0; i < 4; i++) {
        doc.SetCurrentView(view(i));
        EXPECT_EQ(doc.fViewSlot, i);
        doc.EnableOutsideView(true);
    }
    doc.SetCurrentView(view(2));
    EXPECT_EQ(doc.fViewSlot, 2);
    EXPECT_TRUE(doc.IsOutsideViewEnabled());

    doc.SetCurrentView(view(4));
    EXPECT_EQ(doc.fViewSlot, 0);
    EXPECT_FALSE(doc.IsOutsideViewEnabled());
    doc.SetCurrentView(view(0));
    EXPECT_EQ(doc.fViewSlot, 1);
    EXPECT_FALSE(doc.IsOutsideViewEnabled());
    EXPECT_EQ(doc.fCurrentView, view(0));
}

TEST(VornDoc, OutsideViewsFrameTheScene)
{
    VornDoc doc;
    doc.fAllow3D = false;
    doc.EnableOutsideView(true);
    EXPECT_FALSE(doc.IsOutsideViewEnabled());

    doc.fAllow3D = true;
    doc.EnableOutsideView(true);
    QV_Vector3 center;
    float pitch, yaw, distance;
    ASSERT_TRUE(doc.GetOutsideView(center, pitch, yaw, distance));
    EXPECT_FLOAT_EQ(pitch, -0.7853982f);
    EXPECT_FLOAT_EQ(yaw, 0.7853982f);
    // The box holds the origin and the camera at (0, 0, +-1.7321).
    EXPECT_NEAR(center.z, 0, 1e-6f);
    EXPECT_NEAR(distance, 2 * 1.7321f + 2, 1e-5f);

    QV_Matrix m;
    doc.GetOutsideViewMatrix(m);
    QV_Vector3 p { 0, 0, 0 };
    m.TransformHomo(p);
    EXPECT_NEAR(p.x, 0, 1e-5f);
    EXPECT_NEAR(p.y, 0, 1e-5f);
    doc.EnableOutsideView(false);
    doc.GetOutsideViewMatrix(m);
    EXPECT_EQ(m.m[0], 1.0f);
    EXPECT_EQ(m.m[14], 0.0f);
}

TEST(VornDoc, RemovedStylesLeaveNoReferenceBehind)
{
    VornDoc doc;
    M_Style* skin = new M_Style(0);
    skin->fName = "Skin";
    M_Style* hair = new M_Style(0);
    hair->fName = "Hair";
    doc.AddStyle(skin);
    doc.AddStyle(hair);
    EXPECT_EQ(doc.FindStyle("Hair"), hair);
    EXPECT_EQ(doc.Style(2), nullptr);

    GroupLayer* group = new GroupLayer;
    MeshLayer* layer = new MeshLayer;
    doc.AddLayer(group);
    group->AddLayer(layer);
    M_Shape* shape = new M_Shape(0);
    shape->fStyleName1 = "Skin";
    shape->fStyleName2 = "Hair";
    layer->Mesh()->AddShape(shape);
    doc.ResolveStyleRefs(nullptr);
    EXPECT_EQ(shape->fStyle1, skin);
    EXPECT_EQ(shape->fStyle2, hair);
    EXPECT_TRUE(doc.IsStyleUsed(hair));

    doc.RenameStyle("Skin", "Tan");
    EXPECT_EQ(shape->fStyleName1, "Tan");
    EXPECT_EQ(shape->fStyle1, nullptr);
    skin->fName = "Tan";
    doc.ResolveStyleRefs(group);
    EXPECT_EQ(shape->fStyle1, skin);

    doc.RemoveStyle(hair);
    EXPECT_EQ(shape->fStyle2, nullptr);
    EXPECT_EQ(shape->fStyleName2, "");
    EXPECT_FALSE(doc.IsStyleUsed(hair));
    EXPECT_EQ(doc.Style(0), skin);
    EXPECT_EQ(doc.Style(1), nullptr);
    DeleteStyleObject(hair);
}

namespace {

// Stands in for the shell's EPS reader: the stream holds "x y" pairs, joined into one curve.
void ParsePairs(QV_IoStream* stream, M_Mesh* mesh, int32_t, ImportProgress)
{
    std::vector<QV_Vector2> points;
    QV_Vector2 p;
    while (stream->ReadFloat(p.x) && stream->ReadFloat(p.y))
        points.push_back(p);
    if (points.size() < 2)
        return;
    mesh->AddPoint(points[0], -1, 0);
    mesh->fPoints[1]->SetPos(points[1], 0);
    for (size_t i = 2; i < points.size(); i++)
        mesh->AddPoint(points[i], mesh->fNumPoints - 1, 0);
}

std::vector<std::pair<int32_t, float>> gProgress;

void RecordProgress(int32_t step, float fraction)
{
    gProgress.emplace_back(step, fraction);
}

// Installs the stand-in reader while it lives.
struct StandInParser {
    StandInParser() { previous = SetEPSParser(ParsePairs); }
    ~StandInParser() { SetEPSParser(previous); }
    EPSParser previous;
};

MeshLayer* Import(VornDoc& doc, const std::string& contents)
{
    ScratchFile file;
    std::ofstream(file.Path()) << contents;
    gProgress.clear();
    const int32_t before = doc.CountLayers();
    doc.ImportEPS(file.Path(), RecordProgress);
    VornLayer* selected = doc.GetSelectedLayer();
    if (doc.CountLayers() == before || !selected)
        return nullptr;
    return static_cast<MeshLayer*>(selected);
}

} // namespace

TEST(VornDoc, ImportEPSCentresTheDrawingAndFitsItsLargerSide)
{
    StandInParser parser;
    VornDoc doc;
    VornLayer* base = NewBaseLayer("base");
    doc.AddLayer(base);
    doc.AddLayer(NewBaseLayer("top"));
    doc.SetSelLayer(base);
    doc.SetCurFrame(5);

    MeshLayer* layer = Import(doc, "0 0\n100 50\n40 10\n");
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(gProgress, (std::vector<std::pair<int32_t, float>> { { 1, 1.0f } }));
    EXPECT_EQ(doc.Layer(1), layer);
    EXPECT_EQ(layer->Name(), "record.txt");
    EXPECT_TRUE(doc.fDirty);
    EXPECT_FALSE(layer->fQualityFlags & QUALITY_EDIT_OVERLAYS);
    EXPECT_FLOAT_EQ(layer->fNoiseAmp, 6.0f / 486);
    // Hidden before the frame of the import.
    EXPECT_FALSE(layer->fVisibility.GetValue(0));
    EXPECT_TRUE(layer->fVisibility.GetValue(5));

    M_Mesh* mesh = layer->Mesh();
    ASSERT_EQ(mesh->fNumPoints, 3);
    const QV_Vector2 expected[] = { { -1, -0.5f }, { 1, 0.5f }, { -0.2f, -0.3f } };
    for (int32_t i = 0; i < 3; i++) {
        const QV_Vector2 p = mesh->fPoints[i]->fAnimPos.GetValue(0);
        EXPECT_NEAR(p.x, expected[i].x, 1e-6f) << i;
        EXPECT_NEAR(p.y, expected[i].y, 1e-6f) << i;
        EXPECT_FALSE(mesh->fPoints[i]->fSelected);
    }

    // Into a group, just above the selected sub-layer.
    GroupLayer* group = new GroupLayer;
    VornLayer* inner = NewBaseLayer("inner");
    doc.AddLayer(group);
    group->AddLayer(inner);
    group->AddLayer(NewBaseLayer("inner top"));
    doc.SetSelLayer(inner);
    layer = Import(doc, "1 1\n2 3\n");
    ASSERT_EQ(doc.CountLayers(), 4);
    ASSERT_EQ(group->CountLayers(), 3);
    EXPECT_EQ(group->Layer(1), doc.GetSelectedLayer());
}

TEST(VornDoc, ImportEPSOfCoincidentPointsOnlyCentresThem)
{
    StandInParser parser;
    VornDoc doc;
    MeshLayer* layer = Import(doc, "3 -7\n3 -7\n");
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(doc.Layer(0), layer);
    for (int32_t i = 0; i < layer->Mesh()->fNumPoints; i++) {
        const QV_Vector2 p = layer->Mesh()->fPoints[i]->fAnimPos.GetValue(0);
        EXPECT_EQ(p.x, 0.0f);
        EXPECT_EQ(p.y, 0.0f);
    }
}

TEST(VornDoc, ImportEPSReportsFilesItCannotUse)
{
    StandInParser parser;
    VornDoc doc;
    gProgress.clear();
    doc.ImportEPS("/nonexistent/folder/drawing.eps", RecordProgress);
    EXPECT_EQ(gProgress, (std::vector<std::pair<int32_t, float>> { { 1, 0.0f } }));
    // A drawing without points adds nothing.
    EXPECT_EQ(Import(doc, "just words\n"), nullptr);
    EXPECT_EQ(gProgress, (std::vector<std::pair<int32_t, float>> { { 1, 1.0f } }));
    EXPECT_EQ(doc.CountLayers(), 0);
    EXPECT_FALSE(doc.fDirty);
}

TEST(VornDoc, SetPathNamesTheDocumentAfterItsFile)
{
    VornDoc doc;
    doc.SetPath("/home/anna/films/walk.celv");
    EXPECT_EQ(doc.Name(), "walk.celv");
    doc.SetPath("C:\\films\\run.celv");
    EXPECT_EQ(doc.Name(), "run.celv");
    EXPECT_EQ(doc.Path(), "C:\\films\\run.celv");
}

TEST(VornDoc, ClearAnimationReachesLayersAndCamera)
{
    VornDoc doc;
    GroupLayer* group = new GroupLayer;
    VornLayer* inner = NewBaseLayer();
    doc.AddLayer(group);
    group->AddLayer(inner);
    inner->fAlpha.SetValue(10, 0);
    doc.fCameraZoom.SetValue(20, 2);
    EXPECT_EQ(doc.AnimDuration(), 20);
    doc.ClearAnimation();
    EXPECT_EQ(inner->fAlpha.CountKeys(), 1);
    EXPECT_EQ(doc.fCameraZoom.CountKeys(), 1);
    EXPECT_EQ(doc.AnimDuration(), 0);
}
