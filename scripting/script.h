#pragma once

#include <cstdint>

#include "qv_baseimage.h"
#include "qv_color.h"
#include "qv_path.h"
#include "qv_string.h"

struct KeyEvent;
class QV_Cursor;
class QV_LayoutView;
class ScriptInterface;
class ScriptPrefs;
class ScriptRegistry;
class VornView;
struct MouseEvent;

// One loaded menu or tool script: the name of the global table its file defined and the texts
// the script reports about itself. Every callback calls the method of that name on the table
// when it exists; a missing method, or one that raises, leaves the caller's default.
//
// The records handed to a callback belong to the caller and are valid for that call only:
// after it, the script's references to them raise the self error rather than reach a record
// that has gone or been refilled.
class Script {
public:
    explicit Script(ScriptRegistry* registry);
    virtual ~Script();
    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;

    // Reads Name, Version, Description and Creator; 0.
    virtual int32_t ReadInfo(const char* tableName);

    void LoadPrefs(ScriptPrefs* prefs);
    void SavePrefs(ScriptPrefs* prefs);
    void ResetPrefs();
    // True unless the script's IsEnabled returns false.
    bool IsEnabled(ScriptInterface* record);
    void Run(ScriptInterface* record);

    QV_Path fPath;
    QV_String fTableName;
    QV_String fName;
    QV_String fVersion;
    QV_String fDescription;
    QV_String fCreator;
    ScriptRegistry* fRegistry;

protected:
    // Calls the method text of the table into the field when both exist.
    void ReadText(const char* method, QV_String& field);
    // A call with the given records; false when the table or method is missing.
    struct Argument {
        void* object;
        const char* typeName;
    };
    bool Call(const char* method, const Argument* arguments, int32_t count, bool collect);
    void Forget(const Argument* arguments, int32_t count);
};

class MenuScript : public Script {
public:
    explicit MenuScript(ScriptRegistry* registry);
    ~MenuScript() override;

    int32_t ReadInfo(const char* tableName) override;

    QV_String fUILabel;
    QV_String fSubmenu;
};

class ToolScript : public Script {
public:
    explicit ToolScript(ScriptRegistry* registry);
    ~ToolScript() override;

    int32_t ReadInfo(const char* tableName) override;

    void OnMouseDown(ScriptInterface* record, MouseEvent* event);
    void OnMouseMoved(ScriptInterface* record, MouseEvent* event);
    void OnMouseUp(ScriptInterface* record, MouseEvent* event);
    void OnKeyDown(ScriptInterface* record, KeyEvent* event);
    void DrawMe(ScriptInterface* record, VornView* view);
    void DoLayout(ScriptInterface* record, QV_LayoutView* layout);
    // The script's UpdateWidgets, then VORN:RunUpdateTable, each when it exists.
    void UpdateWidgets(ScriptInterface* record);
    void HandleMessage(ScriptInterface* record, VornView* canvas, int32_t message);

    // Makes the cursor from fCursorImage (hot spot 1, 1) when that image holds pixels.
    void MakeCursor();

    bool fSpacer;
    bool fButton;
    QV_String fUILabel;
    bool fNonDragMouseMove;
    QV_String fGroup;
    int32_t fKey;
    rgb_color fColor;
    QV_BaseImage fIcon;
    QV_BaseImage fCursorImage;
    QV_Cursor* fCursor;

private:
    void MouseCall(const char* method, ScriptInterface* record, MouseEvent* event);
};
