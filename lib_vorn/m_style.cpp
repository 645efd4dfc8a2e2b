#include "m_style.h"

#include "m_brush.h"
#include "m_shapestyle.h"
#include "shape_style_makers.h"
#include "qv_iostream.h"
#include "qv_memstream.h"
#include "format_version.h"
#include "script_object_record.h"

namespace {

constexpr rgb_color kDefaultFill { 255, 255, 255, 255 };
constexpr rgb_color kDefaultLine { 0, 0, 0, 255 };
constexpr float kDefaultBrushAngle = 6.2831855f;
constexpr float kDefaultBrushSpacing = 0.25f;
// The largest style index an effect kind has.
constexpr int32_t kLastStyleIndex = 10;

void WriteBoolLine(QV_IoStream* stream, bool value)
{
    stream->WriteIndent();
    stream->WriteText(value ? "true" : "false");
    stream->WriteNewline();
}

void WriteFloatLine(QV_IoStream* stream, float value)
{
    stream->WriteIndent();
    stream->WriteFloat(value);
    stream->WriteNewline();
}

} // namespace

M_Style::M_Style(int32_t frame)
    : fDefineFillCol(true)
    , fDefineLineWidth(true)
    , fLineWidth(kDefaultLineWidth)
    , fDefineLineCol(true)
    , fBrush(nullptr)
    , fBrushMask(nullptr)
    , fBrushMaskCopy(nullptr)
    , fBrushHasAlpha(false)
    , fBrushAlign(false)
    , fBrushAngle(kDefaultBrushAngle)
    , fBrushSpacing(kDefaultBrushSpacing)
    , fBrushVaries(true)
    , fBrushTint(true)
    , fEffects()
{
    SetDefaults(frame);
    if (frame != 0) {
        fFillCol.DeleteKey(0);
        fLineCol.DeleteKey(0);
    }
    fFillCol.SetCurFrame(frame);
    fLineCol.SetCurFrame(frame);
}

M_Style::~M_Style()
{
    QV_ScriptObjectsGone(this, sizeof(*this));
    DeleteEffects();
}

void M_Style::DeleteEffects()
{
    for (M_ShapeStyle*& effect : fEffects) {
        delete effect;
        effect = nullptr;
    }
}

void M_Style::SetDefaults(int32_t frame)
{
    fDefineFillCol = true;
    fDefineLineWidth = true;
    fDefineLineCol = true;
    fFillCol.Clear();
    fFillCol.SetValue(frame, kDefaultFill);
    fLineCol.Clear();
    fLineCol.SetValue(frame, kDefaultLine);
    fLineWidth = kDefaultLineWidth;
    fBrushName = "";
    fBrushMask = nullptr;
    fBrushMaskCopy = nullptr;
    fBrushAlign = false;
    fBrushAngle = kDefaultBrushAngle;
    fBrushSpacing = kDefaultBrushSpacing;
    fBrushVaries = true;
    fBrushTint = true;
    DeleteEffects();
}

int32_t M_Style::FreeFillSlot() const
{
    for (int32_t i = 0; i < kLineEffectSlot; i++) {
        if (!fEffects[i])
            return i;
    }
    return -1;
}

void M_Style::SetSoftEdge(float width)
{
    const int32_t slot = FreeFillSlot();
    if (slot >= 0)
        fEffects[slot] = CreateSoftEdgeStyle(width);
}

void M_Style::SetShading(float angle, float offset, float blur, rgb_color color)
{
    const int32_t slot = FreeFillSlot();
    if (slot >= 0)
        fEffects[slot] = CreateShadingStyle(angle, offset, blur, color);
}

void M_Style::ResolveBrush()
{
    if (fBrushName.IsEmpty() || fBrushMask)
        return;
    fBrush = FindBrush(fBrushName.CString());
    if (!fBrush)
        return;
    fBrushMask = &fBrush->fMask;
    fBrushMaskCopy = &fBrush->fMaskCopy;
    fBrushHasAlpha = fBrush->fHasAlpha;
}

void M_Style::WriteRecord(QV_IoStream* stream)
{
    stream->WriteIndent();
    stream->WriteQuoted(fName.CString());
    stream->WriteNewline();
    stream->fIndent++;

    WriteBoolLine(stream, fDefineFillCol);
    fFillCol.WriteRecord(stream, true);
    stream->WriteIndent();
    stream->WriteText(fDefineLineWidth ? "true" : "false");
    stream->WriteSpace();
    stream->WriteFloat(fLineWidth);
    stream->WriteNewline();
    WriteBoolLine(stream, fDefineLineCol);
    fLineCol.WriteRecord(stream, true);

    stream->WriteIndent();
    stream->WriteQuoted(fBrushName.CString());
    stream->WriteNewline();
    WriteBoolLine(stream, fBrushAlign);
    WriteFloatLine(stream, fBrushAngle);
    WriteFloatLine(stream, fBrushSpacing);
    WriteBoolLine(stream, fBrushVaries);
    WriteBoolLine(stream, fBrushTint);

    for (M_ShapeStyle* effect : fEffects) {
        stream->WriteIndent();
        if (!effect) {
            stream->WriteText("-1");
            stream->WriteNewline();
            continue;
        }
        stream->WriteInt(effect->StyleType());
        stream->WriteNewline();
        stream->WriteIndent();
        stream->WriteText("\t");
        effect->WriteRecord(stream);
        stream->WriteNewline();
    }

    if (stream->fIndent > 0)
        stream->fIndent--;
}

bool M_Style::ReadRecord(QV_IoStream* stream)
{
    fBrushMask = nullptr;
    fBrushMaskCopy = nullptr;
    DeleteEffects();

    if (!stream->ReadString(fName))
        return false;
    if (!stream->ReadBool(fDefineFillCol) || !fFillCol.ReadRecord(stream, true))
        return false;
    if (!stream->ReadBool(fDefineLineWidth) || !stream->ReadFloat(fLineWidth))
        return false;
    if (!stream->ReadBool(fDefineLineCol) || !fLineCol.ReadRecord(stream, true))
        return false;
    if (!stream->ReadString(fBrushName))
        return false;
    if (!stream->ReadBool(fBrushAlign) || !stream->ReadFloat(fBrushAngle) || !stream->ReadFloat(fBrushSpacing)
        || !stream->ReadBool(fBrushVaries))
        return false;
    fBrushTint = true;
    if (stream->fVersion >= 17 && !stream->ReadBool(fBrushTint))
        return false;

    for (M_ShapeStyle*& effect : fEffects) {
        int32_t index;
        if (!stream->ReadInt(index))
            return false;
        if (index < 0)
            continue;
        // No effect kind has a larger index; checking here also keeps the type id in range.
        if (index > kLastStyleIndex)
            return false;
        effect = CreateShapeStyle(kFirstShapeStyleId + index);
        if (!effect || !effect->ReadRecord(stream))
            return false;
    }
    return true;
}

M_Style& M_Style::operator=(const M_Style& source)
{
    if (&source == this)
        return *this;
    // The record carries the name, flags, width, brush settings and the effects with their
    // values; reading it back gives this style effect objects of its own.
    QV_MemStream stream;
    stream.Open(0);
    stream.fVersion = kCurrentFormatVersion;
    const_cast<M_Style&>(source).WriteRecord(&stream);
    stream.Rewind();
    stream.fReading = true;
    if (!ReadRecord(&stream))
        DeleteEffects();
    fFillCol = source.fFillCol;
    fLineCol = source.fLineCol;
    fLineWidth = source.fLineWidth;
    fBrushTint = source.fBrushTint;
    fBrush = source.fBrush;
    fBrushMask = source.fBrushMask;
    fBrushMaskCopy = source.fBrushMaskCopy;
    fBrushHasAlpha = source.fBrushHasAlpha;
    return *this;
}

void DeleteStyleObject(M_Style* style)
{
    delete style;
}
