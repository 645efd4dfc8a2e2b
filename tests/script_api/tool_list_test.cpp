#include "image_format_registry.h"
#include "interface_colors.h"
#include "registry_test_support.h"
#include "tool_list_reader.h"

namespace {

using ToolList = RegistryTest;

TEST_F(ToolList, EntriesTakeGroupColourKeyAndKind)
{
    for (const char* name : { "select", "move", "reset" })
        Write(std::string("tool/") + name + ".lua", Table(name));
    Write("tool/_tool_list.txt",
        "group Draw\nTOOL select V\ntool move m\nspacer\nColor 255 0 0 255\nbutton reset r\n");
    Registry().LoadScripts();

    ASSERT_EQ(Registry().CountTools(), 4);
    EXPECT_EQ(FileOf(Tool(0)), "select.lua");
    EXPECT_EQ(Tool(0).fKey, 'v');
    EXPECT_EQ(FileOf(Tool(1)), "move.lua");
    EXPECT_EQ(Tool(1).fKey, 'm');
    EXPECT_TRUE(Tool(2).fSpacer);
    EXPECT_TRUE(Tool(2).fPath.IsEmpty());
    EXPECT_TRUE(Tool(3).fButton);
    EXPECT_EQ(Tool(3).fKey, 'r');
    for (int32_t i = 0; i < 4; i++)
        EXPECT_EQ(std::string(Tool(i).fGroup.CString()), "Draw") << i;
    for (int32_t i = 0; i < 3; i++)
        EXPECT_TRUE(SameColor(Tool(i).fColor, WidgetFill)) << i;
    EXPECT_TRUE(SameColor(Tool(3).fColor, rgb_color { 179, 0, 0, 255 }));
}

TEST_F(ToolList, KeysColoursAndUnfinishedEntries)
{
    for (const char* name : { "a", "b", "c", "select" })
        Write(std::string("tool/") + name + ".lua", Table(name));
    // The fourth integer fails on "tool", which is then read as the keyword.
    Write("tool/_tool_list.txt", "tool a xy\ncolor 300 -5 128 tool b -\nbogus tool c V tool select");
    Registry().LoadScripts();

    ASSERT_EQ(Registry().CountTools(), 4);
    EXPECT_EQ(Tool(0).fKey, 0);
    EXPECT_EQ(FileOf(Tool(1)), "b.lua");
    EXPECT_EQ(Tool(1).fKey, '-');
    EXPECT_TRUE(SameColor(Tool(1).fColor, rgb_color { 174, 172, 194, 255 }));
    EXPECT_EQ(Tool(2).fKey, 'v');
    // The trailing "tool select" without its key loads in the unlisted pass.
    EXPECT_EQ(FileOf(Tool(3)), "select.lua");
    EXPECT_EQ(std::string(Tool(3).fGroup.CString()), "Other");
    EXPECT_TRUE(SameColor(Tool(3).fColor, WidgetFill));
}

TEST_F(ToolList, NamesIconsAndCursorsMatchIgnoringCaseAndLoadOnce)
{
    Write("tool/select.lua", Table("select"));
    Write("tool/plain.lua", Table("plain"));
    Write("tool/_tool_list.txt", "tool Select s\ntool plain p\n");
    const std::filesystem::path image
        = std::filesystem::path(CELVANE_TEST_DATA) / "golden" / "brush_strokes.png";
    std::filesystem::copy_file(image, app / "scripts" / "tool" / "Select.png");
    std::filesystem::copy_file(image, app / "scripts" / "tool" / "SELECT_Cursor.png");
    ImageFormatRegistry::Init();
    Registry().LoadScripts();
    ImageFormatRegistry::Free();

    ASSERT_EQ(Registry().CountTools(), 2);
    EXPECT_EQ(FileOf(Tool(0)), "select.lua");
    EXPECT_EQ(Tool(0).fKey, 's');
    EXPECT_GT(Tool(0).fIcon.Width(), 0);
    EXPECT_GT(Tool(0).fCursorImage.Width(), 0);
    EXPECT_NE(Tool(0).fCursor, nullptr);
    EXPECT_EQ(Tool(1).fIcon.Width(), -1);
    EXPECT_EQ(Tool(1).fCursor, nullptr);
}

TEST_F(ToolList, WithoutAListEveryToolIsOtherInSortedOrder)
{
    Write("tool/b.lua", Table("b"));
    Write("tool/A.lua", Table("A"));
    Write("tool/c.LUA", Table("c"));
    Write("tool/notes.txt", "tool b x");
    Registry().LoadScripts();
    ASSERT_EQ(Registry().CountTools(), 3);
    EXPECT_EQ(FileOf(Tool(0)), "A.lua");
    EXPECT_EQ(FileOf(Tool(1)), "b.lua");
    EXPECT_EQ(FileOf(Tool(2)), "c.LUA");
    for (int32_t i = 0; i < 3; i++) {
        EXPECT_EQ(std::string(Tool(i).fGroup.CString()), "Other");
        EXPECT_EQ(Tool(i).fKey, 0);
    }
}

TEST(ToolColor, ScalesInSinglePrecisionAndClamps)
{
    const rgb_color fill { 158, 156, 176, 255 };
    const rgb_color lighter = ScaleToolColor(fill, 1.1f);
    EXPECT_TRUE(SameColor(lighter, rgb_color { 174, 172, 194, 255 }));
    EXPECT_TRUE(SameColor(ScaleToolColor(lighter, 0.7f), rgb_color { 122, 120, 136, 255 }));
    EXPECT_TRUE(SameColor(ScaleToolColor(rgb_color { 240, 0, 255, 7 }, 1.1f), rgb_color { 255, 0, 255, 7 }));
}

} // namespace
