#include "older_channels.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "older_reading.h"
#include "qv_interp.h"
#include "qv_iostream.h"
#include "qv_noise.h"
#include "qv_vector.h"

namespace vorn_v4 {

namespace {

bool ReadValue(QV_IoStream* s, float& v) { return s->ReadFloat(v); }
bool ReadValue(QV_IoStream* s, Vec2& v) { return s->ReadFloat(v.x) && s->ReadFloat(v.y); }
bool ReadValue(QV_IoStream* s, Vec3& v) { return s->ReadFloat(v.x) && s->ReadFloat(v.y) && s->ReadFloat(v.z); }
bool ReadValue(QV_IoStream* s, rgb_color& v) { return s->ReadColor(v); }
bool ReadValue(QV_IoStream* s, bool& v) { return s->ReadBool(v); }
bool ReadValue(QV_IoStream* s, QV_String& v) { return ReadText(s, v); }

void WriteItem(QV_IoStream* s, float v)
{
    s->WriteFloat(v);
    s->WriteSpace();
}
void WriteValue(QV_IoStream* s, float v) { WriteItem(s, v); }
void WriteValue(QV_IoStream* s, const Vec2& v)
{
    WriteItem(s, v.x);
    WriteItem(s, v.y);
}
void WriteValue(QV_IoStream* s, const Vec3& v)
{
    WriteItem(s, v.x);
    WriteItem(s, v.y);
    WriteItem(s, v.z);
}
void WriteValue(QV_IoStream* s, const rgb_color& v)
{
    WriteItem(s, v.r / 255.0f);
    WriteItem(s, v.g / 255.0f);
    WriteItem(s, v.b / 255.0f);
    WriteItem(s, v.a / 255.0f);
}
void WriteValue(QV_IoStream* s, bool v)
{
    s->WriteText(v ? "true" : "false");
    s->WriteSpace();
}
void WriteValue(QV_IoStream* s, const QV_String& v)
{
    s->WriteQuoted(v.CString());
    s->WriteSpace();
}

// The value of a channel without keys.
template <class T> T Zero() { return T {}; }
template <> rgb_color Zero<rgb_color>() { return rgb_color { 0, 0, 0, 0 }; }
template <> QV_String Zero<QV_String>() { return QV_String(""); }

float Component(float v, int) { return v; }
float Component(const Vec2& v, int c) { return c == 0 ? v.x : v.y; }
float Component(const Vec3& v, int c) { return c == 0 ? v.x : c == 1 ? v.y : v.z; }
float Component(const rgb_color& v, int c) { return c == 0 ? v.r : c == 1 ? v.g : c == 2 ? v.b : v.a; }
float Component(bool, int) { return 0; }
float Component(const QV_String&, int) { return 0; }

uint8_t ColorByte(float v)
{
    // Halves away from zero; NaN and overflow land inside the byte.
    if (!(v > 0))
        return 0;
    if (v >= 255)
        return 255;
    return uint8_t(std::floor(v + 0.5f));
}

void SetComponent(float& v, int, float x) { v = x; }
void SetComponent(Vec2& v, int c, float x) { (c == 0 ? v.x : v.y) = x; }
void SetComponent(Vec3& v, int c, float x) { (c == 0 ? v.x : c == 1 ? v.y : v.z) = x; }
void SetComponent(rgb_color& v, int c, float x)
{
    const uint8_t b = ColorByte(x);
    (c == 0 ? v.r : c == 1 ? v.g : c == 2 ? v.b : v.a) = b;
}
void SetComponent(bool&, int, float) { }
void SetComponent(QV_String&, int, float) { }

} // namespace

AnimChannel::~AnimChannel() = default;

bool AnimChannel::ReadRecord(QV_IoStream*) { return true; }

void AnimChannel::WriteCurrentRecord(QV_IoStream*) { }

int32_t AnimChannel::ChannelType() const { return 0; }

int32_t AnimChannel::FindKey(int32_t frame) const
{
    const size_t i = InsertionPoint(frame);
    return i < fFrames.size() && fFrames[i] == frame ? int32_t(i) : -1;
}

size_t AnimChannel::InsertionPoint(int32_t frame) const
{
    return size_t(std::lower_bound(fFrames.begin(), fFrames.end(), frame) - fFrames.begin());
}

void AnimChannel::SetKeyInterp(int32_t frame, int32_t code)
{
    const int32_t i = FindKey(frame);
    if (i >= 0)
        fCodes[size_t(i)] = code;
}

std::vector<size_t> AnimChannel::SortedOrder() const
{
    std::vector<size_t> order(fFrames.size());
    std::iota(order.begin(), order.end(), size_t(0));
    if (!std::is_sorted(fFrames.begin(), fFrames.end()))
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return fFrames[a] < fFrames[b]; });
    std::vector<size_t> kept;
    kept.reserve(order.size());
    for (size_t i : order) {
        if (!kept.empty() && fFrames[kept.back()] == fFrames[i])
            kept.back() = i;
        else
            kept.push_back(i);
    }
    return kept;
}

template <class Kind>
KeyedChannel<Kind>::KeyedChannel(const Value& initial)
    : fValues { initial }
{
    fFrames.push_back(0);
    fCodes.push_back(1);
}

template <class Kind>
bool KeyedChannel<Kind>::ReadRecord(QV_IoStream* stream)
{
    int32_t count;
    if (!ReadCount(stream, count) || !stream->ReadInt(fLoopFrame))
        return false;
    fFrames.clear();
    fCodes.clear();
    fValues.clear();
    for (int32_t k = 0; k < count; k++) {
        int32_t frame, code;
        Value value = Zero<Value>();
        if (!stream->ReadInt(frame) || !stream->ReadInt(code) || !ReadValue(stream, value))
            return false;
        fFrames.push_back(frame);
        fCodes.push_back(code);
        fValues.push_back(value);
    }
    const std::vector<size_t> order = SortedOrder();
    if (order.size() != fFrames.size() || !std::is_sorted(fFrames.begin(), fFrames.end())) {
        std::vector<int32_t> frames, codes;
        std::vector<Value> values;
        for (size_t i : order) {
            frames.push_back(fFrames[i]);
            codes.push_back(fCodes[i]);
            values.push_back(fValues[i]);
        }
        fFrames.swap(frames);
        fCodes.swap(codes);
        fValues.swap(values);
    }
    return true;
}

template <class Kind>
void KeyedChannel<Kind>::SetValue(int32_t frame, const Value& value)
{
    const size_t i = InsertionPoint(frame);
    if (i < fFrames.size() && fFrames[i] == frame) {
        fValues[i] = value;
        return;
    }
    fFrames.insert(fFrames.begin() + ptrdiff_t(i), frame);
    fCodes.insert(fCodes.begin() + ptrdiff_t(i), 1);
    fValues.insert(fValues.begin() + ptrdiff_t(i), value);
}

template <class Kind>
void KeyedChannel<Kind>::DeleteKey(int32_t frame)
{
    const int32_t i = FindKey(frame);
    if (i < 0)
        return;
    fFrames.erase(fFrames.begin() + i);
    fCodes.erase(fCodes.begin() + i);
    fValues.erase(fValues.begin() + i);
}

template <class Kind>
void KeyedChannel<Kind>::CutToFrameZero()
{
    const bool keep = !fFrames.empty() && fFrames[0] == 0;
    fFrames.resize(keep ? 1 : 0);
    fCodes.resize(keep ? 1 : 0);
    fValues.resize(keep ? 1 : 0, Zero<Value>());
}

template <class Kind>
typename KeyedChannel<Kind>::Value KeyedChannel<Kind>::GetValue(int32_t frame) const
{
    int32_t f = frame;
    if (f > 0 && fLoopFrame > 0 && fLoopFrame < f) {
        f %= fLoopFrame;
        if (f == 0)
            f = fLoopFrame;
    }
    const size_t n = fFrames.size();
    if (n == 0)
        return Zero<Value>();
    if (n == 1 || f <= fFrames[0])
        return fValues[0];
    if (f >= fFrames[n - 1])
        return fValues[n - 1];
    const size_t i = size_t(std::upper_bound(fFrames.begin(), fFrames.end(), f) - fFrames.begin()) - 1;
    if (fFrames[i] == f || Kind::kSteps)
        return fValues[i];

    const size_t j = i + 1;
    // Frames are whole numbers of any size: their differences are taken in 64 bits.
    const double fi = fFrames[i], fj = fFrames[j];
    const float span = float(fj - fi);
    const float t = float((double(f) - fi) / (fj - fi));
    const int32_t code = fFrames[i] == 0 ? fCodes[j] : fCodes[i];
    Value result = fValues[i];
    for (int c = 0; c < Kind::kComponents; c++) {
        const float vi = Component(fValues[i], c);
        const float vj = Component(fValues[j], c);
        float v;
        if (code == 1 || code == 4) {
            const QV_Vector2 previous = i > 0 ? QV_Vector2 { float(fFrames[i - 1]), Component(fValues[i - 1], c) }
                                              : QV_Vector2 { 0, vi };
            const QV_Vector2 next = j + 1 < n ? QV_Vector2 { float(fFrames[j + 1]), Component(fValues[j + 1], c) }
                                              : QV_Vector2 { float(fj + (fj - fi)), vj };
            v = InterpSmooth(QV_Vector2 { float(fi), vi }, QV_Vector2 { float(fj), vj }, previous, next, float(f));
            if (code == 4)
                v += Noise3D(float(f), v * span, 0, (vj - vi) / span, span);
        } else if (code == 2) {
            v = Slerp(t, vi, vj);
        } else if (code == 3) {
            v = vi;
        } else {
            v = vi + t * (vj - vi);
        }
        SetComponent(result, c, v);
    }
    return result;
}

template <class Kind>
void KeyedChannel<Kind>::WriteCurrentRecord(QV_IoStream* stream)
{
    const int32_t loop = fLoopFrame;
    // A loop at the last possible frame has no frame after it to carry the cycle key.
    if (loop > 0 && loop < INT32_MAX) {
        SetValue(loop, GetValue(loop));
        SetValue(loop + 1, GetValue(loop + 1));
        SetKeyInterp(loop + 1, 5);
    }
    stream->WriteText("[ keys ");
    stream->WriteInt(KeyCount());
    stream->WriteSpace();
    for (size_t k = 0; k < fFrames.size(); k++) {
        stream->WriteInt(fFrames[k]);
        stream->WriteSpace();
        stream->WriteInt(fCodes[k]);
        stream->WriteSpace();
        if (fCodes[k] == 4) {
            stream->WriteText("0.01 0.5 ");
        } else {
            stream->WriteText(loop > 0 ? "-1 1 " : "-1 -1 ");
        }
        WriteValue(stream, fValues[k]);
    }
    stream->WriteText("]");
    stream->WriteNewline();
}

template class KeyedChannel<ValKind>;
template class KeyedChannel<Vec2Kind>;
template class KeyedChannel<Vec3Kind>;
template class KeyedChannel<ColorKind>;
template class KeyedChannel<BoolKind>;
template class KeyedChannel<StringKind>;

void AnimVal::DivideBy(float divisor)
{
    for (int32_t i = 0; i < KeyCount(); i++)
        SetKeyValue(i, KeyValue(i) / divisor);
}

void AnimVal::Negate()
{
    for (int32_t i = 0; i < KeyCount(); i++)
        SetKeyValue(i, -KeyValue(i));
}

} // namespace vorn_v4
