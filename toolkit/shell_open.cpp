#include "shell_open.h"

#include <cstdio>
#include <string>

#include "app_folders.h"
#include "plat_spawn.h"
#include "qv_alert.h"
#include "qv_app.h"
#include "qv_path.h"

namespace {

// How long the interface waits for the opener to answer; one that still
// runs then is taken as having succeeded.
constexpr uint32_t kOpenWaitMs = 1500;

// The address as text of the page: the characters that end an attribute or
// start markup are written as entities.
std::string Escaped(const char* address)
{
    std::string out;
    for (const char* c = address; *c; ++c) {
        switch (*c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += *c;
        }
    }
    return out;
}

} // namespace

void ShellOpen(const char* path)
{
    if (!path || !*path)
        return;
    if (PlatStartProgram({ "xdg-open", path }, kOpenWaitMs))
        return;
    QV_Path file(path);
    QV_String extension = file.Extension();
    extension.ToLower();
    if (extension != "pdf")
        return;
    QV_String name = file.FileName();
    if (name.IsEmpty())
        name = path;
    Alert(nullptr, ALERT_WARNING,
        Localize("/Strings/Application/FailedToOpenTheFile=Failed to open the file:"), name.CString(),
        Localize(
            "/Strings/Application/InstallAdobeReader=Check to make sure you have Adobe Reader installed."),
        Localize("/Strings/OK=OK"), nullptr, nullptr);
}

void OpenURL(const char* address)
{
    if (!address)
        return;
    QV_Path path = UserAppDataFolder();
    path.Append(".temp.html");
    std::FILE* file = std::fopen(path.CString(), "wb");
    if (!file)
        return;
    const std::string a = Escaped(address);
    const std::string lines[] = {
        "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">",
        "<html>",
        "<head>",
        "<title>Redirect</title>",
        "<meta http-equiv=\"REFRESH\" content=\"0;url=" + a + "\">",
        "</head>",
        "<body>",
        "<a href=\"" + a + "\">" + a + "</a>",
        "</body>",
        "</html>",
    };
    bool written = true;
    for (const std::string& line : lines)
        written = written && std::fputs(line.c_str(), file) >= 0 && std::fputs("\r\n", file) >= 0;
    if (std::fclose(file) != 0 || !written)
        return;
    ShellOpen(path.CString());
}
