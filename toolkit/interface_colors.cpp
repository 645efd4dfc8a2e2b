#include "interface_colors.h"

#include "qv_app.h"

// Key, then the built-in red, green, blue; in settings order.
#define INTERFACE_COLORS(X)                                                                                  \
    X(WindowBackground, 135, 135, 149)                                                                       \
    X(Text, 0, 0, 0)                                                                                         \
    X(DisabledText, 217, 217, 217)                                                                           \
    X(SelectedText, 245, 248, 250)                                                                           \
    X(WarningText, 255, 0, 0)                                                                                \
    X(WidgetOutline, 41, 42, 45)                                                                             \
    X(WidgetFill, 158, 156, 176)                                                                             \
    X(WidgetHighlight, 213, 211, 211)                                                                        \
    X(WidgetShadow, 111, 118, 161)                                                                           \
    X(WidgetMark, 148, 12, 22)                                                                               \
    X(ButtonGradient1, 239, 239, 239)                                                                        \
    X(ButtonGradient2, 118, 119, 158)                                                                        \
    X(TextBackground, 213, 213, 213)                                                                         \
    X(DisabledTextBackground, 135, 143, 159)                                                                 \
    X(Selection, 114, 121, 184)                                                                              \
    X(BoxOutline, 83, 97, 121)                                                                               \
    X(BoxGradient1, 168, 171, 184)                                                                           \
    X(BoxGradient2, 136, 140, 158)                                                                           \
    X(TabBackground, 154, 153, 165)                                                                          \
    X(TabGradient1, 209, 209, 211)                                                                           \
    X(TabGradient2, 123, 143, 159)                                                                           \
    X(ToolTipBackground, 197, 197, 197)                                                                      \
    X(ProgressBackground1, 241, 245, 247)                                                                    \
    X(ProgressBackground2, 234, 204, 204)                                                                    \
    X(ProgressGradient1, 239, 243, 245)                                                                      \
    X(ProgressGradient2, 161, 184, 201)                                                                      \
    X(ThumbGradient1, 230, 233, 236)                                                                         \
    X(ThumbGradient2, 134, 139, 186)

#define DEFINE_COLOR(name, r, g, b) rgb_color name = { r, g, b, 255 };
INTERFACE_COLORS(DEFINE_COLOR)
#undef DEFINE_COLOR

#define COLOR_ENTRY(name, r, g, b) { #name, &name, { r, g, b, 255 } },
const InterfaceColor kInterfaceColors[kInterfaceColorCount] = { INTERFACE_COLORS(COLOR_ENTRY) };
#undef COLOR_ENTRY

void ResetInterfaceColors()
{
    for (const InterfaceColor& entry : kInterfaceColors)
        *entry.color = entry.standard;
}

void QV_App::LoadColors()
{
    for (const InterfaceColor& entry : kInterfaceColors) {
        fUserSettings.FindColor(entry.key, *entry.color);
        // Interface colours are always drawn opaque, whatever the file says.
        entry.color->a = 255;
    }
}

void QV_App::SaveColors()
{
    if (fUserSettings.Count() == 0)
        return;
    for (const InterfaceColor& entry : kInterfaceColors)
        fUserSettings.AddColor(entry.key, *entry.color);
}
