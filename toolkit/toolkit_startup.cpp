#include "toolkit_startup.h"

#include <cstdio>
#include <ctime>

#include "blend_tables.h"
#include "codec_dialog.h"
#include "codec_dialog_hook.h"
#include "image_format_registry.h"
#include "interface_fonts.h"
#include "plat_audio.h"
#include "plat_tablet.h"
#include "plat_video.h"
#include "qv_app.h"
#include "qv_cursor.h"
#include "qv_font_library.h"
#include "qv_random.h"
#include "qv_wnd.h"

void ToolkitStartup()
{
    QV_SRand(static_cast<uint32_t>(std::time(nullptr)));
    // Before any worker thread exists: every alpha operation reads them.
    BuildBlendTables();
    ImageFormatRegistry::Init();
    if (!PlatVideoStart()) {
        std::fprintf(stderr, "Celvane: no window can be opened (%s).\n", PlatVideoError().c_str());
    }
    // The tablet is asked for once the display is known; the first window
    // opens it.
    gTabletPresent = PlatTabletProbe();
    CreateBuiltinCursors();
    // Everything else assumes interface fonts: without the font library the
    // built-in bitmap fonts still serve, and only outline fonts are missing.
    if (!StartFontLibrary())
        std::fprintf(stderr, "Celvane: the font library did not start; using the built-in fonts only.\n");
    CreateInterfaceFonts();
    // The movie libraries need no start of their own: linked in, they are there.
    gQuickTimePresent = true;
    SetCodecDialogHook(ShowCodecDialog);
    gAudioAvailable = PlatAudioStart();
}

void ToolkitShutdown()
{
    SetCodecDialogHook(nullptr);
    if (gAudioAvailable) {
        PlatAudioStop();
        gAudioAvailable = false;
    }
    DeleteInterfaceFonts();
    StopFontLibrary();
    ImageFormatRegistry::Free();
    DestroyBuiltinCursors();
    PlatTabletClose();
    gTabletPresent = false;
    gTabletContext = false;
    PlatVideoStop();
}
