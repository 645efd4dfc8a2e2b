#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "older_document.h"
#include "qv_memstream.h"

// A folder of its own for each test, removed with everything in it.
class TempFolder {
public:
    TempFolder()
    {
        char pattern[] = "/tmp/celvane_older_XXXXXX";
        if (const char* folder = mkdtemp(pattern))
            fPath = folder;
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(fPath, ignored);
    }
    const std::string& Path() const { return fPath; }
    std::string File(const std::string& name) const { return fPath + "/" + name; }
    std::string Write(const std::string& name, const std::string& text) const
    {
        std::ofstream(File(name), std::ios::binary) << text;
        return File(name);
    }

private:
    std::string fPath;
};

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline std::string StreamText(QV_MemStream& stream)
{
    std::string text(size_t(stream.Size()), '\0');
    stream.Rewind();
    stream.fReading = true;
    stream.ReadBytes(text.data(), int32_t(text.size()));
    return text;
}

// The converter's text of an older document file; ok says whether it converted.
inline std::string ConvertFile(const std::string& path, bool* ok = nullptr)
{
    QV_MemStream out;
    out.Open(0);
    const bool converted = vorn_v4::ConvertOlderDocument(path.c_str(), &out);
    if (ok)
        *ok = converted;
    return converted ? StreamText(out) : std::string();
}

inline std::vector<std::string> Tokens(const std::string& text)
{
    std::vector<std::string> tokens;
    std::istringstream in(text);
    std::string token;
    while (in >> token)
        tokens.push_back(token);
    return tokens;
}

// Whether the tokens of part stand one after another somewhere in the tokens of text.
inline bool HasTokens(const std::string& text, const std::string& part)
{
    const std::vector<std::string> all = Tokens(text);
    const std::vector<std::string> sought = Tokens(part);
    if (sought.empty())
        return true;
    for (size_t i = 0; i + sought.size() <= all.size(); i++) {
        size_t k = 0;
        while (k < sought.size() && all[i + k] == sought[k])
            k++;
        if (k == sought.size())
            return true;
    }
    return false;
}

// The older document header and version line, then the body.
inline std::string OlderDocument(int version, const std::string& body)
{
    return "application/x-vnd.qv_vorndoc\nversion " + std::to_string(version) + "\n" + body;
}

// The tokens of the record that follows a keyword line, up to its closing bracket.
inline std::string RecordAfter(const std::string& text, const std::string& keyword, size_t nth = 0)
{
    const std::vector<std::string> all = Tokens(text);
    for (size_t i = 0; i < all.size(); i++) {
        if (all[i] != keyword)
            continue;
        if (nth-- > 0)
            continue;
        std::string record;
        for (size_t k = i + 1; k < all.size(); k++) {
            record += (record.empty() ? "" : " ") + all[k];
            if (all[k] == "]")
                break;
        }
        return record;
    }
    return "(no " + keyword + ")";
}
