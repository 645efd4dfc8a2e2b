// The skeleton record: writing, reading back, old versions, appending, and refusing records
// that would break the skeleton's links.
#include <gtest/gtest.h>

#include <string>

#include "m_skeleton.h"
#include "qv_memstream.h"
#include "skeleton_test_support.h"
#include "vorn_test_support.h"

namespace {

// A channel record with a single key at frame 0 holding the value text.
std::string Channel(const std::string& value)
{
    return "[\n keys 1\n 0 1 0.1 0.5 " + value + "\n]\n";
}

// One bone record as a version-13 writer puts it, with the reference fields given.
std::string BoneRecord(const std::string& name, int32_t parent, int32_t angleControl = -1,
    int32_t posControl = -1, int32_t scaleControl = -1)
{
    return "\"" + name + "\" " + std::to_string(parent) + " " + std::to_string(angleControl) + " 1 "
        + std::to_string(posControl) + " 1 1 " + std::to_string(scaleControl) + " 1 false 0.25 1 0 0\n"
        + "false -1.2 1.2\n" + Channel("false") + "2 2 1\n" + Channel("0 0") + Channel("1.570796")
        + Channel("1") + Channel("false") + Channel("0 0") + Channel("0");
}

std::string SkeletonRecord(const std::string& bones, int32_t count)
{
    return "[\nbinding_mode 2\nbones " + std::to_string(count) + "\n" + bones + "]\n";
}

bool ReadText(M_Skeleton& skeleton, const std::string& text, QV_MemStream& stream, int32_t version = 19)
{
    FillStream(stream, text);
    stream.fVersion = version;
    return skeleton.ReadRecord(&stream);
}

std::string WrittenText(M_Skeleton& skeleton)
{
    QV_MemStream stream;
    stream.Open(0);
    skeleton.WriteRecord(&stream);
    return StreamText(stream);
}

TEST(SkeletonRecordTest, WritesTheRecordLineByLine)
{
    M_Skeleton skeleton;
    M_Bone* bone = skeleton.AddBone(0);
    bone->SetName("arm");
    bone->fSelected = true;
    bone->fOffset = { 0.5f, -1 };
    const std::string text = WrittenText(skeleton);
    const std::string expectedStart = "[\n\tbinding_mode 1\n\tbones 1\n"
                                      "\t\t\"arm\" -1 -1 1 -1 1 1 -1 1 true 0.25 1 0.5 -1\n"
                                      "\t\tfalse -1.22173 1.22173\n"
                                      "\t\t[\n\t\t\tkeys 1\n";
    EXPECT_EQ(text.substr(0, expectedStart.size()), expectedStart);
    EXPECT_NE(text.find("\t\t2 2 1\n"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 2), "]\n");
}

TEST(SkeletonRecordTest, RoundTripKeepsEveryField)
{
    M_Skeleton skeleton;
    skeleton.fBindingMode = REGION_BINDING;
    AddRestBone(skeleton, -1, { 1, 2 }, 0.3f, 0.8f)->SetName(std::string(300, 'n').c_str());
    M_Bone* child = AddRestBone(skeleton, 0, { 0.8f, 0 }, -0.4f, 0.5f);
    child->fAngleControlParent = 0;
    child->fAngleControlScale = 0.5f;
    child->fPosControlScale = { 2, 3 };
    child->fConstraints = true;
    child->fTorqueForce = 4;
    child->fBoneDynamics.SetValue(7, true);
    child->fAnimAngle.SetValue(10, 1.25f);
    child->fIKLock.SetValue(10, true);
    const std::string text = WrittenText(skeleton);

    M_Skeleton copy;
    QV_MemStream stream;
    ASSERT_TRUE(ReadText(copy, text, stream)) << stream.fError.CString();
    ASSERT_EQ(copy.GetNumBones(), 2);
    EXPECT_EQ(copy.fBindingMode, REGION_BINDING);
    EXPECT_EQ(copy.GetBone(0)->fName.Length(), 300);
    const M_Bone* read = copy.GetBone(1);
    EXPECT_EQ(read->fParent, 0);
    EXPECT_EQ(read->fAngleControlParent, 0);
    EXPECT_FLOAT_EQ(read->fAngleControlScale, 0.5f);
    EXPECT_FLOAT_EQ(read->fPosControlScale.y, 3);
    EXPECT_TRUE(read->fConstraints);
    EXPECT_FLOAT_EQ(read->fTorqueForce, 4);
    EXPECT_EQ(read->fOwnerSkeleton, &copy);
    // The current values start from frame 0 of the channels.
    EXPECT_FLOAT_EQ(read->fAngle, -0.4f);
    EXPECT_FLOAT_EQ(read->fPos.x, 0.8f);
    EXPECT_EQ(WrittenText(copy), text);
}

TEST(SkeletonRecordTest, OldVersionsHoldABareDynamicsFlag)
{
    std::string bone = BoneRecord("a", -1);
    const size_t at = bone.find(Channel("false"));
    bone.replace(at, Channel("false").size(), "true\n");
    M_Skeleton skeleton;
    QV_MemStream stream;
    ASSERT_TRUE(ReadText(skeleton, SkeletonRecord(bone, 1), stream, 12)) << stream.fError.CString();
    M_Bone* read = skeleton.GetBone(0);
    EXPECT_TRUE(read->fBoneDynamics.GetValue(0));
    EXPECT_EQ(read->fBoneDynamics.CountKeys(), 1);
    EXPECT_FLOAT_EQ(read->fTorqueForce, 2);

    // The same text at a current version is damaged.
    M_Skeleton other;
    EXPECT_FALSE(ReadText(other, SkeletonRecord(bone, 1), stream, 13));
}

TEST(SkeletonRecordTest, AppendedBonesGetTheIdBase)
{
    M_Skeleton skeleton;
    for (int32_t i = 0; i < 3; i++)
        skeleton.AddBone(0);
    const std::string bones = BoneRecord("x", -1, 1) + BoneRecord("y", 0, -1, 0);
    QV_MemStream stream;
    ASSERT_TRUE(ReadText(skeleton, "# appended\n" + SkeletonRecord(bones, 2), stream))
        << stream.fError.CString();
    ASSERT_EQ(skeleton.GetNumBones(), 5);
    EXPECT_EQ(skeleton.GetBone(3)->fParent, -1);
    EXPECT_EQ(skeleton.GetBone(3)->fAngleControlParent, 4);
    EXPECT_EQ(skeleton.GetBone(4)->fParent, 3);
    EXPECT_EQ(skeleton.GetBone(4)->fPosControlParent, 3);
    EXPECT_STREQ(skeleton.GetBone(4)->Name(), "y");
    EXPECT_GE(skeleton.fBoneCapacity, 5);
}

TEST(SkeletonRecordTest, RecordsThatBreakTheLinksOrTheSyntaxAreRefused)
{
    const std::string good = BoneRecord("a", -1);
    struct Case {
        const char* what;
        std::string text;
        std::string error;
    };
    const Case cases[] = {
        { "parent out of range", SkeletonRecord(good + BoneRecord("b", 2), 2), "m_skeleton.cpp, line 86." },
        { "parent below -1", SkeletonRecord(BoneRecord("b", -2), 1), "m_skeleton.cpp, line 86." },
        { "own parent", SkeletonRecord(BoneRecord("b", 0), 1), "m_skeleton.cpp, line 86." },
        { "parent cycle", SkeletonRecord(good + BoneRecord("b", 2) + BoneRecord("c", 1), 3),
            "m_skeleton.cpp, line 86." },
        { "control out of range", SkeletonRecord(good + BoneRecord("b", 0, -1, -1, 7), 2),
            "m_skeleton.cpp, line 86." },
        { "negative count", SkeletonRecord("", -1), "m_skeleton.cpp, line 76." },
        { "count beyond the data", SkeletonRecord(good, 100000000), "m_skeleton.cpp, line 76." },
        { "bad binding mode", "[\nbinding_mode x\n]\n", "m_skeleton.cpp, line 72." },
        { "cut off", SkeletonRecord(good, 2).substr(0, good.size() + 30), "m_skeleton.cpp, line 86." },
        { "bad bone field", SkeletonRecord(good + "\"b\" -1 -1 x", 2), "m_skeleton.cpp, line 86." },
        { "bad channel in a bone",
            SkeletonRecord(good.substr(0, good.size() - Channel("0").size()) + "[\n kays 1\n]\n", 1),
            "Unknown keyword: kays" },
        { "no end", "[\nbinding_mode 1\n", "m_skeleton.cpp, line 60." },
        { "unknown keyword", "[\nbone 1\n]\n", "Unknown keyword: bone at line 2" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        M_Skeleton skeleton;
        AddRestBone(skeleton, -1, { 0, 0 }, 0);
        QV_MemStream stream;
        EXPECT_FALSE(ReadText(skeleton, c.text, stream));
        EXPECT_NE(std::string(stream.fError.CString()).find(c.error), std::string::npos)
            << stream.fError.CString();
        EXPECT_EQ(skeleton.GetNumBones(), 1);
        for (int32_t i = 1; i < skeleton.fBoneCapacity; i++)
            EXPECT_EQ(skeleton.fBones[i], nullptr);
    }
}

} // namespace
