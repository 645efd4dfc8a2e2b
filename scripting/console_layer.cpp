#include "console_layer.h"

#include "interface_colors.h"
#include "qv_lua_console.h"
#include "raster_fill.h"
#include "script_console.h"

QVi_ConsoleLayer::QVi_ConsoleLayer(int32_t follow)
    : QV_Layer(follow)
{
}

void QVi_ConsoleLayer::Draw()
{
    FillRaster(fImage.buffer, WindowBackground);
    QV_Layer::Draw();
}

void QVi_ConsoleLayer::Update(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    // Not while the window is still being built: its lines have nowhere to go yet.
    if (fWindow && fWindow == gLuaConsole)
        QV_LuaConsole::FlushPending();
    QV_Layer::Update(left, top, right, bottom);
}
