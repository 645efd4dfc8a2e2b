#include "registry_test_support.h"

namespace {

using Loading = RegistryTest;

TEST_F(Loading, MenuScriptsFoldersTextsAndFailures)
{
    Write("menu/labelled.lua",
        Table("Labelled",
            "function Labelled:UILabel() return 3 end\n"
            "function Labelled:Name() return 'Labelled' end\n"
            "function Labelled:Version() return {} end\n"));
    Write("menu/broken.lua", "ScriptName = 'Broken' Broken = {} this is not lua");
    Write("menu/nameless.lua", "Nameless = {}\n");
    Write("menu/Extras/inner.lua", Table("Inner"));
    Write("menu/Extras/Deeper/deep.lua", Table("Deep"));
    Write("menu/readme.txt", "not a script");
    Registry().LoadScripts();

    ASSERT_EQ(Registry().CountMenuScripts(), 2);
    const MenuScript& inner = *Registry().MenuScriptAt(0);
    EXPECT_EQ(std::string(inner.fSubmenu.CString()), "Extras");
    EXPECT_EQ(std::string(inner.fUILabel.CString()), "<No Label>");
    EXPECT_EQ(std::string(inner.fName.CString()), "???");
    const MenuScript& labelled = *Registry().MenuScriptAt(1);
    EXPECT_EQ(std::string(labelled.fTableName.CString()), "Labelled");
    EXPECT_EQ(std::string(labelled.fUILabel.CString()), "3");
    EXPECT_EQ(std::string(labelled.fName.CString()), "Labelled");
    EXPECT_EQ(std::string(labelled.fVersion.CString()), "???");
    EXPECT_TRUE(labelled.fSubmenu.IsEmpty());

    // The nameless file, loaded after "labelled", is not taken as a second Labelled.
    bool reported = false;
    for (const ConsoleLine& line : console.lines) {
        if (line.text == "nameless.lua: ScriptName not found") {
            reported = true;
            EXPECT_EQ(line.color, 0xff0000ffu);
        }
    }
    EXPECT_TRUE(reported);
}

TEST_F(Loading, ToolInfoAndNonDragMouseMove)
{
    Write("tool/drag.lua", Table("Drag", "function Drag:NonDragMouseMove() return true end\n"));
    Write("tool/odd.lua",
        Table("Odd",
            "function Odd:NonDragMouseMove() return 1 end\n"
            "function Odd:UILabel() return 'Odd one' end\n"));
    Registry().LoadScripts();
    ASSERT_EQ(Registry().CountTools(), 2);
    EXPECT_TRUE(Tool(0).fNonDragMouseMove);
    EXPECT_FALSE(Tool(1).fNonDragMouseMove);
    EXPECT_EQ(std::string(Tool(1).fUILabel.CString()), "Odd one");
}

TEST_F(Loading, UtilityScriptsRunAtEveryLoadInOneState)
{
    Write("utility/counter.lua", "Loads = (Loads or 0) + 1\nprint(Loads)\n");
    Write("utility/later.lua", "print('later sees', Loads)\n");
    Write("utility/broken.lua", "error('utility fails')\n");
    Registry().LoadScripts();
    Registry().LoadScripts();
    // Lua shortens the file name of a long path in its messages; its end is what counts.
    std::vector<std::string> printed;
    for (const ConsoleLine& line : console.lines) {
        const std::string error = "broken.lua:1: utility fails";
        const bool failed = line.text.size() > error.size() && line.text.ends_with(error);
        printed.push_back(failed ? "error" : line.text);
    }
    EXPECT_EQ(
        printed, (std::vector<std::string> { "error", "1", "later sees\t1", "error", "2", "later sees\t2" }));
}

TEST_F(Loading, TwoFilesNamingOneTableMakeTwoObjects)
{
    Write("menu/a.lua", Table("Shared"));
    Write("menu/b.lua", "ScriptName = 'Shared'\n");
    Registry().LoadScripts();
    ASSERT_EQ(Registry().CountMenuScripts(), 2);
    EXPECT_EQ(std::string(Registry().MenuScriptAt(1)->fTableName.CString()), "Shared");
}

} // namespace
