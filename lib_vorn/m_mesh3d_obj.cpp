// OBJ models and their MTL material libraries: points, texture points, faces (polygons become
// fans of quads closed by a triangle), material libraries and selection, diffuse colour and
// diffuse texture map. Whatever cannot be used is skipped without a word.

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "m_mesh3d.h"
#include "media_path.h"

namespace {

// The whole file, or false when it is not a regular file that reads. Models come from outside:
// a device or pipe named as one must not block the reader.
bool ReadWholeFile(const std::string& path, std::string& out)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    struct stat info;
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) {
        std::fclose(file);
        return false;
    }
    out.clear();
    char block[65536];
    size_t n;
    while ((n = std::fread(block, 1, sizeof block, file)) > 0)
        out.append(block, n);
    const bool ok = !std::ferror(file);
    std::fclose(file);
    return ok;
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string Trim(std::string_view text)
{
    size_t a = 0, b = text.size();
    while (a < b && IsSpace(text[a]))
        a++;
    while (b > a && IsSpace(text[b - 1]))
        b--;
    return std::string(text.substr(a, b - a));
}

// Calls each line (without its line end) in order. A line ends at CR or LF, so CR LF files give
// empty lines between, which the importers skip; a last line without a line end counts too, and
// lines may be of any length.
template <typename Fn> void ForEachLine(const std::string& text, Fn&& fn)
{
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        fn(std::string_view(text).substr(start, end - start));
        start = end + 1;
    }
}

// Everything after the first blank, trimmed.
std::string AfterKeyword(const std::string& line)
{
    const size_t blank = line.find(' ');
    return blank == std::string::npos ? std::string() : Trim(std::string_view(line).substr(blank + 1));
}

// "%ld" at the start of the text (white space first allowed), saturated to int32.
bool ReadIndex(const char* text, int32_t& out)
{
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text, &end, 10);
    if (end == text)
        return false;
    out = int32_t(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
    return true;
}

// OBJ counts from 1; the stored index is one less, kept in range for the faces' int32.
int32_t FromObj(int32_t index)
{
    return int32_t(std::max<int64_t>(int64_t(index) - 1, INT32_MIN));
}

float Finite(float v)
{
    return std::isfinite(v) ? v : 0.0f;
}

struct Corner {
    int32_t p;
    int32_t t;
};

void EmitFace(std::vector<std::unique_ptr<M_Face3D>>& faces, int32_t numP, const Corner* c, int32_t material)
{
    auto face = std::make_unique<M_Face3D>();
    face->numP = numP;
    face->p1 = FromObj(c[0].p);
    face->p2 = FromObj(c[1].p);
    face->p3 = FromObj(c[2].p);
    face->p4 = FromObj(c[3].p);
    face->t1 = FromObj(c[0].t);
    face->t2 = FromObj(c[1].t);
    face->t3 = FromObj(c[2].t);
    face->t4 = FromObj(c[3].t);
    face->matID = material;
    faces.push_back(std::move(face));
}

void ReadFaceLine(const std::string& line, std::vector<std::unique_ptr<M_Face3D>>& faces, int32_t material)
{
    const std::string rest = Trim(std::string_view(line).substr(1));
    Corner corners[4];
    for (Corner& c : corners)
        c = { -1, -1 };
    int32_t numP = 0;
    size_t pos = 0;
    while (pos < rest.size()) {
        size_t end = rest.find(' ', pos);
        if (end == std::string::npos)
            end = rest.size();
        const std::string token = rest.substr(pos, end - pos);
        pos = end;
        while (pos < rest.size() && IsSpace(rest[pos]))
            pos++;
        Corner corner { -1, -1 };
        if (!ReadIndex(token.c_str(), corner.p))
            break;
        const size_t slash = token.find('/');
        if (slash != std::string::npos && !ReadIndex(token.c_str() + slash + 1, corner.t))
            corner.t = -1;
        corners[numP++] = corner;
        if (numP == 4) {
            EmitFace(faces, 4, corners, material);
            corners[1] = corners[3];
            corners[2] = corners[3] = { -1, -1 };
            numP = 2;
        }
    }
    if (numP >= 3)
        EmitFace(faces, numP, corners, material);
}

} // namespace

void M_Mesh3D::ImportOBJ(const char* path)
{
    const std::string file = FindMediaFile(path, nullptr);
    std::string text;
    if (file.empty() || !ReadWholeFile(file, text))
        return;
    Empty();
    int32_t material = -1;
    ForEachLine(text, [&](std::string_view raw) {
        if (raw.size() < 2)
            return;
        std::string line(raw);
        std::replace(line.begin(), line.end(), '\t', ' ');
        line = Trim(line);
        const size_t blank = line.find(' ');
        if (blank == std::string::npos)
            return;
        const std::string keyword = line.substr(0, blank);
        if (keyword == "v") {
            float x, y, z;
            if (std::sscanf(line.c_str(), "%*c %f %f %f", &x, &y, &z) == 3)
                fPoints.push_back({ Finite(x), Finite(y), Finite(z) });
        } else if (keyword == "vt") {
            float u, v;
            if (std::sscanf(line.c_str(), "%*s %f %f", &u, &v) == 2)
                fTexturePoints.push_back({ Finite(u), Finite(1 - v) });
        } else if (keyword == "f") {
            ReadFaceLine(line, fFaces, material);
        } else if (keyword == "mtllib") {
            const std::string name = AfterKeyword(line);
            if (!name.empty())
                ImportMTL(FindMediaFileBeside(name.c_str(), file.c_str()).c_str());
        } else if (keyword == "usemtl") {
            const std::string name = AfterKeyword(line);
            for (size_t i = 0; i < fMaterials.size(); i++) {
                if (name == fMaterials[i]->fName.CString()) {
                    material = int32_t(i);
                    break;
                }
            }
        }
    });
}

void M_Mesh3D::ImportMTL(const char* path)
{
    std::string text;
    if (!path || !*path || !ReadWholeFile(path, text))
        return;
    M_Material3D* current = nullptr;
    ForEachLine(text, [&](std::string_view raw) {
        if (raw.size() < 2)
            return;
        const std::string line = Trim(raw);
        const size_t blank = line.find(' ');
        if (blank == std::string::npos)
            return;
        const std::string keyword = line.substr(0, blank);
        if (keyword == "newmtl") {
            fMaterials.push_back(std::make_unique<M_Material3D>());
            current = fMaterials.back().get();
            current->fName = AfterKeyword(line).c_str();
            // Names are stored between double quotes without escapes.
            current->fName.RemoveChar('"');
        } else if (keyword == "Kd" && current) {
            float rgb[3];
            if (std::sscanf(line.c_str(), "%*s %f %f %f", &rgb[0], &rgb[1], &rgb[2]) == 3) {
                uint8_t bytes[3];
                for (int32_t i = 0; i < 3; i++) {
                    const float v = std::isfinite(rgb[i]) ? std::clamp(rgb[i], 0.0f, 1.0f) : 0.0f;
                    bytes[i] = uint8_t(std::lround(v * 255));
                }
                current->color = { bytes[0], bytes[1], bytes[2], 255 };
            }
        } else if (keyword == "map_Kd" && current) {
            const std::string name = AfterKeyword(line);
            std::string found = FindMediaFileBeside(name.c_str(), path);
            // A path with a double quote could not be stored in the document.
            found.erase(std::remove(found.begin(), found.end(), '"'), found.end());
            current->fTexturePath = found.c_str();
        }
    });
}
