// EPS and older Illustrator drawings as mesh curves and shapes. The files are PostScript, but
// the drawings made by illustration programs use a small set of path and colour operators, so
// those are picked out by name and everything else (prolog, procedures, text) passes by.

#include "eps_import.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "m_curve.h"
#include "m_mesh.h"
#include "m_point.h"
#include "m_shape.h"
#include "path_builder.h"
#include "qv_alert.h"
#include "qv_app.h"
#include "qv_iostream.h"

namespace {

void DefaultAlert(const char* line1, const char* line2, const char* line3)
{
    Alert(nullptr, ALERT_WARNING, line1, line2, line3, Localize("/Strings/OK=OK"), nullptr, nullptr);
}

constexpr int32_t kMaxToken = 255;
constexpr int32_t kMaxPoints = 10000;

struct RGB {
    float r = 0, g = 0, b = 0;
};

// The bytes of the stream, read in blocks.
class ByteReader {
public:
    explicit ByteReader(QV_IoStream* stream)
        : fStream(stream)
    {
    }
    bool Next(char& c)
    {
        if (fAt == fHave) {
            fHave = fStream->ReadBytes(fBuffer, int32_t(sizeof fBuffer));
            fAt = 0;
            if (fHave <= 0) {
                fHave = 0;
                return false;
            }
        }
        c = fBuffer[fAt++];
        fRead++;
        return true;
    }
    int64_t Read() const { return fRead; }

private:
    QV_IoStream* fStream;
    char fBuffer[4096];
    int32_t fHave = 0;
    int32_t fAt = 0;
    int64_t fRead = 0;
};

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

bool IsAlpha(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

// The next token, trimmed; false at the end of the file with nothing read.
bool NextToken(ByteReader& in, std::string& token)
{
    token.clear();
    bool inString = false;
    bool any = false;
    char c;
    while (int32_t(token.size()) < kMaxToken && in.Next(c)) {
        any = true;
        if (c == '%' && !inString) {
            token += c;
            while (int32_t(token.size()) < kMaxToken && in.Next(c)) {
                if (c == '\r' || c == '\n')
                    break;
                token += c;
            }
            break;
        }
        if (c == '(')
            inString = true;
        else if (c == ')')
            inString = false;
        if (!inString && IsSpace(c) && !token.empty() && IsAlpha(token.back()))
            break;
        token += c;
    }
    size_t start = 0;
    while (start < token.size() && IsSpace(token[start]))
        start++;
    size_t end = token.size();
    while (end > start && IsSpace(token[end - 1]))
        end--;
    token = token.substr(start, end - start);
    return any;
}

bool StartsWith(const std::string& s, const char* prefix) { return s.compare(0, std::strlen(prefix), prefix) == 0; }

bool EndsWith(const std::string& s, const char* suffix)
{
    const size_t n = std::strlen(suffix);
    return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

RGB FromCMYK(float c, float m, float y, float k)
{
    return RGB { (1 - c) * (1 - k), (1 - m) * (1 - k), (1 - y) * (1 - k) };
}

uint8_t Byte(float v)
{
    const float scaled = std::clamp(v * 255.0f, 0.0f, 255.0f);
    return uint8_t(scaled);
}

rgb_color Packed(const RGB& c) { return rgb_color { Byte(c.r), Byte(c.g), Byte(c.b), 255 }; }

float Unit(const QV_Vector2& a, const QV_Vector2& b, const QV_Vector2& c, const QV_Vector2& d)
{
    return (b - a).Norm().Dot((d - c).Norm());
}

// More points for sharper turns between a cubic's entry and exit.
int32_t CurveSteps(const QV_Vector2& from, const QV_Vector2* q)
{
    const float turn = Unit(from, q[0], q[1], q[2]);
    if (turn < 0.5f)
        return 4;
    if (turn < 0.866f)
        return 2;
    return 1;
}

class Reader {
public:
    Reader(PathBuilder& builder, int32_t height)
        : fB(builder)
        , fMesh(builder.fMesh)
        , fHeight(height > 0 ? height : 1)
    {
    }
    ~Reader()
    {
        if (fGroupShape && !fGroupAdded)
            delete fGroupShape;
    }
    void Token(const std::string& token);

private:
    void Comment(const std::string& lower);
    bool Operator(const std::string& token, const std::string& lower);
    void Paint(char op);
    void Cubic(QV_Vector2 q[3]);
    void CMYK(RGB& colour, const float* v, int32_t n);
    RGB& Target(char written, char strokeLetter) { return written == strokeLetter ? fStroke : fFill; }

    PathBuilder& fB;
    M_Mesh* fMesh;
    int32_t fHeight;
    bool fInBody = true;
    bool fProcessCMYK = false;
    bool fBlackOnly = false;
    float fScale = 1;
    RGB fFill;
    RGB fStroke;
    float fLineWidth = 0;
    int32_t fDepth = 0;
    M_Shape* fGroupShape = nullptr;
    bool fGroupAdded = false;
};

void Reader::Comment(const std::string& lower)
{
    if (lower == "%%beginprolog" || lower == "%%endprolog" || lower == "%%beginsetup")
        fInBody = false;
    else if (lower == "%%endsetup")
        fInBody = true;
    else if (StartsWith(lower, "%%+ procset adobe_cmykcolor"))
        fProcessCMYK = true;
    else if (StartsWith(lower, "%%documentprocesscolors: cyan magenta yellow"))
        fProcessCMYK = true;
    else if (lower == "%%documentprocesscolors: black")
        fBlackOnly = true;
    else if (StartsWith(lower, "%%boundingbox:")) {
        long llx = 0, lly = 0, urx = 0, ury = 0;
        if (std::sscanf(lower.c_str(), "%*s %ld %ld %ld %ld", &llx, &lly, &urx, &ury) == 4) {
            // A box without height gives no scale: keep 1 rather than divide by 0.
            const double span = double(ury) - double(lly) + 1;
            if (span != 0)
                fScale = float(double(fHeight) / span);
        }
    }
}

void Reader::CMYK(RGB& colour, const float* v, int32_t n)
{
    if (fProcessCMYK) {
        if (n >= 4)
            colour = FromCMYK(v[0], v[1], v[2], v[3]);
        else if (n >= 3)
            colour = RGB { v[0], v[1], v[2] };
    } else if (fBlackOnly) {
        if (n >= 4)
            colour = RGB { 1 - v[3], 1 - v[3], 1 - v[3] };
    } else if (n >= 3) {
        colour = RGB { 1 - v[0], 1 - v[1], 1 - v[2] };
    }
}

void Reader::Cubic(QV_Vector2 q[3])
{
    static const uint8_t tags[3] = { kPathTagCubic, kPathTagCubic, kPathTagOn };
    const int32_t steps = CurveSteps(fB.fCurrent, q);
    fB.CurveTo(q, 3, tags, steps);
}

void Reader::Paint(char op)
{
    if (fMesh->GetNumPoints() < 2)
        return;
    M_Shape* shape = nullptr;
    bool isNew = false;
    // The group's shape may have gone with a clean-up of the mesh.
    if (fDepth > 0 && fGroupShape && (!fGroupAdded || fMesh->GetShapeID(fGroupShape) >= 0)) {
        shape = fGroupShape;
    } else {
        if (fDepth > 0 && fGroupShape && !fGroupAdded)
            delete fGroupShape;
        fGroupShape = nullptr;
        fGroupAdded = false;
        shape = new M_Shape(fB.fFrame);
        isNew = true;
    }
    shape->fMyStyle.fFillCol.SetValue(fB.fFrame, Packed(fFill));
    shape->fMyStyle.fLineCol.SetValue(fB.fFrame, Packed(fStroke));
    shape->fMyStyle.fLineWidth = fLineWidth / float(fHeight);
    int32_t curve = -1;
    switch (op) {
    case 'b':
    case 'B':
        curve = fB.ClosePath();
        shape->fHasFill = true;
        shape->fHasOutline = true;
        break;
    case 'f':
    case 'F':
    case 'p':
        curve = fB.ClosePath();
        shape->fHasFill = true;
        shape->fHasOutline = false;
        break;
    case 'P':
    case 'S':
        curve = fB.EndPath();
        shape->fHasFill = false;
        shape->fHasOutline = true;
        break;
    default: // 's'
        curve = fB.ClosePath();
        shape->fHasFill = false;
        shape->fHasOutline = true;
        break;
    }
    M_Curve* c = curve >= 0 ? fMesh->GetCurve(curve) : nullptr;
    if (!c) {
        if (isNew)
            delete shape;
        else if (!fGroupAdded) {
            delete fGroupShape;
            fGroupShape = nullptr;
        }
        return;
    }
    // The builder never shares points between curves: an open curve dangles along its length.
    const uint8_t flags = c->fClosed ? 0 : 1;
    for (int32_t s = 0; s < c->GetNumSegments(); s++)
        shape->AddEdge(curve, s, flags);
    if (isNew || !fGroupAdded) {
        fMesh->AddShape(shape);
        if (fDepth > 0) {
            fGroupShape = shape;
            fGroupAdded = true;
        }
    }
}

bool Reader::Operator(const std::string& t, const std::string& lower)
{
    const size_t n = t.size();
    float v[6] = {};
    // The operands read from the token's start; an operator short of them is ignored.
    auto scan = [&](int32_t) {
        const int32_t got = std::sscanf(t.c_str(), "%f %f %f %f %f %f", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5]);
        return got < 0 ? 0 : got;
    };
    if (n >= 3 && IsSpace(t[n - 3])) {
        const std::string op = lower.substr(n - 2);
        if (op == "mo") {
            if (scan(2) >= 2)
                fB.MoveTo(v[0], v[1]);
            return true;
        }
        if (op == "li") {
            if (scan(2) >= 2)
                fB.LineTo(v[0], v[1]);
            return true;
        }
        if (op == "cv") {
            if (scan(6) >= 6) {
                QV_Vector2 q[3] = { { v[0], v[1] }, { v[2], v[3] }, { v[4], v[5] } };
                Cubic(q);
            }
            return true;
        }
        if (op == "xa") {
            RGB& target = t.compare(n - 2, 2, "XA") == 0 ? fStroke : fFill;
            const int32_t got = scan(3);
            if (got >= 3) {
                if (fProcessCMYK && got >= 4)
                    target = FromCMYK(v[0], v[1], v[2], v[3]);
                else
                    target = RGB { v[0], v[1], v[2] };
            }
            return true;
        }
        if (op == "xx") {
            RGB& target = t.compare(n - 2, 2, "XX") == 0 ? fStroke : fFill;
            if (scan(3) >= 3)
                target = RGB { v[0], v[1], v[2] };
            return true;
        }
    }
    if (n >= 2 && IsSpace(t[n - 2])) {
        const char written = t[n - 1];
        switch (lower[n - 1]) {
        case 'm':
            if (scan(2) >= 2)
                fB.MoveTo(v[0], v[1]);
            return true;
        case 'l':
            if (scan(2) >= 2)
                fB.LineTo(v[0], v[1]);
            return true;
        case 'c':
            if (scan(6) >= 6) {
                QV_Vector2 q[3] = { { v[0], v[1] }, { v[2], v[3] }, { v[4], v[5] } };
                Cubic(q);
            }
            return true;
        case 'v':
        case 'y':
            if (scan(4) >= 4) {
                static const uint8_t tags[2] = { 0, kPathTagOn };
                const QV_Vector2 q[2] = { { v[0], v[1] }, { v[2], v[3] } };
                fB.CurveTo(q, 2, tags, 1);
            }
            return true;
        case 'k':
        case 'x': {
            const int32_t got = std::max(0, std::sscanf(t.c_str(), "%f %f %f %f", &v[0], &v[1], &v[2], &v[3]));
            CMYK(Target(written, written == 'K' ? 'K' : 'X'), v, got);
            return true;
        }
        case 'g':
            if (scan(1) >= 1)
                Target(written, 'G') = RGB { v[0], v[0], v[0] };
            return true;
        case 'w':
            if (scan(1) >= 1)
                fLineWidth = fScale * v[0];
            return true;
        default:
            break;
        }
    }
    return false;
}

void Reader::Token(const std::string& token)
{
    if (token.empty())
        return;
    std::string lower = token;
    for (char& c : lower)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    if (lower[0] == '%') {
        Comment(lower);
        return;
    }
    if (!fInBody)
        return;
    if (lower == "b" || lower == "f" || lower == "p" || lower == "s") {
        Paint(token[0]);
        return;
    }
    if (lower == "n") {
        if (token == "N")
            fB.EndPath();
        else
            fB.ClosePath();
        return;
    }
    if (token == "*u") {
        fDepth++;
        return;
    }
    if (token == "*U") {
        fDepth--;
        if (fDepth <= 0) {
            fDepth = 0;
            if (fGroupShape && !fGroupAdded)
                delete fGroupShape;
            fGroupShape = nullptr;
            fGroupAdded = false;
        }
        return;
    }
    if (EndsWith(lower, "ln"))
        return;
    float v[6] = {};
    if (EndsWith(lower, " cmyk")) {
        const int32_t got = std::sscanf(token.c_str(), "%f %f %f %f", &v[0], &v[1], &v[2], &v[3]);
        if (got >= 4)
            fFill = FromCMYK(v[0], v[1], v[2], v[3]);
        else if (got >= 3)
            fFill = RGB { v[0], v[1], v[2] };
        return;
    }
    if (EndsWith(lower, "rcurveto")) {
        if (std::sscanf(token.c_str(), "%f %f %f %f %f %f", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5]) == 6) {
            const QV_Vector2 at = fB.fCurrent;
            QV_Vector2 q[3] = { at + QV_Vector2 { v[0], v[1] }, at + QV_Vector2 { v[2], v[3] },
                at + QV_Vector2 { v[4], v[5] } };
            Cubic(q);
        }
        return;
    }
    if (EndsWith(lower, "moveto")) {
        if (std::sscanf(token.c_str(), "%f %f", &v[0], &v[1]) == 2)
            fB.MoveTo(v[0], v[1]);
        return;
    }
    if (EndsWith(lower, "lineto")) {
        if (std::sscanf(token.c_str(), "%f %f", &v[0], &v[1]) == 2)
            fB.LineTo(fB.fCurrent.x + v[0], fB.fCurrent.y + v[1]);
        return;
    }
    Operator(token, lower);
}

} // namespace

void (*gEPSAlert)(const char* line1, const char* line2, const char* line3) = DefaultAlert;

void ParseEPSFile(PathBuilder& builder, QV_IoStream* stream, int32_t docHeight, ImportProgress progress)
{
    M_Mesh* mesh = builder.fMesh;
    if (!mesh || !stream)
        return;
    builder.fSimplifyAngle = 0.034906585f;
    mesh->fCleanup = false;
    const int32_t length = stream->Size();
    ByteReader in(stream);
    {
        Reader reader(builder, docHeight);
        std::string token;
        while (NextToken(in, token)) {
            std::string head = token.substr(0, 4);
            for (char& c : head)
                c = char(std::tolower(static_cast<unsigned char>(c)));
            if (head == "%pdf") {
                if (gEPSAlert)
                    gEPSAlert(Localize("/File/ImportIllustrator/TooNew1=This file can't be imported."),
                        Localize("/File/ImportIllustrator/TooNew2=(It is in a format that Celvane does not support.)"),
                        Localize("/File/ImportIllustrator/TooNew3=Please save the file in Illustrator 8 (or earlier) format."));
                break;
            }
            if (mesh->GetNumPoints() > kMaxPoints) {
                if (gEPSAlert)
                    gEPSAlert(Localize("/File/ImportIllustrator/TooBig1=There are too many curves and points in this file."),
                        Localize("/File/ImportIllustrator/TooBig2=Only part of the file has been imported."),
                        Localize("/File/ImportIllustrator/TooBig3=Consider converting this file to a PNG image and import that instead."));
                break;
            }
            reader.Token(token);
            if (progress && length > 0)
                progress(0, float(double(in.Read()) / double(length)));
        }
    }
    mesh->fCleanup = true;
    mesh->RemoveDegenerates();
}

void ReadEPSIntoMesh(QV_IoStream* stream, M_Mesh* mesh, int32_t docHeight, ImportProgress progress)
{
    PathBuilder builder;
    builder.Init(0, mesh);
    ParseEPSFile(builder, stream, docHeight, progress);
}
