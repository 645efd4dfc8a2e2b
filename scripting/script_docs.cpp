#include "script_docs.h"

#include <cstring>
#include <string>
#include <vector>

#include "qv_filestream.h"
#include "qv_path.h"
#include "qv_string.h"

namespace {

enum Block { kClassBlock, kFunctionBlock, kVariableBlock, kDeclarationBlock, kDefineBlock };

// The text between the first and the last single quote; empty unless they enclose something.
QV_String ExtractQuotedText(const QV_String& line)
{
    const int32_t first = line.FindChar('\'');
    const int32_t last = line.FindLastChar('\'');
    QV_String value;
    if (first < 0 || last <= first + 1)
        return value;
    for (int32_t i = first + 1; i < last; i++)
        value.Append(line.CString()[i]);
    return value;
}

// Types read as the script sees them: texts are strings.
QV_String ScriptType(const QV_String& type)
{
    std::string text(type.CString() ? type.CString() : "");
    static const std::string kText = "const char*";
    for (size_t at = text.find(kText); at != std::string::npos; at = text.find(kText, at + 6))
        text.replace(at, kText.size(), "string");
    return QV_String(text.c_str());
}

class DocWriter {
public:
    DocWriter(const char* structurePath, std::vector<QV_String>* pages)
        : fFolder(QV_Path(structurePath).Folder())
        , fPages(pages)
    {
    }
    ~DocWriter() { FinishPage(); }

    void Line(const QV_String& line);

private:
    void Write(const char* text)
    {
        if (fPageOpen)
            fPage.WriteBytes(text, int32_t(std::strlen(text)));
    }
    void Write(const QV_String& text) { Write(text.CString()); }
    void OpenPage();
    void FinishPage();
    void WriteFunction();
    void WriteVariable();
    void Field(const QV_String& word, const QV_String& value);

    QV_String fFolder;
    std::vector<QV_String>* fPages;
    QV_FileStream fPage;
    bool fPageOpen = false;
    Block fBlock = kClassBlock;
    int32_t fFunctions = 0;
    int32_t fVariables = 0;
    QV_String fClassName, fBaseName;
    QV_String fFunctionName, fFunctionType;
    QV_String fVariableName, fVariableType;
    QV_String fArgumentName, fArgumentType;
};

void DocWriter::Line(const QV_String& line)
{
    if (line == "Class{") {
        FinishPage();
        fBlock = kClassBlock;
        fFunctions = fVariables = 0;
        fClassName = "";
    } else if (line == "Function{") {
        if (fFunctions == 0)
            Write("\n<h2>Member Functions</h2>\n");
        fFunctions++;
        fBlock = kFunctionBlock;
        fFunctionName = "";
        fFunctionType = "void";
    } else if (line == "Variable{") {
        if (fVariables == 0)
            Write("\n<h2>Member Variables</h2>\n");
        fVariables++;
        fBlock = kVariableBlock;
        fVariableName = "";
        fVariableType = "void";
    } else if (line == "Declaration{") {
        fBlock = kDeclarationBlock;
        fArgumentName = "";
        fArgumentType = "void";
    } else if (line == "Define{") {
        fBlock = kDefineBlock;
    } else {
        const int32_t space = line.FindChar(' ');
        if (space <= 0)
            return;
        QV_String word;
        for (int32_t i = 0; i < space; i++)
            word.Append(line.CString()[i]);
        Field(word, ExtractQuotedText(line));
    }
}

void DocWriter::Field(const QV_String& word, const QV_String& value)
{
    if (word == "btype") {
        if (fBlock != kClassBlock)
            return;
        fBaseName = value;
        if (!fPageOpen && !fClassName.IsEmpty())
            OpenPage();
        return;
    }
    if (value.IsEmpty())
        return;
    if (word == "type") {
        if (fBlock == kFunctionBlock)
            fFunctionType = ScriptType(value);
        else if (fBlock == kVariableBlock)
            fVariableType = ScriptType(value);
        else if (fBlock == kDeclarationBlock)
            fArgumentType = ScriptType(value);
    } else if (word == "name") {
        if (fBlock == kVariableBlock) {
            fVariableName = value;
            WriteVariable();
        } else if (fBlock == kDeclarationBlock) {
            fArgumentName = value;
            Write(QV_String("<span class=argument>") + fArgumentName + " (" + fArgumentType
                + "): ***argument description</span>\n");
        }
    } else if (word == "lname") {
        if (fBlock == kClassBlock) {
            fClassName = value;
        } else if (fBlock == kFunctionBlock && fFunctionName.IsEmpty()) {
            fFunctionName = value;
            if (value != "new" && value != "delete")
                WriteFunction();
        }
    }
}

void DocWriter::WriteVariable()
{
    Write(QV_String("\n\n\n\n\n<hr>\n<span class=variable>") + fVariableName + " (" + fVariableType + ")</span>\n\n"
        + "<p class=indented>\n***variable description\n</p>\n");
}

void DocWriter::WriteFunction()
{
    Write(QV_String("\n\n\n\n\n<hr>\n<span class=function>") + fFunctionType + " " + fFunctionName + "()</span>\n\n"
        + "<p class=indented>\n***function description\n</p>\n\n");
    if (fFunctionType == "void")
        Write("<span class=argument>Return value: none</span>\n");
    else
        Write(QV_String("<span class=argument>Return value (") + fFunctionType + "): ***description</span>\n");
}

void DocWriter::OpenPage()
{
    QV_String name = fClassName;
    name.Append(".html");
    name.ToLower();
    QV_Path path(fFolder);
    path.Append(name);
    // A page that cannot be made drops its writes; the next class still gets its own.
    if (fPage.Open(path.CString(), false) != 0)
        return;
    fPageOpen = true;
    if (fPages)
        fPages->push_back(path);
    Write("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\n<html>\n\n<head>\n");
    Write("\t<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n");
    Write("\t<title>Vorn Scripting</title>\n");
    Write("\t<link rel=stylesheet type=\"text/css\" href=\"../scripting.css\">\n");
    Write("</head>\n\n<body>\n\n<div id=masthead>\n");
    Write(QV_String("<h1>Class: ") + fClassName + "</h1>\n");
    if (!fBaseName.IsEmpty()) {
        QV_String base = fBaseName;
        base.ToLower();
        Write(QV_String("<span class=subtitle>Parent class: <a href=\"") + base + ".html\">" + fBaseName + "</a></span>\n");
    }
    Write(QV_String("</div>\n\n<p class=indented>\nThe ") + fClassName + " class...***\n</p>\n\n");
}

void DocWriter::FinishPage()
{
    if (!fPageOpen)
        return;
    Write("\n</body>\n\n</html>\n");
    fPage.Commit();
    fPageOpen = false;
}

} // namespace

void GenerateScriptDocs(const char* structurePath, std::vector<QV_String>* pages)
{
    if (!structurePath)
        return;
    QV_FileStream in;
    if (in.Open(structurePath, true) != 0)
        return;
    DocWriter writer(structurePath, pages);
    char buffer[1024];
    while (in.ReadLine(int32_t(sizeof(buffer)), buffer)) {
        QV_String line(buffer);
        line.TrimLeft();
        line.TrimRight();
        writer.Line(line);
    }
}
