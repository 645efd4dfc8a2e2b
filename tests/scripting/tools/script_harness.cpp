// script_harness [--colors] [--windows] [--app FOLDER] [--settings FILE] [--reload | --list | FILE.lua
//                 | DOCUMENT STEP]...
// Makes the script registry (QV, QV.GUI and VORN open) and, given an application folder
// (--app, else $CELVANE_APP_FOLDER), loads the scripts of its "scripts" folder. Then runs the
// steps in the order given: a Lua file, --reload (load the scripts again) or --list (a TAB
// separated line per menu script, then per tool-list entry). Every console line goes to
// standard output. With --settings, the user settings are read from FILE when it exists and
// written back once the registry is gone. With --windows the video layer and the interface
// fonts are started, so that script dialogs and alerts open real windows. The document steps
// (harness_document.h: --doc IN, --frame N, --layer NAME, --select I,J,... | none, --grid N,
// --menu LABEL, --tool NAME, --drag X,Y X,Y... [--shift] [--ctrl] [--alt], --key K [modifiers],
// --save OUT) work on one document, new until --doc. Exit status: 0 when every file ran,
// 2 when one failed (the others still run), 1 on bad usage or when a document step cannot run
// (the later steps do not).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "harness_document.h"
#include "image_format_registry.h"
#include "interface_fonts.h"
#include "plat_video.h"
#include "qv_lua_console.h"
#include "qv_message.h"
#include "script.h"
#include "script_registry.h"
#include "shape_style_factory.h"
#include "vorn_module.h"

namespace {

class StdoutSink : public QV_ConsoleLineSink {
public:
    explicit StdoutSink(bool colors)
        : fColors(colors)
    {
    }

    void ConsoleLine(const char* text, rgb_color color) override
    {
        if (fColors)
            std::printf("%02X%02X%02X%02X ", color.r, color.g, color.b, color.a);
        std::fputs(text, stdout);
        std::fputc('\n', stdout);
        // A modal loop may run for long; whoever reads the output sees each line at once.
        std::fflush(stdout);
    }

private:
    bool fColors;
};

int Usage(const char* problem)
{
    std::fprintf(stderr,
        "script_harness: %s\nusage: script_harness [--colors] [--windows] [--app FOLDER] [--settings FILE] "
        "[--reload | --list | FILE.lua]...\n",
        problem);
    return 1;
}

std::string FileName(const QV_Path& path)
{
    const char* text = path.CString();
    const char* slash = std::strrchr(text, '/');
    return slash ? slash + 1 : text;
}

void PrintInfo(const Script& script)
{
    std::printf("%s\t%s\t%s\t%s\n", script.fName.CString(), script.fVersion.CString(),
        script.fCreator.CString(), script.fDescription.CString());
}

void List(const ScriptRegistry& registry)
{
    for (int32_t i = 0; i < registry.CountMenuScripts(); i++) {
        const MenuScript& script = *registry.MenuScriptAt(i);
        std::printf("menu\t%d\t%s\t%s\t%s\t%s\t", i, script.fSubmenu.CString(), script.fUILabel.CString(),
            script.fTableName.CString(), FileName(script.fPath).c_str());
        PrintInfo(script);
    }
    for (int32_t i = 0; i < registry.CountTools(); i++) {
        const ToolScript& tool = *registry.ToolAt(i);
        const char* kind = tool.fSpacer ? "spacer" : (tool.fButton ? "button" : "tool");
        std::string key;
        if (tool.fKey > 0 && tool.fKey < 256)
            key = char(tool.fKey);
        std::printf("tool\t%d\t%s\t%s\t%d,%d,%d,%d\t%s\t%s\t%s\t%s\t%d\t%d\t%d\t", i, kind,
            tool.fGroup.CString(), tool.fColor.r, tool.fColor.g, tool.fColor.b, tool.fColor.a, key.c_str(),
            tool.fUILabel.CString(), tool.fTableName.CString(), FileName(tool.fPath).c_str(),
            tool.fIcon.Width() > 0 ? 1 : 0, tool.fCursorImage.Width() > 0 ? 1 : 0,
            tool.fNonDragMouseMove ? 1 : 0);
        PrintInfo(tool);
    }
}

} // namespace

int main(int argc, char** argv)
{
    bool colors = false;
    bool windows = false;
    std::string app;
    if (const char* folder = std::getenv("CELVANE_APP_FOLDER"))
        app = folder;
    std::string settingsFile;
    struct Step {
        std::string option;
        std::vector<std::string> arguments;
    };
    std::vector<Step> steps;
    for (int i = 1; i < argc; i++) {
        if (std::strcmp(argv[i], "--colors") == 0) {
            colors = true;
        } else if (std::strcmp(argv[i], "--windows") == 0) {
            windows = true;
        } else if (std::strcmp(argv[i], "--app") == 0 || std::strcmp(argv[i], "--settings") == 0) {
            if (i + 1 >= argc)
                return Usage("an option lacks its value");
            (argv[i][2] == 'a' ? app : settingsFile) = argv[i + 1];
            i++;
        } else if (std::strcmp(argv[i], "--reload") == 0 || std::strcmp(argv[i], "--list") == 0) {
            steps.push_back({ argv[i], {} });
        } else if (HarnessDocument::IsStep(argv[i])) {
            Step step { argv[i], {} };
            const bool modifiers = HarnessDocument::TakesModifiers(step.option);
            while (i + 1 < argc
                && (std::strncmp(argv[i + 1], "--", 2) != 0
                    || (modifiers
                        && (!std::strcmp(argv[i + 1], "--shift") || !std::strcmp(argv[i + 1], "--ctrl")
                            || !std::strcmp(argv[i + 1], "--alt")))))
                step.arguments.push_back(argv[++i]);
            steps.push_back(step);
        } else if (std::strncmp(argv[i], "--", 2) == 0) {
            return Usage("unknown option");
        } else {
            steps.push_back({ argv[i], {} });
        }
    }
    if (steps.empty() && app.empty())
        return Usage("no script file given");

    QV_Message settings;
    if (!settingsFile.empty())
        settings.ReadFile(settingsFile.c_str());

    ImageFormatRegistry::Init();
    // Scripts restyle shapes: effects are made by type.
    RegisterShapeStyles();
    if (windows && !PlatVideoStart()) {
        std::fprintf(stderr, "script_harness: %s\n", PlatVideoError().c_str());
        return 1;
    }
    if (windows)
        CreateInterfaceFonts();
    StdoutSink sink(colors);
    QV_LuaConsole::AddSink(&sink);
    int status = 0;
    {
        ScriptRegistry registry(&settings, OpenVornModule);
        if (!app.empty()) {
            registry.fScriptsFolder = app.c_str();
            registry.fScriptsFolder.Append("scripts");
            registry.LoadScripts();
        }
        std::unique_ptr<HarnessDocument> document;
        for (const Step& step : steps) {
            QV_LuaConsole::FlushPending();
            std::fflush(stdout);
            if (step.option == "--reload") {
                registry.LoadScripts();
            } else if (step.option == "--list") {
                List(registry);
            } else if (HarnessDocument::IsStep(step.option)) {
                if (!document)
                    document = std::make_unique<HarnessDocument>(&registry);
                if (!document->Run(step.option, step.arguments)) {
                    status = 1;
                    break;
                }
            } else if (registry.DoFile(step.option.c_str()) != kScriptOK) {
                status = 2;
            }
        }
        QV_LuaConsole::FlushPending();
    }
    QV_LuaConsole::RemoveSink(&sink);
    if (windows) {
        DeleteInterfaceFonts();
        PlatVideoStop();
    }
    ImageFormatRegistry::Free();
    std::fflush(stdout);
    if (!settingsFile.empty() && !settings.WriteFile(settingsFile.c_str()))
        std::fprintf(stderr, "script_harness: cannot write %s\n", settingsFile.c_str());
    return status;
}
