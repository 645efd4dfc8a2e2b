#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "harness_run.h"

namespace {

std::string RunHarness(const std::string& arguments)
{
    return RunScriptHarness(arguments).output;
}

void Write(const std::filesystem::path& path, const std::string& text)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

TEST(ScriptHarnessApp, ListsReloadsAndKeepsSettings)
{
    const std::filesystem::path app = std::filesystem::path(::testing::TempDir()) / "harness_app";
    std::filesystem::remove_all(app);
    const std::filesystem::path scripts = app / "scripts";
    Write(scripts / "utility" / "count.lua", "Loads = (Loads or 0) + 1 print('loads', Loads)\n");
    Write(scripts / "menu" / "Extras" / "tidy.lua",
        "Tidy = {} ScriptName = 'Tidy'\n"
        "function Tidy:UILabel() return 'Tidy up' end\n"
        "function Tidy:Name() return 'Tidy' end function Tidy:Version() return 2 end\n"
        "function Tidy:Creator() return 'me' end function Tidy:Description() return 'Tidies' end\n");
    Write(scripts / "tool" / "pen.lua",
        "Pen = {} ScriptName = 'Pen'\n"
        "function Pen:NonDragMouseMove() return true end\n"
        "function Pen:LoadPrefs(p) print('width', p:GetFloat('PenWidth', 1)) end\n"
        "function Pen:SavePrefs(p) p:SetFloat('PenWidth', 2.5) end\n");
    Write(scripts / "tool" / "_tool_list.txt", "group Draw tool pen P spacer");
    const std::filesystem::path settings = app / "settings.txt";

    const std::string args = "--app " + app.string() + " --settings " + settings.string();
    EXPECT_EQ(RunHarness(args + " --list --reload --list"),
        "loads\t1\n"
        "width\t1\n"
        "menu\t0\tExtras\tTidy up\tTidy\ttidy.lua\tTidy\t2\tme\tTidies\n"
        "tool\t0\ttool\tDraw\t158,156,176,255\tp\t<No Label>\tPen\tpen.lua\t0\t0\t1\t???\t???\t???\t???\n"
        "tool\t1\tspacer\tDraw\t158,156,176,255\t\t<No Label>\t\t\t0\t0\t0\t???\t???\t???\t???\n"
        "loads\t2\n"
        "width\t2.5\n"
        "menu\t0\tExtras\tTidy up\tTidy\ttidy.lua\tTidy\t2\tme\tTidies\n"
        "tool\t0\ttool\tDraw\t158,156,176,255\tp\t<No Label>\tPen\tpen.lua\t0\t0\t1\t???\t???\t???\t???\n"
        "tool\t1\tspacer\tDraw\t158,156,176,255\t\t<No Label>\t\t\t0\t0\t0\t???\t???\t???\t???\n");
    std::ifstream stored(settings);
    std::stringstream text;
    text << stored.rdbuf();
    EXPECT_NE(text.str().find("PenWidth"), std::string::npos) << text.str();
    EXPECT_EQ(RunHarness(args), "loads\t1\nwidth\t2.5\n");
    std::filesystem::remove_all(app);
}

} // namespace
