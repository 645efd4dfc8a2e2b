// The content library's folder listing and navigation rules.

#include "library_model.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "qv_file_lister.h"
#include "qv_path.h"

namespace {

std::string Lower(std::string text)
{
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string ExtensionOf(const std::string& name)
{
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : Lower(name.substr(dot + 1));
}

std::string StemOf(const std::string& path)
{
    const size_t dot = path.rfind('.');
    const size_t slash = path.rfind('/');
    return dot == std::string::npos || (slash != std::string::npos && dot < slash) ? path : path.substr(0, dot);
}

bool Readable(const std::string& path)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    std::fclose(file);
    return true;
}

std::string Joined(const std::string& folder, const std::string& name)
{
    if (folder.empty() || folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

std::string Trimmed(std::string folder)
{
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

} // namespace

std::vector<LibraryEntry> ScanLibraryFolder(const std::string& folder)
{
    std::vector<LibraryEntry> items;
    QV_FileLister lister(folder.c_str());
    while (const char* entry = lister.NextFile()) {
        const std::string name = entry;
        const std::string path = Joined(folder, name);
        const std::string extension = ExtensionOf(name);
        const QV_String media = QV_Path(path.c_str()).MediaType();
        LibraryEntry item { path, name, LibraryKind::Folder };
        if (extension == "celv" || extension == "vorn")
            item.kind = LibraryKind::Document;
        else if (media == "video")
            item.kind = LibraryKind::Video;
        else if (media == "audio")
            item.kind = LibraryKind::Audio;
        else if (media == "image")
            item.kind = LibraryKind::Image;
        else if (!extension.empty() || name.find('.') != std::string::npos || name == "textures")
            continue;
        if (item.kind == LibraryKind::Image && QV_Path(path.c_str()).MimeType() == "image/png") {
            const std::string stem = StemOf(path);
            bool thumbnail = false;
            for (const char* other : { ".celv", ".vorn", ".mov", ".jpg" })
                thumbnail = thumbnail || Readable(stem + other);
            if (thumbnail)
                continue;
        }
        items.push_back(item);
    }
    std::stable_sort(items.begin(), items.end(),
        [](const LibraryEntry& a, const LibraryEntry& b) { return Lower(a.name) < Lower(b.name); });
    return items;
}

std::string LibraryThumbnailPath(const LibraryEntry& entry)
{
    if (entry.kind == LibraryKind::Image && QV_Path(entry.path.c_str()).MimeType() == "image/png")
        return std::string();
    const std::string candidate = (entry.kind == LibraryKind::Folder ? entry.path : StemOf(entry.path)) + ".png";
    return Readable(candidate) ? candidate : std::string();
}

int32_t LibraryZoomStep(int32_t size, bool zoomIn)
{
    switch (size) {
    case 32:
        return zoomIn ? 48 : 32;
    case 48:
        return zoomIn ? 64 : 32;
    case 64:
        return zoomIn ? 96 : 48;
    case 96:
        return zoomIn ? 128 : 64;
    case 128:
        return zoomIn ? 128 : 96;
    default:
        return 64;
    }
}

bool LibraryFolderInside(const std::string& folder, const std::string& root)
{
    const std::string f = Trimmed(folder);
    const std::string r = Trimmed(root);
    if (r.empty() || f.find("/../") != std::string::npos || (f.size() >= 3 && f.compare(f.size() - 3, 3, "/..") == 0))
        return false;
    return f == r || (f.size() > r.size() && f.compare(0, r.size(), r) == 0 && f[r.size()] == '/');
}

std::vector<std::string> LibraryBreadcrumb(const std::string& folder, const std::string& root)
{
    const std::string r = Trimmed(root);
    const size_t slash = r.rfind('/');
    std::vector<std::string> parts;
    parts.push_back(slash == std::string::npos ? r : r.substr(slash + 1));
    const std::string f = Trimmed(folder);
    if (!LibraryFolderInside(f, r) || f == r)
        return parts;
    std::string rest = f.substr(r.size() + 1);
    size_t start = 0;
    while (start <= rest.size()) {
        const size_t end = rest.find('/', start);
        const std::string part = rest.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!part.empty())
            parts.push_back(part);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return parts;
}

std::string LibraryFolderUp(const std::string& folder, const std::string& root, int32_t levels)
{
    std::string f = Trimmed(folder);
    const std::string r = Trimmed(root);
    for (int32_t i = 0; i < levels && f != r && LibraryFolderInside(f, r); i++) {
        const size_t slash = f.rfind('/');
        if (slash == std::string::npos)
            break;
        f = f.substr(0, slash);
    }
    return LibraryFolderInside(f, r) ? f : r;
}

int32_t LibraryCommandFor(LibraryKind kind, bool hasDocument)
{
    switch (kind) {
    case LibraryKind::Document:
        return hasDocument ? 3121 : 3111;
    case LibraryKind::Video:
        return hasDocument ? 3123 : 3111;
    case LibraryKind::Audio:
        return 3127;
    case LibraryKind::Image:
        return 3122;
    case LibraryKind::Folder:
        break;
    }
    return 0;
}
