#include <string>

#include "registry_test_support.h"
#include "script_prefs.h"

namespace {

// The preferences as scripts use them: a tool saves in SavePrefs and reads in LoadPrefs.
using Prefs = RegistryTest;

std::string Stored(const QV_Message& settings, const char* name)
{
    const char* text = nullptr;
    return settings.FindString(name, &text) ? text : "<absent>";
}

TEST_F(Prefs, TextFormsOfTheValues)
{
    Write("tool/p.lua",
        Table("P",
            "function P:SavePrefs(p)\n"
            "  p:SetFloat('F1', 0.1) p:SetFloat('F2', 1e-7) p:SetInt('I', 3.9) p:SetBool('B', true)\n"
            "  p:SetString('S', 'a\"b\"c') p:SetString('N', nil) p:SetBool('NB', nil)\n"
            "end\n"
            "function P:LoadPrefs(p)\n"
            "  print(p:GetFloat('F1', 9), p:GetFloat('F2', 9), p:GetInt('I', 9), p:GetInt('Text', 9), "
            "p:GetInt('Mixed', 9))\n"
            "  print(tostring(p:GetBool('True', false)), tostring(p:GetBool('One', false)), "
            "tostring(p:GetBool('Yes', true)), tostring(p:GetBool('Missing', true)))\n"
            "  print(p:GetString('S', 'x'), tostring(p:GetString('Missing', nil) == nil), p:GetFloat('Text', "
            "2.5))\n"
            "end\n"));
    settings.AddString("True", "True");
    settings.AddString("One", "1");
    settings.AddString("Yes", "yes");
    settings.AddString("Text", "abc");
    settings.AddString("Mixed", "3.9 apples");
    Registry().LoadScripts();
    Registry().UnloadScripts();
    EXPECT_EQ(Stored(settings, "F1"), "0.100000");
    EXPECT_EQ(Stored(settings, "F2"), "0.000000");
    EXPECT_EQ(Stored(settings, "I"), "3");
    EXPECT_EQ(Stored(settings, "B"), "TRUE");
    EXPECT_EQ(Stored(settings, "S"), "abc");
    EXPECT_EQ(Stored(settings, "N"), "");
    EXPECT_EQ(Stored(settings, "NB"), "FALSE");

    console.lines.clear();
    Registry().LoadScripts();
    std::vector<std::string> printed;
    for (const ConsoleLine& line : console.lines)
        printed.push_back(line.text);
    EXPECT_EQ(printed,
        (std::vector<std::string> {
            "0.10000000149012\t0\t3\t9\t3", "true\ttrue\tfalse\ttrue", "abc\ttrue\t2.5" }));
}

TEST(ScriptPrefsValues, BooleansReadAsTheSettingsRecordReadsThem)
{
    QV_Message settings;
    ScriptPrefs prefs(&settings);
    settings.AddString("a", "True");
    settings.AddString("b", "1");
    settings.AddString("c", "yes");
    EXPECT_TRUE(prefs.GetBool("a", false));
    EXPECT_TRUE(prefs.GetBool("b", false));
    EXPECT_FALSE(prefs.GetBool("c", true));
    EXPECT_TRUE(prefs.GetBool("missing", true));
    EXPECT_EQ(prefs.GetString("missing", nullptr), nullptr);
    EXPECT_EQ(prefs.GetInt(nullptr, 7), 7);
    prefs.SetInt(nullptr, 3);
    EXPECT_EQ(settings.Count(), 3);
}

// What a script stores comes back after the settings file is written and read at the next
// start, long values included; names the file cannot carry are refused with a console line.
TEST_F(Prefs, ValuesSurviveARestart)
{
    const std::string longValue(300, 'v');
    Write("tool/p.lua",
        Table("P",
            "function P:SavePrefs(p)\n"
            "  p:SetString('PLong', string.rep('v', 300)) p:SetInt('PAfter', 12)\n"
            "  p:SetInt('what', 5) p:SetString('a\"b', 'x')\n"
            "end\n"
            "function P:LoadPrefs(p) print(#p:GetString('PLong', ''), p:GetInt('PAfter', 0)) end\n"));
    const std::string file = (app / "user_settings.txt").string();
    {
        Registry().LoadScripts();
        registry.reset();
        ASSERT_TRUE(settings.WriteFile(file.c_str()));
    }
    int refused = 0;
    for (const ConsoleLine& line : console.lines)
        refused += line.text.find("cannot be kept in the settings file") != std::string::npos;
    EXPECT_EQ(refused, 2);
    EXPECT_EQ(Stored(settings, "what"), "<absent>");

    QV_Message reread;
    reread.ReadFile(file.c_str());
    EXPECT_EQ(Stored(reread, "PLong"), longValue);
    EXPECT_EQ(Stored(reread, "PAfter"), "12");
    console.lines.clear();
    ScriptRegistry second(&reread, OpenVornModule);
    second.fScriptsFolder = (app / "scripts").string().c_str();
    second.LoadScripts();
    ASSERT_FALSE(console.lines.empty());
    EXPECT_EQ(console.lines.back().text, "300\t12");
}

} // namespace
