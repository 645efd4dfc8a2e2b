// Installed fonts, and text turned into vector shapes through the glyph outlines.

#include "text_shapes.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include "m_curve.h"
#include "m_mesh.h"
#include "m_point.h"
#include "m_shape.h"
#include "m_style.h"
#include "model_prefs.h"
#include "path_builder.h"
#include "plat_folders.h"
#include "qv_app.h"
#include "qv_font.h"
#include "plat_mutex.h"
#include "script_app_services.h"
#include "utf_convert.h"

namespace {

struct FontEntry {
    std::string path;
    std::string name;
};

struct FontList {
    bool built = false;
    bool folderGiven = false;
    std::string folder;
    std::vector<FontEntry> entries;
};

FontList& List()
{
    static FontList list;
    return list;
}

bool IsFontFile(const std::string& name)
{
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos)
        return false;
    std::string extension = name.substr(dot + 1);
    for (char& c : extension)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return extension == "ttf" || extension == "ttc";
}

std::vector<std::string> CandidateFiles(const FontList& list)
{
    namespace fs = std::filesystem;
    std::vector<std::string> files;
    std::error_code error;
    auto addFolder = [&](const fs::path& folder, bool below) {
        if (below) {
            for (fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, error), end;
                 !error && it != end; it.increment(error)) {
                if (it->is_regular_file(error) && IsFontFile(it->path().filename().string()))
                    files.push_back(it->path().string());
            }
        } else {
            for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
                if (it->is_regular_file(error) && IsFontFile(it->path().filename().string()))
                    files.push_back(it->path().string());
            }
        }
        error.clear();
    };
    std::string fontDir = list.folder;
    bool haveDir = list.folderGiven && !fontDir.empty();
    QV_String setting;
    if (!list.folderGiven && gApp && gApp->fUserSettings.FindString("FontDir", setting) && !setting.IsEmpty()) {
        fontDir = setting.CString();
        haveDir = true;
    }
    if (haveDir) {
        addFolder(fontDir, true);
    } else {
        // fontconfig names the folders below its roots too.
        for (const std::string& folder : PlatFontFolders())
            addFolder(folder, false);
    }
    std::sort(files.begin(), files.end());
    files.erase(std::unique(files.begin(), files.end()), files.end());
    return files;
}

// The style of new shapes, as the Style panel holds it, else the colour preferences.
void StyleNewShape(M_Shape& shape, int32_t frame, int32_t docHeight)
{
    shape.fMyStyle.fFillCol.SetValue(frame, ModelPrefColor("VornColFill", rgb_color { 255, 255, 255, 255 }));
    shape.fMyStyle.fLineWidth = 1.0f / float(docHeight > 0 ? docHeight : 1);
    shape.fMyStyle.fLineCol.SetValue(frame, ModelPrefColor("VornColLine", rgb_color { 0, 0, 0, 255 }));
    if (M_Shape* properties = ScriptServices().NewShapeProperties())
        shape.CopyStyleProperties(properties);
    shape.SetCurFrame(frame);
}

void Report(TextProgress progress, bool finished, float fraction)
{
    if (progress)
        progress(finished, fraction);
}

void SelectFrom(M_Mesh* mesh, int32_t from)
{
    mesh->SelectNone();
    for (int32_t i = std::max(from, 0); i < mesh->GetNumPoints(); i++)
        mesh->GetPoint(i)->fSelected = true;
}

// Every glyph load rewrites the face's one slot, which render threads also draw from.
class FaceLock {
public:
    explicit FaceLock(QV_Font& font)
        : fHandle(font.fLock.handle)
    {
        if (fHandle)
            PlatMutexLock(fHandle);
    }
    ~FaceLock()
    {
        if (fHandle)
            PlatMutexUnlock(fHandle);
    }
    FaceLock(const FaceLock&) = delete;
    FaceLock& operator=(const FaceLock&) = delete;

private:
    PlatMutex* fHandle;
};

constexpr int32_t kMaxRun = 64;

void Flush(PathBuilder& b, const QV_Vector2* run, const uint8_t* tags, int32_t n)
{
    if (n == 1)
        b.LineTo(run[0].x, run[0].y);
    else if (n > 1)
        b.CurveTo(run, n, tags, (tags[0] & kPathTagCubic) ? 2 : 1);
}

void ConvertOutline(PathBuilder& b, const FT_Outline& outline)
{
    int32_t start = 0;
    for (int32_t c = 0; c < outline.n_contours; c++) {
        const int32_t end = outline.contours[c];
        if (end < start || end >= outline.n_points)
            break;
        const int32_t count = end - start + 1;
        if (count < 3) {
            start = end + 1;
            continue;
        }
        auto at = [&](int32_t i) { return QV_Vector2 { float(outline.points[i].x), float(outline.points[i].y) }; };
        auto tag = [&](int32_t i) { return uint8_t(outline.tags[i] & 3); };
        int32_t from;
        QV_Vector2 origin;
        if (!(tag(start) & kPathTagOn) && (tag(end) & kPathTagOn)) {
            origin = at(end);
            from = start;
        } else {
            origin = at(start);
            from = start + 1;
        }
        b.MoveTo(origin.x, origin.y);
        QV_Vector2 run[kMaxRun + 1];
        uint8_t tags[kMaxRun + 1];
        int32_t n = 0;
        for (int32_t i = from; i <= end; i++) {
            run[n] = at(i);
            tags[n] = tag(i);
            n++;
            const bool last = i == end;
            if ((tags[n - 1] & kPathTagOn) || last || n == kMaxRun) {
                if (last && !(tags[n - 1] & kPathTagOn) && (run[n - 1] - origin).Mag() > 1e-6f) {
                    run[n] = origin;
                    tags[n] = kPathTagOn;
                    n++;
                }
                Flush(b, run, tags, n);
                n = 0;
            }
        }
        b.ClosePath();
        start = end + 1;
    }
}

} // namespace

void AddGlyphOutline(PathBuilder& builder, const FT_Outline_& outline) { ConvertOutline(builder, outline); }

void BuildFontList()
{
    FontList& list = List();
    if (list.built)
        return;
    for (const std::string& path : CandidateFiles(list)) {
        QV_Font* font = QV_Font::OpenFace(path.c_str(), 0);
        if (!font)
            continue;
        list.entries.push_back(FontEntry { path, font->Name().CString() });
        DeleteFont(font);
    }
    list.built = true;
}

int32_t FontCount()
{
    BuildFontList();
    return int32_t(List().entries.size());
}

const char* FontFilePath(int32_t index)
{
    BuildFontList();
    const auto& entries = List().entries;
    return index >= 0 && size_t(index) < entries.size() ? entries[size_t(index)].path.c_str() : nullptr;
}

const char* FontDisplayName(int32_t index)
{
    BuildFontList();
    const auto& entries = List().entries;
    return index >= 0 && size_t(index) < entries.size() ? entries[size_t(index)].name.c_str() : nullptr;
}

void ResetFontList(const char* folder)
{
    FontList& list = List();
    list.built = false;
    list.entries.clear();
    list.folderGiven = folder != nullptr;
    list.folder = folder ? folder : "";
}

QV_Font* OpenFontByName(const char* name)
{
    if (!name)
        return nullptr;
    BuildFontList();
    for (const FontEntry& entry : List().entries) {
        if (entry.name == name)
            return QV_Font::OpenFace(entry.path.c_str(), 0);
    }
    return nullptr;
}

bool BuildFilledShapeFromSelection(M_Mesh* mesh, int32_t frame, int32_t docHeight)
{
    if (!mesh)
        return false;
    mesh->MarkDanglingPoints(false);
    auto shape = std::make_unique<M_Shape>(frame);
    int32_t solid = 0;
    for (int32_t c = 0; c < mesh->GetNumCurves(); c++) {
        M_Curve* curve = mesh->GetCurve(c);
        for (int32_t s = 0; s < curve->GetNumSegments(); s++) {
            M_Point* a = curve->GetPoint(s);
            M_Point* b = curve->GetPoint(s + 1);
            if (!a || !b || !a->fSelected || !b->fSelected)
                continue;
            const bool dangling = a->fDangling || b->fDangling;
            shape->AddEdge(c, s, dangling ? 1 : 0);
            solid += dangling ? 0 : 1;
        }
    }
    if (solid <= 2)
        return false;
    StyleNewShape(*shape, frame, docHeight);
    shape->fHasFill = true;
    shape->fFillAllowed = true;
    // Text is filled only.
    shape->fHasOutline = false;
    mesh->AddShape(shape.release());
    return true;
}

void BuildTextShapes(const char* text, const char* fontName, PathBuilder& b, int32_t docHeight, bool oneFill,
    bool centre, int32_t line, TextProgress progress)
{
    M_Mesh* mesh = b.fMesh;
    std::unique_ptr<QV_Font, void (*)(QV_Font*)> font(OpenFontByName(fontName), DeleteFont);
    if (!font || !font->fFace || !mesh) {
        Report(progress, true, 1);
        return;
    }
    Report(progress, false, 0);
    FT_Face face = font->fFace;
    mesh->SelectNone();
    const int32_t k0 = mesh->GetNumPoints();
    float penX = 0;
    const float penY = line >= 1 ? -float(line) * float(face->height) : 0;

    const std::string source = text ? text : "";
    std::vector<char32_t> codes(source.size() + 1);
    const char* in = source.data();
    char32_t* out = codes.data();
    if (ConvertUTF8toUTF32(&in, source.data() + source.size(), &out, codes.data() + codes.size())
        != kUTFConversionOK) {
        // A progress pane waits for its done report before it gives the window back.
        Report(progress, true, 1);
        return;
    }
    const size_t n = size_t(out - codes.data());

    int32_t lastCount = k0;
    FT_UInt previous = 0;
    {
        FaceLock lock(*font);
        for (size_t i = 0; i < n; i++) {
            const FT_UInt g = face->charmap ? FT_Get_Char_Index(face, FT_ULong(codes[i])) : 0;
            if (FT_HAS_KERNING(face) && previous && g) {
                FT_Vector delta {};
                if (FT_Get_Kerning(face, previous, g, FT_KERNING_UNSCALED, &delta) == 0)
                    penX += float(delta.x);
            }
            if (FT_Load_Glyph(face, g, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP) != 0)
                continue;
            FT_GlyphSlot slot = face->glyph;
            if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
                b.fOffset = QV_Vector2 { penX / 4096, penY / 4096 };
                if (slot->outline.n_points >= 2) {
                    mesh->fCleanup = false;
                    ConvertOutline(b, slot->outline);
                    b.ClosePath();
                    mesh->fCleanup = true;
                    mesh->RemoveDegenerates();
                }
            }
            penX += float(slot->advance.x);
            previous = g;
            if (!oneFill) {
                SelectFrom(mesh, lastCount);
                BuildFilledShapeFromSelection(mesh, b.fFrame, docHeight);
                lastCount = mesh->GetNumPoints();
            }
            Report(progress, false, float(i + 1) / float(n));
        }
    }
    font.reset();
    if (oneFill) {
        SelectFrom(mesh, k0);
        BuildFilledShapeFromSelection(mesh, b.fFrame, docHeight);
    }
    float shift = 0;
    if (centre && mesh->GetNumPoints() > k0) {
        float low = mesh->GetPoint(k0)->fPos.x, high = low;
        for (int32_t i = k0; i < mesh->GetNumPoints(); i++) {
            low = std::min(low, mesh->GetPoint(i)->fPos.x);
            high = std::max(high, mesh->GetPoint(i)->fPos.x);
        }
        shift = (low + high) / 2;
    }
    for (int32_t i = k0; i < mesh->GetNumPoints(); i++) {
        M_Point* point = mesh->GetPoint(i);
        point->fSelected = true;
        point->SetPos(QV_Vector2 { point->fPos.x - shift, point->fPos.y }, b.fFrame);
    }
    Report(progress, true, 1);
}

void ScriptBuildTextShapes(const char* text, const char* family, int32_t docHeight, bool oneFill, bool centered,
    int32_t line, TextShapeState& state)
{
    if (!state.mesh)
        return;
    PathBuilder b;
    b.Init(state.frame, state.mesh);
    b.fSimplifyAngle = state.curveAngle;
    BuildTextShapes(text, family, b, docHeight, oneFill, centered, line, nullptr);
    state.lastCurve = state.mesh->GetNumCurves() - 1;
    state.firstGlyph = false;
}

QV_Font* ScriptOpenFontByName(const char* family, int32_t pixelSize)
{
    QV_Font* font = OpenFontByName(family);
    if (font && pixelSize > 0)
        font->SetPixelSize(pixelSize);
    return font;
}
