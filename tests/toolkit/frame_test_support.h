#pragma once

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "../core/scratch_folder.h"
#include "scoped_env.h"

// A private world for the application frame: HOME, XDG_CONFIG_HOME and the
// application folder all inside a scratch folder, set before anything reads
// them. Windows use SDL's dummy driver unless a display driver was chosen.
class FrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(fRoot.Path().empty());
        for (const char* folder : { "home", "config", "app", "app/Resources" })
            std::filesystem::create_directories(fRoot.File(folder));
        fHome = std::make_unique<ScopedEnv>("HOME", fRoot.File("home").c_str());
        fConfig = std::make_unique<ScopedEnv>("XDG_CONFIG_HOME", fRoot.File("config").c_str());
        fAppFolder = std::make_unique<ScopedEnv>("CELVANE_APP_FOLDER", fRoot.File("app").c_str());
        setenv("SDL_VIDEODRIVER", "dummy", 0);
    }

    // Relative to the scratch folder.
    static constexpr const char* kUserFolder = "config/Drelmor/Celvane Pomra";
    static constexpr const char* kUserSettings
        = "config/Drelmor/Celvane Pomra/Celvane Pomra6.0.user.settings";
    static constexpr const char* kAppSettings
        = "config/Drelmor/Celvane Pomra/6.0/Celvane Pomra6.0.app.settings";
    static constexpr const char* kAppFolderSettings = "app/Celvane Pomra6.0.user.settings";
    static constexpr const char* kStrings = "app/Resources/Celvane Pomra.strings";

    void PutFile(const char* relative, const std::string& bytes)
    {
        std::filesystem::create_directories(std::filesystem::path(fRoot.File(relative)).parent_path());
        fRoot.Put(relative, bytes);
    }
    std::string GetFile(const char* relative) const { return fRoot.Get(relative); }
    bool HasFile(const char* relative) const { return fRoot.Exists(relative); }

    ScratchFolder fRoot;
    std::unique_ptr<ScopedEnv> fHome;
    std::unique_ptr<ScopedEnv> fConfig;
    std::unique_ptr<ScopedEnv> fAppFolder;
};
