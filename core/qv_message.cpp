#include "qv_message.h"

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "number_text.h"
#include "qv_filestream.h"
#include "settings_text.h"

namespace {

constexpr int32_t kInitialCapacity = 2;
const char* const kMeshName = "mesh";

uint8_t ClampByte(int32_t value)
{
    return static_cast<uint8_t>(std::clamp<int32_t>(value, 0, 255));
}

} // namespace

QV_MessageValue::QV_MessageValue() = default;

QV_MessageValue::~QV_MessageValue() = default;

QV_Message::QV_Message(int32_t what)
    : fWhat(what)
    , fCount(0)
    , fCapacity(kInitialCapacity)
    , fNames(new QV_String[kInitialCapacity])
    , fValues(new QV_MessageValue[kInitialCapacity])
{
}

QV_Message::~QV_Message() = default;

int32_t QV_Message::IndexOf(const char* name) const
{
    if (!name)
        return -1;
    for (int32_t i = 0; i < fCount; i++) {
        if (fNames[i] == name)
            return i;
    }
    return -1;
}

int32_t QV_Message::Store(const char* name, const char* text, QV_Message* nested)
{
    if (!name) {
        delete nested;
        return fCount;
    }
    // The texts may point into this record's own entries, which Grow frees.
    QV_String keptName;
    QV_String keptText;
    if (fCount == fCapacity) {
        keptName = name;
        keptText = text;
        name = keptName.CString();
        text = keptText.CString();
        Grow();
    }
    int32_t index = IndexOf(name);
    if (index < 0)
        index = fCount++;
    fNames[index] = name;
    fValues[index].text = text;
    if (fValues[index].nested.get() != nested)
        fValues[index].nested.reset(nested);
    return fCount;
}

void QV_Message::Grow()
{
    int32_t capacity = fCapacity * 2;
    std::unique_ptr<QV_String[]> names(new QV_String[capacity]);
    std::unique_ptr<QV_MessageValue[]> values(new QV_MessageValue[capacity]);
    for (int32_t i = 0; i < fCount; i++) {
        names[i] = fNames[i];
        values[i].text = fValues[i].text;
        values[i].nested = std::move(fValues[i].nested);
    }
    fNames = std::move(names);
    fValues = std::move(values);
    fCapacity = capacity;
}

void QV_Message::RemoveAll()
{
    for (int32_t i = 0; i < fCount; i++)
        fValues[i].nested.reset();
    fCount = 0;
}

int32_t QV_Message::AddString(const char* name, const char* text)
{
    return Store(name, text, nullptr);
}

int32_t QV_Message::AddBool(const char* name, bool value)
{
    return Store(name, value ? "TRUE" : "FALSE", nullptr);
}

int32_t QV_Message::AddInt(const char* name, int32_t value)
{
    char text[16];
    FormatInt32(text, value);
    return Store(name, text, nullptr);
}

int32_t QV_Message::AddFloat(const char* name, float value)
{
    char text[64];
    FormatFixed6(text, value);
    return Store(name, text, nullptr);
}

int32_t QV_Message::AddColor(const char* name, rgb_color color)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%d %d %d %d", color.r, color.g, color.b, color.a);
    return Store(name, text, nullptr);
}

int32_t QV_Message::AddPoint(const char* name, int32_t x, int32_t y)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%" PRId32 " %" PRId32, x, y);
    return Store(name, text, nullptr);
}

int32_t QV_Message::AddMessage(const char* name, QV_Message* message)
{
    return Store(name, "msg", message);
}

int32_t QV_Message::AddMesh(M_Mesh* mesh)
{
    // The whole address: a 32-bit number cannot hold a pointer here.
    char text[32];
    std::snprintf(text, sizeof(text), "%" PRIuPTR, reinterpret_cast<uintptr_t>(mesh));
    return Store(kMeshName, text, nullptr);
}

bool QV_Message::FindString(const char* name, const char** text) const
{
    int32_t index = IndexOf(name);
    if (index < 0)
        return false;
    if (text)
        *text = fValues[index].text.CString();
    return true;
}

bool QV_Message::FindString(const char* name, QV_String& text) const
{
    int32_t index = IndexOf(name);
    if (index < 0)
        return false;
    text = fValues[index].text;
    return true;
}

bool QV_Message::FindBool(const char* name, bool& value) const
{
    int32_t index = IndexOf(name);
    if (index < 0)
        return false;
    QV_String text(fValues[index].text);
    text.ToLower();
    value = text == "true" || text == "1";
    return true;
}

bool QV_Message::FindInt(const char* name, int32_t& value) const
{
    int32_t index = IndexOf(name);
    if (index < 0)
        return false;
    ParseInt32Prefix(fValues[index].text.CString(), value);
    return true;
}

bool QV_Message::FindFloat(const char* name, float& value) const
{
    int32_t index = IndexOf(name);
    if (index < 0)
        return false;
    ParseFloatPrefix(fValues[index].text.CString(), value);
    return true;
}

bool QV_Message::FindColor(const char* name, rgb_color& color) const
{
    int32_t index = IndexOf(name);
    if (index < 0)
        return false;
    uint8_t* channels[4] = { &color.r, &color.g, &color.b, &color.a };
    const char* text = fValues[index].text.CString();
    for (uint8_t* channel : channels) {
        int32_t number;
        if (!ParseInt32Prefix(text, number, &text))
            break;
        *channel = ClampByte(number);
    }
    return true;
}

bool QV_Message::FindMessage(const char* name, QV_Message** message) const
{
    int32_t index = IndexOf(name);
    if (index < 0 || !fValues[index].nested)
        return false;
    if (message)
        *message = fValues[index].nested.get();
    return true;
}

bool QV_Message::FindMesh(M_Mesh** mesh) const
{
    int32_t index = IndexOf(kMeshName);
    if (index < 0)
        return false;
    const char* text = fValues[index].text.CString();
    char* end = nullptr;
    errno = 0;
    unsigned long long address = std::strtoull(text, &end, 10);
    if (end == text || errno != 0 || address > UINTPTR_MAX)
        return false;
    if (mesh)
        *mesh = reinterpret_cast<M_Mesh*>(static_cast<uintptr_t>(address));
    return true;
}

void QV_Message::Read(QV_IoStream& stream)
{
    RemoveAll();
    ReadSettingsText(stream, *this);
}

void QV_Message::Write(QV_IoStream& stream) const
{
    WriteSettingsText(stream, *this);
}

void QV_Message::ReadFile(const char* path)
{
    QV_FileStream file;
    if (file.Open(path, true) == 0)
        Read(file);
}

bool QV_Message::WriteFile(const char* path) const
{
    if (fCount == 0)
        return true;
    QV_FileStream file;
    if (file.Open(path, false) != 0)
        return false;
    Write(file);
    return file.Commit();
}

const QV_String& QV_Message::NameAt(int32_t index) const
{
    return fNames[index];
}

const QV_MessageValue& QV_Message::ValueAt(int32_t index) const
{
    return fValues[index];
}
