#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "qv_color.h"
#include "qv_string.h"

class QV_IoStream;

// The animated values of the older generation: keys with one interpolation code each and an
// optional loop, read from the older record and written as the current channel record.
namespace vorn_v4 {

struct Vec2 {
    float x, y;
};
struct Vec3 {
    float x, y, z;
};

class AnimChannel {
public:
    virtual ~AnimChannel();
    virtual bool ReadRecord(QV_IoStream* stream);
    virtual void WriteCurrentRecord(QV_IoStream* stream);
    virtual int32_t ChannelType() const;

    int32_t KeyCount() const { return int32_t(fFrames.size()); }
    int32_t KeyFrame(int32_t i) const { return fFrames[size_t(i)]; }
    int32_t KeyCode(int32_t i) const { return fCodes[size_t(i)]; }
    // The frame of the last key, 0 without keys.
    int32_t LastKeyFrame() const { return fFrames.empty() ? 0 : fFrames.back(); }
    void SetKeyInterp(int32_t frame, int32_t code);

    // 0 or less: no loop; L: the frames after L repeat from frame 1.
    int32_t fLoopFrame = 0;

protected:
    // The index of the key at exactly frame, or -1.
    int32_t FindKey(int32_t frame) const;
    // The place a new key at frame goes to.
    size_t InsertionPoint(int32_t frame) const;
    // Keys read in any order are put in frame order; of two at one frame the later one read is
    // kept, as the current reader would refuse keys that do not rise. Returns the kept order.
    std::vector<size_t> SortedOrder() const;

    std::vector<int32_t> fFrames;
    std::vector<int32_t> fCodes;
};

// The value type of each kind and how it is read, written and interpolated.
struct ValKind {
    using Value = float;
    static constexpr int32_t kType = 1;
    static constexpr int kComponents = 1;
    static constexpr bool kSteps = false;
};
struct Vec2Kind {
    using Value = Vec2;
    static constexpr int32_t kType = 2;
    static constexpr int kComponents = 2;
    static constexpr bool kSteps = false;
};
struct ColorKind {
    using Value = rgb_color;
    static constexpr int32_t kType = 3;
    static constexpr int kComponents = 4;
    static constexpr bool kSteps = false;
};
struct BoolKind {
    using Value = bool;
    static constexpr int32_t kType = 4;
    static constexpr int kComponents = 0;
    static constexpr bool kSteps = true;
};
struct StringKind {
    using Value = QV_String;
    static constexpr int32_t kType = 5;
    static constexpr int kComponents = 0;
    static constexpr bool kSteps = true;
};
struct Vec3Kind {
    using Value = Vec3;
    static constexpr int32_t kType = 6;
    static constexpr int kComponents = 3;
    static constexpr bool kSteps = false;
};

template <class Kind>
class KeyedChannel : public AnimChannel {
public:
    using Value = typename Kind::Value;

    // One key at frame 0 with code 1 and the default value.
    explicit KeyedChannel(const Value& initial);

    bool ReadRecord(QV_IoStream* stream) override;
    void WriteCurrentRecord(QV_IoStream* stream) override;
    int32_t ChannelType() const override { return Kind::kType; }

    // Sets the key at frame, or inserts one there with code 1.
    void SetValue(int32_t frame, const Value& value);
    Value GetValue(int32_t frame) const;
    Value KeyValue(int32_t i) const { return fValues[size_t(i)]; }
    void SetKeyValue(int32_t i, const Value& value) { fValues[size_t(i)] = value; }
    void DeleteKey(int32_t frame);
    // Keeps only the first key when it stands at frame 0, else none.
    void CutToFrameZero();

private:
    std::vector<Value> fValues;
};

class AnimVal : public KeyedChannel<ValKind> {
public:
    explicit AnimVal(float initial = 0) : KeyedChannel(initial) { }
    // Divides every key's value: the older 0..255 alphas become fractions.
    void DivideBy(float divisor);
    // Every key's value negated.
    void Negate();
};
class AnimVec2 : public KeyedChannel<Vec2Kind> {
public:
    explicit AnimVec2(Vec2 initial = { 0, 0 }) : KeyedChannel(initial) { }
};
class AnimVec3 : public KeyedChannel<Vec3Kind> {
public:
    explicit AnimVec3(Vec3 initial = { 0, 0, 0 }) : KeyedChannel(initial) { }
};
class AnimColor : public KeyedChannel<ColorKind> {
public:
    explicit AnimColor(rgb_color initial = { 255, 255, 255, 255 }) : KeyedChannel(initial) { }
};
class AnimBool : public KeyedChannel<BoolKind> {
public:
    explicit AnimBool(bool initial = false) : KeyedChannel(initial) { }
};
class AnimString : public KeyedChannel<StringKind> {
public:
    explicit AnimString(const char* initial = "") : KeyedChannel(QV_String(initial)) { }
};

} // namespace vorn_v4
