// The installation's scripts folder as script_harness loads it: every script loads without a
// console line, every tool of the tool list is there in its group with its icon, cursor, table
// name and label, and a reload gives the same list back with each tool's preferences.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "harness_run.h"

namespace {

namespace fs = std::filesystem;

const fs::path kData = CELVANE_DATA_FOLDER;

Result RunHarness(const std::string& arguments)
{
    return RunScriptHarness("--app " + kData.string() + " " + arguments);
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator))
        parts.push_back(part);
    return parts;
}

// "select_points" -> "QV_SelectPoints".
std::string TableName(const std::string& file)
{
    std::string name = "QV_";
    bool upper = true;
    for (char c : file) {
        if (c == '_') {
            upper = true;
        } else {
            name += upper ? char(std::toupper(static_cast<unsigned char>(c))) : c;
            upper = false;
        }
    }
    return name;
}

TEST(InstalledScripts, EveryScriptLoadsSilentlyAndEveryListedToolIsInItsGroup)
{
    const Result result = RunHarness("--list");
    ASSERT_EQ(result.status, 0) << result.output;
    // tool file name -> the list's fields for it
    std::map<std::string, std::vector<std::string>> tools;
    std::vector<std::string> menus;
    for (const std::string& line : Split(result.output, '\n')) {
        const std::vector<std::string> f = Split(line, '\t');
        if (!f.empty() && f[0] == "menu" && f.size() > 5) {
            menus.push_back(f[5]);
        } else if (!f.empty() && f[0] == "tool" && f.size() > 15) {
            EXPECT_NE(f[3], "Other") << f[8] << " is not in the tool list";
            if (f[2] == "tool")
                tools[f[8]] = f;
        } else {
            ADD_FAILURE() << "a console line while loading: " << line;
        }
    }

    // Every menu script of the menu folder and its sub-folders is in the menu list.
    for (const auto& entry : fs::recursive_directory_iterator(kData / "scripts" / "menu")) {
        if (entry.path().extension() == ".lua") {
            EXPECT_NE(std::find(menus.begin(), menus.end(), entry.path().filename().string()), menus.end())
                << entry.path();
        }
    }

    std::ifstream list(kData / "scripts" / "tool" / "_tool_list.txt");
    std::vector<std::string> missing;
    std::map<std::string, std::string> keys;
    for (std::string line; std::getline(list, line);) {
        std::istringstream words(line);
        std::string word, name, key;
        words >> word >> name >> key;
        if (word != "tool")
            continue;
        SCOPED_TRACE(name);
        EXPECT_TRUE(keys.emplace(key, name).second) << "the key " << key << " is also " << keys[key] << "'s";
        const auto found = tools.find(name + ".lua");
        if (!fs::exists(kData / "scripts" / "tool" / (name + ".lua"))) {
            missing.push_back(name);
            continue;
        }
        ASSERT_NE(found, tools.end());
        const std::vector<std::string>& f = found->second;
        EXPECT_EQ(f[5], key);
        EXPECT_EQ(f[7], TableName(name));
        std::string upper = key;
        upper[0] = char(std::toupper(static_cast<unsigned char>(upper[0])));
        EXPECT_NE(f[6].find("(" + upper + ")"), std::string::npos) << "the label " << f[6] << " names no key";
        EXPECT_EQ(f[9], "1") << "no icon";
        EXPECT_EQ(f[10], "1") << "no cursor";
        EXPECT_EQ(f[13], "1.0");
        EXPECT_EQ(f[14], "Celvane");
        EXPECT_NE(f[15], "???") << "no description";
    }
    // The tool scripts are written in two halves; a branch that holds only one of them (the
    // other's shared utility absent) cannot hold the other half's tools.
    std::string names;
    for (const std::string& name : missing)
        names += " " + name;
    if (!missing.empty() && !fs::exists(kData / "scripts" / "utility" / "cel_util.lua"))
        GTEST_SKIP() << "the tools of the other half are not here:" << names;
    EXPECT_TRUE(missing.empty()) << "listed tools without a script:" << names;
}

// Every tool's preferences go through a recording prefs object: each value is changed, handed
// back to LoadPrefs, and what SavePrefs then writes must come back after a reload.
const char* const kSnapshot = R"(
local function Recorder()
    local r = { values = {} }
    local function set(kind) return function(self, name, value) self.values[#self.values + 1] = { name, kind, value } end end
    r.SetBool, r.SetInt, r.SetFloat, r.SetString = set("b"), set("i"), set("f"), set("s")
    return r
end
local function Snapshot(name, tool)
    local r = Recorder()
    tool:SavePrefs(r)
    local parts = {}
    for _, v in ipairs(r.values) do parts[#parts + 1] = v[1] .. "=" .. tostring(v[3]) end
    return name .. ":" .. table.concat(parts, ","), r.values
end
local names = {}
for name, tool in pairs(_G) do
    if type(tool) == "table" and name:sub(1, 3) == "QV_" and type(tool.SavePrefs) == "function" then
        names[#names + 1] = name
    end
end
table.sort(names)
for _, name in ipairs(names) do
    local tool = _G[name]
    local text, values = Snapshot(name, tool)
    if CHANGE then
        local changed = {}
        for _, v in ipairs(values) do
            local x = v[3]
            if v[2] == "b" then x = not x elseif v[2] == "i" then x = x + 1 elseif v[2] == "f" then x = x + 0.5 else x = x .. "x" end
            changed[v[1]] = x
        end
        local reader = {}
        local function get(self, key, default) if changed[key] ~= nil then return changed[key] end return default end
        reader.GetBool, reader.GetInt, reader.GetFloat, reader.GetString = get, get, get, get
        tool:LoadPrefs(reader)
        print("was " .. text)
        text = Snapshot(name, tool)
    end
    print("prefs " .. text)
end
)";

TEST(InstalledScripts, AReloadGivesTheSameListAndKeepsEachToolsPreferences)
{
    const fs::path folder = fs::path(::testing::TempDir()) / "installed_scripts_reload";
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::ofstream(folder / "change.lua") << "CHANGE = true\n" << kSnapshot;
    std::ofstream(folder / "look.lua") << "CHANGE = false\n" << kSnapshot;
    const fs::path settings = folder / "settings.txt";
    const Result result = RunHarness("--settings " + settings.string() + " --list " + (folder / "change.lua").string()
        + " --reload --list " + (folder / "look.lua").string());
    ASSERT_EQ(result.status, 0) << result.output;
    std::vector<std::string> lists[2], was, changed, after;
    int block = 0;
    bool seenPrefs = false;
    for (const std::string& line : Split(result.output, '\n')) {
        if (line.rfind("menu\t", 0) == 0 || line.rfind("tool\t", 0) == 0) {
            block = seenPrefs ? 1 : 0;
            lists[block].push_back(line);
        } else if (line.rfind("was ", 0) == 0) {
            was.push_back(line.substr(4));
        } else if (line.rfind("prefs ", 0) == 0) {
            seenPrefs = true;
            (block == 0 ? changed : after).push_back(line.substr(6));
        } else {
            ADD_FAILURE() << "a console line: " << line;
        }
    }
    ASSERT_FALSE(lists[0].empty());
    EXPECT_EQ(lists[0], lists[1]);
    ASSERT_FALSE(changed.empty()) << "no tool keeps preferences";
    EXPECT_EQ(changed, after);
    EXPECT_NE(changed, was);

    // At the end of the run the preferences went to the settings file: a new run reads them.
    const Result again = RunHarness("--settings " + settings.string() + " " + (folder / "look.lua").string());
    std::vector<std::string> read;
    for (const std::string& line : Split(again.output, '\n')) {
        if (line.rfind("prefs ", 0) == 0)
            read.push_back(line.substr(6));
    }
    EXPECT_EQ(read, changed);
    fs::remove_all(folder);
}

} // namespace
