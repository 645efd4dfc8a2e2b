#pragma once
#include <cstdint>

#include "qv_color.h"

// The 28 interface colours every widget draws with. Each variable carries the
// name of its settings key; the application's settings may change them at
// start-up (QV_App::LoadColors) and get them back at the end.
extern rgb_color WindowBackground;
extern rgb_color Text;
extern rgb_color DisabledText;
extern rgb_color SelectedText;
extern rgb_color WarningText;
extern rgb_color WidgetOutline;
extern rgb_color WidgetFill;
extern rgb_color WidgetHighlight;
extern rgb_color WidgetShadow;
extern rgb_color WidgetMark;
extern rgb_color ButtonGradient1;
extern rgb_color ButtonGradient2;
extern rgb_color TextBackground;
extern rgb_color DisabledTextBackground;
extern rgb_color Selection;
extern rgb_color BoxOutline;
extern rgb_color BoxGradient1;
extern rgb_color BoxGradient2;
extern rgb_color TabBackground;
extern rgb_color TabGradient1;
extern rgb_color TabGradient2;
extern rgb_color ToolTipBackground;
extern rgb_color ProgressBackground1;
extern rgb_color ProgressBackground2;
extern rgb_color ProgressGradient1;
extern rgb_color ProgressGradient2;
extern rgb_color ThumbGradient1;
extern rgb_color ThumbGradient2;

struct InterfaceColor {
    const char* key;
    rgb_color* color;
    rgb_color standard;
};

constexpr int32_t kInterfaceColorCount = 28;
// In settings order.
extern const InterfaceColor kInterfaceColors[kInterfaceColorCount];

// Every interface colour back to its built-in value (the preferences dialog
// offers this).
void ResetInterfaceColors();
