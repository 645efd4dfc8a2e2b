#pragma once

#include <memory>
#include <string>
#include <vector>

class HeadlessView;
class ScriptRegistry;
class ToolScript;
class VornDoc;

// The document steps of script_harness: a document (new until --doc), its frame, layer,
// point selection and grid, menu scripts and tools run on it through a canvas without a window,
// and the save. Each step that cannot run says why on stderr and answers false.
class HarnessDocument {
public:
    explicit HarnessDocument(ScriptRegistry* registry);
    ~HarnessDocument();

    // Whether the option names a document step; its arguments are the words up to the next
    // option (a drag or key step also takes the modifier options after them).
    static bool IsStep(const std::string& option);
    static bool TakesModifiers(const std::string& option);
    bool Run(const std::string& option, const std::vector<std::string>& arguments);

    bool Open(const std::string& path);
    bool SetFrame(const std::string& frame);
    bool SelectLayer(const std::string& name);
    bool Select(const std::string& list);
    bool Grid(const std::string& pixels);
    bool Menu(const std::string& label);
    bool Tool(const std::string& name);
    bool Drag(const std::vector<std::string>& arguments);
    bool Key(const std::vector<std::string>& arguments);
    // The current tool's HandleMessage with the option message MSG_BASE + offset.
    bool Message(const std::string& offset);
    bool Save(const std::string& path);

    ScriptRegistry* fRegistry;
    std::unique_ptr<VornDoc> fDoc;
    std::unique_ptr<HeadlessView> fView;
    ToolScript* fTool = nullptr;
};
