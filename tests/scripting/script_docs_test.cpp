// The scripting documentation generator: golden pages for a small structure file, and a page
// for every class of the build's own structure file, listed by the script_docs utility.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "script_docs.h"

namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Pages are text files of the original platform: every line ends in CR LF.
std::string Crlf(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

std::string Head(const std::string& name, const std::string& parentLine)
{
    return "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\n<html>\n\n<head>\n"
           "\t<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n"
           "\t<title>Vorn Scripting</title>\n"
           "\t<link rel=stylesheet type=\"text/css\" href=\"../scripting.css\">\n"
           "</head>\n\n<body>\n\n<div id=masthead>\n<h1>Class: "
        + name + "</h1>\n" + parentLine + "</div>\n\n<p class=indented>\nThe " + name + " class...***\n</p>\n\n";
}

const char* const kTail = "\n</body>\n\n</html>\n";

class ScriptDocs : public ::testing::Test {
protected:
    ScriptDocs()
        : folder(fs::path(::testing::TempDir())
            / ("script_docs_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name())))
    {
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    ~ScriptDocs() override { fs::remove_all(folder); }

    void Generate(const std::string& structure)
    {
        std::ofstream(folder / "structure.txt", std::ios::binary) << structure;
        GenerateScriptDocs((folder / "structure.txt").c_str());
    }

    fs::path folder;
};

// Two classes as the binding generator prints them: a parent link, the section heading once
// per class, no entry for new but its argument lines, texts shown as strings, a second
// "lname" line of a function and a "type" line without a blank changing nothing.
const char* const kStructure = R"(Package: t
Module{
 name = 'QV';
 Class{
  name = 'Vector2',
  lname = 'Vector2',
  type = 'Vector2',
  btype = 'Base',
  Function{
   type = 'Vector2',
   ptr  = '*',
   name = 'new',
   lname = 'new',
   args = {
    Declaration{
     type = 'float',
     name = 'x',
    },
   }
  },
  Function{
   type = 'float',
   name = 'Length',
   lname = 'Length',
   lname = 'Other',
   args = {
    Declaration{
     type = 'const char*',
     type='int',
     name = 'label',
    },
   }
  },
  Function{
   type = 'void',
   lname = 'Clear',
  },
  Variable{
   type = 'const char*',
   name = 'tag',
  },
 },
 Class{
  name = 'Base',
  lname = 'Base',
  btype = '',
  Function{
   type = 'int',
   lname = 'Count',
  },
 },
 Define{
  name = 'FOO',
 },
}
)";

TEST_F(ScriptDocs, PagesMatchTheirGoldenText)
{
    Generate(kStructure);
    const std::string vector2 = Head("Vector2",
                                    "<span class=subtitle>Parent class: <a href=\"base.html\">Base</a></span>\n")
        + "\n<h2>Member Functions</h2>\n"
          "<span class=argument>x (float): ***argument description</span>\n"
          "\n\n\n\n\n<hr>\n<span class=function>float Length()</span>\n\n"
          "<p class=indented>\n***function description\n</p>\n\n"
          "<span class=argument>Return value (float): ***description</span>\n"
          "<span class=argument>label (string): ***argument description</span>\n"
          "\n\n\n\n\n<hr>\n<span class=function>void Clear()</span>\n\n"
          "<p class=indented>\n***function description\n</p>\n\n"
          "<span class=argument>Return value: none</span>\n"
          "\n<h2>Member Variables</h2>\n"
          "\n\n\n\n\n<hr>\n<span class=variable>tag (string)</span>\n\n"
          "<p class=indented>\n***variable description\n</p>\n"
        + kTail;
    EXPECT_EQ(Read(folder / "vector2.html"), Crlf(vector2));
    const std::string base = Head("Base", "") + "\n<h2>Member Functions</h2>\n"
                                                "\n\n\n\n\n<hr>\n<span class=function>int Count()</span>\n\n"
                                                "<p class=indented>\n***function description\n</p>\n\n"
                                                "<span class=argument>Return value (int): ***description</span>\n"
        + kTail;
    EXPECT_EQ(Read(folder / "base.html"), Crlf(base));
}

// A class whose btype comes before its lname, or that has none, gets no page and its entries
// go nowhere; an unreadable structure file writes nothing.
TEST_F(ScriptDocs, ClassesWithoutAPageWriteNothing)
{
    Generate("Class{\nbtype = 'Base',\nlname = 'Early',\nFunction{\nlname = 'Run',\n},\n}\n"
             "Class{\nlname = 'NoBase',\nVariable{\nname = 'x',\n},\n}\n");
    GenerateScriptDocs((folder / "missing.txt").c_str());
    GenerateScriptDocs(nullptr);
    std::set<std::string> files;
    for (const auto& entry : fs::directory_iterator(folder))
        files.insert(entry.path().filename().string());
    EXPECT_EQ(files, std::set<std::string> { "structure.txt" });
}

// The utility lists a page for every class of the build's own structure file of QV, QV.GUI
// and VORN, and each page names its class.
TEST_F(ScriptDocs, TheBuildsStructureFileGivesAPagePerClass)
{
    const std::string structure = Read(SCRIPT_STRUCTURE);
    ASSERT_FALSE(structure.empty());
    std::ofstream(folder / "structure.txt", std::ios::binary) << structure;
    // A class's lname follows its "Class{" line within the class's first three fields.
    std::set<std::string> classes;
    std::vector<std::string> lines;
    std::istringstream in(structure);
    for (std::string line; std::getline(in, line);) {
        line.erase(0, line.find_first_not_of(" \t"));
        lines.push_back(line);
    }
    for (size_t i = 0; i < lines.size(); i++) {
        if (lines[i] != "Class{")
            continue;
        for (size_t j = i + 1; j < lines.size() && j <= i + 3; j++) {
            if (lines[j].rfind("lname = '", 0) == 0) {
                classes.insert(lines[j].substr(9, lines[j].find('\'', 9) - 9));
                break;
            }
        }
    }
    for (const char* name : { "VornLayer", "ImageLayer", "M_Skeleton", "M_Mesh3D", "AudioLayer", "Vector2" })
        EXPECT_TRUE(classes.count(name)) << name;

    const std::string command = std::string(SCRIPT_DOCS) + " " + (folder / "structure.txt").string();
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> listed;
    char line[1024];
    while (std::fgets(line, sizeof line, pipe)) {
        std::string path(line);
        if (!path.empty() && path.back() == '\n')
            path.pop_back();
        listed.insert(path);
    }
    ASSERT_EQ(pclose(pipe), 0);
    for (const std::string& name : classes) {
        std::string file = name + ".html";
        for (char& c : file)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        const fs::path page = folder / file;
        EXPECT_TRUE(listed.count(page.string())) << page;
        EXPECT_NE(Read(page).find("<h1>Class: " + name + "</h1>"), std::string::npos) << page;
    }
}

} // namespace
