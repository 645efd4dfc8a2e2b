#pragma once

#include <cstdint>

#include "script_app_services.h"
#include "script_grid.h"

class VornWnd;

// The application as scripts reach it while the main window is open: its main window and main
// layer, its timeline, the Style panel's shape and style and the installed fonts.
class ShellScriptServices : public ScriptAppServices {
public:
    explicit ShellScriptServices(VornWnd* window);

    bool HasMainWindow() override;
    void SendToMainWindow(int32_t what) override;
    bool HasMainLayer() override;
    void DispatchToMainLayer(QV_Message& message) override;
    bool IsCopyable() override;
    bool IsPasteable() override;
    void UpdateSelectedChannels() override;
    M_Shape* NewShapeProperties() override;
    M_Style* SelectedDocumentStyle() override;
    int32_t CountFontFamilies() override;
    const char* FontFamily(int32_t index) override;
    QV_Font* OpenFontByName(const char* family, int32_t pixelSize) override;
    void BuildTextShapes(const char* text, const char* family, int32_t height, bool oneFill, bool centered,
        int32_t line, TextShapeState& state) override;

    VornWnd* fWindow;
};

// The editor's grid switches as scripts see them.
class ShellGridSource : public ScriptGridSource {
public:
    bool GridShown() override;
    bool GridSnapping() override;
    int32_t GridSpacing() override;
};

// Installs (window) or removes (null) the main window's services and grid.
void InstallShellScriptServices(VornWnd* window);
