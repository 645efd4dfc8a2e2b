#include "batch_wnd.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>

#include "app_prefs.h"
#include "export_formats.h"
#include "export_run.h"
#include "export_windows.h"
#include "file_dialogs.h"
#include "follow_flags.h"
#include "image_format_registry.h"
#include "interface_colors.h"
#include "interface_fonts.h"
#include "qv_alert.h"
#include "qv_app.h"
#include "qv_base_widget.h"
#include "qv_box.h"
#include "qv_button.h"
#include "qv_check_box.h"
#include "qv_filestream.h"
#include "qv_font.h"
#include "qv_graphics.h"
#include "qv_keys.h"
#include "qv_layout_view.h"
#include "qv_menu.h"
#include "qv_message.h"
#include "qv_movie_writer.h"
#include "qv_popup_menu.h"
#include "qv_static_text.h"
#include "qv_text_control.h"
#include "qv_text_list.h"
#include "vorn_wnd.h"
#include "vorndoc.h"

namespace {

constexpr int32_t kPollMessage = 5406;

const char* const kOptionLabels[BatchWnd::kOptionCount] = {
    "/Windows/BatchRender/AntialiasedEdges=Antialiased edges",
    "/Windows/BatchRender/ApplyShapeEffects=Apply shape effects",
    "/Windows/BatchRender/ApplyLayerEffects=Apply layer effects",
    "/Windows/BatchRender/VariableLineWidthsForSWF=Variable line widths (SWF)",
    "/Windows/BatchRender/RenderHalfSize=Render at half dimensions",
    "/Windows/BatchRender/RenderHalfFrameRate=Render at half frame rate",
    "/Windows/BatchRender/ReducedParticles=Reduced particles",
    "/Windows/BatchRender/ExtraSmoothImages=Extra-smooth images",
    "/Windows/BatchRender/NTSCSafe=Use NTSC-safe colors",
    "/Windows/BatchRender/NonPremultipliedAlpha=Do not premultiply alpha",
};
// Which column each option stands in, and which ones SWF has no use for.
constexpr bool kSecondColumn[BatchWnd::kOptionCount] = { false, false, false, true, false, false, true, true, true, true };
constexpr bool kNotForSwf[BatchWnd::kOptionCount] = { true, true, true, false, false, false, false, true, true, true };
constexpr bool kOnlySwf[BatchWnd::kOptionCount] = { false, false, false, true, false, false, false, false, false, false };

// The project's document, or null when it cannot be opened or read.
VornDoc* ReadProject(const char* path)
{
    QV_FileStream stream;
    if (stream.Open(path, true) != 0)
        return nullptr;
    auto* document = new VornDoc(&stream);
    if (document->fReadFailed) {
        delete document;
        return nullptr;
    }
    document->SetPath(path);
    return document;
}

} // namespace

bool* BatchOptionFlag(RenderSettings& s, int32_t index)
{
    bool* flags[BatchWnd::kOptionCount] = { &s.fAntialias, &s.fShapeEffects, &s.fLayerEffects,
        &s.fVariableLineWidths, &s.fHalfSize, &s.fHalfFrameRate, &s.fReducedParticles, &s.fExtraSmooth,
        &s.fNTSCSafe, &s.fNoPremultiply };
    return index >= 0 && index < BatchWnd::kOptionCount ? flags[index] : nullptr;
}

QV_String BatchProgressLabel(const char* name, int32_t currentFrame, int32_t startFrame, int32_t endFrame)
{
    const int32_t span = endFrame - startFrame + 1;
    const long percent = span > 0 ? std::lround(100.0 * double(currentFrame - startFrame) / double(span)) : 0;
    char label[512];
    std::snprintf(label, sizeof(label), "%s - %ld%%", name ? name : "", percent);
    return label;
}

BatchLayer::BatchLayer()
    : QV_Layer(FOLLOW_LEFT | FOLLOW_TOP | FOLLOW_RIGHT | FOLLOW_BOTTOM)
{
}

void BatchLayer::Draw()
{
    if (QV_Graphics* graphics = GetGraphics()) {
        const QV_Rect bounds = Bounds();
        graphics->SetColorStruct(WindowBackground);
        graphics->FillRect(bounds.left, bounds.top, bounds.right, bounds.bottom);
    }
    for (int32_t i = 0; i < fViewCount; ++i)
        fViews[i]->Draw();
}

BatchWnd::BatchWnd(VornWnd* mainWindow, int32_t left, int32_t top, int32_t right, int32_t bottom)
    : QV_Wnd(0, Localize("/Windows/BatchRender/Title=Celvane Batch Export"), false, nullptr, left, top, right, bottom)
    , fMainWindow(mainWindow)
    , fState(0)
    , fLayer(nullptr)
    , fFirstDone(false)
    , fLabelChanged(false)
    , fThreadEnded(false)
{
    fLocationName = "BatchWnd_location";
    fDefaults.SetDefaults();
    fDefaults.fStartFrame = 1;
    fDefaults.fEndFrame = 1;
    fDefaults.fFormat = FormatOfListPosition(gPrefs.preferredFormat);

    fLayer = new BatchLayer();
    auto* content = new QV_LayoutView(true, 8, 12, 12);
    auto* hint = new QV_StaticText(
        Localize("/Windows/BatchRender/DragFilesToAdd=Drag Celvane files into this window to add to batch export list."));
    if (QV_Font* font = gNormalFonts[1]) {
        hint->fFont = font;
        hint->ResetSize(font->StringWidth(hint->fLabel.CString()) + 4, ScaledMetric20());
    }
    content->AddChild(hint);
    content->AddChild(new QV_StaticText(Localize(
        "/Windows/BatchRender/OutputFilesInSameFolder=(Output files will be placed in the same folder as the project file.)")));

    content->PushH(ALIGN_CENTER, 8);
    fStartField = new QV_TextControl(64, "", kBatchOptionChanged, FIELD_UINT);
    fEndField = new QV_TextControl(64, "", kBatchOptionChanged, FIELD_UINT);
    content->AddChild(new QV_StaticText(Localize("/Windows/BatchRender/StartFrame=Start frame")), ALIGN_CENTER);
    content->AddChild(fStartField);
    content->AddChild(new QV_StaticText(Localize("/Windows/BatchRender/EndFrame=End frame")), ALIGN_CENTER);
    content->AddChild(fEndField);
    content->Pop();

    content->PushH(ALIGN_CENTER, 8);
    content->AddChild(new QV_StaticText(Localize("/Windows/BatchRender/OutputFormat=Output format:")), ALIGN_CENTER);
    fFormat = new QV_PopupMenu(160, true);
    fFormatMenu = new QV_Menu("Format");
    const int32_t n = ExportWriterCount();
    for (int32_t k = 0; k < n && k < 50; k++)
        fFormatMenu->AddItem(ImageFormatRegistry::WriterName(k), 0, kBatchFormatFirst + k);
    fFormatMenu->AddItem("PSD", 0, kBatchFormatFirst + n);
    const int32_t swf = SwfListPosition();
    for (int32_t p = n + 1; p < swf && p < 50; p++)
        fFormatMenu->AddItem(p == n + 1 ? "AVI Movie" : "QuickTime Movie", 0, kBatchFormatFirst + p);
    fFormatMenu->AddItem(Localize("/Windows/BatchRender/Flash=Flash (SWF)"), 0, kBatchFormatFirst + swf);
    fFormat->SetMenu(fFormatMenu);
    content->AddChild(fFormat);
    content->Pop();

    auto* quality = new QV_Box(Localize("/Windows/BatchRender/RenderQuality=Render Quality"));
    auto* row = new QV_LayoutView(false, 8, 0, 0);
    auto* first = new QV_LayoutView(true, 8, 0, 0);
    auto* second = new QV_LayoutView(true, 8, 0, 0);
    for (int32_t i = 0; i < kOptionCount; i++) {
        fOptions[i] = new QV_CheckBox(Localize(kOptionLabels[i]), kBatchOptionChanged);
        (kSecondColumn[i] ? second : first)->AddChild(fOptions[i]);
    }
    row->AddChild(first);
    row->AddChild(second);
    quality->AddChild(row);
    content->AddChild(quality);

    content->PushH(ALIGN_CENTER, 8);
    fStartButton = new QV_Button(Localize("/Windows/BatchRender/Start=Start"), kBatchStart, 72, false, 3);
    fStartButton->Enable(false);
    fAddButton = new QV_Button(Localize("/Windows/BatchRender/Add=Add..."), kBatchAdd, 72, false, 3);
    content->AddChild(fAddButton);
    content->AddChild(fStartButton);
    content->Pop();

    fList = new QV_TextList(kBatchSelection);
    fList->ResizeTo(128, 200);
    content->AddChild(fList, ALIGN_FILL);
    fLayer->AddView(content);
    AddLayer(fLayer);
    FitToLayer();
    Center();
    ExchangeData(false);
    AddTimer(0.05f, this, kPollMessage);
    Show();
}

BatchWnd::~BatchWnd()
{
    fWorker.Stop();
    for (BatchEntry* entry : fEntries)
        delete entry;
}

int32_t BatchWnd::CountEntries()
{
    std::lock_guard<std::mutex> guard(fShared);
    return int32_t(fEntries.size());
}

RenderSettings& BatchWnd::Target()
{
    const int32_t selected = fList->SelItem();
    if (selected >= 0 && selected < int32_t(fEntries.size()))
        return fEntries[size_t(selected)]->fSettings;
    return fDefaults;
}

void BatchWnd::ExchangeData(bool store)
{
    std::lock_guard<std::mutex> guard(fShared);
    const int32_t selected = fList->SelItem();
    const bool entrySelected = selected >= 0 && selected < int32_t(fEntries.size());
    fStartField->Enable(entrySelected);
    fEndField->Enable(entrySelected);
    RenderSettings& s = Target();
    if (store) {
        int32_t start = fStartField->IntValue();
        int32_t end = fEndField->IntValue();
        const int32_t clampedStart = std::clamp(start, 0, 1000000);
        if (clampedStart != start) {
            start = clampedStart;
            fStartField->SetValue(start);
        }
        const int32_t clampedEnd = std::clamp(end, start, 1000000);
        if (clampedEnd != end) {
            end = clampedEnd;
            fEndField->SetValue(end);
        }
        s.fStartFrame = start;
        s.fEndFrame = end;
        for (int32_t i = 0; i < kOptionCount; i++)
            *BatchOptionFlag(s, i) = fOptions[i]->Value();
        return;
    }
    fStartField->SetValue(s.fStartFrame);
    fEndField->SetValue(s.fEndFrame);
    fFormatMenu->UncheckAll();
    const int32_t wanted = kBatchFormatFirst + gPrefs.preferredFormat;
    fFormatMenu->SetChecked(wanted, true);
    if (fFormatMenu->CountItems() == 0 || !fFormatMenu->IsChecked(wanted))
        fFormatMenu->SetChecked(kBatchFormatFirst, true);
    for (int32_t i = 0; i < kOptionCount; i++)
        fOptions[i]->SetValue(*BatchOptionFlag(s, i));
    if (fState != 0) {
        fFormat->Enable(false);
        const bool editable = selected != 0;
        fStartField->Enable(entrySelected && editable);
        fEndField->Enable(entrySelected && editable);
        for (QV_CheckBox* box : fOptions)
            box->Enable(editable);
    } else {
        fFormat->Enable(true);
        const int32_t count = fFormatMenu->CountItems();
        const bool swf = count > 0 && fFormatMenu->FirstChecked() == count - 1;
        for (int32_t i = 0; i < kOptionCount; i++)
            fOptions[i]->Enable(kNotForSwf[i] ? !swf : kOnlySwf[i] ? swf : true);
    }
    fFormat->Draw();
    fFormat->Refresh();
}

void BatchWnd::TakeFormat()
{
    const int32_t position = fFormatMenu->FirstChecked();
    gPrefs.preferredFormat = position;
    std::lock_guard<std::mutex> guard(fShared);
    fDefaults.fFormat = FormatOfListPosition(position);
}

void BatchWnd::FileDropped(const char* path, int32_t, int32_t, int32_t)
{
    VornDoc* document = path ? ReadProject(path) : nullptr;
    if (!document)
        return;
    auto* entry = new BatchEntry();
    entry->fPath = path;
    entry->fSettings.SetDefaults();
    entry->fSettings.fStartFrame = document->StartFrame();
    const int32_t end = document->fEndFrame < 1 ? document->AnimDuration() : document->fEndFrame;
    entry->fSettings.fEndFrame = std::max(end, entry->fSettings.fStartFrame);
    {
        std::lock_guard<std::mutex> guard(fShared);
        for (int32_t i = 0; i < kOptionCount; i++)
            *BatchOptionFlag(entry->fSettings, i) = *BatchOptionFlag(fDefaults, i);
        fEntries.push_back(entry);
    }
    fList->AddItem(document->Name().CString());
    delete document;
    fStartButton->Enable(true);
    fStartButton->Draw();
    fStartButton->Refresh();
    ExchangeData(false);
}

void BatchWnd::RemoveFirstEntry()
{
    {
        std::lock_guard<std::mutex> guard(fShared);
        if (fEntries.empty())
            return;
        delete fEntries.front();
        fEntries.erase(fEntries.begin());
    }
    fList->RemoveItem(0);
    ExchangeData(false);
}

void BatchWnd::KeyDown(int32_t key, int32_t modifiers)
{
    if ((key == KEY_BACKSPACE || key == KEY_DELETE)
        && (!gFocusedWidget || gFocusedWidget == fList || gFocusedWidget->Window() != this)) {
        const int32_t selected = fList->SelItem();
        {
            std::lock_guard<std::mutex> guard(fShared);
            if (selected < 0 || selected >= int32_t(fEntries.size()) || (selected == 0 && fState != 0))
                return;
            delete fEntries[size_t(selected)];
            fEntries.erase(fEntries.begin() + selected);
        }
        fList->RemoveItem(selected);
        if (fList->CountItems() == 0) {
            fStartButton->Enable(false);
            fStartButton->Draw();
            fStartButton->Refresh();
        }
        ExchangeData(false);
        return;
    }
    QV_Wnd::KeyDown(key, modifiers);
}

void BatchWnd::StartPauseContinue()
{
    if (fState == 1 || fState == 2) {
        {
            std::lock_guard<std::mutex> guard(fShared);
            fState = fState == 1 ? 2 : 1;
        }
        fStartButton->fLabel = fState == 2 ? Localize("/Windows/BatchRender/Continue=Continue")
                                           : Localize("/Windows/BatchRender/Pause=Pause");
    } else if (!fWorker.Running()) {
        TakeFormat();
        ExchangeData(true);
        int32_t width = 32;
        int32_t height = 32;
        QV_String firstPath;
        {
            std::lock_guard<std::mutex> guard(fShared);
            if (!fEntries.empty())
                firstPath = fEntries.front()->fPath.CString();
        }
        if (!firstPath.IsEmpty()) {
            if (VornDoc* document = ReadProject(firstPath.CString())) {
                width = document->Width();
                height = document->Height();
                delete document;
            }
        }
        if (KindOfFormat(fDefaults.fFormat) == ExportKind::Movie
            && !QV_MovieWriter::ChooseCompression(MovieKindOfFormat(fDefaults.fFormat), this, width, height)) {
            Alert(this, ALERT_WARNING,
                Localize("/Windows/BatchRender/IncompatibleCompression1=The compression method you chose does not appear to be compatible"),
                Localize("/Windows/BatchRender/IncompatibleCompression2=with Vorn. Please choose another type of movie compression."),
                nullptr, Localize("/Strings/OK=OK"), nullptr, nullptr);
            return;
        }
        {
            std::lock_guard<std::mutex> guard(fShared);
            fState = 1;
            fThreadEnded = false;
            fFirstDone = false;
            fFailures.clear();
        }
        fStartButton->fLabel = Localize("/Windows/BatchRender/Pause=Pause");
        if (!fWorker.Start([this] { RenderThread(); }, PlatThreadPriority::BelowNormal)) {
            fState = 0;
            fStartButton->fLabel = Localize("/Windows/BatchRender/Start=Start");
        }
        ExchangeData(false);
    }
    fStartButton->Draw();
    fStartButton->Refresh();
}

void BatchWnd::RenderThread()
{
    using Clock = std::chrono::steady_clock;
    VornDoc* document = nullptr;
    std::unique_ptr<ExportRun> run;
    QV_BaseImage frame;
    QV_String name;
    bool completed = false;
    std::vector<QV_String> failures;
    Clock::time_point lastLabel = Clock::now();
    auto fileDone = [&](const char* failure) {
        if (failure)
            failures.push_back(failure);
        run.reset();
        delete document;
        document = nullptr;
        std::lock_guard<std::mutex> guard(fShared);
        fFirstDone = true;
    };
    while (fWorker.MayGoOn()) {
        bool paused = false;
        bool waiting = false;
        bool empty = false;
        QV_String path;
        RenderSettings settings;
        {
            std::lock_guard<std::mutex> guard(fShared);
            paused = fState == 2;
            waiting = fFirstDone;
            empty = fEntries.empty();
            if (!run && !paused && !waiting && !empty) {
                path = fEntries.front()->fPath.CString();
                CopyRenderSettings(settings, fEntries.front()->fSettings);
                settings.fFormat = fDefaults.fFormat;
            }
        }
        // Paused, or the finished entry is not yet off the list.
        if (paused || waiting) {
            std::this_thread::sleep_for(std::chrono::milliseconds(paused ? 100 : 10));
            continue;
        }
        if (!run) {
            if (empty) {
                completed = true;
                break;
            }
            document = ReadProject(path.CString());
            if (!document) {
                QV_String failure = path;
                failure.Append(": cannot be opened as a project");
                fileDone(failure.CString());
                continue;
            }
            name = document->Name();
            settings.fPath = OutputPathBeside(path.CString(), name.CString(), settings.fFormat).CString();
            run = std::make_unique<ExportRun>(document, settings, &frame);
            const ExportKind kind = KindOfFormat(settings.fFormat);
            QV_String failure;
            if (!run->AllocateFrame())
                failure = "no memory for its frames";
            else if (kind == ExportKind::Movie && run->OpenMovie(nullptr, true) != 0)
                failure = "the movie cannot be written";
            else if (kind == ExportKind::SWF)
                run->PrepareSWF();
            if (!failure.IsEmpty()) {
                QV_String text = path;
                text.Append(": ");
                text.Append(failure);
                fileDone(text.CString());
                continue;
            }
        }
        if (!run->Step()) {
            QV_String failure;
            if (run->Failed())
                failure = run->FailureText();
            QV_String reason;
            if (!run->Finish(true, reason) && failure.IsEmpty())
                failure = reason;
            QV_String text;
            if (!failure.IsEmpty()) {
                text = run->fSettings.fPath.CString();
                text.Append(": ");
                text.Append(failure);
            }
            fileDone(text.IsEmpty() ? nullptr : text.CString());
            continue;
        }
        if (Clock::now() - lastLabel >= std::chrono::milliseconds(100)) {
            const QV_String label = BatchProgressLabel(
                name.CString(), document->CurFrame(), run->fSettings.fStartFrame, run->fSettings.fEndFrame);
            std::lock_guard<std::mutex> guard(fShared);
            fRowLabel = label;
            fLabelChanged = true;
            lastLabel = Clock::now();
        }
    }
    // Stopped mid-file: what was rendered is finished; the entry stays.
    if (run) {
        QV_String reason;
        run->Finish(true, reason);
        run.reset();
    }
    delete document;
    std::lock_guard<std::mutex> guard(fShared);
    fFailures.insert(fFailures.end(), failures.begin(), failures.end());
    fThreadEnded = completed;
}

void BatchWnd::Poll()
{
    bool firstDone = false;
    bool ended = false;
    QV_String label;
    bool labelChanged = false;
    std::vector<QV_String> failures;
    {
        std::lock_guard<std::mutex> guard(fShared);
        firstDone = fFirstDone;
        labelChanged = fLabelChanged;
        fLabelChanged = false;
        label = fRowLabel;
        ended = fThreadEnded;
        if (ended) {
            fThreadEnded = false;
            failures.swap(fFailures);
        }
    }
    if (labelChanged && !firstDone && fList->CountItems() > 0) {
        fList->SetItemLabel(0, label.CString());
        fList->Draw();
        fList->Refresh();
    }
    if (firstDone) {
        RemoveFirstEntry();
        std::lock_guard<std::mutex> guard(fShared);
        fFirstDone = false;
        fLabelChanged = false;
    }
    if (ended) {
        QV_Message done(kBatchDone);
        HandleMessage(&done);
        if (!failures.empty()) {
            QV_String lines;
            for (const QV_String& failure : failures) {
                if (!lines.IsEmpty())
                    lines.Append("\n");
                lines.Append(failure);
            }
            Alert(this, ALERT_WARNING, "These files could not be exported:", lines.CString(), nullptr,
                Localize("/Strings/OK=OK"), nullptr, nullptr);
        }
    }
}

void BatchWnd::HandleMessage(QV_Message* message)
{
    if (!message) {
        QV_Wnd::HandleMessage(message);
        return;
    }
    const int32_t what = message->fWhat;
    if (what == kPollMessage) {
        Poll();
        return;
    }
    if (what == kBatchOptionChanged) {
        ExchangeData(true);
        return;
    }
    if (what == kBatchStart) {
        StartPauseContinue();
        return;
    }
    if (what == kBatchSelection) {
        ExchangeData(false);
        return;
    }
    if (what == kBatchDone) {
        {
            std::lock_guard<std::mutex> guard(fShared);
            fState = 0;
        }
        ExchangeData(false);
        fStartButton->fLabel = Localize("/Windows/BatchRender/Start=Start");
        fStartButton->Enable(fList->CountItems() > 0);
        fStartButton->Draw();
        fStartButton->Refresh();
        return;
    }
    if (what == kBatchAdd) {
        QV_String path;
        if (message->FindString("path", path))
            FileDropped(path.CString(), 0, 0, 0);
        else
            RunOpenFileDialog(Localize("/Windows/BatchRender/AddTitle=Add to Batch"), this, this, kBatchAdd,
                "Celvane Files", "*.celv;*.vorn");
        return;
    }
    if (what >= kBatchFormatFirst && what <= kBatchFormatFirst + 49) {
        // A frame typed but not yet entered would otherwise be overwritten by the load.
        ExchangeData(true);
        TakeFormat();
        ExchangeData(false);
        return;
    }
    if (what == -1004)
        return;
    QV_Wnd::HandleMessage(message);
}

bool BatchWnd::QuitRequested()
{
    if (!QV_Wnd::QuitRequested())
        return false;
    if (!fWorker.Running())
        return true;
    return Alert(this, ALERT_WARNING, Localize("/Windows/BatchRender/RenderInProgress=Rendering in progress."),
               Localize("/Windows/BatchRender/AreYouSure=Are you sure you want to quit?"), nullptr,
               Localize("/Strings/No=No"), Localize("/Strings/Yes=Yes"), nullptr)
        == 1;
}

void BatchWnd::Closed()
{
    fWorker.Stop();
    if (gBatchWnd == this)
        gBatchWnd = nullptr;
    if (fMainWindow)
        fMainWindow->WindowClosed(this);
}
