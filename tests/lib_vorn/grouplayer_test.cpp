#include <gtest/gtest.h>

#include <vector>

#include "layer_test_support.h"
#include "vorn_test_support.h"

namespace {

// A group of three named sub-layers ("0", "1", "2") with its layer ordering enabled.
struct OrderedGroup {
    OrderedGroup()
    {
        for (const char* name : { "0", "1", "2" }) {
            VornLayer* layer = NewBaseLayer(name);
            group.AddLayer(layer);
            subs.push_back(layer);
        }
        group.EnableLayerOrdering(true);
    }

    // The drawing order at the group's frame, by sub-layer names.
    std::string DrawnAt(int32_t frame)
    {
        group.SetCurFrame(frame);
        group.DepthSort(nullptr);
        std::string order;
        for (int32_t i = 0; i < group.fDepthLayers.fCount; i++)
            order += static_cast<VornLayer*>(group.fDepthLayers.fItems[i])->Name().CString();
        return order;
    }

    GroupLayer group;
    std::vector<VornLayer*> subs;
};

} // namespace

TEST(GroupLayer, TheLayerOrderingDecidesTheDrawingOrder)
{
    OrderedGroup tree;
    // Freshly enabled: ordered, but nothing to apply yet.
    EXPECT_TRUE(tree.group.IsLayerOrdered());
    EXPECT_EQ(tree.DrawnAt(5), "012");

    tree.group.fLayerOrdering.SetValue(5, QV_String("2|0|1|"));
    EXPECT_EQ(tree.DrawnAt(5), "201");
    EXPECT_EQ(tree.DrawnAt(0), "012");
    // Repeated and missing indices: every sub-layer is drawn exactly once.
    tree.group.fLayerOrdering.SetValue(5, QV_String("1|1|"));
    EXPECT_EQ(tree.DrawnAt(5), "102");
    tree.group.fLayerOrdering.SetValue(5, QV_String("9|x|0|"));
    EXPECT_EQ(tree.DrawnAt(5), "012");

    // Depth sorting wins over the ordering, and only groups and bone layers are ordered.
    tree.group.fDepthSort = true;
    EXPECT_FALSE(tree.group.IsLayerOrdered());
    tree.group.fDepthSort = false;
    StandInGroupKind switchLayer(LT_SWITCH);
    switchLayer.EnableLayerOrdering(true);
    EXPECT_FALSE(switchLayer.IsLayerOrdered());

    tree.group.EnableLayerOrdering(false);
    EXPECT_EQ(tree.group.fLayerOrdering.CountKeys(), 1);
}

TEST(GroupLayer, InsertingASubLayerRewritesEveryOrderingKey)
{
    OrderedGroup tree;
    tree.group.fLayerOrdering.SetValue(5, QV_String("2|0|1|"));
    tree.group.fLayerOrdering.SetValue(9, QV_String("0|1|2|"));
    VornLayer* added = NewBaseLayer("new");
    tree.group.InsertLayer(added, tree.subs[1], false);
    EXPECT_EQ(tree.group.LayerIndex(added), 1);
    EXPECT_EQ(added->fParent, &tree.group);
    EXPECT_EQ(QV_String(tree.group.fLayerOrdering.GetValue(5)), "3|1|0|2|");
    EXPECT_EQ(QV_String(tree.group.fLayerOrdering.GetValue(9)), "0|1|2|3|");
    // A list as long as the insertion index gets the new entry at its end.
    VornLayer* last = NewBaseLayer("last");
    tree.group.AddLayer(last);
    EXPECT_EQ(QV_String(tree.group.fLayerOrdering.GetValue(9)), "0|1|2|3|4|");

    // Removing does not touch the ordering.
    tree.group.RemoveLayer(added);
    EXPECT_EQ(added->fParent, nullptr);
    EXPECT_EQ(tree.group.CountLayers(), 4);
    EXPECT_EQ(QV_String(tree.group.fLayerOrdering.GetValue(5)), "3|1|0|2|4|");
    delete added;
}

TEST(GroupLayer, SubLayersComeByIndexAndDirectName)
{
    ConsoleCapture console;
    GroupLayer outer;
    GroupLayer* inner = new GroupLayer;
    inner->SetName("inner");
    outer.AddLayer(inner);
    inner->AddLayer(NewBaseLayer("deep"));
    EXPECT_EQ(outer.LayerByName("inner"), inner);
    EXPECT_EQ(outer.LayerByName("deep"), nullptr);
    EXPECT_TRUE(outer.ContainsLayer(inner->Layer(0)));
    EXPECT_EQ(outer.Layer(1), nullptr);
    EXPECT_EQ(outer.LayerByDepth(-1), nullptr);
    const std::vector<std::string> expected
        = { "GroupLayer:Layer - out of range", "GroupLayer:LayerByDepth - out of range" };
    EXPECT_EQ(console.lines, expected);
}

TEST(GroupLayer, FramesAndDocumentsPassDown)
{
    VornDoc doc;
    GroupLayer* group = new GroupLayer;
    VornLayer* shown = NewBaseLayer();
    VornLayer* hidden = NewBaseLayer();
    group->AddLayer(shown);
    group->AddLayer(hidden);
    hidden->fVisible = false;
    doc.AddLayer(group);
    EXPECT_EQ(shown->fDoc, &doc);
    group->SetTimingOffset(2);
    doc.SetCurFrame(6);
    EXPECT_EQ(group->CurFrame(), 8);
    EXPECT_EQ(group->DocumentFrame(), 6);
    EXPECT_EQ(shown->CurFrame(), 8);
    EXPECT_EQ(hidden->CurFrame(), 0);
    // A layer added later starts at the group's document frame.
    VornLayer* late = NewBaseLayer();
    group->AddLayer(late);
    EXPECT_EQ(late->CurFrame(), 8);
    late->fAlpha.SetValue(30, 0);
    EXPECT_EQ(group->AnimDuration(), 30);
    EXPECT_EQ(group->CountRenderItems(), 3);
}
