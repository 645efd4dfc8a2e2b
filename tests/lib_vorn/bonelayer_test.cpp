#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "bonelayer.h"
#include "channelinfo.h"
#include "format_version.h"
#include "layer_test_support.h"
#include "layerfactory.h"
#include "mesh_test_support.h"
#include "meshlayer.h"
#include "qv_filestream.h"
#include "qv_memstream.h"
#include "skeleton_test_support.h"
#include "vorn_test_support.h"

namespace {

constexpr float kQuarterTurn = 1.5707964f;

std::string RecordText(VornLayer& layer)
{
    QV_MemStream stream;
    stream.Open(0);
    layer.WriteRecord(&stream);
    return StreamText(stream);
}

// A layer of the type read from text; null with the stream's error text on failure.
std::unique_ptr<VornLayer> ReadLayer(int32_t type, const std::string& text, std::string* error = nullptr)
{
    QV_MemStream stream;
    FillStream(stream, text);
    stream.fVersion = kCurrentFormatVersion;
    std::unique_ptr<VornLayer> layer(LayerFactory(type));
    const bool ok = layer && layer->ReadRecord(&stream);
    if (error)
        *error = stream.fError.CString();
    if (!ok)
        layer.reset();
    return layer;
}

// A bone layer whose one bone stands upright at the origin with its dynamics on; the layer is
// keyed to move sideways, one unit per frame from frame 1.
struct SwingingBone {
    SwingingBone()
    {
        bone = AddRestBone(layer.fSkeleton, -1, QV_Vector2 { 0, 0 }, kQuarterTurn, 1);
        bone->fBoneDynamics.SetValue(0, true);
        bone->fSpringForce = 0;
        bone->fDampingForce = 0;
        bone->fTorqueForce = 1;
        for (int32_t f = 1; f <= 20; f++)
            layer.fTranslation.SetValue(f, QV_Vector3 { float(f - 1), 0, 0 });
    }
    BoneLayer layer;
    M_Bone* bone;
};

} // namespace

TEST(BoneLayer, FactoryMakesItAndItOffersItsSkeleton)
{
    std::unique_ptr<VornLayer> made(LayerFactory(LT_BONE));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->LayerType(), LT_BONE);
    EXPECT_TRUE(made->IsBoneType());
    EXPECT_EQ(made->fQualityFlags & QUALITY_EDIT_OVERLAYS, QUALITY_EDIT_OVERLAYS);
    EXPECT_EQ(made->LayerDuration(), -1);
    BoneLayer* bones = static_cast<BoneLayer*>(made.get());
    EXPECT_EQ(bones->Skeleton()->fBindingMode, FLEXI_BINDING);

    // A sub-layer on a bone turns as the bone's keyed angle turns it.
    AddRestBone(bones->fSkeleton, -1, QV_Vector2 { 0, 0 }, 0, 2);
    bones->fSkeleton.GetBone(0)->fAnimAngle.SetValue(10, kQuarterTurn);
    VornLayer* child = NewBaseLayer("follower");
    bones->AddLayer(child);
    child->fLayerParentBone = 0;
    ASSERT_EQ(child->ParentBones(), bones->fBoneParent);
    bones->SetCurFrame(10);
    QV_Matrix m;
    child->GetLayerTransform(10, m, nullptr);
    EXPECT_VEC2_NEAR(Apply(m, { 1, 0 }), 0, 1, 1e-5f);
}

TEST(BoneLayer, ChannelRowsAddressBonesAndTheirLocks)
{
    BoneLayer layer;
    for (int32_t i = 0; i < 4; i++)
        AddRestBone(layer.fSkeleton, -1, QV_Vector2 { float(i), 0 }, 0);
    EXPECT_EQ(layer.CountChannels(), 31);

    ChannelInfo info;
    layer.GetChannelInfo(6, info);
    EXPECT_EQ(info.fID, 10040);
    EXPECT_EQ(info.fSubChannels, 12);
    EXPECT_FALSE(info.fSingleChannel);
    EXPECT_EQ(layer.GetChannel(6, 5, nullptr), &layer.fSkeleton.GetBone(1)->fIKGlobalAngle);
    EXPECT_EQ(layer.GetChannel(6, 12, nullptr), nullptr);
    layer.GetChannelInfo(0, info);
    EXPECT_TRUE(info.fAngle);
    EXPECT_EQ(info.fSubChannels, 4);

    // The selection rows count the selected bones only, in index order.
    layer.GetChannelInfo(1, info);
    EXPECT_EQ(info.fSubChannels, 0);
    EXPECT_TRUE(info.fSelectionOnly);
    layer.fSkeleton.GetBone(2)->fSelected = true;
    layer.GetChannelInfo(9, info);
    EXPECT_EQ(info.fSubChannels, 1);
    EXPECT_TRUE(info.fBoolGroup);
    EXPECT_TRUE(info.fSeparator);
    EXPECT_EQ(layer.GetChannel(9, 0, nullptr), &layer.fSkeleton.GetBone(2)->fBoneDynamics);
    EXPECT_EQ(layer.GetChannel(7, 1, nullptr), &layer.fSkeleton.GetBone(2)->fIKParentTarget);
    EXPECT_EQ(layer.GetChannel(3, 0, nullptr), &layer.fSkeleton.GetBone(2)->fAnimPos);

    // Then the group's ordering row and the rows every layer has.
    EXPECT_EQ(layer.GetChannel(10, 0, nullptr), &layer.fLayerOrdering);
    layer.GetChannelInfo(11, info);
    EXPECT_EQ(info.fID, CHANNEL_LAYER_T);
    EXPECT_EQ(layer.GetChannel(11, 0, nullptr), &layer.fTranslation);
}

TEST(BoneLayer, RecordRoundTripsAndOrderingKeysSwitchOrderingOn)
{
    BoneLayer layer;
    layer.SetName("Rig");
    AddRestBone(layer.fSkeleton, -1, QV_Vector2 { 0, 0 }, 0.5f, 2);
    M_Bone* child = AddRestBone(layer.fSkeleton, 0, QV_Vector2 { 2, 0 }, -0.25f);
    child->fBoneDynamics.SetValue(4, true);
    child->fIKLock.SetValue(6, true);
    MeshLayer* vector = new MeshLayer;
    vector->SetName("Skin");
    layer.AddLayer(vector);
    MeshLayer* top = new MeshLayer;
    top->SetName("Top");
    layer.AddLayer(top);
    layer.fLayerOrdering.SetValue(8, "1|0|");
    const std::string written = RecordText(layer);
    EXPECT_NE(written.find("### bone layer values"), std::string::npos);
    EXPECT_EQ(written.find("animated_layer_order"), std::string::npos);

    std::string error;
    std::unique_ptr<VornLayer> back = ReadLayer(LT_BONE, written, &error);
    ASSERT_NE(back, nullptr) << error;
    BoneLayer& read = static_cast<BoneLayer&>(*back);
    EXPECT_TRUE(read.fAnimatedLayerOrder);
    ASSERT_EQ(read.fSkeleton.GetNumBones(), 2);
    EXPECT_EQ(read.fSkeleton.GetBone(1)->fParent, 0);
    ASSERT_EQ(read.CountLayers(), 2);
    EXPECT_EQ(read.Layer(0)->LayerType(), LT_VECTOR);
    EXPECT_EQ(read.Layer(1)->fParent, &read);
    read.fAnimatedLayerOrder = false;
    EXPECT_EQ(RecordText(read), written);

    // Reading again in place replaces bones and sub-layers rather than adding to them.
    QV_MemStream again;
    FillStream(again, written);
    again.fVersion = kCurrentFormatVersion;
    ASSERT_TRUE(read.ReadRecord(&again));
    EXPECT_EQ(read.fSkeleton.GetNumBones(), 2);
    EXPECT_EQ(read.CountLayers(), 2);
}

TEST(BoneLayer, ReadFailuresNameTheirPlace)
{
    const struct {
        std::string text;
        std::string error;
    } cases[] = {
        { "{\n\tgroup_mask x\n}\n", "Read error at line 2. In code file lib_vorn/bonelayer, line 61." },
        { "{\n\tskeleton\n\t[\n\t\tbones -1\n\t]\n}\n", "Read error at line 4. In code file lib_vorn/m_skeleton" },
        { "{\n\tlayer_type 8\n\t{\n\t\treset_z maybe\n\t}\n}\n",
            "Read error at line 4. In code file ..\\..\\..\\lib_vorn\\mesh3dlayer, line 79." },
        { "{\n\tswitch_keys 3\n}\n", "Unknown keyword: switch_keys at line 2" },
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_EQ(ReadLayer(LT_BONE, c.text, &error), nullptr) << c.text;
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << error;
    }
}

TEST(BoneLayer, DynamicBoneLagsOnSingleStepsOnly)
{
    SwingingBone rig;
    M_Bone& bone = *rig.bone;
    rig.layer.SetCurFrame(1);
    EXPECT_FLOAT_EQ(bone.fDynAngle, kQuarterTurn);
    EXPECT_FLOAT_EQ(bone.fDynVelocity, 0);

    // The base moved one unit right while the tip stayed: the tip trails at 45 degrees, and one
    // step of 1/24 s turns the bone towards it (inertia 5 for length 1).
    rig.layer.SetCurFrame(2);
    const float velocity = float(M_PI / 4) * 100 / 5 / 24;
    EXPECT_NEAR(bone.fDynVelocity, velocity, 1e-4f);
    EXPECT_NEAR(bone.fAngle, kQuarterTurn + velocity / 24, 1e-5f);
    rig.layer.SetCurFrame(3);
    const float lagAtThree = bone.fAngle;
    EXPECT_GT(lagAtThree, kQuarterTurn + velocity / 24);

    // A jump shows the animated angle and leaves the state for the next single step.
    const float dynAtThree = bone.fDynAngle;
    rig.layer.SetCurFrame(10);
    EXPECT_FLOAT_EQ(bone.fAngle, kQuarterTurn);
    EXPECT_FLOAT_EQ(bone.fDynAngle, dynAtThree);
    rig.layer.SetCurFrame(1);
    EXPECT_FLOAT_EQ(bone.fDynAngle, kQuarterTurn);
    EXPECT_FLOAT_EQ(bone.fDynVelocity, 0);

    // Playing from the start again gives the same motion.
    rig.layer.SetCurFrame(2);
    rig.layer.SetCurFrame(3);
    EXPECT_FLOAT_EQ(bone.fAngle, lagAtThree);
}

TEST(BoneLayer, DynamicsFollowTheDocumentsRateAndConstraints)
{
    // Twelve frames a second make each step twice as long.
    VornDoc doc;
    ASSERT_TRUE(doc.SetFps(12));
    SwingingBone rig;
    rig.layer.SetDocument(&doc);
    rig.layer.SetCurFrame(1);
    rig.layer.SetCurFrame(2);
    const float velocity = float(M_PI / 4) * 100 / 5 / 12;
    EXPECT_NEAR(rig.bone->fDynVelocity, velocity, 1e-4f);

    // A still bone between -0.1 and 0.1 of its rest angle that would reach 0.12 is reflected.
    BoneLayer still;
    M_Bone* bone = AddRestBone(still.fSkeleton, -1, QV_Vector2 { 0, 0 }, 0, 1);
    bone->fBoneDynamics.SetValue(0, true);
    bone->fSpringForce = 0;
    bone->fDampingForce = 0;
    bone->fConstraints = true;
    bone->fMinConstraint = -0.1f;
    bone->fMaxConstraint = 0.1f;
    still.SetCurFrame(1);
    bone->fDynAngle = 0.1f;
    bone->fDynVelocity = 0.48f;
    still.SetCurFrame(2);
    EXPECT_NEAR(bone->fAngle, 0.08f, 1e-6f);
    EXPECT_NEAR(bone->fDynVelocity, -0.48f, 1e-6f);
}

TEST(BoneLayer, DynamicsSwitchedOnLaterStartFromTheCurrentAngle)
{
    BoneLayer layer;
    M_Bone* bone = AddRestBone(layer.fSkeleton, -1, QV_Vector2 { 0, 0 }, 0, 1);
    bone->fAnimAngle.SetValue(8, 0.8f);
    bone->fBoneDynamics.SetValue(5, true);
    for (int32_t f = 1; f < 5; f++)
        layer.SetCurFrame(f);
    bone->fDynVelocity = 3;
    const float before = bone->fAngle;
    layer.SetCurFrame(5);
    // Restarted from frame 4's angle with no velocity, then one step pulled by the spring.
    const float springPull = 2 * 150 * (bone->fAnimAngle.GetValue(5) - before) / 5 / 24;
    EXPECT_NEAR(bone->fDynVelocity, springPull, 1e-3f);
}

namespace {

// A document of format 11 as its program wrote it: point widths and the bone's dynamics switch
// are bare values rather than channels, and shapes carry neither the fill switch, nor effect
// placement, nor edge flags. Bone 0 lies along x from the origin and turns a quarter turn at
// frame 1; the two points of the sub-layer are bound to it.
const char* const kFormat11Rig = R"(application/x-vnd.qv_vorndoc
version 11
dimensions 64 48
frame_range 1 24
fps 24

### layers
layer_type 4
{
	name "Rig"
	skeleton
	[
		binding_mode 1
		bones 1
		"Arm bone" -1 -1 1 -1 1 1 -1 1 false 2 1 0 0
		false -0.5 0.5
		true
		2 2 1
		[ keys 1 0 1 0.1 0.5 0 0 ]
		[ keys 2 0 1 0.1 0.5 0 1 1 0.1 0.5 1.5707964 ]
		[ keys 1 0 1 0.1 0.5 1 ]
		[ keys 1 0 1 0.1 0.5 false ]
		[ keys 1 0 1 0.1 0.5 0 0 ]
		[ keys 1 0 1 0.1 0.5 0 ]
	]
	layer_type 1
	{
		name "Arm"
		mesh
		[
			points 2
			[ keys 1 0 1 0.1 0.5 1 0 ]
			0.05
			0
			false
			1
			0 0
			[ keys 1 0 1 0.1 0.5 2 0 ]
			0.25
			0
			false
			1
			0 1
			curves 1
			2 false
			0 true
			[ keys 1 0 1 0.1 0.5 0.3 ]
			1 true
			[ keys 1 0 1 0.1 0.5 0.3 ]
			shapes 1
			"Stroke" false false true
			1
			0 0
			"" false [ keys 1 0 1 0.1 0.5 1 1 1 1 ] false 0.05 true [ keys 1 0 1 0.1 0.5 0 0 0 1 ] "" false 0 1 false
			-1 -1 -1
			""
			""
			groups 0
		]
	}
}
)";

VornDoc* ReadDocText(const std::string& text, std::string& error)
{
    QV_MemStream stream;
    FillStream(stream, text);
    VornDoc* doc = new VornDoc(&stream);
    error = stream.fError.CString();
    return doc;
}

} // namespace

TEST(BoneLayer, Format11RigReadsAndItsPointsFollowTheBone)
{
    std::string error;
    std::unique_ptr<VornDoc> doc(ReadDocText(kFormat11Rig, error));
    ASSERT_FALSE(doc->fReadFailed) << error;
    ASSERT_EQ(doc->CountLayers(), 1);
    ASSERT_EQ(doc->Layer(0)->LayerType(), LT_BONE);
    BoneLayer& rig = static_cast<BoneLayer&>(*doc->Layer(0));
    ASSERT_EQ(rig.fSkeleton.GetNumBones(), 1);
    M_Bone& bone = *rig.fSkeleton.GetBone(0);
    EXPECT_EQ(bone.fName, QV_String("Arm bone"));
    // The bare switch and widths became channels keyed at frame 0.
    EXPECT_EQ(bone.fBoneDynamics.CountKeys(), 1);
    EXPECT_TRUE(bone.fBoneDynamics.GetValue(0));
    ASSERT_EQ(rig.CountLayers(), 1);
    MeshLayer& arm = static_cast<MeshLayer&>(*rig.Layer(0));
    ASSERT_EQ(arm.fMesh.fNumPoints, 2);
    EXPECT_FLOAT_EQ(arm.fMesh.fPoints[1]->fWidth.GetValue(0), 0.25f);
    ASSERT_EQ(arm.fMesh.fNumShapes, 1);
    EXPECT_TRUE(arm.fMesh.fShapes[0]->fFillAllowed);
    EXPECT_TRUE(arm.fMesh.fShapes[0]->fHasOutline);

    // The dynamics would blur the check of the pose: this rig is about binding.
    bone.fBoneDynamics.SetValue(0, false);
    doc->SetCurFrame(0);
    EXPECT_VEC2_NEAR(arm.fMesh.fPoints[1]->fPos, 2, 0, 1e-5f);
    doc->SetCurFrame(1);
    EXPECT_VEC2_NEAR(arm.fMesh.fPoints[0]->fPos, 0, 1, 1e-5f);
    EXPECT_VEC2_NEAR(arm.fMesh.fPoints[1]->fPos, 0, 2, 1e-5f);

    // The round-trip utility writes it in today's format, which reads back to the same model.
    ScratchFile old, written;
    if (FILE* f = std::fopen(old.Path(), "wb")) {
        std::fputs(kFormat11Rig, f);
        std::fclose(f);
    }
    const std::string tool = CELVANE_DOC_ROUNDTRIP;
    ASSERT_EQ(std::system((tool + " " + old.Path() + " " + written.Path() + " >/dev/null").c_str()), 0);
    EXPECT_NE(written.Contents().find("version 19"), std::string::npos);
    QV_FileStream in;
    ASSERT_EQ(in.Open(written.Path(), true), 0);
    std::unique_ptr<VornDoc> back(new VornDoc(&in));
    ASSERT_FALSE(back->fReadFailed) << in.fError.CString();
    BoneLayer& backRig = static_cast<BoneLayer&>(*back->Layer(0));
    EXPECT_TRUE(backRig.fSkeleton.GetBone(0)->fBoneDynamics.GetValue(0));
    EXPECT_EQ(static_cast<MeshLayer&>(*backRig.Layer(0)).fMesh.fNumShapes, 1);
    bone.fBoneDynamics.SetValue(0, true);
    QV_MemStream rigText, backText;
    rigText.Open(0);
    backText.Open(0);
    rig.fSkeleton.WriteRecord(&rigText);
    backRig.fSkeleton.WriteRecord(&backText);
    EXPECT_EQ(StreamText(backText), StreamText(rigText));
    const M_Mesh& backMesh = static_cast<MeshLayer&>(*backRig.Layer(0)).fMesh;
    ASSERT_EQ(backMesh.fNumPoints, 2);
    EXPECT_EQ(backMesh.fPoints[1]->fParent, 0);
    EXPECT_FLOAT_EQ(backMesh.fPoints[1]->fWidth.GetValue(0), 0.25f);
}
