#pragma once

#include <cstdint>

class QV_Message;

// Typed access for scripts to the application's user settings, handed to their LoadPrefs and
// SavePrefs callbacks. Every value is kept as text under its name, in the one key space that
// the application's own preferences share. Valid only for the pass that built it.
//
// A name the settings file cannot carry back (the record's reserved "what", a name holding a
// double quote) is refused with a console line rather than stored and silently lost.
class ScriptPrefs {
public:
    explicit ScriptPrefs(QV_Message* settings)
        : fSettings(settings)
    {
    }

    void SetBool(const char* name, bool value);
    bool GetBool(const char* name, bool fallback);
    // "%ld".
    void SetInt(const char* name, int32_t value);
    // The stored text scanned with "%ld" into the fallback, which stays when nothing converts.
    int32_t GetInt(const char* name, int32_t fallback);
    // "%f".
    void SetFloat(const char* name, float value);
    float GetFloat(const char* name, float fallback);
    // Stored with every double quote removed.
    void SetString(const char* name, const char* value);
    // The stored text, else the fallback (which may be null).
    const char* GetString(const char* name, const char* fallback);

    QV_Message* fSettings;

private:
    bool Storable(const char* name) const;
};
