#include "qv_message.h"

#include <string>

#include <gtest/gtest.h>

TEST(QV_Message, ReplacingKeepsThePlace)
{
    QV_Message message(42);
    EXPECT_EQ(message.fWhat, 42);
    EXPECT_EQ(message.AddString("a", "1"), 1);
    EXPECT_EQ(message.AddString("b", "2"), 2);
    EXPECT_EQ(message.AddString("a", "3"), 2);
    EXPECT_EQ(message.NameAt(0), "a");
    EXPECT_EQ(message.ValueAt(0).text, "3");
    EXPECT_EQ(message.NameAt(1), "b");
    // Names are case-sensitive.
    EXPECT_EQ(message.AddString("A", "4"), 3);
}

TEST(QV_Message, CapacityDoubles)
{
    QV_Message message;
    EXPECT_EQ(message.Capacity(), 2);
    const char* names[] = { "n1", "n2", "n3", "n4", "n5" };
    const int32_t capacities[] = { 2, 2, 4, 4, 8 };
    for (int i = 0; i < 5; i++) {
        message.AddInt(names[i], i);
        EXPECT_EQ(message.Capacity(), capacities[i]) << names[i];
    }
    for (int i = 0; i < 5; i++) {
        int32_t value = -1;
        ASSERT_TRUE(message.FindInt(names[i], value));
        EXPECT_EQ(value, i);
    }
}

TEST(QV_Message, TextFromItsOwnEntrySurvivesGrowth)
{
    QV_Message message;
    message.AddString("first", "shared text");
    message.AddString("second", "x");
    const char* text = nullptr;
    ASSERT_TRUE(message.FindString("first", &text));
    message.AddString("third", text);
    QV_String copy;
    ASSERT_TRUE(message.FindString("third", copy));
    EXPECT_EQ(copy, "shared text");
}

TEST(QV_Message, StoredTextForms)
{
    QV_Message message;
    message.AddBool("yes", true);
    message.AddBool("no", false);
    message.AddInt("int", -2147483647 - 1);
    message.AddFloat("float", 0.25f);
    message.AddFloat("big", 1234567.0f);
    message.AddColor("color", { 1, 20, 255, 0 });
    message.AddPoint("point", -3, 40);
    const struct {
        const char* name;
        const char* text;
    } expected[] = {
        { "yes", "TRUE" },
        { "no", "FALSE" },
        { "int", "-2147483648" },
        { "float", "0.250000" },
        { "big", "1234567.000000" },
        { "color", "1 20 255 0" },
        { "point", "-3 40" },
    };
    for (const auto& e : expected) {
        QV_String text;
        ASSERT_TRUE(message.FindString(e.name, text)) << e.name;
        EXPECT_EQ(text, e.text) << e.name;
    }
}

TEST(QV_Message, FindBoolReadsTrueOrOneInAnyCase)
{
    struct Case {
        const char* text;
        bool value;
    } cases[] = {
        { "TRUE", true },
        { "true", true },
        { "True", true },
        { "1", true },
        { "yes", false },
        { "0", false },
        { "", false },
        { "true ", false },
    };
    QV_Message message;
    for (const Case& c : cases) {
        message.AddString("flag", c.text);
        bool value = !c.value;
        ASSERT_TRUE(message.FindBool("flag", value));
        EXPECT_EQ(value, c.value) << c.text;
    }
    bool untouched = true;
    EXPECT_FALSE(message.FindBool("missing", untouched));
    EXPECT_TRUE(untouched);
}

TEST(QV_Message, NumbersThatDoNotParseLeaveTheOutput)
{
    QV_Message message;
    message.AddString("word", "abc");
    message.AddString("int", " -17xyz");
    message.AddString("float", "2.5e1 rest");
    int32_t number = 9;
    float value = 9;
    EXPECT_TRUE(message.FindInt("word", number));
    EXPECT_EQ(number, 9);
    EXPECT_TRUE(message.FindFloat("word", value));
    EXPECT_EQ(value, 9);
    EXPECT_TRUE(message.FindInt("int", number));
    EXPECT_EQ(number, -17);
    EXPECT_TRUE(message.FindFloat("float", value));
    EXPECT_EQ(value, 25.0f);
    EXPECT_FALSE(message.FindInt("missing", number));
    EXPECT_FALSE(message.FindFloat("missing", value));
    EXPECT_EQ(number, -17);
}

TEST(QV_Message, FindColorClamps)
{
    QV_Message message;
    message.AddString("color", "300 -5 128 255");
    message.AddString("short", "10 20");
    rgb_color color { 7, 7, 7, 7 };
    ASSERT_TRUE(message.FindColor("color", color));
    EXPECT_EQ(color.r, 255);
    EXPECT_EQ(color.g, 0);
    EXPECT_EQ(color.b, 128);
    EXPECT_EQ(color.a, 255);
    // Components the text does not give keep their value.
    color = { 7, 7, 7, 7 };
    ASSERT_TRUE(message.FindColor("short", color));
    EXPECT_EQ(color.r, 10);
    EXPECT_EQ(color.g, 20);
    EXPECT_EQ(color.b, 7);
    EXPECT_EQ(color.a, 7);
    EXPECT_FALSE(message.FindColor("missing", color));
}

TEST(QV_Message, NestedRecordsAreOwned)
{
    QV_Message message;
    QV_Message* inner = new QV_Message(5);
    inner->AddString("k", "v");
    message.AddMessage("inner", inner);
    QV_String text;
    ASSERT_TRUE(message.FindString("inner", text));
    EXPECT_EQ(text, "msg");
    QV_Message* found = nullptr;
    ASSERT_TRUE(message.FindMessage("inner", &found));
    EXPECT_EQ(found, inner);

    // Growing moves the nested records; replacing one deletes the old one (leak-checked).
    message.AddString("a", "1");
    message.AddString("b", "2");
    ASSERT_TRUE(message.FindMessage("inner", &found));
    EXPECT_EQ(found, inner);
    message.AddMessage("inner", found);
    message.AddMessage("inner", new QV_Message(6));
    ASSERT_TRUE(message.FindMessage("inner", &found));
    EXPECT_EQ(found->fWhat, 6);

    // A plain value in its place drops the nested record.
    message.AddString("inner", "text");
    EXPECT_FALSE(message.FindMessage("inner", &found));
    EXPECT_FALSE(message.FindMessage("a", &found));
}

TEST(QV_Message, MeshAddressKeepsAllItsBits)
{
    QV_Message message;
    M_Mesh* none = nullptr;
    EXPECT_FALSE(message.FindMesh(&none));
    M_Mesh* mesh = reinterpret_cast<M_Mesh*>(static_cast<uintptr_t>(0x7fff12345678));
    message.AddMesh(mesh);
    M_Mesh* back = nullptr;
    ASSERT_TRUE(message.FindMesh(&back));
    EXPECT_EQ(back, mesh);
    QV_String text;
    ASSERT_TRUE(message.FindString("mesh", text));
}
