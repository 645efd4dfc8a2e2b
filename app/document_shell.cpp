#include "document_shell.h"

#include <cstdio>
#include <cstring>
#include <sys/stat.h>

#include "app_prefs.h"
#include "imagelayer.h"
#include "meshlayer.h"
#include "qv_alert.h"
#include "qv_app.h"
#include "qv_filestream.h"
#include "qv_message.h"
#include "qv_movie_reader.h"
#include "shell_hooks.h"
#include "vorn_app.h"
#include "vorndoc.h"

namespace {

// A regular file this process may read.
bool CanRead(const char* path)
{
    struct stat info;
    if (!path || !*path || stat(path, &info) != 0 || S_ISDIR(info.st_mode))
        return false;
    FILE* file = std::fopen(path, "rb");
    if (!file)
        return false;
    std::fclose(file);
    return true;
}

bool Exists(const char* path)
{
    struct stat info;
    return path && *path && stat(path, &info) == 0;
}

// The shadow and shading offsets and blurs every layer the shell makes starts with.
void ApplyLayerDefaults(VornLayer* layer)
{
    layer->SetScaleCompensation(gPrefs.scaleCompensation);
    layer->fShadowOffset.SetValue(0, 1.0f / 30.0f);
    layer->fShadowBlur.SetValue(0, 1.0f / 60.0f);
    layer->fShadingOffset.SetValue(0, 1.0f / 30.0f);
    layer->fShadingBlur.SetValue(0, 1.0f / 15.0f);
}

QV_String LowerExtension(const QV_String& name)
{
    const int32_t dot = name.FindLastChar('.');
    if (dot < 0)
        return "";
    QV_String extension = name.AfterLast('.');
    extension.ToLower();
    return extension;
}

} // namespace

void ApplyProjectPreferences(VornDoc* document)
{
    document->fBackColor = gPrefs.projBackCol;
    document->ApplyDepthOfFieldDefaults();
    document->fAllow3D = gPrefs.projEnable3D;
    document->fDepthSort = gPrefs.projDepthSort;
    document->FullDepthSort();
    document->fDistanceSort = gPrefs.projDistanceSort;
    document->fNoiseGrain = gPrefs.projNoise;
}

VornDoc* MakeNewDocument()
{
    auto* document = new VornDoc();
    document->SetShape(gPrefs.projWidth, gPrefs.projHeight);
    document->SetFps(gPrefs.projFps);
    document->SetStartFrame(gPrefs.projStart);
    document->SetEndFrame(gPrefs.projEnd);
    ApplyProjectPreferences(document);
    auto* layer = new MeshLayer();
    document->AddLayer(layer);
    layer->SetName("Layer 1");
    const float height = static_cast<float>(document->Height() > 0 ? document->Height() : 1);
    layer->fNoiseAmp = 6.0f / height;
    layer->fNoiseScale = 48.0f / height;
    ApplyLayerDefaults(layer);
    document->SetSelLayer(layer);
    document->fDirty = false;
    return document;
}

QV_String SaveAsTarget(const char* chosenPath)
{
    QV_String path(chosenPath ? chosenPath : "");
    const int32_t slash = path.FindLastChar('/');
    const QV_String name = path.Right(path.Length() - slash - 1);
    if (LowerExtension(name) == "celv")
        return path;
    const int32_t dot = name.FindLastChar('.');
    if (dot >= 1)
        path = path.Left(slash + 1 + dot);
    path.Append(".celv");
    return path;
}

QV_String ProposedSaveName(const char* documentName)
{
    QV_String name(documentName ? documentName : "");
    if (LowerExtension(name) == "vorn")
        name = name.Left(name.FindLastChar('.')) + ".celv";
    return name;
}

DocumentShell::DocumentShell()
    : fDocument(nullptr)
{
}

DocumentShell::~DocumentShell()
{
    delete fDocument;
}

void DocumentShell::LoadRecentFiles()
{
    QV_Message* settings = Settings();
    for (int32_t i = 0; i < kRecentFileCount; i++) {
        char key[32];
        std::snprintf(key, sizeof(key), "RecentFile%d", int(i + 1));
        QV_String path;
        if (settings && settings->FindString(key, path))
            fRecentFiles[i] = path;
    }
}

QV_String DocumentShell::Title() const
{
    if (!fDocument)
        return AppTitle();
    return fDocument->Name() + " - " + AppTitle();
}

void DocumentShell::ShowTitle()
{
    SetWindowTitle(Title().CString());
}

void DocumentShell::NewDocument()
{
    CloseDocument();
    if (fDocument)
        return;
    fDocument = MakeNewDocument();
    ShowTitle();
    AttachDocument(fDocument);
    ReselectTool();
}

void DocumentShell::OpenFile(const char* path)
{
    const char* ok = Localize("/Strings/OK=OK");
    if (!CanRead(path)) {
        ShowAlert(ALERT_WARNING, Localize("/Windows/Main/FileDoesntExist=The file does not exist."), nullptr,
            nullptr, ok, nullptr, nullptr);
        return;
    }
    CloseDocument();
    if (fDocument)
        return;
    if (QV_Path(path).MediaType() == "video") {
        OpenMovie(path);
        return;
    }
    QV_FileStream stream;
    if (stream.Open(path, true) != 0) {
        ShowAlert(ALERT_WARNING, Localize("/Windows/Main/LockedFile1=Could not open file."),
            Localize("/Windows/Main/LockedFile2=Does another application have it locked?"), nullptr, ok, nullptr,
            nullptr);
        return;
    }
    auto* document = new VornDoc(&stream);
    if (document->fReadFailed) {
        const QV_String reason = stream.fError;
        delete document;
        ShowTitle();
        WithdrawDocument();
        ShowAlert(ALERT_WARNING, Localize("/Windows/Main/CantOpenFile1=Could not open file."),
            Localize("/Windows/Main/CantOpenFile2=Error details:"), reason.CString(), ok, nullptr, nullptr);
        return;
    }
    stream.Close();
    document->SetPath(path);
    fDocument = document;
    ShowTitle();
    AttachDocument(fDocument);
    ReselectTool();
    AddRecentFile(path);
}

void DocumentShell::OpenMovie(const char* path)
{
    QV_MovieReader reader;
    if (!reader.Open(path)) {
        ShowAlert(ALERT_WARNING, Localize("/Windows/Main/UnreadableMovie1=Could not open file."),
            Localize("/Windows/Main/UnreadableMovie2=This movie file couldn't be opened."), nullptr,
            Localize("/Strings/OK=OK"), nullptr, nullptr);
        reader.Close();
        return;
    }
    auto* document = new VornDoc();
    document->SetShape(reader.Width(), reader.Height());
    document->SetFps(reader.FrameRate());
    document->SetStartFrame(1);
    document->SetEndFrame(reader.FrameCount());
    ApplyProjectPreferences(document);
    auto* layer = new ImageLayer();
    document->AddLayer(layer);
    layer->SetSourceImage(path);
    layer->SetName(QV_Path(path).FileName().CString());
    ApplyLayerDefaults(layer);
    document->SetSelLayer(layer);
    document->fName = QV_Path(path).BaseName() + ".celv";
    document->fDirty = false;
    fDocument = document;
    ShowTitle();
    AttachDocument(fDocument);
    SelectToolByName("QV_VideoTracking");
    reader.Close();
}

bool DocumentShell::MayQuit()
{
    if (!ExportWindowsMayQuit())
        return false;
    CloseDocument();
    return fDocument == nullptr;
}

void DocumentShell::OpenStartupDocument(const char* path)
{
    OpenFile(path);
    if (!fDocument)
        return;
    fDocument->fPath = "";
    fDocument->fName = "Untitled.celv";
    ShowTitle();
}

void DocumentShell::CloseDocument()
{
    if (!fDocument)
        return;
    if (fDocument->fDirty) {
        const int32_t answer = ShowAlert(ALERT_QUESTION,
            Localize("/Windows/Main/SaveChangesToDocument=Save changes to this document?"), nullptr, nullptr,
            Localize("/Strings/Yes=Yes"), Localize("/Strings/No=No"), Localize("/Strings/Cancel=Cancel"));
        if (answer == 0) {
            SaveDocument();
            if (!fDocument || fDocument->fDirty)
                return;
        } else if (answer != 1) {
            return;
        }
    }
    SetWindowTitle(AppTitle());
    WithdrawDocument();
    delete fDocument;
    fDocument = nullptr;
    DocumentClosed();
}

void DocumentShell::SaveDocument()
{
    if (!fDocument)
        return;
    if (fDocument->Path().IsEmpty()) {
        RunSaveAsDialog();
        return;
    }
    QV_String reason;
    const QV_String comment = QV_String("Created in Vorn version ") + kAppVersion
        + ", the Celvane animation studio";
    if (fDocument->Save(comment.CString(), &reason) != 0) {
        // The reason is the system's; keeping it tells a full disk from a locked folder.
        ShowAlert(ALERT_WARNING, Localize("/Windows/Main/FailedSave1=The document wasn't saved properly."),
            Localize("/Windows/Main/FailedSave2=The file may be marked read-only, or you may be trying to save to a "
                     "read-only disk."),
            reason.IsEmpty() ? nullptr : reason.CString(), Localize("/Strings/OK=OK"), nullptr, nullptr);
        // A document that never was dirty must still read as unsaved to its callers.
        fDocument->fDirty = true;
        return;
    }
    AddRecentFile(fDocument->Path().CString());
    ShowTitle();
}

void DocumentShell::SaveAs(const char* chosenPath)
{
    if (!fDocument || !chosenPath || !*chosenPath)
        return;
    const QV_String target = SaveAsTarget(chosenPath);
    // The chooser asked about the path it showed; a different final path was never confirmed.
    if (target != chosenPath && Exists(target.CString())) {
        const int32_t answer = ShowAlert(ALERT_QUESTION,
            Localize("/Windows/Main/ReplaceExisting1=A file of that name already exists:"),
            QV_Path(target).FileName().CString(), Localize("/Windows/Main/ReplaceExisting2=Replace it?"),
            Localize("/Strings/Yes=Yes"), Localize("/Strings/Cancel=Cancel"), nullptr);
        if (answer != 0)
            return;
    }
    const QV_Path oldPath = fDocument->fPath;
    const QV_String oldName = fDocument->fName;
    fDocument->SetPath(target.CString());
    fDocument->fDirty = false;
    SaveDocument();
    if (fDocument && fDocument->fDirty) {
        // Failed: the document keeps the place and name it had.
        fDocument->fPath = oldPath;
        fDocument->fName = oldName;
        fDocument->fDirty = true;
        ShowTitle();
    }
}

void DocumentShell::AddRecentFile(const char* path)
{
    if (!path || !*path || fStartupPath == path)
        return;
    int32_t found = kRecentFileCount - 1;
    for (int32_t i = 0; i < kRecentFileCount; i++) {
        if (fRecentFiles[i] == path) {
            found = i;
            break;
        }
    }
    for (int32_t i = found; i > 0; i--)
        fRecentFiles[i] = fRecentFiles[i - 1];
    fRecentFiles[0] = path;
    if (QV_Message* settings = Settings()) {
        for (int32_t i = 0; i < kRecentFileCount; i++) {
            if (fRecentFiles[i].IsEmpty())
                continue;
            char key[32];
            std::snprintf(key, sizeof(key), "RecentFile%d", int(i + 1));
            settings->AddString(key, fRecentFiles[i].CString());
        }
    }
    RecentFilesChanged();
}
