#include "vorn_wnd.h"

#include "app_folders.h"
#include "app_prefs.h"
#include "file_dialogs.h"
#include "interface_fonts.h"
#include "main_layer.h"
#include "message_ids.h"
#include "plat_pump.h"
#include "plat_window.h"
#include "proj_dlog.h"
#include "qv_alert.h"
#include "qv_app.h"
#include "qv_dc.h"
#include "qv_font.h"
#include "qv_layout_view.h"
#include "image_format_registry.h"
#include "grouplayer.h"
#include "mesh3dlayer.h"
#include "qv_message.h"
#include "script.h"
#include "script_docs.h"
#include "shell_open.h"
#include "shell_script_services.h"
#include "script_registry.h"
#include "shell_panel.h"
#include "status_bar.h"
#include "vorn_app.h"
#include "vorndoc.h"

VornWnd* gVornWnd = nullptr;

namespace {

constexpr const char* kOpenPattern = "*.celv;*.vorn;*.mov;*.avi;*.mp4;*.m4v;*.mpg;*.mpeg";

const char* MessagePath(QV_Message* message, QV_String& path)
{
    if (message && message->FindString("path", path))
        return path.CString();
    return nullptr;
}

} // namespace

VornWnd::VornWnd(const char* commandLine)
    : QV_Wnd(0, AppTitle(), true, nullptr, 32, 32, 287, 159)
    , fCommandLinePath(commandLine ? commandLine : "")
    , fMainLayer(nullptr)
    , fLayerWnd(nullptr)
    , fToolWnd(nullptr)
    , fTimelineWnd(nullptr)
    , fStyleWnd(nullptr)
    , fToolEntry(nullptr)
{
    gVornWnd = this;
    if (gApp)
        gApp->fMainWindow = this;
    fStartupPath = AppFolder();
    fStartupPath.Append("Startup");
    fStartupPath.Append("StartupFile.celv");
    if (!fHwnd)
        return;
    const QV_Rect screen = UsableScreenRect();
    ResizeTo(screen.right - screen.left - 15, screen.bottom - screen.top - 15);
    MoveOuterTo(screen.left + 8, screen.top + 8);
    fLocationName = "VornWnd";
    fShapeName = "VornWnd";
    LoadRecentFiles();
    Show();
}

VornWnd::~VornWnd()
{
    InstallShellScriptServices(nullptr);
    if (gVornWnd == this)
        gVornWnd = nullptr;
    if (gApp && gApp->fMainWindow == this)
        gApp->fMainWindow = nullptr;
    // The canvas views go with the layer, before the document they show.
    if (fMainLayer) {
        RemoveLayer(fMainLayer);
        delete fMainLayer;
        fMainLayer = nullptr;
    }
}

void VornWnd::Opened()
{
    if (gShellHooks.showAbout)
        gShellHooks.showAbout(this, 3);
    if (Vorn* app = TheApp(); app && app->fScriptRegistry)
        app->fScriptRegistry->LoadScripts();
    InstallShellScriptServices(this);
    if (gShellHooks.installScriptServices)
        gShellHooks.installScriptServices(this);
    const QV_Rect bounds = Bounds();
    fMainLayer = new MainLayer(this, bounds.left, bounds.top, bounds.right, bounds.bottom);
    AddLayer(fMainLayer);
    if (!fCommandLinePath.IsEmpty()) {
        OpenFile(fCommandLinePath.CString());
        return;
    }
    FILE* startup = std::fopen(fStartupPath.CString(), "rb");
    if (startup) {
        std::fclose(startup);
        OpenStartupDocument(fStartupPath.CString());
        if (fMainLayer)
            fMainLayer->RefreshViews();
        return;
    }
    NewDocument();
}

ShellPanel*& VornWnd::PanelField(PanelKind kind)
{
    switch (kind) {
    case PanelKind::Tools:
        return fToolWnd;
    case PanelKind::Layers:
        return fLayerWnd;
    case PanelKind::Timeline:
        return fTimelineWnd;
    case PanelKind::Style:
        break;
    }
    return fStyleWnd;
}

void VornWnd::TogglePanel(PanelKind kind)
{
    if (!fMainLayer)
        return;
    ShellPanel*& panel = PanelField(kind);
    if (panel && panel->fDockLayer) {
        panel->Float();
        return;
    }
    if (panel && panel->fFloatWindow) {
        panel->Dock(fMainLayer, PanelFollowFlags(kind));
        return;
    }
    if (panel)
        return;
    panel = MakePanel(kind, this, fDocument);
    bool docked = true;
    Settings()->FindBool(PanelDockedKey(kind), docked);
    if (docked)
        panel->Dock(fMainLayer, PanelFollowFlags(kind));
    else
        panel->Float();
    if (kind == PanelKind::Tools)
        panel->UpdateToolButtons();
}

void VornWnd::HandleMessage(QV_Message* message)
{
    if (!message)
        return;
    const int32_t what = message->fWhat;
    QV_String pathText;
    const char* path = MessagePath(message, pathText);

    if (what >= 10000 && what <= 10063) {
        if (fTimelineWnd)
            fTimelineWnd->HandleMessage(message);
        return;
    }
    if (what >= 3600 && what <= 3799) {
        Vorn* app = TheApp();
        // An id beyond the current list (a palette built from an older one) selects nothing.
        ToolScript* tool = app && app->fScriptRegistry ? app->fScriptRegistry->ToolAt(what - 3600) : nullptr;
        if (tool && tool->fSpacer)
            return;
        if (tool && tool->fButton) {
            if (fMainLayer)
                fMainLayer->HandleMessage(message);
        } else if (tool) {
            fToolEntry = tool;
            if (fMainLayer)
                fMainLayer->SelectTool(tool);
        }
        return;
    }
    if (what >= -10000 && what <= -9000) {
        if (fMainLayer)
            fMainLayer->HandleMessage(message);
        return;
    }
    switch (what) {
    case CMD_NEW:
        NewDocument();
        return;
    case CMD_OPEN:
        if (path) {
            OpenFile(path);
            return;
        }
        CloseDocument();
        if (fDocument)
            return;
        RunOpenFileDialog(Localize("/Windows/Main/Open=Open"), this, this, CMD_OPEN,
            (QV_String(AppTitle()) + " Files").CString(), kOpenPattern);
        return;
    case CMD_CLOSE:
        CloseDocument();
        return;
    case CMD_SAVE:
        SaveDocument();
        return;
    case CMD_SAVE_AS:
        if (!fDocument)
            return;
        if (path)
            SaveAs(path);
        else
            RunSaveAsDialog();
        return;
    case CMD_PROJECT_SETTINGS:
        if (fDocument)
            RunProjectSettings();
        return;
    case CMD_TOOLS_PANEL:
        TogglePanel(PanelKind::Tools);
        return;
    case CMD_LAYERS_PANEL:
        TogglePanel(PanelKind::Layers);
        return;
    case CMD_TIMELINE_PANEL:
        TogglePanel(PanelKind::Timeline);
        return;
    case CMD_STYLE_PANEL:
        TogglePanel(PanelKind::Style);
        return;
    case CMD_LIBRARY:
        if (gShellHooks.toggleLibrary)
            gShellHooks.toggleLibrary(this);
        return;
    case CMD_QUIT:
        if (QuitRequested() && gApp)
            gApp->Quit();
        return;
    case -1009:
        if (gShellHooks.showAbout)
            gShellHooks.showAbout(this, 0);
        return;
    case -1010:
    case 1004:
    case 1103:
    case 1105:
        if (fMainLayer)
            fMainLayer->HandleMessage(message);
        return;
    case 1000:
        if (fMainLayer)
            fMainLayer->PostMessage(1000);
        return;
    case 1001:
        if (fMainLayer)
            fMainLayer->RefreshViews();
        return;
    case 1003:
        if (fMainLayer) {
            fMainLayer->Draw();
            fMainLayer->Flush();
            fMainLayer->RefreshViews();
            fMainLayer->PostMessage(1000);
        }
        return;
    case 1005:
        if (fMainLayer)
            fMainLayer->RefreshPanels();
        return;
    case 1006:
        if (fMainLayer)
            fMainLayer->UpdateAudioTracks();
        for (ShellPanel* panel : { fLayerWnd, fToolWnd, fTimelineWnd, fStyleWnd }) {
            if (panel)
                panel->PostMessage(1006);
        }
        // Windows of later subsystems (the Actions window) follow the document too.
        if (gShellHooks.handleCommand)
            gShellHooks.handleCommand(this, 1006, nullptr);
        if (fMainLayer)
            fMainLayer->PostMessage(1000);
        return;
    case 1007:
        if (fMainLayer && fMainLayer->fCurrentView)
            fMainLayer->fCurrentView->SetFocus(true);
        return;
    default:
        break;
    }
    if (what >= 3116 && what <= 3304 && HandleLaterCommand(what, path))
        return;
    if (what >= CMD_RECENT_FIRST && what < CMD_RECENT_FIRST + kRecentFileCount) {
        const QV_Path recent = fRecentFiles[what - CMD_RECENT_FIRST];
        if (!recent.IsEmpty())
            OpenFile(recent.CString());
        return;
    }
    if (gShellHooks.handleCommand && gShellHooks.handleCommand(this, what, path))
        return;
    if ((what > CMD_NEW && what <= 3304) || (what >= 1001 && what <= 1105))
        return;
    QV_Wnd::HandleMessage(message);
}

bool VornWnd::Later(int32_t what, const char* path)
{
    if (gShellHooks.handleCommand)
        gShellHooks.handleCommand(this, what, path);
    return true;
}

bool VornWnd::CountLimitReached(int32_t what)
{
    if (!fDocument)
        return false;
    QV_ArrayList layers;
    if (what == 3123) {
        fDocument->CollectMovieLayers(layers, nullptr);
        if (layers.fCount < 1)
            return false;
        ShowAlert(ALERT_WARNING, Localize("/Windows/Main/MaxVideoLayers=No more than one video layer is allowed."),
            nullptr, nullptr, Localize("/Strings/OK=OK"), nullptr, nullptr);
        return true;
    }
    fDocument->CollectAudioLayers(layers, nullptr);
    if (layers.fCount < 2)
        return false;
    ShowAlert(ALERT_WARNING, Localize("/Windows/Main/MaxAudioLayers=No more than 2 audio layers are allowed."), nullptr,
        nullptr, Localize("/Strings/OK=OK"), nullptr, nullptr);
    return true;
}

void VornWnd::ImportObj(const char* path)
{
    VornLayer* selected = fDocument->GetSelectedLayer();
    auto* layer = new Mesh3DLayer();
    layer->SetSourceMesh(path);
    layer->SetName(QV_Path(path).FileName().CString());
    if (selected && selected->Parent())
        selected->Parent()->InsertLayer(layer, selected, true);
    else
        fDocument->InsertLayer(layer, selected, true);
    fDocument->SetSelLayer(layer);
    layer->SetCurFrame(0);
    layer->SetCurFrame(fDocument->CurFrame());
    fDocument->SetDirty();
    fDocument->SetCurFrame(fDocument->CurFrame());
    PostMessage(1006);
    PostMessage(1005);
}

void VornWnd::OpenInAppFolder(const char* name)
{
    QV_Path file = AppFolder();
    file.Append(name);
    ShellOpen(file.CString());
}

bool VornWnd::HandleLaterCommand(int32_t what, const char* path)
{
    const QV_String importTitle = Localize("/Windows/Main/Import=Import");
    const QV_String appFiles = QV_String(AppTitle()) + " Files";
    constexpr const char* kMoviePattern = "*.mov;*.avi;*.mp4;*.m4v;*.mpg;*.mpeg";
    switch (what) {
    case 3116:
    case 3117:
    case 3118:
    case 3120:
        // Playback stops before a window renders the document.
        if (fMainLayer)
            fMainLayer->PostMessage(1103);
        if (what == 3120 || fDocument)
            Later(what, path);
        return true;
    case 3119:
    case 3282:
    case 3283:
    case 3285:
        // Video upload and the web pages are gone; their rows stay quiet.
        return true;
    case 3121:
        if (path)
            return Later(what, path);
        RunOpenFileDialog(importTitle.CString(), this, this, 3121, appFiles.CString(), "*.celv;*.vorn");
        return true;
    case 3122:
    case 3123:
    case 3127:
        if (what != 3127 && !fDocument)
            return true;
        if (what != 3122 && CountLimitReached(what))
            return true;
        if (path) {
            const QV_String media = QV_Path(path).MediaType();
            if ((what == 3122 && media == "image") || (what == 3123 && media == "video") || what == 3127)
                Later(what, path);
            return true;
        }
        if (what == 3122)
            RunOpenFileDialog(Localize("/Windows/Main/SelectImage=Select Image"), this, this, what, "Image Files",
                ImageOpenFilter.CString());
        else if (what == 3123)
            RunOpenFileDialog(
                Localize("/Windows/Main/SelectMovie=Select Movie"), this, this, what, "Movie Files", kMoviePattern);
        else
            RunOpenFileDialog(Localize("/Windows/Main/SelectAudioFile=Select Audio File"), this, this, what,
                "Audio Files", "*.wav;*.aif;*.aiff;*.au;*.snd;*.mp3;*.m4a;*.mid;*.midi;*.m4p;*.m4b");
        return true;
    case 3124:
    case 3125:
        if (!fDocument)
            return true;
        if (path)
            return Later(what, path);
        RunOpenFileDialog(importTitle.CString(), this, this, what, what == 3124 ? "Illustrator Files" : "EPS Files",
            what == 3124 ? "*.ai;*.AI" : "*.eps;*.EPS;*.epsf;*.ps");
        return true;
    case 3126:
        if (!fDocument)
            return true;
        if (path) {
            if (QV_Path(path).MediaType() == "image" && fMainLayer && fMainLayer->fCurrentView
                && gShellHooks.canvasCommand)
                gShellHooks.canvasCommand(fMainLayer->fCurrentView, 3126, path);
            return true;
        }
        RunOpenFileDialog(Localize("/Windows/Main/SelectTracingImage=Select Tracing Image"), this, this, 3126,
            "Image Files", ImageOpenFilter.CString());
        return true;
    case 3128:
        if (!fDocument)
            return true;
        if (path)
            ImportObj(path);
        else
            RunOpenFileDialog(importTitle.CString(), this, this, 3128, "OBJ Files", "*.obj");
        return true;
    case 3254:
    case 3281:
        return Later(what, path);
    case 3280:
        OpenInAppFolder(Localize("/Application/ManualPomra=Celvane Pomra 6 Users Manual.pdf"));
        return true;
    case 3286:
        if (gShellHooks.showWelcomeScreen)
            gShellHooks.showWelcomeScreen(this);
        return true;
    case 3287:
        OpenInAppFolder("Library");
        return true;
    case 3289:
        if (path) {
            GenerateScriptDocs(path);
            return true;
        }
        RunOpenFileDialog("Select Structure File", this, this, 3289, nullptr, nullptr);
        return true;
    case 3290:
        OpenInAppFolder(Localize("/Application/QuickStartPomra=Celvane Pomra 6 Quick Start Guide.pdf"));
        return true;
    default:
        break;
    }
    return false;
}

void VornWnd::RunProjectSettings()
{
    auto* dialog = new ProjDlog(fDocument, this);
    const int32_t result = dialog->DoModal();
    if (result == MSG_OK && fTimelineWnd)
        fTimelineWnd->SetDocument(fDocument);
    PostMessage(1001);
    PostMessage(1006);
    PostMessage(1000);
    (void)result;
}

bool VornWnd::QuitRequested()
{
    if (!QV_Wnd::QuitRequested())
        return false;
    return MayQuit();
}

bool VornWnd::ExportWindowsMayQuit()
{
    return !gShellHooks.exportWindowsMayQuit || gShellHooks.exportWindowsMayQuit(this);
}

void VornWnd::DocumentClosed()
{
    if (gShellHooks.documentClosed)
        gShellHooks.documentClosed(this);
}

void VornWnd::WindowClosed(void* window)
{
    if (!window)
        return;
    for (PanelKind kind : { PanelKind::Layers, PanelKind::Tools, PanelKind::Timeline, PanelKind::Style }) {
        ShellPanel*& panel = PanelField(kind);
        if (panel == window) {
            Settings()->AddBool(PanelDockedKey(kind), false);
            panel = nullptr;
            if (fMainLayer)
                fMainLayer->Arrange();
        }
    }
}

void VornWnd::Closed()
{
    for (PanelKind kind : { PanelKind::Layers, PanelKind::Tools, PanelKind::Timeline, PanelKind::Style }) {
        ShellPanel*& field = PanelField(kind);
        ShellPanel* panel = field;
        if (!panel)
            continue;
        const bool docked = panel->fDockLayer != nullptr;
        Settings()->AddBool(PanelDockedKey(kind), docked);
        panel->SaveShape();
        field = nullptr;
        panel->Close();
        if (docked)
            delete panel;
    }
    if (gShellHooks.libraryOpen) {
        const bool open = gShellHooks.libraryOpen(this);
        Settings()->AddBool("LibraryWnd_Open", open);
        if (open && gShellHooks.closeLibrary)
            gShellHooks.closeLibrary(this);
    }
    if (fHwnd)
        PlatWindowHide(fHwnd);
    if (gApp) {
        gApp->fMainWindow = nullptr;
        gApp->fQuitting = true;
    }
    PlatPostQuit();
}

void VornWnd::SizeLimits(QV_Point& minimum, QV_Point& maximum)
{
    maximum = QV_Point { 8192, 8192 };
    if (!fMainLayer) {
        minimum = QV_Point { 300, 200 };
        return;
    }
    auto height = [](QV_View* view) { return view ? view->Frame().bottom - view->Frame().top + 1 : 0; };
    auto width = [](QV_View* view) { return view ? view->Frame().right - view->Frame().left + 1 : 0; };
    int32_t minWidth = width(fMainLayer->fPlaybackButtons);
    if (fLayerWnd && fLayerWnd->fDockLayer)
        minWidth += width(fLayerWnd) + 5;
    int32_t minHeight = height(fMainLayer->fToolBar) + height(fMainLayer->fStatusBar);
    int32_t band = 64;
    if (fStyleWnd && fStyleWnd->fDockLayer)
        band = std::max(band, height(fStyleWnd));
    if (fToolWnd && fToolWnd->fDockLayer)
        band = std::max(band, height(fToolWnd));
    const int32_t line = gNormalFonts[2] ? gNormalFonts[2]->LineHeight() : 15;
    if (band > 0)
        minHeight += line + band + 3;
    minHeight += height(fMainLayer->fPlaybackBar);
    if (fTimelineWnd && fTimelineWnd->fDockLayer)
        minHeight += line + height(fTimelineWnd) + 3;
    minHeight += 2;
    minimum = QV_Point { minWidth, minHeight };
}

QV_Message* VornWnd::Settings()
{
    static QV_Message none;
    return gApp ? &gApp->fUserSettings : &none;
}

void VornWnd::SetWindowTitle(const char* title)
{
    SetTitle(title);
}

void VornWnd::AttachDocument(VornDoc* document)
{
    for (ShellPanel* panel : { fLayerWnd, fToolWnd, fTimelineWnd, fStyleWnd }) {
        if (panel)
            panel->SetDocument(document);
    }
    if (fMainLayer)
        fMainLayer->SetDocument(document);
}

void VornWnd::WithdrawDocument()
{
    for (ShellPanel* panel : { fLayerWnd, fToolWnd, fTimelineWnd, fStyleWnd }) {
        if (panel)
            panel->SetDocument(nullptr);
    }
    if (fMainLayer) {
        fMainLayer->SelectTool(nullptr);
        fMainLayer->ClearDocument();
    }
}

int32_t VornWnd::ShowAlert(int32_t kind, const char* line1, const char* line2, const char* line3,
    const char* button1, const char* button2, const char* button3)
{
    return Alert(fHwnd ? this : nullptr, kind, line1, line2, line3, button1, button2, button3);
}

void VornWnd::RunSaveAsDialog()
{
    if (!fDocument)
        return;
    const QV_String folder = fDocument->Path().Folder();
    const QV_String name = ProposedSaveName(fDocument->Name().CString());
    RunSaveFileDialog(
        Localize("/Windows/Main/SaveAs=Save As"), this, this, CMD_SAVE_AS, name.CString(), folder.CString());
}

void VornWnd::RecentFilesChanged()
{
    if (fMainLayer)
        fMainLayer->UpdateRecentMenu();
}

void VornWnd::ReselectTool()
{
    if (fMainLayer)
        fMainLayer->SelectTool(fToolEntry);
}

void VornWnd::SelectToolByName(const char* name)
{
    if (fMainLayer)
        fMainLayer->SelectToolByName(name);
}
