// The codec mode of the widget demo: a small window asks a movie writer for a movie without
// skipping the codec dialog, so the dialog the toolkit installed comes up over it. The dialog
// prints where its widgets are once it is on screen, and its codec list's items while the list is
// open; the demo prints the writer's answer, writes three frames and prints whether the movie was
// completed, then ends.
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "codec_dialog.h"
#include "codec_dialog_hook.h"
#include "plat_pump.h"
#include "plat_window.h"
#include "qv_app.h"
#include "qv_avi_writer.h"
#include "qv_button.h"
#include "qv_check_box.h"
#include "qv_menu.h"
#include "qv_message.h"
#include "qv_movie_writer.h"
#include "qv_popup_menu.h"
#include "qv_qt_movie_writer.h"
#include "qv_slider.h"
#include "qv_wnd.h"
#include "toolkit_startup.h"
#include "widget_demo_codec.h"

namespace {

constexpr int32_t kPoll = 9401;

void Say(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

// The installed dialog, telling the tests where to point.
class SpokenCodecDialog : public CodecDialog {
public:
    using CodecDialog::CodecDialog;

    void ExchangeData(bool apply) override
    {
        CodecDialog::ExchangeData(apply);
        if (!apply && fWindow && fTimer == 0)
            fTimer = fWindow->AddTimer(0.05f, this, kPoll);
    }
    void HandleMessage(QV_Message* message) override
    {
        if (message && message->fWhat == kPoll) {
            Poll();
            return;
        }
        CodecDialog::HandleMessage(message);
    }
    void DialogClosed(int32_t id) override
    {
        if (fWindow && fTimer != 0)
            fWindow->RemoveTimer(fTimer);
        fTimer = 0;
        Say(std::string("dialog ") + (id == MSG_OK ? "ok" : "cancel"));
    }

private:
    QV_Point ToScreen(QV_Point at) const
    {
        int32_t x = 0;
        int32_t y = 0;
        PlatWindowClientPosition(fWindow->fHwnd, x, y);
        return { x + at.x, y + at.y };
    }
    void SayRect(const char* name, QV_View* view)
    {
        if (!view)
            return;
        const QV_Point at = ToScreen(view->ConvertToWindow({ 0, 0 }));
        Say(std::string("rect ") + name + " " + std::to_string(at.x) + " " + std::to_string(at.y) + " "
            + std::to_string(view->Size().x) + " " + std::to_string(view->Size().y));
    }
    void Poll()
    {
        if (!fPlacesSaid) {
            fPlacesSaid = true;
            SayRect("codec", fCodecMenu);
            SayRect("quality", fQuality);
            SayRect("keyframes", fKeyFrames);
            SayRect("alpha", fAlpha);
            SayRect("ok", fDefaultButton);
            SayRect("cancel", fCancelButton);
            Say("dialog shown");
        }
        QV_Menu* menu = fCodecMenu->Menu();
        const bool open = menu->fWindow != nullptr;
        if (open == fMenuOpen)
            return;
        fMenuOpen = open;
        if (!open) {
            Say("closed Codec");
            return;
        }
        const QV_Rect frame = menu->Frame();
        for (int32_t item = 0; item < menu->fCount; ++item) {
            const QV_Rect r = menu->ItemRect(item);
            const QV_Point at
                = ToScreen({ frame.left + (r.left + r.right) / 2, frame.top + (r.top + r.bottom) / 2 });
            Say("item Codec:" + std::string(menu->fLabels[item].CString()) + " " + std::to_string(at.x) + " "
                + std::to_string(at.y));
        }
        Say("open Codec");
    }

    uint32_t fTimer = 0;
    bool fPlacesSaid = false;
    bool fMenuOpen = false;
};

bool ShowSpokenCodecDialog(int32_t kind, void* parentWindow, int32_t width, int32_t height)
{
    auto* dialog = new SpokenCodecDialog(kind, static_cast<QV_Wnd*>(parentWindow), width, height);
    return dialog->DoModal() == MSG_OK;
}

// Three frames of a picture that moves, written to the open writer; Close's answer.
bool WriteFrames(QV_MovieWriter& writer, QV_PixelBuffer& frame)
{
    for (int32_t i = 0; i < 3; ++i) {
        for (int32_t y = 0; y < frame.height; ++y) {
            uint8_t* row = frame.pixels + int64_t(y) * frame.rowBytes;
            for (int32_t x = 0; x < frame.width; ++x) {
                row[4 * x] = uint8_t(x * 3 + i * 20);
                row[4 * x + 1] = uint8_t(y * 5);
                row[4 * x + 2] = 200;
                row[4 * x + 3] = 255;
            }
        }
        const bool written = writer.fAvi ? writer.fAvi->WriteFrame(frame) : writer.fQt->WriteFrame(frame);
        if (!written)
            return false;
    }
    return writer.Close();
}

} // namespace

int RunCodecDemo(int argc, char** argv)
{
    if (argc < 6) {
        std::fprintf(stderr, "usage: widget_demo codec avi|mov OUT WIDTH HEIGHT\n");
        return 2;
    }
    const int32_t kind = std::string(argv[2]) == "mov" ? kMovieKindQuickTime : kMovieKindAvi;
    const int32_t width = std::atoi(argv[4]);
    const int32_t height = std::atoi(argv[5]);
    if (width <= 0 || height <= 0 || int64_t(width) * height > (int64_t(1) << 26)) {
        std::fprintf(stderr, "widget_demo: bad frame size\n");
        return 2;
    }
    ToolkitStartup();
    // The real dialog, made to say where its widgets are.
    SetCodecDialogHook(ShowSpokenCodecDialog);
    int status = 0;
    {
        QV_App app;
        auto* window = new QV_Wnd(0, "Movie", false, nullptr, 0, 0, 319, 199);
        if (!window->fHwnd) {
            std::fprintf(stderr, "widget_demo: no window\n");
            return 1;
        }
        window->Center();
        window->Show();
        PlatPumpMessageWithin(50);
        Say("ready");
        std::vector<uint8_t> pixels(size_t(width) * size_t(height) * 4);
        QV_PixelBuffer frame { pixels.data(), width, height, 32, 4, width * 4 };
        QV_MovieWriter writer;
        const int32_t opened = writer.Open(frame, argv[3], 24, 3, kind, window, false);
        Say("opened " + std::to_string(opened));
        if (opened == 0)
            Say(std::string("closed ") + (WriteFrames(writer, frame) ? "1" : "0"));
        else
            status = 1;
        PlatWindowDestroy(window->fHwnd);
        PlatPumpMessageWithin(50);
    }
    ToolkitShutdown();
    return status;
}
