#pragma once

// What the generated QV.GUI bindings see: the runtime and the module's constants. The
// toolkit's own values are used where the toolkit has them, so a script compares a key code or
// a message id with exactly what the toolkit hands it.

extern "C" {
#include <lua.h>
}
#include "tolua++.h"

#include "binding_conventions.h"
#include "follow_flags.h"
#include "message_ids.h"
#include "qv_angle_widget.h"
#include "qv_button.h"
#include "qv_check_box.h"
#include "qv_color_swatch.h"
#include "qv_divider.h"
#include "qv_dynamic_text.h"
#include "qv_graphics_bindings.h"
#include "qv_gui_bindings.h"
#include "qv_keys.h"
#include "qv_layout_view.h"
#include "qv_message.h"
#include "qv_menu.h"
#include "qv_open_save.h"
#include "qv_popup_dialog.h"
#include "qv_popup_menu.h"
#include "qv_simple_dialog.h"
#include "qv_static_text.h"
#include "qv_text_control.h"
#include "qv_text_list.h"
#include "qv_view.h"

constexpr int QVGUI_KEY_RETURN = KEY_RETURN;
constexpr int QVGUI_KEY_ESCAPE = KEY_ESCAPE;
constexpr int QVGUI_KEY_TAB = KEY_TAB;
constexpr int QVGUI_KEY_BACKSPACE = KEY_BACKSPACE;
constexpr int QVGUI_KEY_DELETE = KEY_DELETE;
constexpr int QVGUI_KEY_HOME = KEY_HOME;
constexpr int QVGUI_KEY_END = KEY_END;
constexpr int QVGUI_KEY_PAGEUP = KEY_PAGEUP;
constexpr int QVGUI_KEY_PAGEDOWN = KEY_PAGEDOWN;
constexpr int QVGUI_KEY_LEFT = KEY_LEFT;
constexpr int QVGUI_KEY_UP = KEY_UP;
constexpr int QVGUI_KEY_RIGHT = KEY_RIGHT;
constexpr int QVGUI_KEY_DOWN = KEY_DOWN;
constexpr int QVGUI_KEY_F1 = KEY_F1;
constexpr int QVGUI_KEY_F2 = KEY_F1 - 1;
constexpr int QVGUI_KEY_F3 = KEY_F1 - 2;
constexpr int QVGUI_KEY_F4 = KEY_F1 - 3;
constexpr int QVGUI_KEY_F5 = KEY_F1 - 4;
constexpr int QVGUI_KEY_F6 = KEY_F1 - 5;
constexpr int QVGUI_KEY_F7 = KEY_F1 - 6;
constexpr int QVGUI_KEY_F8 = KEY_F1 - 7;
constexpr int QVGUI_KEY_F9 = KEY_F1 - 8;
constexpr int QVGUI_KEY_F10 = KEY_F1 - 9;
constexpr int QVGUI_KEY_F11 = KEY_F1 - 10;
constexpr int QVGUI_KEY_F12 = KEY_F12;

constexpr int QVGUI_FOLLOW_LEFT = FOLLOW_LEFT;
constexpr int QVGUI_FOLLOW_TOP = FOLLOW_TOP;
constexpr int QVGUI_FOLLOW_RIGHT = FOLLOW_RIGHT;
constexpr int QVGUI_FOLLOW_BOTTOM = FOLLOW_BOTTOM;
// The layout view's default padding and indent step.
constexpr int QVGUI_DEFAULT_PADDING = 8;
constexpr int QVGUI_DEFAULT_INDENT = 16;
constexpr int QVGUI_ALIGN_LEFT = ALIGN_LEFT;
constexpr int QVGUI_ALIGN_TOP = ALIGN_TOP;
constexpr int QVGUI_ALIGN_CENTER = ALIGN_CENTER;
constexpr int QVGUI_ALIGN_RIGHT = ALIGN_RIGHT;
constexpr int QVGUI_ALIGN_BOTTOM = ALIGN_BOTTOM;
constexpr int QVGUI_ALIGN_FILL = ALIGN_FILL;

// The kinds of text control.
constexpr int QVGUI_FIELD_TEXT = 0;
constexpr int QVGUI_FIELD_INT = 1;
constexpr int QVGUI_FIELD_FLOAT = 2;
constexpr int QVGUI_FIELD_UINT = 3;
constexpr int QVGUI_FIELD_UFLOAT = 4;
constexpr int QVGUI_FIELD_NODIGITS = 5;

constexpr int QVGUI_MSG_OK = MSG_OK;
constexpr int QVGUI_MSG_CANCEL = MSG_CANCEL;

// The icons of an alert box.
constexpr int QVGUI_ALERT_INFO = 0;
constexpr int QVGUI_ALERT_WARNING = 1;
constexpr int QVGUI_ALERT_QUESTION = 2;

using namespace qvgui;
