#include "older_styles.h"

#include <algorithm>
#include <vector>

#include "older_reading.h"
#include "qv_iostream.h"

namespace vorn_v4 {

M_ShapeStyle::~M_ShapeStyle() = default;
int32_t M_ShapeStyle::StyleType() const { return 0; }
bool M_ShapeStyle::ReadRecord(QV_IoStream*) { return true; }
void M_ShapeStyle::WriteCurrentRecord(QV_IoStream*) { }
int32_t M_ShapeStyle::AnimDuration() const { return 0; }

namespace {

// One stored value of a plain style.
struct Item {
    char kind; // 'f' float, 'i' int, 'c' colour, 'b' bool, 'p' quoted path
    float number;
    int32_t whole;
    rgb_color color;
    QV_String text;
};

Item F(float v) { return Item { 'f', v, 0, {}, QV_String() }; }
Item I(int32_t v) { return Item { 'i', 0, v, {}, QV_String() }; }
Item C(uint8_t r, uint8_t g, uint8_t b, uint8_t a) { return Item { 'c', 0, 0, { r, g, b, a }, QV_String() }; }
Item B(bool v) { return Item { 'b', 0, v ? 1 : 0, {}, QV_String() }; }
Item P() { return Item { 'p', 0, 0, {}, QV_String("") }; }

// The eight styles that hold plain values share one reader and one writer; only their value
// lists differ.
class SS_Plain : public M_ShapeStyle {
public:
    SS_Plain(int32_t index, std::vector<Item> items)
        : fIndex(index)
        , fItems(std::move(items))
    {
    }
    int32_t StyleType() const override { return fIndex; }

    bool ReadRecord(QV_IoStream* s) override
    {
        for (Item& item : fItems) {
            bool ok = true;
            switch (item.kind) {
            case 'f':
                ok = s->ReadFloat(item.number);
                break;
            case 'i':
                ok = s->ReadInt(item.whole);
                break;
            case 'c':
                ok = s->ReadColor(item.color);
                break;
            case 'b': {
                bool v = false;
                ok = s->ReadBool(v);
                item.whole = v ? 1 : 0;
                break;
            }
            default:
                ok = ReadText(s, item.text, 512);
                break;
            }
            if (!ok)
                return false;
        }
        return true;
    }

    void WriteCurrentRecord(QV_IoStream* s) override
    {
        for (const Item& item : fItems) {
            switch (item.kind) {
            case 'f':
                s->WriteFloat(item.number);
                break;
            case 'i':
                s->WriteInt(item.whole);
                break;
            case 'c':
                s->WriteColor(item.color);
                break;
            case 'b':
                s->WriteText(item.whole != 0 ? "true" : "false");
                break;
            default:
                s->WriteQuoted(item.text.CString());
                break;
            }
            s->WriteSpace();
        }
    }

private:
    int32_t fIndex;
    std::vector<Item> fItems;
};

class SS_Gradient : public M_ShapeStyle {
public:
    SS_Gradient()
        : fAngle(4.712389f)
        , fColor1(rgb_color { 255, 255, 255, 255 })
        , fColor2(rgb_color { 0, 0, 0, 255 })
    {
    }
    int32_t StyleType() const override { return 5; }
    bool ReadRecord(QV_IoStream* s) override
    {
        return fAngle.ReadRecord(s) && fColor1.ReadRecord(s) && fColor2.ReadRecord(s) && s->ReadBool(fRadial);
    }
    void WriteCurrentRecord(QV_IoStream* s) override
    {
        fAngle.WriteCurrentRecord(s);
        s->WriteText("\t\t");
        fColor1.WriteCurrentRecord(s);
        s->WriteText("\t\t");
        fColor2.WriteCurrentRecord(s);
        s->WriteText("\t\t");
        s->WriteText(fRadial ? "true " : "false ");
    }
    int32_t AnimDuration() const override
    {
        return std::max({ std::max(0, fAngle.LastKeyFrame()), fColor1.LastKeyFrame(), fColor2.LastKeyFrame() });
    }

private:
    AnimVal fAngle;
    AnimColor fColor1;
    AnimColor fColor2;
    bool fRadial = false;
};

} // namespace

std::unique_ptr<M_ShapeStyle> CreateShapeStyle(int32_t index)
{
    const float h = 1.0f;
    switch (index) {
    case 0: // shaded
        return std::make_unique<SS_Plain>(0, std::vector<Item> { F(2.3561945f), F(h / 30), F(h / 30), C(0, 0, 0, 128), B(false) });
    case 1: // splotchy
        return std::make_unique<SS_Plain>(1, std::vector<Item> { I(24), F(2 * h / 15), B(true) });
    case 2: // soft edge
        return std::make_unique<SS_Plain>(2, std::vector<Item> { F(h / 60) });
    case 3: // spots
        return std::make_unique<SS_Plain>(3, std::vector<Item> { F(h / 15), F(h / 60), F(2 * h / 15), F(h / 30), F(0.7853982f), C(255, 0, 0, 255) });
    case 4: // halo
        return std::make_unique<SS_Plain>(4, std::vector<Item> { F(h / 60), F(h / 30), C(255, 255, 0, 255), B(false) });
    case 5:
        return std::make_unique<SS_Gradient>();
    case 6: // texture
        return std::make_unique<SS_Plain>(6, std::vector<Item> { P(), I(0) });
    case 7: // sketchy
        return std::make_unique<SS_Plain>(7, std::vector<Item> { F(h / 240) });
    case 8: // angled pen
        return std::make_unique<SS_Plain>(8, std::vector<Item> { F(h / 60), F(0.7853982f) });
    default:
        return nullptr;
    }
}

} // namespace vorn_v4
