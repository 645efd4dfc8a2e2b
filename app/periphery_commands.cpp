// The main window's ways into imports, text and the small windows of the shell.

#include "periphery_commands.h"

#include "about_wnd.h"
#include "app_prefs.h"
#include "eps_import.h"
#include "eps_parser.h"
#include "file_dialogs.h"
#include "main_layer.h"
#include "meshlayer.h"
#include "path_builder.h"
#include "qv_app.h"
#include "shell_hooks.h"
#include "text_dlog.h"
#include "text_shapes.h"
#include "vorn_wnd.h"
#include "vorndoc.h"
#include "welcome_wnd.h"

namespace {

constexpr int32_t kImportIllustrator = 3124;
constexpr int32_t kImportEPS = 3125;
constexpr int32_t kAboutScripts = 3281;
constexpr int32_t kWelcomeScreen = 3286;

void Refresh(VornWnd* owner)
{
    owner->PostMessage(1006);
    owner->PostMessage(1005);
    owner->PostMessage(1001);
}

void ShowAboutHook(QV_Wnd* owner, int32_t seconds) { ShowAbout(owner, seconds); }

// The shell's progress pane over the window, when the program has one; the function that long
// work reports to, or null.
TextProgress OpenProgress(QV_Wnd* owner, const char* message)
{
    if (!owner || !gShellHooks.openProgress || !gShellHooks.reportProgress)
        return nullptr;
    gShellHooks.openProgress(owner, message);
    return gShellHooks.reportProgress;
}

// Whatever the work reported, the pane goes with it: while it is up the window takes no input.
void CloseProgress(TextProgress progress)
{
    if (progress)
        progress(true, 1);
}

// The import's steps report 1 when they are done.
void ImportReport(int32_t step, float fraction)
{
    if (gShellHooks.reportProgress)
        gShellHooks.reportProgress(step != 0, fraction);
}

} // namespace

void ImportDrawing(VornWnd* owner, int32_t command, const char* path)
{
    if (!owner || !owner->fDocument)
        return;
    if (!path) {
        const bool illustrator = command == kImportIllustrator;
        RunOpenFileDialog(illustrator ? Localize("/Windows/Main/ImportIllustrator=Import Illustrator File")
                                      : Localize("/Windows/Main/ImportEPS=Import EPS File"),
            owner, owner, command, illustrator ? "Illustrator Files" : "EPS Files",
            illustrator ? "*.ai;*.AI" : "*.eps;*.EPS;*.epsf;*.ps");
        return;
    }
    const TextProgress progress
        = OpenProgress(owner, Localize("/Windows/Main/ImportVectorFile=Import Vector File"));
    owner->fDocument->ImportEPS(path, progress ? ImportReport : nullptr);
    CloseProgress(progress);
    Refresh(owner);
}

bool RunInsertText(VornDoc* document, QV_Wnd* owner)
{
    VornLayer* layer = document ? document->GetSelectedLayer() : nullptr;
    if (!layer || layer->LayerType() != LT_VECTOR)
        return false;
    auto* dialog = new TextDlog(document, owner);
    if (dialog->DoModal() != MSG_OK)
        return false;
    auto* meshLayer = static_cast<MeshLayer*>(layer);
    PathBuilder builder;
    builder.Init(document->CurFrame(), meshLayer->Mesh());
    const TextProgress progress = OpenProgress(owner, Localize("/Windows/MainLayer/InsertText=Insert Text"));
    document->PrepUndo(layer);
    document->SetDirty();
    BuildTextShapes(gPrefs.insertTextText.CString(), ChosenFontName(), builder, document->Height(),
        gPrefs.insertTextOneFill, gPrefs.insertTextCenterH, 0, progress);
    CloseProgress(progress);
    return true;
}

bool HandlePeripheryCommand(VornWnd* owner, int32_t command, const char* path)
{
    if (!owner)
        return false;
    switch (command) {
    case kImportIllustrator:
    case kImportEPS:
        ImportDrawing(owner, command, path);
        return true;
    case kAboutScripts:
        ShowAboutScripts(owner);
        return true;
    case kWelcomeScreen:
        ShowWelcomeScreen(owner);
        return true;
    default:
        return false;
    }
}

void InstallPeripheryHooks()
{
    SetEPSParser(ReadEPSIntoMesh);
    gShellHooks.showAbout = ShowAboutHook;
    gShellHooks.showWelcomeScreen = ShowWelcomeScreen;
}
