#include "shell_script_services.h"

#include <memory>

#include "app_prefs.h"
#include "main_layer.h"
#include "qv_message.h"
#include "shell_panel.h"
#include "style_panel_refs.h"
#include "text_shapes.h"
#include "vorn_wnd.h"

namespace {

std::unique_ptr<ShellScriptServices> gServices;
ShellGridSource gGrid;

} // namespace

ShellScriptServices::ShellScriptServices(VornWnd* window)
    : fWindow(window)
{
}

bool ShellScriptServices::HasMainWindow()
{
    return fWindow != nullptr;
}

void ShellScriptServices::SendToMainWindow(int32_t what)
{
    if (fWindow)
        fWindow->PostMessage(what);
}

bool ShellScriptServices::HasMainLayer()
{
    return fWindow && fWindow->fMainLayer;
}

void ShellScriptServices::DispatchToMainLayer(QV_Message& message)
{
    if (HasMainLayer())
        fWindow->fMainLayer->HandleMessage(&message);
}

bool ShellScriptServices::IsCopyable()
{
    return HasMainLayer() && fWindow->fMainLayer->IsCopyable();
}

bool ShellScriptServices::IsPasteable()
{
    return HasMainLayer() && fWindow->fMainLayer->IsPasteable();
}

void ShellScriptServices::UpdateSelectedChannels()
{
    if (fWindow && fWindow->fTimelineWnd)
        fWindow->fTimelineWnd->UpdateSelectedChannels();
}

// The Style panel keeps both in the model's shared references while it is open.
M_Shape* ShellScriptServices::NewShapeProperties()
{
    return gNewShapeProperties;
}

M_Style* ShellScriptServices::SelectedDocumentStyle()
{
    return gCurrentDocStyle;
}

int32_t ShellScriptServices::CountFontFamilies()
{
    return FontCount();
}

const char* ShellScriptServices::FontFamily(int32_t index)
{
    return FontDisplayName(index);
}

QV_Font* ShellScriptServices::OpenFontByName(const char* family, int32_t pixelSize)
{
    return ScriptOpenFontByName(family, pixelSize);
}

void ShellScriptServices::BuildTextShapes(const char* text, const char* family, int32_t height, bool oneFill,
    bool centered, int32_t line, TextShapeState& state)
{
    ScriptBuildTextShapes(text, family, height, oneFill, centered, line, state);
}

bool ShellGridSource::GridShown()
{
    return gToggles.gridShown;
}

bool ShellGridSource::GridSnapping()
{
    return gToggles.gridSnapping;
}

int32_t ShellGridSource::GridSpacing()
{
    return gToggles.gridSize < 1 ? 1 : gToggles.gridSize > 1024 ? 1024 : gToggles.gridSize;
}

void InstallShellScriptServices(VornWnd* window)
{
    if (!window) {
        // Whatever services stand on the window go with it.
        InstallScriptAppServices(nullptr);
        gServices.reset();
        SetScriptGridSource(nullptr);
        return;
    }
    gServices = std::make_unique<ShellScriptServices>(window);
    InstallScriptAppServices(gServices.get());
    SetScriptGridSource(&gGrid);
}
