#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "layer_test_support.h"
#include "layerfactory.h"
#include "vorn_test_support.h"

namespace {

// A document holding a group (timing offset 3) that holds a layer (timing offset 2).
struct NestedLayers {
    NestedLayers()
    {
        doc.AddLayer(group);
        group->AddLayer(sub);
        group->SetTimingOffset(3);
        sub->SetTimingOffset(2);
    }

    VornDoc doc;
    GroupLayer* group = new GroupLayer;
    VornLayer* sub = NewBaseLayer("sub");
};

} // namespace

TEST(VornLayer, NewLayerDefaults)
{
    VornLayer layer;
    EXPECT_EQ(layer.LayerType(), LT_UNKNOWN);
    EXPECT_EQ(layer.fQualityFlags, 0x7FE);
    EXPECT_EQ(layer.fLayerParentBone, -2);
    EXPECT_TRUE(layer.fVisible);
    EXPECT_TRUE(layer.fScaleCompensation);
    EXPECT_EQ(layer.fScale.value.x, 1.0f);
    EXPECT_EQ(layer.fAlpha.value, 1.0f);
    EXPECT_TRUE(layer.fVisibility.value);
    EXPECT_FLOAT_EQ(layer.fShadowAngle.value, 5.497787f);
    EXPECT_FLOAT_EQ(layer.fShadingBlur.value, 0.0666667f);
    EXPECT_EQ(layer.fShadowColor.value.a, 128);
    EXPECT_EQ(layer.fShadingColor.value.r, 0);
    EXPECT_EQ(layer.fMotionBlurFrames.value, 2.0f);
    EXPECT_EQ(layer.fShadowNoiseScale.value, 64.0f);
    // Every channel holds its default as one key at frame 0.
    AnimChannel* channels[VornLayer::kLayerChannelCount];
    ASSERT_EQ(layer.LayerChannels(channels), 34);
    for (AnimChannel* channel : channels) {
        EXPECT_EQ(channel->CountKeys(), 1);
        EXPECT_EQ(channel->GetKeyWhen(0), 0);
    }
    EXPECT_EQ(layer.LayerDuration(), -1);
    EXPECT_EQ(layer.AnimDuration(), 0);
}

TEST(VornLayer, NamesLoseTheirDoubleQuotes)
{
    VornLayer layer;
    layer.SetName("a \"quoted\" name");
    EXPECT_EQ(layer.Name(), "a quoted name");
    layer.SetName("");
    EXPECT_EQ(layer.Name(), "");
}

TEST(VornLayer, FramesAddTheTimingOffsetsOfTheLayerAndItsAncestors)
{
    NestedLayers tree;
    tree.doc.SetCurFrame(10);
    EXPECT_EQ(tree.sub->TotalTimingOffset(), 5);
    EXPECT_EQ(tree.sub->CurFrame(), 15);
    EXPECT_EQ(tree.sub->fTranslation.GetCurFrame(), 15);
    EXPECT_EQ(tree.group->CurFrame(), 13);

    // Action keys live in the action's own time.
    tree.sub->ActivatePose("walk", true);
    EXPECT_EQ(tree.sub->TotalTimingOffset(), 0);
    tree.sub->SetTimingOffset(7);
    EXPECT_EQ(tree.sub->TimingOffset(), 2);
    tree.sub->ActivatePose(nullptr, false);

    // A changed offset keeps the document frame and shifts the layer's own.
    tree.sub->SetTimingOffset(-4);
    EXPECT_EQ(tree.sub->CurFrame(), 9);
}

TEST(VornLayer, UpdateCurFrameReevaluatesAtTheLastDocumentFrame)
{
    VornLayer layer;
    layer.SetTimingOffset(4);
    layer.SetCurFrame(0);
    layer.fAlpha.SetValue(3, 0.25f);
    layer.UpdateCurFrame(true);
    EXPECT_EQ(layer.CurFrame(), 4);
    EXPECT_FLOAT_EQ(layer.fAlpha.value, 0.25f);
}

TEST(VornLayer, UpdateToDocFrameLeavesLayersInsideParticleLayersAlone)
{
    VornDoc doc;
    StandInGroupKind* particles = new StandInGroupKind(LT_PARTICLE);
    VornLayer* templateLayer = NewBaseLayer();
    doc.AddLayer(particles);
    particles->AddLayer(templateLayer);
    doc.fCurFrame = 12;
    templateLayer->UpdateToDocFrame(&doc);
    EXPECT_EQ(templateLayer->CurFrame(), 0);
    particles->UpdateToDocFrame(&doc);
    EXPECT_EQ(particles->CurFrame(), 12);
}

TEST(VornLayer, SwitchingEffectAnimationOffBakesTheEffectsAtTheLayerFrame)
{
    VornLayer layer;
    layer.SetAnimatedLayerEffects(true);
    layer.fAlpha.SetValue(0, 1);
    layer.fAlpha.SetValue(20, 0);
    layer.fShadowNoiseAmp.SetValue(5, 0.5f);
    layer.fShadowNoiseAmp.SetValue(15, 0.1f);
    layer.fVisibility.SetValue(8, false);
    layer.SetCurFrame(10);
    const float atTen = layer.fAlpha.GetValue(10);

    layer.SetAnimatedLayerEffects(false);
    EXPECT_FALSE(layer.HasAnimatedLayerEffects());
    ASSERT_EQ(layer.fAlpha.CountKeys(), 1);
    EXPECT_EQ(layer.fAlpha.GetKeyWhen(0), 0);
    EXPECT_FLOAT_EQ(layer.fAlpha.GetValue(0), atTen);
    EXPECT_FLOAT_EQ(layer.fAlpha.GetValue(30), atTen);
    // Noise and visibility are not baked.
    EXPECT_EQ(layer.fShadowNoiseAmp.CountKeys(), 3);
    EXPECT_EQ(layer.fVisibility.CountKeys(), 2);
}

TEST(VornLayer, FactoryMakesVectorLayersForUnknownCodes)
{
    for (int32_t type : { 0, 1, 42, -7 }) {
        std::unique_ptr<VornLayer> layer(LayerFactory(type));
        ASSERT_NE(layer, nullptr) << type;
        EXPECT_EQ(layer->LayerType(), LT_VECTOR) << type;
    }
    std::unique_ptr<VornLayer> group(LayerFactory(LT_GROUP));
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->LayerType(), LT_GROUP);
    EXPECT_TRUE(group->IsGroupType());
    EXPECT_FALSE(group->IsBoneType());
    EXPECT_FALSE(group->IsAudioType());
}

TEST(VornLayer, DeletingAParentBoneRenumbersTheLayersBone)
{
    StandInGroupKind bones(LT_BONE);
    StandInGroupKind plain(LT_GROUP);
    VornLayer* carried = NewBaseLayer();
    VornLayer* loose = NewBaseLayer();
    bones.AddLayer(carried);
    plain.AddLayer(loose);
    carried->fLayerParentBone = 4;
    loose->fLayerParentBone = 4;
    carried->DeleteParentBone(2);
    loose->DeleteParentBone(2);
    EXPECT_EQ(carried->fLayerParentBone, 3);
    EXPECT_EQ(loose->fLayerParentBone, 4);
    carried->fLayerParentBone = -2;
    carried->DeleteParentBone(0);
    EXPECT_EQ(carried->fLayerParentBone, -2);
}

TEST(VornLayer, EditOverlaysFollowTheViewAndLayerFlags)
{
    VornDoc doc;
    GroupLayer* group = new GroupLayer;
    VornLayer* sub = NewBaseLayer();
    doc.AddLayer(group);
    group->AddLayer(sub);
    sub->ShowConstructionCurves(false);
    EXPECT_FALSE(sub->ShowsEditOverlays());
    doc.SetSelLayer(group);
    {
        // Fills or outlines shown: only the current layer itself.
        LayerPrefs prefs({ { "QualityFlags", 2 | 8 } });
        EXPECT_FALSE(sub->ShowsEditOverlays());
    }
    {
        LayerPrefs prefs({ { "QualityFlags", 2 } });
        EXPECT_TRUE(sub->ShowsEditOverlays());
    }
    {
        LayerPrefs prefs({ { "QualityFlags", 0 } });
        sub->ShowConstructionCurves(true);
        EXPECT_FALSE(sub->ShowsEditOverlays());
    }
    EXPECT_TRUE(sub->ShowsEditOverlays());
}

TEST(VornLayer, LayerScriptsRunThroughTheHostOnceLoaded)
{
    VornDoc doc;
    VornLayer* layer = NewBaseLayer();
    doc.AddLayer(layer);
    layer->SetLayerScript("/scripts/wobble.lua");
    // Without a host nothing happens, and the script is not marked as loaded.
    layer->RunLayerScript();
    EXPECT_FALSE(layer->fLayerScriptLoaded);

    RecordingScriptHost host;
    layer->RunLayerScript();
    layer->RunLayerScript();
    const std::string bound = layer->fLayerScriptFunction.CString();
    ASSERT_EQ(bound.compare(0, 3, "LS_"), 0);
    const std::vector<std::string> expected = { "DoFile /scripts/wobble.lua", "Bind " + bound,
        "Begin " + bound, "Call", "Collect", "Begin " + bound, "Call", "Collect" };
    EXPECT_EQ(host.calls, expected);
    EXPECT_EQ(host.callDoc, &doc);
    EXPECT_EQ(host.callLayer, layer);

    // Two layers never share a function name, and the name stays when the script is reloaded.
    VornLayer other;
    other.SetLayerScript("/scripts/wobble.lua");
    other.RunLayerScript();
    EXPECT_NE(other.fLayerScriptFunction, layer->fLayerScriptFunction);
    layer->SetLayerScript("/scripts/wobble.lua");
    layer->RunLayerScript();
    EXPECT_EQ(bound, layer->fLayerScriptFunction.CString());
}

TEST(VornLayer, AFailingLayerScriptIsNotRetriedUntilItsPathIsSetAgain)
{
    RecordingScriptHost host;
    host.bindResult = 1;
    VornDoc doc;
    VornLayer* layer = NewBaseLayer();
    doc.AddLayer(layer);
    layer->SetLayerScript("broken.lua");
    layer->RunLayerScript();
    layer->RunLayerScript();
    EXPECT_TRUE(layer->fLayerScriptLoaded);
    EXPECT_TRUE(layer->fLayerScriptFunction.IsEmpty());
    EXPECT_EQ(host.calls.size(), 2u);

    host.calls.clear();
    host.bindResult = 0;
    layer->SetLayerScript("broken.lua");
    layer->RunLayerScript();
    EXPECT_EQ(host.calls.size(), 5u);
}

TEST(VornLayer, ExtremeTimingOffsetsStayWithinTheFrameRange)
{
    // Offsets come from records as any 32-bit value.
    NestedLayers tree;
    tree.group->fTimingOffset = INT32_MAX;
    tree.sub->fTimingOffset = INT32_MAX;
    tree.doc.SetCurFrame(10);
    EXPECT_EQ(tree.sub->TotalTimingOffset(), INT32_MAX);
    EXPECT_EQ(tree.sub->CurFrame(), INT32_MAX);
    tree.sub->fTimingOffset = INT32_MIN;
    tree.group->fTimingOffset = INT32_MIN;
    tree.doc.SetCurFrame(-10);
    EXPECT_EQ(tree.sub->CurFrame(), INT32_MIN);
    tree.sub->UpdateCurFrame(true);
    tree.sub->UpdateToDocFrame(&tree.doc);
    QV_Matrix m;
    tree.sub->GetFullTransform(3, m, &tree.doc);
    EXPECT_TRUE(std::isfinite(m.m[0]));
}
