// The main layer's commands that open the editing dialogs and the movie preview.
#include "edit_dialogs.h"
#include "main_layer.h"
#include "movie_preview.h"
#include "qv_message.h"
#include "vorn_wnd.h"
#include "vorndoc.h"

int32_t RunEditDialogCommand(MainLayer* layer, int32_t command, QV_Message*)
{
    if (!layer)
        return 0;
    QV_Wnd* owner = layer->fMainWindow;
    VornDoc* doc = layer->fDoc;
    switch (command) {
    case 3129:
        return PreviewMovie(doc, owner) == PreviewResult::NotRun ? 0 : 1;
    case 3189:
        return (new GridSettingsDlog(owner))->DoModal();
    case 3206:
        return doc ? (new ScaleKeysDlog(doc, owner))->DoModal() : 0;
    case 3207:
        return doc ? (new CopyFrameDlog(doc, owner))->DoModal() : 0;
    case 3208: {
        if (!doc)
            return 0;
        auto* dialog = new PoseBlendDlog(doc, owner);
        if (!dialog->HasMorphs()) {
            delete dialog;
            return 0;
        }
        return dialog->DoModal();
    }
    case 3214:
        return doc ? (new AudioLevelDlog(doc, owner))->DoModal() : 0;
    default:
        break;
    }
    return 0;
}
