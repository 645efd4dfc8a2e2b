#include "harness_document.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "grouplayer.h"
#include "headless_view.h"
#include "m_mesh.h"
#include "m_point.h"
#include "meshlayer.h"
#include "qv_keys.h"
#include "qv_layout_view.h"
#include "read_document.h"
#include "script.h"
#include "script_events.h"
#include "script_grid.h"
#include "script_interface.h"
#include "script_registry.h"
#include "vorndoc.h"
#include "vornlayer.h"

namespace {

// The first id of the tools' option messages.
constexpr int32_t kScriptMessageBase = -10000;

bool Fail(const char* format, const std::string& what)
{
    std::fprintf(stderr, "script_harness: ");
    std::fprintf(stderr, format, what.c_str());
    std::fputc('\n', stderr);
    return false;
}

bool ReadInt(const std::string& text, long& out)
{
    char* end = nullptr;
    out = std::strtol(text.c_str(), &end, 10);
    return !text.empty() && *end == 0;
}

class HarnessGrid : public ScriptGridSource {
public:
    bool GridShown() override { return fSpacing > 0; }
    bool GridSnapping() override { return fSpacing > 0; }
    int32_t GridSpacing() override { return fSpacing > 0 ? fSpacing : 20; }

    int32_t fSpacing = 0;
};

HarnessGrid gGrid;

VornLayer* FindLayer(VornLayer* layer, const char* name)
{
    if (std::strcmp(layer->Name().CString(), name) == 0)
        return layer;
    if (!layer->IsGroupType())
        return nullptr;
    auto* group = static_cast<GroupLayer*>(layer);
    for (int32_t i = 0; i < group->CountLayers(); i++) {
        if (VornLayer* found = FindLayer(group->Layer(i), name))
            return found;
    }
    return nullptr;
}

struct Modifiers {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

// Takes the modifier words out of the arguments.
Modifiers TakeModifiers(std::vector<std::string>& arguments)
{
    Modifiers modifiers;
    std::vector<std::string> rest;
    for (const std::string& word : arguments) {
        if (word == "--shift")
            modifiers.shift = true;
        else if (word == "--ctrl")
            modifiers.ctrl = true;
        else if (word == "--alt")
            modifiers.alt = true;
        else
            rest.push_back(word);
    }
    arguments = rest;
    return modifiers;
}

int32_t KeyCode(const std::string& name)
{
    static const struct {
        const char* name;
        int32_t code;
    } kNames[] = { { "return", KEY_RETURN }, { "escape", KEY_ESCAPE }, { "tab", KEY_TAB },
        { "backspace", KEY_BACKSPACE }, { "delete", KEY_DELETE }, { "home", KEY_HOME }, { "end", KEY_END },
        { "pageup", KEY_PAGEUP }, { "pagedown", KEY_PAGEDOWN }, { "left", KEY_LEFT }, { "up", KEY_UP },
        { "right", KEY_RIGHT }, { "down", KEY_DOWN } };
    if (name.size() == 1)
        return uint8_t(name[0]);
    for (const auto& entry : kNames) {
        if (name == entry.name)
            return entry.code;
    }
    long number = 0;
    if (name.size() >= 2 && name[0] == 'f' && ReadInt(name.substr(1), number) && number >= 1 && number <= 12)
        return KEY_F1 - int32_t(number - 1);
    return 0;
}

} // namespace

HarnessDocument::HarnessDocument(ScriptRegistry* registry)
    : fRegistry(registry)
    , fDoc(std::make_unique<VornDoc>())
    , fView(std::make_unique<HeadlessView>(fDoc.get()))
{
    SetScriptGridSource(&gGrid);
}

HarnessDocument::~HarnessDocument() { SetScriptGridSource(nullptr); }

bool HarnessDocument::IsStep(const std::string& option)
{
    for (const char* step : { "--doc", "--frame", "--layer", "--select", "--grid", "--menu", "--tool", "--drag", "--key", "--save", "--message", "--undo", "--redo" }) {
        if (option == step)
            return true;
    }
    return false;
}

bool HarnessDocument::TakesModifiers(const std::string& option) { return option == "--drag" || option == "--key"; }

bool HarnessDocument::Run(const std::string& option, const std::vector<std::string>& arguments)
{
    if (option == "--drag")
        return Drag(arguments);
    if (option == "--key")
        return Key(arguments);
    if (option == "--undo" || option == "--redo") {
        if (!arguments.empty())
            return Fail("%s takes no value", option);
        if (option == "--undo")
            fDoc->Undo();
        else
            fDoc->Redo();
        return true;
    }
    if (arguments.size() != 1)
        return Fail("%s takes one value", option);
    const std::string& value = arguments[0];
    if (option == "--doc")
        return Open(value);
    if (option == "--frame")
        return SetFrame(value);
    if (option == "--layer")
        return SelectLayer(value);
    if (option == "--select")
        return Select(value);
    if (option == "--grid")
        return Grid(value);
    if (option == "--menu")
        return Menu(value);
    if (option == "--tool")
        return Tool(value);
    if (option == "--message")
        return Message(value);
    return Save(value);
}

bool HarnessDocument::Open(const std::string& path)
{
    VornDoc* doc = ReadDocument(path.c_str());
    if (!doc) {
        std::fflush(stdout);
        return false;
    }
    doc->SetPath(path.c_str());
    fView.reset();
    fDoc.reset(doc);
    fView = std::make_unique<HeadlessView>(fDoc.get());
    return true;
}

bool HarnessDocument::SetFrame(const std::string& frame)
{
    long number = 0;
    if (!ReadInt(frame, number))
        return Fail("bad frame %s", frame);
    fDoc->SetCurFrame(int32_t(number));
    return true;
}

bool HarnessDocument::SelectLayer(const std::string& name)
{
    for (int32_t i = 0; i < fDoc->CountLayers(); i++) {
        if (VornLayer* layer = FindLayer(fDoc->Layer(i), name.c_str())) {
            fDoc->SetSelLayer(layer);
            return true;
        }
    }
    return Fail("no layer named %s", name);
}

bool HarnessDocument::Select(const std::string& list)
{
    VornLayer* layer = fDoc->GetSelectedLayer();
    if (!layer || layer->LayerType() != LT_VECTOR)
        return Fail("the current layer is no vector layer (%s)", list);
    M_Mesh* mesh = static_cast<MeshLayer*>(layer)->Mesh();
    std::vector<bool> selected(size_t(mesh->GetNumPoints()), false);
    if (list != "none") {
        size_t start = 0;
        while (start <= list.size()) {
            const size_t comma = list.find(',', start);
            const std::string word = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
            long index = 0;
            if (!ReadInt(word, index) || index < 0 || index >= long(selected.size()))
                return Fail("no point %s", word);
            selected[size_t(index)] = true;
            if (comma == std::string::npos)
                break;
            start = comma + 1;
        }
    }
    for (int32_t i = 0; i < mesh->GetNumPoints(); i++)
        mesh->GetPoint(i)->fSelected = selected[size_t(i)];
    return true;
}

bool HarnessDocument::Grid(const std::string& pixels)
{
    long spacing = 0;
    if (!ReadInt(pixels, spacing) || spacing < 1 || spacing > 1024)
        return Fail("bad grid spacing %s", pixels);
    gGrid.fSpacing = int32_t(spacing);
    return true;
}

bool HarnessDocument::Menu(const std::string& label)
{
    for (int32_t i = 0; i < fRegistry->CountMenuScripts(); i++) {
        MenuScript* script = fRegistry->MenuScriptAt(i);
        if (label != script->fUILabel.CString())
            continue;
        const int32_t frame = fDoc->CurFrame();
        {
            ScriptInterface record(fDoc.get(), fView.get());
            if (!script->IsEnabled(&record))
                return Fail("menu script %s is not enabled", label);
        }
        ScriptInterface record(fDoc.get(), fView.get());
        script->Run(&record);
        fDoc->SetCurFrame(frame);
        return true;
    }
    return Fail("no menu script labelled %s", label);
}

bool HarnessDocument::Tool(const std::string& name)
{
    for (int32_t i = 0; i < fRegistry->CountTools(); i++) {
        ToolScript* tool = fRegistry->ToolAt(i);
        if (tool->fSpacer || name != tool->fTableName.CString())
            continue;
        {
            ScriptInterface record(fDoc.get(), fView.get());
            if (!tool->IsEnabled(&record))
                return Fail("tool %s is not enabled", name);
        }
        if (tool->fButton) {
            ScriptInterface record(fDoc.get(), fView.get());
            tool->Run(&record);
            return true;
        }
        fTool = tool;
        QV_LayoutView layout(false, 4, 0, 0);
        {
            ScriptInterface record(fDoc.get(), fView.get());
            tool->DoLayout(&record, &layout);
        }
        ScriptInterface record(fDoc.get(), fView.get());
        tool->UpdateWidgets(&record);
        fView->fDrawHook = [this] {
            ScriptInterface drawRecord(fDoc.get(), fView.get());
            fTool->DrawMe(&drawRecord, fView.get());
        };
        return true;
    }
    return Fail("no tool named %s", name);
}

bool HarnessDocument::Drag(const std::vector<std::string>& words)
{
    if (!fTool)
        return Fail("no current tool%s", "");
    std::vector<std::string> arguments = words;
    const Modifiers modifiers = TakeModifiers(arguments);
    if (arguments.size() < 2)
        return Fail("a drag takes two points or more%s", "");
    std::vector<QV_Vector2> points;
    for (const std::string& word : arguments) {
        float x = 0, y = 0;
        char extra = 0;
        if (std::sscanf(word.c_str(), "%f,%f%c", &x, &y, &extra) != 2 || !std::isfinite(x) || !std::isfinite(y))
            return Fail("bad point %s", word);
        points.push_back(QV_Vector2 { x, y });
    }
    MouseEvent event(fView.get());
    event.shiftKey = modifiers.shift;
    event.ctrlKey = modifiers.ctrl;
    event.altKey = modifiers.alt;
    event.penPressure = 0;
    QV_Matrix transform;
    for (size_t i = 0; i < points.size(); i++) {
        fView->LayerTransform(transform);
        event.pt = fView->DocToPixel(points[i].x, points[i].y);
        event.vec = HeadlessView::UnprojectToLayer(transform, points[i].x, points[i].y);
        if (i == 0) {
            event.startPt = event.pt;
            event.startVec = event.vec;
        }
        ScriptInterface record(fDoc.get(), fView.get());
        if (i == 0)
            fTool->OnMouseDown(&record, &event);
        else
            fTool->OnMouseMoved(&record, &event);
        if (i + 1 == points.size()) {
            ScriptInterface upRecord(fDoc.get(), fView.get());
            fTool->OnMouseUp(&upRecord, &event);
        }
    }
    return true;
}

bool HarnessDocument::Key(const std::vector<std::string>& words)
{
    if (!fTool)
        return Fail("no current tool%s", "");
    std::vector<std::string> arguments = words;
    const Modifiers modifiers = TakeModifiers(arguments);
    if (arguments.size() != 1)
        return Fail("a key step takes one key%s", "");
    const int32_t code = KeyCode(arguments[0]);
    if (code == 0)
        return Fail("unknown key %s", arguments[0]);
    KeyEvent event;
    event.Fill(fView.get(), code, (modifiers.shift ? 1 : 0) | (modifiers.ctrl ? 2 : 0) | (modifiers.alt ? 4 : 0));
    ScriptInterface record(fDoc.get(), fView.get());
    fTool->OnKeyDown(&record, &event);
    return true;
}

bool HarnessDocument::Message(const std::string& offset)
{
    if (!fTool)
        return Fail("no current tool%s", "");
    long number = 0;
    if (!ReadInt(offset, number) || number < 0 || number > 1000)
        return Fail("bad message offset %s", offset);
    ScriptInterface record(fDoc.get(), fView.get());
    fTool->HandleMessage(&record, fView.get(), kScriptMessageBase + int32_t(number));
    return true;
}

bool HarnessDocument::Save(const std::string& path)
{
    fDoc->SetPath(path.c_str());
    QV_String reason;
    if (fDoc->Save("", &reason) != 0)
        return Fail("%s", reason.CString());
    return true;
}
