// layer_settings IN OUT --layer NAME [--frame N]
//
// Opens Layer Settings, in a real window, on the top-level layer of that name at the document
// frame N (default the document's own). OK saves OUT and prints OK; Cancel prints CANCEL and
// writes nothing. Every warning sound prints "beep". Bad arguments or a missing layer say so and
// exit 1.
//
// For the tests that drive it, it also prints "rect NAME X Y W H" lines for the dialog's name and
// opacity fields and its buttons (screen coordinates) and "ready" once the dialog is about to
// show. Built with the tests, not installed.

#include <cstdio>
#include <string>

#include "../../lib_vorn/tools/read_document.h"
#include "../../support/say_rect.h"
#include "../../support/tool_args.h"
#include "layer_dlog.h"
#include "plat_beep.h"
#include "plat_window.h"
#include "qv_app.h"
#include "qv_button.h"
#include "qv_text_control.h"
#include "shape_style_factory.h"
#include "toolkit_startup.h"
#include "vorndoc.h"
#include "vornlayer.h"

namespace {

const char* kTool = "layer_settings";

int Usage(const std::string& why)
{
    return ToolUsage(kTool, "layer_settings IN OUT --layer NAME [--frame N]", why);
}

void SayPlaces(LayerDlog* dialog)
{
    SayRect("name", dialog->fName);
    SayRect("opacity", dialog->fOpacity);
    SayRect("ok", dialog->fOK);
    SayRect("cancel", dialog->fCancel);
    std::printf("ready\n");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return Usage("IN and OUT are needed");
    const char* in = argv[1];
    const char* out = argv[2];
    const char* layerName = nullptr;
    long frame = -1;
    const std::string why = ReadToolOptions(argc, argv, 3, [&](const std::string& option, const char* value) {
        if (option == "--layer")
            layerName = value;
        else if (option == "--frame") {
            if (!ParseWholeNumber(value, 0, 100000, frame))
                return std::string("--frame takes a frame number from 0");
        } else
            return "unknown option " + option;
        return std::string();
    });
    if (!why.empty())
        return Usage(why);
    if (!layerName)
        return Usage("--layer is needed");

    RegisterShapeStyles();
    ToolkitStartup();
    int status = 1;
    {
        QV_App app;
        VornDoc* doc = ReadDocument(in);
        if (!doc) {
            ToolkitShutdown();
            return 1;
        }
        VornLayer* layer = doc->LayerByName(layerName);
        if (!layer) {
            std::fprintf(stderr, "%s: no top-level layer named \"%s\"\n", kTool, layerName);
        } else {
            doc->SetCurFrame(frame >= 0 ? int32_t(frame) : doc->CurFrame());
            PlatSetBeepHook([] {
                std::printf("beep\n");
                std::fflush(stdout);
            });
            LayerDlog::sOpenedHook = SayPlaces;
            const bool ok = RunLayerSettings(nullptr, doc, layer);
            LayerDlog::sOpenedHook = nullptr;
            PlatSetBeepHook(nullptr);
            status = AnswerDialog(kTool, doc, ok, out);
        }
        delete doc;
    }
    ToolkitShutdown();
    return status;
}
