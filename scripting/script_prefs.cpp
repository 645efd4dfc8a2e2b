#include "script_prefs.h"

#include <cstdio>
#include <cstring>

#include "qv_lua_console.h"
#include "qv_message.h"
#include "qv_string.h"

namespace {

constexpr uint32_t kRefusedColor = 0xff0000ff;

} // namespace

bool ScriptPrefs::Storable(const char* name) const
{
    if (!fSettings || !name)
        return false;
    if (std::strcmp(name, "what") != 0 && !std::strchr(name, '"'))
        return true;
    QV_String line("ScriptPrefs: the name ");
    line.Append(name);
    line.Append(" cannot be kept in the settings file - not stored");
    QV_LuaConsole::Print(line.CString(), kRefusedColor);
    return false;
}

void ScriptPrefs::SetBool(const char* name, bool value)
{
    if (Storable(name))
        fSettings->AddBool(name, value);
}

bool ScriptPrefs::GetBool(const char* name, bool fallback)
{
    if (fSettings && name)
        fSettings->FindBool(name, fallback);
    return fallback;
}

void ScriptPrefs::SetInt(const char* name, int32_t value)
{
    if (!Storable(name))
        return;
    char text[64];
    std::snprintf(text, sizeof text, "%ld", long(value));
    fSettings->AddString(name, text);
}

int32_t ScriptPrefs::GetInt(const char* name, int32_t fallback)
{
    const char* text = nullptr;
    if (!fSettings || !name || !fSettings->FindString(name, &text))
        return fallback;
    long value = fallback;
    if (std::sscanf(text, "%ld", &value) != 1 || value > INT32_MAX || value < INT32_MIN)
        return fallback;
    return int32_t(value);
}

void ScriptPrefs::SetFloat(const char* name, float value)
{
    if (!Storable(name))
        return;
    char text[64];
    std::snprintf(text, sizeof text, "%f", double(value));
    fSettings->AddString(name, text);
}

float ScriptPrefs::GetFloat(const char* name, float fallback)
{
    const char* text = nullptr;
    if (!fSettings || !name || !fSettings->FindString(name, &text))
        return fallback;
    float value = fallback;
    if (std::sscanf(text, "%f", &value) != 1)
        return fallback;
    return value;
}

void ScriptPrefs::SetString(const char* name, const char* value)
{
    if (!Storable(name))
        return;
    QV_String copy;
    for (const char* c = value ? value : ""; *c; c++) {
        if (*c != '"')
            copy.Append(*c);
    }
    fSettings->AddString(name, copy.CString());
}

const char* ScriptPrefs::GetString(const char* name, const char* fallback)
{
    const char* text = nullptr;
    if (fSettings && name && fSettings->FindString(name, &text))
        return text;
    return fallback;
}
