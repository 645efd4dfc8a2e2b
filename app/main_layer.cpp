#include "main_layer.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

#include "app_folders.h"
#include "app_prefs.h"
#include "document_shell.h"
#include "follow_flags.h"
#include "interface_colors.h"
#include "interface_fonts.h"
#include "qv_app.h"
#include "qv_base_widget.h"
#include "qv_button.h"
#include "qv_file_lister.h"
#include "qv_font.h"
#include "qv_graphics.h"
#include "qv_layout_view.h"
#include "qv_menu.h"
#include "qv_menu_bar.h"
#include "qv_sound_mixer.h"
#include "qv_message.h"
#include "qv_static_text.h"
#include "qv_text_control.h"
#include "qv_wnd.h"
#include "resource_images.h"
#include "scripts_menu.h"
#include "shell_hooks.h"
#include "shell_panel.h"
#include "status_bar.h"
#include "vorn_app.h"
#include "vorn_view.h"
#include "vorn_wnd.h"
#include "vorndoc.h"

namespace {

constexpr int32_t kFollowAll = FOLLOW_LEFT | FOLLOW_TOP | FOLLOW_RIGHT | FOLLOW_BOTTOM;

// What fills the canvas area until the canvas view is given by its hook: the editor's
// background with the document's frame in its background colour.
class CanvasPlaceholder : public QV_View {
public:
    explicit CanvasPlaceholder(VornDoc* document)
        : QV_View(kFollowAll)
        , fDocument(document)
    {
    }
    void Draw() override
    {
        QV_Graphics* graphics = GetGraphics();
        if (!graphics)
            return;
        const QV_Rect bounds = Bounds();
        graphics->SetColorStruct(gPrefs.colBack);
        graphics->FillRect(bounds.left, bounds.top, bounds.right, bounds.bottom);
        if (fDocument && fDocument->Width() > 0 && fDocument->Height() > 0) {
            const int32_t width = bounds.right - bounds.left + 1;
            const int32_t height = bounds.bottom - bounds.top + 1;
            const float scale = std::fmin(
                float(width - 20) / float(fDocument->Width()), float(height - 20) / float(fDocument->Height()));
            if (scale > 0) {
                const int32_t w = int32_t(float(fDocument->Width()) * scale);
                const int32_t h = int32_t(float(fDocument->Height()) * scale);
                const int32_t left = bounds.left + (width - w) / 2;
                const int32_t top = bounds.top + (height - h) / 2;
                graphics->SetColorStruct(fDocument->fBackColor);
                graphics->FillRect(left, top, left + w - 1, top + h - 1);
                graphics->SetColorStruct(WidgetOutline);
                graphics->FrameRect(left, top, left + w - 1, top + h - 1);
            }
        }
        QV_View::Draw();
    }
    VornDoc* fDocument;
};

QV_Menu* gResetMenu = nullptr;

} // namespace

CtrlView::CtrlView(int32_t follow, bool edgeAtBottom, bool resetPopup)
    : QV_View(follow)
    , fEdgeAtBottom(edgeAtBottom)
    , fResetPopup(resetPopup)
{
}

void CtrlView::Draw()
{
    QV_Graphics* graphics = GetGraphics();
    if (graphics) {
        const QV_Rect b = Bounds();
        graphics->FillGradientRect(0, true, BoxGradient1, BoxGradient2, b.left, b.top, b.right, b.bottom);
        const int32_t dark = fEdgeAtBottom ? b.bottom : b.top;
        const int32_t light = fEdgeAtBottom ? b.bottom - 1 : b.top + 1;
        graphics->SetColorStruct(WidgetShadow);
        graphics->DrawHLine(b.left, b.right, dark);
        graphics->SetColorStruct(WidgetHighlight);
        graphics->DrawHLine(b.left, b.right, light);
    }
    QV_View::Draw();
}

void CtrlView::MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message)
{
    if (fResetPopup && fChildCount > 1 && fChildren[1]->Frame().Contains(x, y)) {
        if (!gResetMenu) {
            gResetMenu = new QV_Menu("Reset Tool");
            gResetMenu->AddItem(Localize("/Menus/ResetTool/ResetTool=Reset Tool"), 0, 3008);
            gResetMenu->AddItem(Localize("/Menus/ResetTool/ResetAllTools=Reset All Tools"), 0, 3009);
        }
        gResetMenu->fTarget = OwnerLayer();
        const QV_Point at = ConvertToWindow(QV_Point { x, y });
        if (QV_Wnd* window = Window())
            gResetMenu->Popup(window, at.x, at.y);
    }
    QV_View::MouseDown(x, y, button, modifiers, message);
}

void SplitMenuLabel(const char* text, QV_String& label, char& shortcut)
{
    label = text ? text : "";
    shortcut = 0;
    if (label.Length() <= 1)
        return;
    const char last = label.CString()[label.Length() - 1];
    label = label.Left(label.Length() - 1);
    if (last != ' ')
        shortcut = last;
}

void AddMenuItem(QV_Menu* menu, const char* text, int32_t message, int32_t modifiers)
{
    if (!text) {
        menu->AddItem(nullptr, 0, 0);
        return;
    }
    QV_String label;
    char shortcut = 0;
    SplitMenuLabel(text, label, shortcut);
    menu->AddItem(label.CString(), shortcut, message, modifiers);
}

namespace {

QV_String LowerExtensionOf(const char* name)
{
    const QV_String text(name);
    if (text.FindLastChar('.') < 0)
        return "";
    QV_String extension = text.AfterLast('.');
    extension.ToLower();
    return extension;
}

bool Readable(const QV_String& path)
{
    FILE* file = std::fopen(path.CString(), "rb");
    if (!file)
        return false;
    std::fclose(file);
    return true;
}

void BuildLibraryMenuIn(QV_Menu* menu, const char* folder, LibraryItems& items, std::set<std::string>& visited)
{
    char* real = realpath(folder, nullptr);
    if (!real)
        return;
    const bool fresh = visited.insert(real).second;
    std::free(real);
    if (!fresh)
        return;
    QV_FileLister lister(folder);
    while (const char* name = lister.NextFile()) {
        QV_Path path(folder);
        path.Append(name);
        const QV_String extension = LowerExtensionOf(name);
        const QV_String media = path.MediaType();
        const bool candidate = extension == "celv" || extension == "vorn" || media == "video" || media == "audio"
            || media == "image";
        if (candidate) {
            if (path.MimeType() == "image/png") {
                const QV_String base = path.WithoutExtension();
                bool thumbnail = false;
                for (const char* sibling : { ".celv", ".vorn", ".mov", ".jpg" }) {
                    if (Readable(base + sibling)) {
                        thumbnail = true;
                        break;
                    }
                }
                if (thumbnail)
                    continue;
            }
            if (int32_t(items.paths.size()) >= LibraryItems::kMaxItems)
                continue;
            const int32_t message = LibraryItems::kFirstMessage + int32_t(items.paths.size());
            items.paths.push_back(path);
            menu->AddItemAlphabetically(QV_String(name).WithoutExtension().CString(), 0, message);
        } else if (extension.IsEmpty()) {
            struct stat info;
            if (stat(path.CString(), &info) != 0 || !S_ISDIR(info.st_mode))
                continue;
            auto* submenu = new QV_Menu(name);
            BuildLibraryMenuIn(submenu, path.CString(), items, visited);
            if (submenu->CountItems() > 0)
                menu->AddSubmenu(submenu, name);
            else
                delete submenu;
        }
    }
}

} // namespace

void BuildLibraryMenu(QV_Menu* menu, const char* folder, LibraryItems& items)
{
    std::set<std::string> visited;
    BuildLibraryMenuIn(menu, folder, items, visited);
}

MainLayer::MainLayer(VornWnd* window, int32_t left, int32_t top, int32_t right, int32_t bottom)
    : QV_Layer(kFollowAll)
    , fMainWindow(window)
    , fDoc(nullptr)
    , fEndFrame(1)
    , fMenuBar(nullptr)
    , fFileMenu(nullptr)
    , fRecentMenu(nullptr)
    , fStatusBar(nullptr)
    , fPlaybackBar(nullptr)
    , fPlaybackButtons(nullptr)
    , fPlaybackButton {}
    , fMuteButton(nullptr)
    , fFrameField(nullptr)
    , fEndField(nullptr)
    , fToolBar(nullptr)
    , fViewMode(0)
    , fCanvasViews {}
    , fCurrentView(nullptr)
    , fCurrentTool(nullptr)
    , fToolRow(nullptr)
    , fToolIcon(nullptr)
    , fSplitDrag(false)
    , fSplitKind(0)
    , fLastStaticState(false)
    , fPlaying(false)
{
    MoveTo(left, top);
    ResizeTo(right - left + 1, bottom - top + 1);
    BuildMenus();
    BuildBars();
    ClearDocument();
}

MainLayer::~MainLayer()
{
    if (fPlayTimer && fMainWindow)
        fMainWindow->RemoveTimer(fPlayTimer);
    delete fMixer;
    delete gResetMenu;
    gResetMenu = nullptr;
}

void MainLayer::BuildMenus()
{
    const int32_t width = fFrame.right - fFrame.left + 1;
    fMenuBar = new QV_MenuBar();
    fMenuBar->MoveTo(0, 0);
    fMenuBar->ResizeTo(width, fMenuBar->Size().y);

    auto* file = new QV_Menu(Localize("/Menus/File/File=File"));
    fFileMenu = file;
    AddMenuItem(file, Localize("/Menus/File/New=NewN"), 3110);
    AddMenuItem(file, Localize("/Menus/File/Open=Open...O"), 3111);
    fRecentMenu = new QV_Menu(Localize("/Menus/File/OpenRecent/OpenRecent=Open Recent"));
    for (int32_t i = 0; i < kRecentFileCount; i++)
        AddMenuItem(fRecentMenu, "-", CMD_RECENT_FIRST + i);
    fRecentMenu->fTarget = this;
    file->AddSubmenu(fRecentMenu, Localize("/Menus/File/OpenRecent/OpenRecent=Open Recent"));
    UpdateRecentMenu();
    AddMenuItem(file, Localize("/Menus/File/Close=CloseW"), 3112);
    AddMenuItem(file, nullptr, 0);
    AddMenuItem(file, Localize("/Menus/File/Save=SaveS"), 3113);
    AddMenuItem(file, Localize("/Menus/File/SaveAs=Save As... "), 3114);
    AddMenuItem(file, nullptr, 0);
    AddMenuItem(file, Localize("/Menus/File/ProjectSettings=Project Settings...P"), 3115, 1);
    AddMenuItem(file, nullptr, 0);
    auto* import = new QV_Menu(Localize("/Menus/File/Import/Import=Import"));
    QV_Path library = AppFolder();
    library.Append("Library");
    BuildLibraryMenu(import, library.CString(), fLibraryItems);
    if (import->CountItems() > 0)
        AddMenuItem(import, nullptr, 0);
    AddMenuItem(import, Localize("/Menus/File/Import/CelvaneObject=Celvane Object... "), 3121);
    AddMenuItem(import, Localize("/Menus/File/Import/Image=Image... "), 3122);
    AddMenuItem(import, Localize("/Menus/File/Import/Movie=Movie... "), 3123);
    AddMenuItem(import, Localize("/Menus/File/Import/AudioFile=Audio File... "), 3127);
    // Drawings made elsewhere have no other way in.
    AddMenuItem(import, Localize("/Menus/File/Import/IllustratorFile=Illustrator File... "), 3124);
    AddMenuItem(import, Localize("/Menus/File/Import/EPSFile=EPS File... "), 3125);
    import->fTarget = this;
    file->AddSubmenu(import, Localize("/Menus/File/Import/Import=Import"));
    AddMenuItem(file, nullptr, 0);
    AddMenuItem(file, Localize("/Menus/File/Preview=PreviewR"), 3117);
    AddMenuItem(file, Localize("/Menus/File/ExportAnimation=Export Animation...E"), 3118);
    AddMenuItem(file, Localize("/Menus/File/BatchExport=Batch Export... "), 3120);
    AddMenuItem(file, nullptr, 0);
    AddMenuItem(file, Localize("/Menus/File/Quit=QuitQ"), CMD_QUIT);
    fMenuBar->AddMenu(file);

    auto* edit = new QV_Menu(Localize("/Menus/Edit/Edit=Edit"));
    AddMenuItem(edit, Localize("/Menus/Edit/Undo=UndoZ"), 3130);
    AddMenuItem(edit, Localize("/Menus/Edit/Redo=RedoZ"), 3131, 1);
    AddMenuItem(edit, nullptr, 0);
    AddMenuItem(edit, Localize("/Menus/Edit/Cut=CutX"), 3132);
    AddMenuItem(edit, Localize("/Menus/Edit/Copy=CopyC"), 3133);
    AddMenuItem(edit, Localize("/Menus/Edit/Paste=PasteV"), 3134);
    AddMenuItem(edit, Localize("/Menus/Edit/Clear=Clear "), 3135);
    AddMenuItem(edit, nullptr, 0);
    AddMenuItem(edit, Localize("/Menus/Edit/SelectAll=Select AllA"), 3136);
    AddMenuItem(edit, Localize("/Menus/Edit/SelectNone=Select None "), 3137);
    AddMenuItem(edit, Localize("/Menus/Edit/SelectInverse=Select InverseI"), 3138);
    AddMenuItem(edit, Localize("/Menus/Edit/SelectConnected=Select Connected "), 3139);
    AddMenuItem(edit, nullptr, 0);
    AddMenuItem(edit, Localize("/Menus/Edit/Preferences=Preferences... "), -1010);
    fMenuBar->AddMenu(edit);

    auto* draw = new QV_Menu(Localize("/Menus/Draw/Draw=Draw"));
    AddMenuItem(draw, Localize("/Menus/Draw/InsertText=Insert Text...T"), 3150);
    AddMenuItem(draw, nullptr, 0);
    AddMenuItem(draw, Localize("/Menus/Draw/Peak=PeakP"), 3154);
    AddMenuItem(draw, Localize("/Menus/Draw/Smooth=SmoothM"), 3155);
    AddMenuItem(draw, nullptr, 0);
    AddMenuItem(draw, Localize("/Menus/Draw/RaiseShape=Raise Shape "), 3156);
    AddMenuItem(draw, Localize("/Menus/Draw/LowerShape=Lower Shape "), 3157);
    AddMenuItem(draw, Localize("/Menus/Draw/RaiseToFront=Raise To Front "), 3158);
    AddMenuItem(draw, Localize("/Menus/Draw/LowerToBack=Lower To Back "), 3159);
    AddMenuItem(draw, nullptr, 0);
    AddMenuItem(draw, Localize("/Menus/Draw/HideShape=Hide ShapeH"), 3160, 1);
    AddMenuItem(draw, Localize("/Menus/Draw/ShowAllShapes=Show All ShapesS"), 3161, 1);
    AddMenuItem(draw, nullptr, 0);
    AddMenuItem(draw, Localize("/Menus/Draw/ResetPoints=Reset Points "), 3162);
    AddMenuItem(draw, Localize("/Menus/Draw/ResetAllPoints=Reset All Points "), 3163);
    fMenuBar->AddMenu(draw);

    auto* bone = new QV_Menu(Localize("/Menus/Bone/Bone=Bone"));
    AddMenuItem(bone, Localize("/Menus/Bone/ReleasePoints=Release Points "), 3170);
    AddMenuItem(bone, Localize("/Menus/Bone/FlexiBindPoints=Flexi-Bind Points "), 3172);
    AddMenuItem(bone, nullptr, 0);
    AddMenuItem(bone, Localize("/Menus/Bone/ReleaseLayer=Release Layer "), 3173);
    AddMenuItem(bone, Localize("/Menus/Bone/FlexiBindLayer=Flexi-Bind Layer "), 3174);
    AddMenuItem(bone, nullptr, 0);
    AddMenuItem(bone, Localize("/Menus/Bone/HideControlledBones=Hide Controlled Bones "), 3175);
    AddMenuItem(bone, nullptr, 0);
    AddMenuItem(bone, Localize("/Menus/Bone/TrackBoneToVideo=Track Bone To Video... "), 3176);
    AddMenuItem(bone, nullptr, 0);
    AddMenuItem(bone, Localize("/Menus/Bone/ResetBone=Reset Bone "), 3177);
    AddMenuItem(bone, Localize("/Menus/Bone/ResetAllBones=Reset All Bones "), 3178);
    fMenuBar->AddMenu(bone);

    auto* animation = new QV_Menu(Localize("/Menus/Animation/Animation=Animation"));
    AddMenuItem(animation, Localize("/Menus/Animation/AllowFrameSkipping=Allow Frame Skipping "), 3200);
    AddMenuItem(animation, nullptr, 0);
    AddMenuItem(animation, Localize("/Menus/Animation/ClearLayerAnimation=Clear Animation From Layer "), 3201);
    AddMenuItem(animation, Localize("/Menus/Animation/ClearDocumentAnimation=Clear Animation From Document "), 3202);
    AddMenuItem(animation, Localize("/Menus/Animation/ResetAllChannels=Reset All Layer Channels "), 3203);
    AddMenuItem(animation, Localize("/Menus/Animation/SetLayerStartTime=Set Layer Start Time "), 3204);
    AddMenuItem(animation, nullptr, 0);
    AddMenuItem(animation, Localize("/Menus/Animation/SelectAllKeyframes=Select All Keyframes "), 3205);
    AddMenuItem(animation, Localize("/Menus/Animation/RescaleKeyframes=Rescale Keyframes... "), 3206);
    AddMenuItem(animation, Localize("/Menus/Animation/CopyCurrentFrame=Copy Current Frame... "), 3207);
    AddMenuItem(animation, nullptr, 0);
    AddMenuItem(animation, Localize("/Menus/Animation/BlendMorphs=Blend Morphs... "), 3208);
    AddMenuItem(animation, nullptr, 0);
    AddMenuItem(animation, Localize("/Menus/Animation/TrackLayerToVideo=Track Layer To Video... "), 3209);
    AddMenuItem(animation, nullptr, 0);
    AddMenuItem(animation, Localize("/Menus/Animation/MuteAudio=Mute Audio "), 3212);
    AddMenuItem(animation, Localize("/Menus/Animation/RestartAudioTrack=Restart Audio Track "), 3213);
    AddMenuItem(animation, Localize("/Menus/Animation/AudioLevel=Audio Level... "), 3214);
    fMenuBar->AddMenu(animation);

    fScriptsMenu = new ScriptsMenu(Localize("/Menus/Scripts/Scripts=Scripts"));
    fScriptsMenu->Rebuild(Registry(), this);
    fMenuBar->AddMenu(fScriptsMenu);

    auto* view = new QV_Menu(Localize("/Menus/View/View=View"));
    AddMenuItem(view, Localize("/Menus/View/Reset=Reset "), 3180);
    AddMenuItem(view, Localize("/Menus/View/ShowOutputOnly=Show Output OnlyJ"), 3192);
    fMenuBar->AddMenu(view);

    auto* windowMenu = new QV_Menu(Localize("/Menus/Window/Window=Window"));
    AddMenuItem(windowMenu, Localize("/Menus/Window/Tools=Tools "), 3250);
    AddMenuItem(windowMenu, Localize("/Menus/Window/Layers=Layers "), 3251);
    AddMenuItem(windowMenu, Localize("/Menus/Window/Timeline=Timeline["), 3252);
    AddMenuItem(windowMenu, Localize("/Menus/Window/Style=Style]"), 3253);
    AddMenuItem(windowMenu, Localize("/Menus/Window/Actions=Actions "), 3254);
    AddMenuItem(windowMenu, Localize("/Menus/Window/Library=LibraryL"), 3255, 1);
    fMenuBar->AddMenu(windowMenu);

    auto* help = new QV_Menu(Localize("/Menus/Help/Help=Help"));
    AddMenuItem(help, Localize("/Menus/Help/QuickStartGuide...=Quick Start Guide... "), 3290);
    AddMenuItem(help, Localize("/Menus/Help/Help...=Help... "), 3280);
    AddMenuItem(help, Localize("/Menus/Help/OpenContentLibrary=Open Content Library... "), 3287);
    AddMenuItem(help, Localize("/Menus/Help/WelcomeScreen=Welcome Screen... "), 3286);
    AddMenuItem(help, nullptr, 0);
    AddMenuItem(help, Localize("/Menus/Help/AboutCelvanePomra=About Celvane Pomra... "), -1009);
    AddMenuItem(help, Localize("/Menus/Help/AboutScripts=About Scripts... "), 3281);
    fMenuBar->AddMenu(help);

    SetMainView(fMenuBar);
}

void MainLayer::BuildBars()
{
    const int32_t width = fFrame.right - fFrame.left + 1;
    const int32_t height = fFrame.bottom - fFrame.top + 1;
    const int32_t row = ScaledMetric20();
    const int32_t menuBottom = fMenuBar->Frame().bottom;

    fToolBar = new CtrlView(FOLLOW_LEFT | FOLLOW_TOP | FOLLOW_RIGHT, true, true);
    fToolBar->MoveTo(0, menuBottom + 1);
    fToolBar->ResizeTo(width, int32_t(std::lround(1.222 * row)) + 8);
    auto* library = new QV_Button("Library", CMD_LIBRARY, 0, false, FOLLOW_RIGHT | FOLLOW_TOP);
    const QV_Point librarySize = library->Size();
    fToolBar->AddChild(library);
    library->MoveTo(width - librarySize.x - 9, (fToolBar->Size().y - librarySize.y) / 2);
    AddView(fToolBar);

    const int32_t line = gWidgetFont ? gWidgetFont->LineHeight() : 15;
    const int32_t statusHeight = line + line / 4;
    const int32_t toolBottom = fToolBar->Frame().bottom;
    if (gPrefs.topStatusBar)
        fStatusBar = new StatusBar(false, 0, toolBottom + 1, width - 1, toolBottom + statusHeight);
    else
        fStatusBar = new StatusBar(true, 0, height - statusHeight, width - 1, height - 1);
    AddView(fStatusBar);

    fPlaybackBar = new CtrlView(FOLLOW_LEFT | FOLLOW_RIGHT | FOLLOW_BOTTOM, false, false);
    const int32_t barHeight = row + 4;
    const int32_t barTop = gPrefs.topStatusBar ? height - barHeight : fStatusBar->Frame().top - barHeight;
    fPlaybackBar->MoveTo(0, barTop);
    fPlaybackBar->ResizeTo(width, barHeight);

    fPlaybackButtons = new QV_LayoutView(false, 1, 0, 0);
    struct ButtonSpec {
        const char* image;
        const char* tip;
        int32_t message;
    };
    static const ButtonSpec specs[7] = {
        { "prev_key", "/Controls/Playback/PreviousKeyframe=Previous Keyframe", 1100 },
        { "rewind", "/Controls/Playback/Rewind=Rewind", 1101 },
        { "step_back", "/Controls/Playback/StepBack=Step Back", 1102 },
        { "play", "/Controls/Playback/Play=Play", 1104 },
        { "step_forward", "/Controls/Playback/StepForward=Step Forward", 1105 },
        { "forward", "/Controls/Playback/JumpToEnd=Jump To End", 1106 },
        { "next_key", "/Controls/Playback/NextKeyframe=Next Keyframe", 1107 },
    };
    for (int32_t i = 0; i < 7; i++) {
        fPlaybackButton[i] = new QV_Button(
            GetResourceImage(specs[i].image), Localize(specs[i].tip), false, specs[i].message, FOLLOW_LEFT | FOLLOW_TOP);
        fPlaybackButtons->AddChild(fPlaybackButton[i], ALIGN_CENTER);
    }
    fPlaybackButtons->AddPadding(8);
    fPlaybackButtons->AddChild(new QV_StaticText(Localize("/Controls/Playback/Frame=Frame")), ALIGN_CENTER);
    const int32_t fieldWidth = (gWidgetFont ? gWidgetFont->StringWidth("00:00:00:00") : 70) + 8;
    fFrameField = new QV_TextControl(fieldWidth, "", 3001, FIELD_TEXT);
    fPlaybackButtons->AddChild(fFrameField, ALIGN_CENTER);
    fPlaybackButtons->AddPadding(2);
    fPlaybackButtons->AddChild(new QV_StaticText(Localize("/Controls/Playback/Of=of")), ALIGN_CENTER);
    fEndField = new QV_TextControl(fieldWidth, "", 3002, FIELD_TEXT);
    fPlaybackButtons->AddChild(fEndField, ALIGN_CENTER);
    fPlaybackButtons->AddPadding(8);
    fMuteButton = new QV_Button(
        GetResourceImage("nomute"), Localize("/Controls/Playback/Mute=Mute"), false, 3212, FOLLOW_LEFT | FOLLOW_TOP);
    fPlaybackButtons->AddChild(fMuteButton, ALIGN_CENTER);
    const QV_Point preferred = fPlaybackButtons->PreferredSize();
    fPlaybackButtons->ResizeTo(preferred.x, preferred.y);
    fPlaybackButtons->Layout();
    fPlaybackBar->AddChild(fPlaybackButtons);
    fPlaybackButtons->MoveTo(1, (barHeight - preferred.y) / 2);
    AddView(fPlaybackBar);
    Arrange();
}

void MainLayer::HandleMessage(QV_Message* message)
{
    // A script reload brings its own messages here; the Scripts menu follows it.
    if (fScriptsMenu)
        fScriptsMenu->Refresh(Registry(), this);
    if (!message || HandleCommand(message) || HandlePlayback(message))
        return;
    const int32_t what = message->fWhat;
    // The frame fields, playback and the notifications with an entry of their own stay here;
    // the rest is the main window's.
    const bool playback = (what >= 1000 && what <= 1108 && what != 1001 && what != 1003 && what != 1005
                              && what != 1006 && what != 1007)
        || what == 3001 || what == 3002;
    if (!playback)
        PassOn(message);
}

void MainLayer::SetDocument(VornDoc* document)
{
    fDoc = document;
    fEndFrame = document->EndFrame() < 1 ? document->AnimDuration() : document->EndFrame();
    fLastStaticState = false;
    SetViewMode(1);
    if (fEndField) {
        char text[32];
        std::snprintf(text, sizeof(text), "%d", int(fEndFrame));
        fEndField->SetValue(text);
        fFrameField->SetValue(document->CurFrame());
    }
    if (fWindow) {
        Draw();
        Flush();
    }
    RefreshPanels();
    PostMessage(1006);
    PostMessage(1004);
}

void MainLayer::ClearDocument()
{
    PostMessage(1103);
    if (fStatusBar) {
        fStatusBar->fLeftText = "";
        fStatusBar->fRightText = "";
        if (fWindow) {
            fStatusBar->Draw();
            fStatusBar->Refresh();
        }
    }
    for (QV_View*& view : fCanvasViews) {
        if (view) {
            RemoveView(view);
            delete view;
            view = nullptr;
        }
    }
    fCurrentView = nullptr;
    // The tracks name the layers of the document that goes.
    if (fMixer)
        fMixer->fTrackCount = 0;
    if (fDoc) {
        fDoc = nullptr;
        fEndFrame = 1;
        if (fEndField) {
            fEndField->SetValue("");
            fFrameField->SetValue("");
        }
        if (fWindow) {
            Draw();
            Flush();
        }
    }
    PostMessage(1000);
}

void MainLayer::RefreshPanels()
{
    if (!fDoc)
        return;
    PostMessage(1000);
    RefreshViews();
}

void MainLayer::RefreshViews()
{
    if (!fWindow)
        return;
    for (QV_View* view : fCanvasViews) {
        if (view) {
            view->Draw();
            view->Refresh();
        }
    }
}

void MainLayer::UpdateRecentMenu()
{
    if (!fRecentMenu)
        return;
    for (int32_t i = 0; i < kRecentFileCount; i++) {
        char key[32];
        std::snprintf(key, sizeof(key), "RecentFile%d", int(i + 1));
        QV_String path;
        const bool present = gApp && gApp->fUserSettings.FindString(key, path);
        const int32_t message = CMD_RECENT_FIRST + i;
        fRecentMenu->SetItemLabel(message, present ? QV_Path(path).FileName().CString() : "-");
        fRecentMenu->SetEnabled(message, present);
    }
}

int32_t MainLayer::TitleHeight() const
{
    return gPanelFont ? gPanelFont->LineHeight() : 15;
}

bool MainLayer::Docked(QV_View* panel) const
{
    auto* docking = static_cast<QV_DockingView*>(panel);
    return docking && docking->fDockLayer == this;
}

MainLayout MainLayer::CurrentLayout(MainLayoutInput* input)
{
    MainLayoutInput in;
    in.width = fFrame.right - fFrame.left + 1;
    in.height = fFrame.bottom - fFrame.top + 1;
    in.toolBarBottom = fToolBar ? fToolBar->Frame().bottom : 0;
    in.topEdge = gPrefs.topStatusBar && fStatusBar ? fStatusBar->Frame().bottom : in.toolBarBottom;
    in.bottomEdge = gPrefs.topStatusBar || !fStatusBar ? in.height : fStatusBar->Frame().top;
    in.titleHeight = TitleHeight();
    in.minPanelWidth = gStylePanelWidth;
    in.menuBarHeight = fMenuBar ? RectHeight(fMenuBar->Frame()) : 0;
    in.toolBarHeight = fToolBar ? RectHeight(fToolBar->Frame()) : 0;
    in.statusBarHeight = fStatusBar ? RectHeight(fStatusBar->Frame()) : 0;
    in.playbackHeight = fPlaybackBar ? RectHeight(fPlaybackBar->Frame()) : 0;
    if (fMainWindow) {
        in.toolsDocked = Docked(fMainWindow->fToolWnd);
        in.styleDocked = Docked(fMainWindow->fStyleWnd);
        in.layersDocked = Docked(fMainWindow->fLayerWnd);
        in.timelineDocked = Docked(fMainWindow->fTimelineWnd);
        if (in.toolsDocked)
            in.tools = fMainWindow->fToolWnd->Frame();
        if (in.styleDocked)
            in.style = fMainWindow->fStyleWnd->Frame();
        if (in.layersDocked)
            in.layers = fMainWindow->fLayerWnd->Frame();
        if (in.timelineDocked)
            in.timeline = fMainWindow->fTimelineWnd->Frame();
    }
    if (input)
        *input = in;
    return ComputeMainLayout(in);
}

namespace {

void Place(QV_View* view, const QV_Rect& rect)
{
    view->MoveTo(rect.left, rect.top);
    view->ResizeTo(RectWidth(rect), RectHeight(rect));
}

} // namespace

void MainLayer::Arrange()
{
    if (!fPlaybackBar)
        return;
    MainLayoutInput in;
    const MainLayout layout = CurrentLayout(&in);
    if (in.toolsDocked)
        Place(fMainWindow->fToolWnd, layout.tools);
    if (in.styleDocked)
        Place(fMainWindow->fStyleWnd, layout.style);
    if (in.layersDocked)
        Place(fMainWindow->fLayerWnd, layout.layers);
    if (in.timelineDocked)
        Place(fMainWindow->fTimelineWnd, layout.timeline);
    Place(fPlaybackBar, layout.playback);
    if (fViewMode == 1 && fCanvasViews[0])
        Place(fCanvasViews[0], layout.canvas);
    CenterPlaybackButtons();
}

void MainLayer::CenterPlaybackButtons()
{
    if (!fPlaybackButtons)
        return;
    const QV_Rect area = CanvasArea();
    const int32_t width = RectWidth(fPlaybackButtons->Frame());
    fPlaybackButtons->MoveTo(area.left + (RectWidth(area) - width) / 2, fPlaybackButtons->Frame().top);
}

QV_Rect MainLayer::CanvasArea()
{
    return CurrentLayout().canvas;
}

QV_Rect MainLayer::RightSplitterRect()
{
    return CurrentLayout().splitter;
}

int32_t MainLayer::MaxTimelineHeight()
{
    MainLayoutInput in;
    CurrentLayout(&in);
    return ::MaxTimelineHeight(in);
}

void MainLayer::SetViewMode(int32_t mode)
{
    for (QV_View*& view : fCanvasViews) {
        if (view) {
            RemoveView(view);
            delete view;
            view = nullptr;
        }
    }
    fViewMode = mode;
    const QV_Rect area = CanvasArea();
    QV_View* view = nullptr;
    if (gShellHooks.makeCanvasView)
        view = gShellHooks.makeCanvasView(this, fDoc, area.left, area.top, area.right, area.bottom);
    if (!view)
        view = new CanvasPlaceholder(fDoc);
    fCanvasViews[0] = view;
    AddView(view);
    Place(view, area);
    fCurrentView = view;
    if (view->AcceptsFocus())
        SetFocus(view);
}

void MainLayer::FrameResized(int32_t oldWidth, int32_t oldHeight, int32_t newWidth, int32_t newHeight)
{
    QV_Layer::FrameResized(oldWidth, oldHeight, newWidth, newHeight);
    CenterPlaybackButtons();
}

void MainLayer::ViewDocked(QV_View*)
{
    Arrange();
}

void MainLayer::ViewUndocked(QV_View*)
{
    Arrange();
}

void MainLayer::DrawTitleBar(QV_View* panel)
{
    QV_Graphics* graphics = GetGraphics();
    if (!graphics || !Docked(panel))
        return;
    const QV_Rect frame = panel->Frame();
    const int32_t titleHeight = TitleHeight();
    const int32_t top = frame.top - titleHeight - 3;
    const int32_t bottom = frame.top - 1;
    graphics->FillGradientRect(0, true, TabGradient1, TabGradient2, frame.left, top, frame.right, bottom);
    if (gPanelFont) {
        const char* title = static_cast<QV_DockingView*>(panel)->fTitle.CString();
        graphics->SetFont(gPanelFont);
        const int32_t x = frame.left + (RectWidth(frame) - gPanelFont->StringWidth(title)) / 2;
        const int32_t middle = (top + bottom) / 2;
        graphics->SetColorStruct(WidgetHighlight);
        DrawLineCentredAt(graphics, x + 1, middle + 1, title);
        graphics->SetColorStruct(Text);
        DrawLineCentredAt(graphics, x, middle, title);
    }
    graphics->SetColorStruct(WidgetOutline);
    graphics->FrameRect(frame.left, top, frame.right, bottom);
}

void MainLayer::Draw()
{
    QV_Graphics* graphics = GetGraphics();
    if (graphics) {
        const QV_Rect bounds = Bounds();
        graphics->SetColorStruct(WindowBackground);
        graphics->FillRect(bounds.left, bounds.top, bounds.right, bounds.bottom);
        MainLayoutInput in;
        const MainLayout layout = CurrentLayout(&in);
        if (in.layersDocked || in.styleDocked) {
            const QV_Rect s = layout.splitter;
            const rgb_color columns[5] = { WidgetShadow, WidgetFill, BoxGradient1, WidgetHighlight, WidgetShadow };
            for (int32_t i = 0; i < 5; i++) {
                graphics->SetColorStruct(columns[i]);
                graphics->DrawVLine(s.top, s.bottom, s.left + i);
            }
        }
        if (fCanvasViews[0]) {
            const QV_Rect a = layout.canvas;
            graphics->SetColorStruct(WidgetShadow);
            graphics->FrameRect(a.left - 1, a.top - 1, a.right + 1, a.bottom + 1);
        }
        if (fMainWindow) {
            DrawTitleBar(fMainWindow->fToolWnd);
            DrawTitleBar(fMainWindow->fLayerWnd);
            DrawTitleBar(fMainWindow->fTimelineWnd);
            DrawTitleBar(fMainWindow->fStyleWnd);
        }
    }
    for (int32_t i = 0; i < fViewCount; i++)
        QV_Layer::fViews[i]->Draw();
}

void MainLayer::MouseDown(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message)
{
    // A press while the space key is down navigates: its release is no tap.
    if (fSpaceClock.running)
        fSpaceClock.Stop();
    fLastMouse = QV_Point { x, y };
    const int32_t titleHeight = TitleHeight();
    if (fMainWindow && Docked(fMainWindow->fTimelineWnd)) {
        const QV_Rect t = fMainWindow->fTimelineWnd->Frame();
        if (x >= t.left && x <= t.right && y >= t.top - titleHeight - 3 && y <= t.top - 1) {
            fSplitDrag = true;
            fSplitKind = 4;
            return;
        }
    }
    if (RightSplitterRect().Contains(x, y)) {
        fSplitDrag = true;
        fSplitKind = 8;
        return;
    }
    QV_Layer::MouseDown(x, y, button, modifiers, message);
}

void MainLayer::MouseMoved(int32_t x, int32_t y, int32_t modifiers, QV_Message* message)
{
    if (!fSplitDrag) {
        if (!gPrefs.disableCursors && fWindow && fMainWindow) {
            const int32_t titleHeight = TitleHeight();
            QV_Cursor* cursor = nullptr;
            if (Docked(fMainWindow->fTimelineWnd)) {
                const QV_Rect t = fMainWindow->fTimelineWnd->Frame();
                if (x >= t.left && x <= t.right && y >= t.top - titleHeight - 3 && y <= t.top - 1)
                    cursor = VResizeCursor;
            }
            if (!cursor && Docked(fMainWindow->fLayerWnd) && RightSplitterRect().Contains(x, y))
                cursor = HResizeCursor;
            if (cursor)
                ApplyViewCursor(fWindow, cursor);
        }
        QV_Layer::MouseMoved(x, y, modifiers, message);
        fLastMouse = QV_Point { x, y };
        return;
    }
    const int32_t height = fFrame.bottom - fFrame.top + 1;
    const int32_t width = fFrame.right - fFrame.left + 1;
    if (fSplitKind == 4 && fMainWindow && Docked(fMainWindow->fTimelineWnd)) {
        ShellPanel* timeline = fMainWindow->fTimelineWnd;
        const QV_Rect t = timeline->Frame();
        int32_t top = y + t.top - fLastMouse.y;
        top = std::max(100, std::min(top, height - 1 - 100));
        timeline->MoveTo(t.left, top);
        timeline->ResizeTo(RectWidth(t), t.bottom - top + 1);
    } else if (fSplitKind == 8 && fMainWindow && Docked(fMainWindow->fLayerWnd)) {
        ShellPanel* layers = fMainWindow->fLayerWnd;
        const QV_Rect l = layers->Frame();
        int32_t left = l.left + x - fLastMouse.x;
        const int32_t rowWidth = fPlaybackButtons ? RectWidth(fPlaybackButtons->Frame()) : 0;
        left = std::max(rowWidth, std::min(left, width - 1 - gStylePanelWidth + 1));
        layers->MoveTo(left, l.top);
        layers->ResizeTo(l.right - left + 1, RectHeight(l));
    } else {
        return;
    }
    Arrange();
    if (fWindow) {
        Draw();
        Flush();
    }
    fLastMouse = QV_Point { x, y };
}

void MainLayer::MouseUp(int32_t x, int32_t y, int32_t button, int32_t modifiers, QV_Message* message)
{
    if (fSplitDrag) {
        fSplitDrag = false;
        fSplitKind = 0;
        return;
    }
    QV_Layer::MouseUp(x, y, button, modifiers, message);
}
