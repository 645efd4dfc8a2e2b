#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

// A fresh folder under the system temporary folder, removed with everything in it.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "celvane-test-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            fPath = pattern;
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        if (!fPath.empty())
            std::filesystem::remove_all(fPath, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return fPath; }
    std::string File(const std::string& name) const { return fPath + "/" + name; }

    void Put(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(File(name), std::ios::binary) << bytes;
    }
    std::string Get(const std::string& name) const
    {
        std::ifstream in(File(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(File(name)); }
    // Number of entries in the folder: shows that no temporary file was left behind.
    int EntryCount() const
    {
        int count = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(fPath))
            count++;
        return count;
    }

private:
    std::string fPath;
};
