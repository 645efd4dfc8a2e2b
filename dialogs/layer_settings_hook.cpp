#include "layer_settings_hook.h"

#include "layer_dlog.h"
#include "vorn_wnd.h"
#include "vorndoc.h"

bool HandleLayerSettingsCommand(VornWnd* owner, int32_t command)
{
    if (command != 5004 || !owner)
        return false;
    VornDoc* document = owner->fDocument;
    if (document && document->GetSelectedLayer())
        RunLayerSettings(owner, document, document->GetSelectedLayer());
    return true;
}
