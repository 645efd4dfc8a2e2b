#include "layer_wnd.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "app_prefs.h"
#include "audiolayer.h"
#include "bonelayer.h"
#include "file_dialogs.h"
#include "follow_flags.h"
#include "format_version.h"
#include "grouplayer.h"
#include "image_format_registry.h"
#include "imagelayer.h"
#include "interface_colors.h"
#include "layer_view.h"
#include "layerfactory.h"
#include "main_layer.h"
#include "mesh3dlayer.h"
#include "meshlayer.h"
#include "notelayer.h"
#include "particlelayer.h"
#include "qv_alert.h"
#include "qv_app.h"
#include "qv_button.h"
#include "qv_graphics.h"
#include "qv_memstream.h"
#include "qv_menu.h"
#include "qv_message.h"
#include "qv_path.h"
#include "qv_scrolling_view.h"
#include "resource_images.h"
#include "switchlayer.h"
#include "vorn_wnd.h"
#include "vorndoc.h"
#include "vornlayer.h"

void (*gRunLayerDlog)(QV_Wnd* owner, VornDoc* document, VornLayer* layer) = nullptr;

namespace {

int32_t WarningAlert(QV_Wnd* owner, const char* line1, const char* line2, const char* button1, const char* button2)
{
    return Alert(owner, ALERT_WARNING, line1, line2, nullptr, button1, button2, nullptr);
}

} // namespace

int32_t (*gLayerAlert)(QV_Wnd* owner, const char* line1, const char* line2, const char* button1,
    const char* button2) = WarningAlert;

namespace {

constexpr const char* kMoviePatterns = "*.mov;*.avi;*.mp4;*.m4v;*.mpg;*.mpeg";
constexpr const char* kAudioPatterns = "*.wav;*.aif;*.aiff;*.au;*.snd;*.mp3;*.m4a;*.mid;*.midi;*.m4p;*.m4b";

// A particle layer's particles follow its sub-layers only after a pass through frame 0.
void Resettle(VornDoc* doc, VornLayer* layer)
{
    if (layer && layer->LayerType() == LT_PARTICLE) {
        layer->SetCurFrame(0);
        layer->SetCurFrame(doc->CurFrame());
    }
}

// Puts the layer directly above the current one: in its group, or in the top-level list.
void InsertAboveCurrent(VornDoc* doc, VornLayer* layer, VornLayer* current)
{
    GroupLayer* parent = current ? current->Parent() : nullptr;
    if (parent) {
        parent->InsertLayer(layer, current, true);
        Resettle(doc, parent);
        if (parent->LayerType() == LT_SWITCH)
            static_cast<SwitchLayer*>(parent)->SetValue(doc->CurFrame(), layer->fName.CString());
    } else {
        doc->InsertLayer(layer, current, true);
    }
}

VornLayer* MakeLayer(int32_t command, VornDoc* doc)
{
    switch (command) {
    case 5010: {
        auto* mesh = new (std::nothrow) MeshLayer;
        if (mesh) {
            mesh->fNoiseAmp = 6.0f / float(doc->Height());
            mesh->fNoiseScale = 48.0f / float(doc->Height());
        }
        return mesh;
    }
    case 5011:
        return new (std::nothrow) ImageLayer;
    case 5016:
        return new (std::nothrow) Mesh3DLayer;
    case 5017:
        return new (std::nothrow) NoteLayer;
    case 5018:
        return new (std::nothrow) AudioLayer;
    default:
        break;
    }
    GroupLayer* group = nullptr;
    if (command == 5012)
        group = new (std::nothrow) GroupLayer;
    else if (command == 5013)
        group = new (std::nothrow) BoneLayer;
    else if (command == 5014)
        group = new (std::nothrow) SwitchLayer;
    else if (command == 5015)
        group = new (std::nothrow) ParticleLayer;
    if (group)
        group->Expand(true);
    return group;
}

LayerWnd* LayersPanelOf(VornWnd* owner)
{
    return owner ? dynamic_cast<LayerWnd*>(owner->fLayerWnd) : nullptr;
}

} // namespace

QV_String DuplicateName(const char* name)
{
    const QV_String whole(name ? name : "");
    const char* text = whole.CString();
    const char* space = std::strrchr(text, ' ');
    if (space && space[1] && std::isdigit(static_cast<unsigned char>(space[1]))) {
        const long number = std::strtol(space + 1, nullptr, 10);
        char suffix[32];
        std::snprintf(suffix, sizeof(suffix), "%ld", number + 1);
        return whole.Left(int32_t(space - text + 1)) + suffix;
    }
    return whole + " 2";
}

LayerWnd::LayerWnd(VornWnd* owner, VornDoc* document)
    : ShellPanel(PanelKind::Layers, owner, Localize("/Windows/Layers/Title=Layers"), true, 5, "LayerWnd", 600, 450,
        820, 706)
    , fNewMenu(nullptr)
    , fNewButton(nullptr)
    , fDuplicateButton(nullptr)
    , fDeleteButton(nullptr)
    , fSettingsButton(nullptr)
    , fTree(nullptr)
    , fScroller(nullptr)
{
    fNewMenu = new QV_Menu(Localize("/Windows/Layers/NewLayer=New Layer"));
    fNewMenu->fTarget = this;
    fNewMenu->AddItem(Localize("/Windows/Layers/Vector=Vector"), 0, 5010);
    fNewMenu->AddItem(Localize("/Windows/Layers/Image=Image"), 0, 5011);
    fNewMenu->AddItem(Localize("/Windows/Layers/Bone=Bone"), 0, 5013);
    fNewMenu->AddItem(Localize("/Windows/Layers/Switch=Switch"), 0, 5014);
    fNewMenu->AddItem(Localize("/Windows/Layers/Audio=Audio"), 0, 5018);
    // Groups, particles and notes have no other way in.
    fNewMenu->AddItem("", 0, 0);
    fNewMenu->AddItem(Localize("/Windows/Layers/Group=Group"), 0, 5012);
    fNewMenu->AddItem(Localize("/Windows/Layers/Particle=Particle"), 0, 5015);
    fNewMenu->AddItem(Localize("/Windows/Layers/Note=Note"), 0, 5017);

    struct ButtonSpec {
        const char* image;
        const char* tip;
        int32_t message;
        QV_Button** field;
    };
    const ButtonSpec specs[] = {
        { "layer_new", "/Windows/Layers/NewLayer=New Layer", 5001, &fNewButton },
        { "layer_dup", "/Windows/Layers/DuplicateLayer=Duplicate Layer", 5002, &fDuplicateButton },
        { "layer_del", "/Windows/Layers/DeleteLayer=Delete Layer", 5003, &fDeleteButton },
        { "layer_info", "/Windows/Layers/LayerSettings=Layer Settings", 5004, &fSettingsButton },
    };
    int32_t x = 0;
    for (const ButtonSpec& spec : specs) {
        auto* button = new QV_Button(
            GetResourceImage(spec.image), Localize(spec.tip), false, spec.message, FOLLOW_LEFT | FOLLOW_TOP);
        button->MoveTo(x, 0);
        AddChild(button);
        *spec.field = button;
        x = button->Frame().right + 2;
    }
    const QV_Point size = Size();
    const int32_t top = fNewButton->Frame().bottom + 1;
    fScroller = new QV_ScrollingView(std::max<int32_t>(size.x, 32), std::max<int32_t>(size.y - top, 32),
        FOLLOW_LEFT | FOLLOW_TOP | FOLLOW_RIGHT | FOLLOW_BOTTOM);
    fScroller->MoveTo(0, top);
    AddChild(fScroller);
    fTree = new LayerView(fScroller);
    fTree->fPanel = this;
    fScroller->fContent = fTree;
    fScroller->fClipView->AddChild(fTree);
    SetDocument(document);
}

LayerWnd::~LayerWnd()
{
    delete fNewMenu;
}

void LayerWnd::SetDocument(VornDoc* document)
{
    ShellPanel::SetDocument(document);
    fTree->fDoc = document;
    for (QV_Button* button : { fNewButton, fDuplicateButton, fDeleteButton, fSettingsButton })
        button->Enable(document != nullptr);
    if (!document) {
        fTree->fRowCount = 0;
        fTree->fContentWidth = 32;
        fTree->ResizeTo(32, 32);
    }
    fTree->Redraw();
    PostMessage(1006);
}

void LayerWnd::Draw()
{
    if (QV_Graphics* graphics = GetGraphics()) {
        const QV_Rect bounds = Bounds();
        graphics->SetColorStruct(TabBackground);
        graphics->FillRect(bounds.left, bounds.top, bounds.right, bounds.bottom);
    }
    QV_DockingView::Draw();
}

void LayerWnd::TreeNotice(int32_t what)
{
    if (fMainWindow)
        fMainWindow->PostMessage(what);
    else if (what == 1006)
        Refresh();
}

void LayerWnd::TellTimeline(int32_t what)
{
    if (fMainWindow && fMainWindow->fTimelineWnd)
        fMainWindow->fTimelineWnd->PostMessage(what);
}

void LayerWnd::Refresh()
{
    if (fDocument) {
        VornLayer* current = fDocument->GetSelectedLayer();
        fDeleteButton->Enable(!(fDocument->CountLayers() == 1 && current && !current->Parent()));
    } else {
        fDeleteButton->Enable(false);
    }
    fTree->Redraw();
}

void LayerWnd::HandleMessage(QV_Message* message)
{
    if (!message)
        return;
    const int32_t what = message->fWhat;
    QV_String path;
    const bool hasPath = message->FindString("path", path);
    switch (what) {
    case 1006:
        Refresh();
        return;
    case 5001:
        OpenNewLayerMenu();
        return;
    case 5002:
        DuplicateLayer();
        return;
    case 5003:
        DeleteLayer();
        return;
    case 5004:
        if (fDocument && fDocument->GetSelectedLayer() && gRunLayerDlog)
            gRunLayerDlog(Window(), fDocument, fDocument->GetSelectedLayer());
        return;
    case 5011:
    case 5018:
        if (!fDocument)
            return;
        if (what == 5018 && AudioLimitReached())
            return;
        if (hasPath)
            NewLayer(what, path.CString());
        else
            AskForFile(what);
        return;
    case 5010:
    case 5012:
    case 5013:
    case 5014:
    case 5015:
    case 5016:
    case 5017:
        NewLayer(what, nullptr);
        return;
    case 5030:
        ToggleParticles();
        return;
    default:
        break;
    }
    if (what >= 5100 && what <= 5299) {
        ChooseSwitchLayer(what - 5100);
        return;
    }
    if (what >= 1000 && what <= 1105) {
        TreeNotice(what);
        return;
    }
    ShellPanel::HandleMessage(message);
}

void LayerWnd::OpenNewLayerMenu()
{
    if (!fDocument)
        return;
    const bool drawingAllowed = fDocument->CurFrame() == 0 || !gPrefs.disableDrawingToolsNonZero;
    for (int32_t id = 5010; id <= 5017; id++) {
        if (id != 5011)
            fNewMenu->SetEnabled(id, drawingAllowed);
    }
    QV_Wnd* window = Window();
    if (!window)
        return;
    const QV_Rect frame = fNewButton->Frame();
    const QV_Point point = ConvertToWindow(QV_Point { frame.left, frame.bottom + 1 });
    fNewMenu->Popup(window, point.x, point.y);
}

bool LayerWnd::AudioLimitReached()
{
    QV_ArrayList audio;
    fDocument->CollectAudioLayers(audio, nullptr);
    if (audio.fCount < 2)
        return false;
    gLayerAlert(Window(), Localize("/Windows/Main/MaxAudioLayers=No more than 2 audio layers are allowed."), nullptr,
        Localize("/Strings/OK=OK"), nullptr);
    return true;
}

void LayerWnd::AskForFile(int32_t command)
{
    if (command == 5011) {
        QV_String patterns = ImageOpenFilter;
        QV_ArrayList movies;
        fDocument->CollectMovieLayers(movies, nullptr);
        if (movies.fCount == 0) {
            patterns.Append(";");
            patterns.Append(kMoviePatterns);
        }
        RunOpenFileDialog(Localize("/Windows/Layers/SelectImage=Select Image"), this, Window(), 5011, "Image Files",
            patterns.CString());
    } else {
        RunOpenFileDialog(Localize("/Windows/Layers/SelectAudioFile=Select Audio File"), this, Window(), 5018,
            "Audio Files", kAudioPatterns);
    }
}

VornLayer* LayerWnd::NewLayer(int32_t command, const char* path)
{
    if (!fDocument)
        return nullptr;
    VornDoc* doc = fDocument;
    TreeNotice(1007);
    VornLayer* current = doc->GetSelectedLayer();
    const int32_t count = current && current->Parent() ? current->Parent()->CountLayers() : doc->CountLayers();
    VornLayer* layer = MakeLayer(command, doc);
    if (!layer)
        return nullptr;
    const int32_t frame = doc->CurFrame();
    const bool media = command == 5011 || command == 5018;
    if (media) {
        if (frame != 0 && frame != 1) {
            layer->fVisibility.SetValue(0, false);
            layer->fVisibility.SetValue(1, true);
            layer->SetTimingOffset(1 - frame);
        }
        if (command == 5011) {
            auto* image = static_cast<ImageLayer*>(layer);
            image->SetSourceImage(path);
            image->fShapeWidth = -1;
            image->fShapeHeight = -1;
        } else if (static_cast<AudioLayer*>(layer)->SetAudioFile(path) != 0) {
            delete layer;
            gLayerAlert(Window(), Localize("/Windows/Layers/UnsupportedAudio=The selected audio file is not supported."), nullptr,
                Localize("/Strings/OK=OK"), nullptr);
            return nullptr;
        }
    }
    layer->SetScaleCompensation(gPrefs.scaleCompensation);
    if (media) {
        layer->SetName(QV_Path(path ? path : "").FileName().CString());
    } else {
        char name[64];
        std::snprintf(name, sizeof(name), "Layer %ld", long(count + 1));
        layer->SetName(name);
    }
    InsertAboveCurrent(doc, layer, current);
    if (!media && frame > 0) {
        layer->fVisibility.SetValue(0, false);
        layer->fVisibility.SetValue(frame, true);
    }
    layer->fShadowOffset.SetValue(0, 1.0f / 30.0f);
    layer->fShadowBlur.SetValue(0, 1.0f / 60.0f);
    layer->fShadingOffset.SetValue(0, 1.0f / 30.0f);
    layer->fShadingBlur.SetValue(0, 1.0f / 15.0f);
    doc->SetSelLayer(layer);
    layer->SetCurFrame(0);
    layer->SetCurFrame(frame);
    doc->SetDirty();
    TreeNotice(1005);
    TreeNotice(1006);
    if (command == 5017)
        PostMessage(5004);
    return layer;
}

void LayerWnd::DuplicateLayer()
{
    VornDoc* doc = fDocument;
    VornLayer* original = doc ? doc->GetSelectedLayer() : nullptr;
    if (!original)
        return;
    TreeNotice(1007);
    QV_MemStream stream;
    if (stream.Open(2048) != 0)
        return;
    stream.fVersion = kCurrentFormatVersion;
    original->WriteRecord(&stream);
    stream.Rewind();
    stream.fVersion = kCurrentFormatVersion;
    VornLayer* copy = LayerFactory(original->LayerType());
    if (!copy)
        return;
    copy->SetDocument(doc);
    if (!copy->ReadRecord(&stream)) {
        delete copy;
        return;
    }
    copy->SetName(DuplicateName(original->fName.CString()).CString());
    InsertAboveCurrent(doc, copy, original);
    doc->SetSelLayer(copy);
    for (int32_t i = 0; i < doc->CountLayers(); i++)
        doc->ResolveStyleRefs(static_cast<VornLayer*>(doc->fLayers.fItems[i]));
    copy->SetCurFrame(0);
    copy->SetCurFrame(doc->CurFrame());
    doc->SetDirty();
    TreeNotice(1005);
    TreeNotice(1006);
}

void LayerWnd::DeleteLayer()
{
    VornDoc* doc = fDocument;
    VornLayer* layer = doc ? doc->GetSelectedLayer() : nullptr;
    if (!layer)
        return;
    TreeNotice(1007);
    if (gLayerAlert(Window(), Localize("/Windows/Layers/AreYouSureDeleteLayer=Are you sure you want to delete the selected layer?"),
            Localize("/Windows/Layers/NoUndo=This action cannot be undone."), Localize("/Strings/Yes=Yes"),
            Localize("/Strings/No=No"))
        != 0)
        return;
    VornLayer* next = nullptr;
    if (GroupLayer* group = layer->Parent()) {
        const int32_t index = group->LayerIndex(layer);
        group->RemoveLayer(layer);
        Resettle(doc, group);
        next = group->CountLayers() > 0
            ? static_cast<VornLayer*>(group->fLayers.fItems[std::max<int32_t>(index - 1, 0)])
            : group;
    } else {
        if (doc->CountLayers() <= 1)
            return;
        const int32_t index = doc->fLayers.IndexOf(layer);
        doc->RemoveLayer(layer);
        next = static_cast<VornLayer*>(doc->fLayers.fItems[std::max<int32_t>(index - 1, 0)]);
    }
    doc->SetSelLayer(next);
    if (fMainWindow && fMainWindow->fMainLayer)
        fMainWindow->fMainLayer->UpdateAudioTracks();
    // An undo level may still name the layer: drop the history before the layer goes.
    doc->PrepUndo(nullptr);
    delete layer;
    doc->SetDirty();
    TreeNotice(1005);
    TreeNotice(1006);
}

void LayerWnd::ChooseSwitchLayer(int32_t index)
{
    VornDoc* doc = fDocument;
    VornLayer* layer = doc ? doc->GetSelectedLayer() : nullptr;
    if (!layer || layer->LayerType() != LT_SWITCH)
        return;
    auto* switchLayer = static_cast<SwitchLayer*>(layer);
    if (index >= switchLayer->CountLayers())
        return;
    doc->SetDirty();
    doc->PrepUndo(layer);
    switchLayer->SetValue(
        doc->CurFrame(), static_cast<VornLayer*>(switchLayer->fLayers.fItems[index])->fName.CString());
    TreeNotice(1001);
    TreeNotice(10044);
    TreeNotice(1000);
}

void LayerWnd::ToggleParticles()
{
    VornDoc* doc = fDocument;
    VornLayer* layer = doc ? doc->GetSelectedLayer() : nullptr;
    if (!layer || layer->LayerType() != LT_PARTICLE)
        return;
    auto* particles = static_cast<ParticleLayer*>(layer);
    doc->PrepUndo(layer);
    doc->SetDirty();
    const int32_t frame = layer->CurFrame();
    AnimBool* track = particles->RunningTrack();
    track->SetValue(frame, !track->GetValue(frame));
    layer->SetCurFrame(0);
    if (frame != 0)
        layer->SetCurFrame(frame);
    TreeNotice(1001);
    TreeNotice(10050);
    TreeNotice(1000);
}

void LayerWnd::ImportImageLayer(LayerWnd* panel, const char* path)
{
    if (!panel)
        return;
    QV_Message message(5011);
    message.AddString("path", path ? path : "");
    panel->DispatchMessage(&message);
}

void LayerWnd::ImportAudioLayer(LayerWnd* panel, const char* path)
{
    if (!panel)
        return;
    QV_Message message(5018);
    message.AddString("path", path ? path : "");
    panel->DispatchMessage(&message);
}

bool AnswerLayerImport(VornWnd* owner, int32_t command, const char* path)
{
    if (command != 3122 && command != 3123 && command != 3127)
        return false;
    if (owner)
        RunLayerImport(owner->fDocument, LayersPanelOf(owner), owner, owner, command, path);
    return true;
}

void RunLayerImport(VornDoc* doc, LayerWnd* panel, QV_Handler* replyTo, QV_Wnd* owner, int32_t command, const char* path)
{
    const bool hasPath = path && path[0];
    if (command == 3122) {
        if (!doc)
            return;
        if (hasPath) {
            if (QV_Path(path).MediaType() == "image" && panel)
                LayerWnd::ImportImageLayer(panel, path);
        } else {
            RunOpenFileDialog(Localize("/Windows/Main/SelectImage=Select Image"), replyTo, owner, 3122,
                "Image Files", ImageOpenFilter.CString());
        }
        return;
    }
    if (command == 3123) {
        if (!doc)
            return;
        QV_ArrayList movies;
        doc->CollectMovieLayers(movies, nullptr);
        if (movies.fCount > 0) {
            gLayerAlert(nullptr, Localize("/Windows/Main/MaxVideoLayers=No more than one video layer is allowed."),
                nullptr, Localize("/Strings/OK=OK"), nullptr);
            return;
        }
        if (hasPath) {
            if (QV_Path(path).MediaType() == "video" && panel)
                LayerWnd::ImportImageLayer(panel, path);
        } else {
            RunOpenFileDialog(Localize("/Windows/Main/SelectMovie=Select Movie"), replyTo, owner, 3123, "Movie Files",
                kMoviePatterns);
        }
        return;
    }
    if (command != 3127)
        return;
    if (doc) {
        QV_ArrayList audio;
        doc->CollectAudioLayers(audio, nullptr);
        if (audio.fCount >= 2) {
            gLayerAlert(nullptr, Localize("/Windows/Main/MaxAudioLayers=No more than 2 audio layers are allowed."),
                nullptr, Localize("/Strings/OK=OK"), nullptr);
            return;
        }
    }
    if (hasPath) {
        if (panel)
            LayerWnd::ImportAudioLayer(panel, path);
    } else {
        RunOpenFileDialog(Localize("/Windows/Main/SelectAudioFile=Select Audio File"), replyTo, owner, 3127,
            "Audio Files", kAudioPatterns);
    }
}
