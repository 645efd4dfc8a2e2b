#include "qv_entry.h"

#include "plat_folders.h"
#include "qv_app.h"
#include "toolkit_startup.h"

void SetCommandLine(int argc, char** argv)
{
    QV_String joined;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            joined.Append(' ');
        joined.Append(argv[i] ? argv[i] : "");
    }
    gLongCommandLine = PlatRealFilePath(joined.CString()).c_str();
    gCommandLine = joined;
    gCommandLine.TrimLeft();
    gCommandLine.TrimRight();
}

int ToolkitMain(int argc, char** argv, void (*runApplication)())
{
    SetCommandLine(argc, argv);
    // Start-up asks for the tablet once the display is known.
    ToolkitStartup();
    if (runApplication)
        runApplication();
    ToolkitShutdown();
    return 0;
}
