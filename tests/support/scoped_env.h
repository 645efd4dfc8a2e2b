#pragma once

#include <cstdlib>
#include <optional>
#include <string>

// Sets (or, for null, clears) an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value)
        : fName(name)
    {
        if (const char* old = getenv(name))
            fOld = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (fOld)
            setenv(fName, fOld->c_str(), 1);
        else
            unsetenv(fName);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* fName;
    std::optional<std::string> fOld;
};
