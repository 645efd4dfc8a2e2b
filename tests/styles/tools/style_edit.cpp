// style_edit IN OUT --layer NAME --shape N --slot 0|1|2 [--kind ID]
//
// Opens the effect in one slot of a shape's own style in its edit dialog, in a real window, with
// what the style panel passes: for the fill slots 0 and 1 the fill colour, the document's
// background and width 0; for the line slot 2 the line colour, the background and the line
// width in pixels. Shapes count from 0. With --kind the slot first gets a new effect of that
// type id (10203 to 10213; 10202 empties it), as the style panel does after its menu.
// OK saves OUT and prints OK; Cancel prints CANCEL and writes nothing. Bad arguments, a missing
// layer or shape and an empty slot say so and exit 1.
//
// For the tests that drive it, it also prints "rect NAME X Y W H" lines for the dialog's widgets
// (screen coordinates) and "ready" once the dialog is about to show. Built with the tests, not
// installed.

#include <cstdio>
#include <string>

#include "../../lib_vorn/tools/read_document.h"
#include "../../support/say_rect.h"
#include "../../support/tool_args.h"
#include "m_mesh.h"
#include "m_shape.h"
#include "m_shapestyle.h"
#include "meshlayer.h"
#include "plat_window.h"
#include "qv_app.h"
#include "qv_button.h"
#include "qv_check_box.h"
#include "qv_text_control.h"
#include "shape_style_factory.h"
#include "style_adapters.h"
#include "style_dialogs.h"
#include "toolkit_startup.h"
#include "vorndoc.h"
#include "vornlayer.h"

namespace {

const char* kTool = "style_edit";

int Usage(const std::string& why)
{
    return ToolUsage(kTool, "style_edit IN OUT --layer NAME --shape N --slot 0|1|2 [--kind ID]", why);
}

// The document as the style panel hands it over; remembers whether OK committed.
class EditedDocument : public VornDocStyleAdapter {
public:
    using VornDocStyleAdapter::VornDocStyleAdapter;
    void StyleEdited() override
    {
        VornDocStyleAdapter::StyleEdited();
        fCommitted = true;
    }
    bool fCommitted = false;
};

void SayPlaces(StyleDlog* dialog)
{
    SayRect("preview", dialog->fPreview);
    SayRect("ok", dialog->fOK);
    SayRect("cancel", dialog->fCancel);
    if (auto* shaded = dynamic_cast<SS_ShadedDlog*>(dialog)) {
        SayRect("offset", shaded->fOffset);
        SayRect("blur", shaded->fBlur);
        SayRect("shadowonly", shaded->fShadowOnly);
    } else if (auto* gradient = dynamic_cast<SS_Gradient2Dlog*>(dialog)) {
        SayRect("stopbar", gradient->fBar);
    } else if (auto* texture = dynamic_cast<TextureDlog*>(dialog)) {
        SayRect("choose", texture->fChoose);
    }
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
    long shapeIndex = -1;
    long slot = -1;
    long kind = -1;
    const std::string why = ReadToolOptions(argc, argv, 3, [&](const std::string& option, const char* value) {
        if (option == "--layer")
            layerName = value;
        else if (option == "--shape") {
            if (!ParseWholeNumber(value, 0, 0x7fffffffL, shapeIndex))
                return std::string("--shape takes a shape number from 0");
        } else if (option == "--slot") {
            if (!ParseWholeNumber(value, 0, 2, slot))
                return std::string("--slot takes 0, 1 or 2");
        } else if (option == "--kind") {
            if (!ParseWholeNumber(value, kNoShapeStyleId, kFirstShapeStyleId + kStyleKindCount - 1, kind))
                return std::string("--kind takes a type id from 10202 to 10213");
        } else
            return "unknown option " + option;
        return std::string();
    });
    if (!why.empty())
        return Usage(why);
    if (!layerName || shapeIndex < 0 || slot < 0)
        return Usage("--layer, --shape and --slot are needed");

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
        M_Shape* shape = nullptr;
        if (!layer || layer->LayerType() != LT_VECTOR)
            std::fprintf(stderr, "%s: no vector layer named \"%s\"\n", kTool, layerName);
        else if (!(shape = static_cast<MeshLayer*>(layer)->Mesh()->GetShape(int32_t(shapeIndex))))
            std::fprintf(stderr, "%s: layer \"%s\" has no shape %ld\n", kTool, layerName, shapeIndex);
        if (shape) {
            M_Style& style = shape->fMyStyle;
            if (kind >= 0) {
                delete style.fEffects[slot];
                style.fEffects[slot] = CreateShapeStyle(int32_t(kind));
            }
            M_ShapeStyle* effect = style.fEffects[slot];
            if (!effect) {
                std::fprintf(stderr, "%s: slot %ld of shape %ld holds no effect\n", kTool, slot, shapeIndex);
            } else {
                const int32_t frame = doc->CurFrame();
                const bool line = slot == 2;
                const rgb_color sample = (line ? style.fLineCol : style.fFillCol).GetValue(frame).AsColorStruct();
                const float width = line ? style.fLineWidth * float(doc->Height()) : 0.0f;
                EditedDocument edited(doc);
                StyleDlog::sOpenedHook = SayPlaces;
                effect->Edit(sample, doc->fBackColor, width, nullptr, &edited);
                StyleDlog::sOpenedHook = nullptr;
                status = AnswerDialog(kTool, doc, edited.fCommitted, out);
            }
        }
        delete doc;
    }
    ToolkitShutdown();
    return status;
}
