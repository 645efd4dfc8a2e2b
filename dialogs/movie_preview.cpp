// The movie preview (F5): a half-size MOV of the play range, rendered on the interface thread
// under a progress pane and opened with the desktop's program for movies.
#include "movie_preview.h"

#include <cstdio>
#include <memory>

#include "export_formats.h"
#include "export_run.h"
#include "generic_progress.h"
#include "media_presence.h"
#include "plat_pump.h"
#include "plat_temp_folder.h"
#include "plat_window.h"
#include "qv_app.h"
#include "qv_baseimage.h"
#include "qv_memstream.h"
#include "qv_message.h"
#include "qv_qt_movie_writer.h"
#include "qv_wnd.h"
#include "render_settings.h"
#include "shell_open.h"
#include "timeline_marks.h"
#include "vorn_app.h"
#include "vorndoc.h"

namespace {

constexpr int32_t kMaxPresses = 16;

// The three compression keys as they stood, a missing one read as its default.
struct SavedQtKeys {
    int32_t codec = int32_t(FourCharCode("SVQ3"));
    int32_t depth = 24;
    int32_t quality = 2;

    void Read(const QV_Message* settings)
    {
        if (!settings)
            return;
        settings->FindInt("qtCodec", codec);
        settings->FindInt("qtDepth", depth);
        settings->FindInt("qtQuality", quality);
    }
    void Write(QV_Message* settings) const
    {
        if (!settings)
            return;
        settings->AddInt("qtCodec", codec);
        settings->AddInt("qtDepth", depth);
        settings->AddInt("qtQuality", quality);
    }
};

VornDoc* PrivateCopy(VornDoc* source)
{
    QV_MemStream stream;
    if (stream.Open(0) != 0)
        return nullptr;
    source->Write("temp file - render preview animation", &stream);
    stream.Rewind();
    stream.fReading = true;
    auto copy = std::make_unique<VornDoc>();
    // Media named relative to the document are found from its folder.
    copy->SetPath(source->Path().CString());
    if (!copy->Read(&stream))
        return nullptr;
    copy->SetPath(source->Path().CString());
    return copy.release();
}

// A press of the left or right button inside the pane, read from what waits in the queue;
// presses elsewhere are used up and ignored.
bool CancelClicked(QV_Wnd* owner, GenericProgress* pane)
{
    PlatMousePress presses[kMaxPresses];
    const int32_t count = PlatTakeMousePresses(presses, kMaxPresses);
    if (!owner || !pane || !pane->fWindow)
        return false;
    const uint32_t id = PlatWindowId(owner->fHwnd);
    const QV_Rect frame = pane->Frame();
    for (int32_t i = 0; i < count && i < kMaxPresses; i++) {
        const PlatMousePress& press = presses[i];
        if (press.windowId == id && press.x >= frame.left && press.x <= frame.right && press.y >= frame.top
            && press.y <= frame.bottom)
            return true;
    }
    return false;
}

} // namespace

QV_String PreviewMoviePath()
{
    const std::string folder = PlatProcessTempFolder();
    if (folder.empty())
        return "";
    return QV_String((folder + "/.celv_preview.mov").c_str());
}

PreviewResult PreviewMovie(VornDoc* document, QV_Wnd* owner)
{
    if (!document || !gQuickTimePresent)
        return PreviewResult::NotRun;
    // The preview's own compression, set aside from what the user chose for exports.
    QtCompression* remembered = gQtSettings;
    gQtSettings = nullptr;
    SavedQtKeys saved;
    saved.Read(gMediaSettings);
    if (gMediaSettings) {
        gMediaSettings->AddInt("qtCodec", int32_t(FourCharCode("SVQ1")));
        gMediaSettings->AddInt("qtDepth", 24);
        gMediaSettings->AddInt("qtQuality", 2);
    }

    PreviewResult result = PreviewResult::Failed;
    std::unique_ptr<VornDoc> copy(PrivateCopy(document));
    const QV_String path = PreviewMoviePath();
    if (copy && !path.IsEmpty()) {
        int32_t start = copy->StartFrame();
        int32_t end = copy->fEndFrame < 1 ? copy->AnimDuration() : copy->fEndFrame;
        if (PlayRangeStart >= 0)
            start = PlayRangeStart;
        if (PlayRangeEnd >= 0)
            end = PlayRangeEnd;

        RenderSettings settings;
        settings.fStartFrame = start;
        settings.fEndFrame = end;
        settings.fPath = path.CString();
        settings.fFormat = ExportWriterCount() + 1;
        settings.fQuickPreview = false;
        settings.fAntialias = true;
        settings.fShapeEffects = false;
        settings.fLayerEffects = false;
        settings.fHalfSize = true;
        settings.fReducedParticles = true;
        settings.fExtraSmooth = false;
        QV_BaseImage frame;
        ExportRun run(copy.get(), settings, &frame);
        // The movie of the last preview goes now, even when this one cannot be made.
        std::remove(path.CString());
        if (run.AllocateFrame() && run.OpenMovie(owner, true) == 0) {
            PlatTakeMousePresses(nullptr, 0);
            auto* pane = new GenericProgress(
                Localize("/Windows/MainLayer/GeneratingAnimationPreview=Generating preview..."), owner);
            if (owner)
                owner->AddLayer(pane);
            bool cancelled = false;
            while (run.Step()) {
                // Only repaints, timers and this click run meanwhile: a queued command waits.
                GenericProgressUpdate(false, run.Progress());
                if (CancelClicked(owner, pane)) {
                    cancelled = true;
                    break;
                }
            }
            if (pane->fWindow) {
                GenericProgressUpdate(true, 1);
            } else {
                delete pane;
            }
            if (cancelled) {
                QV_String ignored;
                run.Finish(false, ignored);
                std::remove(path.CString());
                result = PreviewResult::Cancelled;
            } else {
                QV_String sound;
                if (start == 1)
                    sound = MixAudioToTempFile(copy.get(), 1, end);
                if (!sound.IsEmpty())
                    run.fWriter.AddSoundtrack(sound.CString());
                QV_String reason;
                const bool written = run.Finish(false, reason);
                if (!sound.IsEmpty())
                    std::remove(sound.CString());
                if (written) {
                    ShellOpen(path.CString());
                    result = PreviewResult::Opened;
                }
            }
        }
    }

    // Whatever compression the run made is the preview's own.
    delete gQtSettings;
    gQtSettings = remembered;
    saved.Write(gMediaSettings);
    return result;
}
