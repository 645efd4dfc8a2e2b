#pragma once

#include <cstdint>
#include <memory>

#include "qv_color.h"
#include "qv_string.h"

class M_Mesh;
class QV_IoStream;
struct QV_MessageValue;

// The toolkit's key/value record: an id and an ordered set of named values. It carries events,
// holds the settings files in memory and the interface texts as a tree of nested records.
//
// Every value is stored as text in one fixed form per type (see the Add operations); a value
// may also own a nested record. Names are unique and compared byte for byte; entries keep the
// order in which their names were first added, and replacing a value keeps its place.
class QV_Message {
public:
    explicit QV_Message(int32_t what = 0);
    ~QV_Message();
    QV_Message(const QV_Message&) = delete;
    QV_Message& operator=(const QV_Message&) = delete;

    // Each Add replaces the value of an existing entry of that name, else appends one, and
    // returns the new count. A replaced value drops the nested record it held.
    int32_t AddString(const char* name, const char* text);
    // "TRUE" or "FALSE".
    int32_t AddBool(const char* name, bool value);
    int32_t AddInt(const char* name, int32_t value);
    // Six decimals, not trimmed: 0.25 is stored as "0.250000".
    int32_t AddFloat(const char* name, float value);
    // "r g b a".
    int32_t AddColor(const char* name, rgb_color color);
    int32_t AddPoint(const char* name, int32_t x, int32_t y);
    // Takes ownership of the record; the entry's text is "msg".
    int32_t AddMessage(const char* name, QV_Message* message);
    // The mesh's address under the name "mesh", for handing a mesh over within the process.
    int32_t AddMesh(M_Mesh* mesh);

    // The Find operations return false, leaving the output alone, when the name is absent.
    // The pointer stays valid until the entry changes.
    bool FindString(const char* name, const char** text) const;
    bool FindString(const char* name, QV_String& text) const;
    // True for "true" or "1" in any case, false for any other text.
    bool FindBool(const char* name, bool& value) const;
    // A text that does not begin with a number leaves the output alone; still true.
    bool FindInt(const char* name, int32_t& value) const;
    bool FindFloat(const char* name, float& value) const;
    // Each number clamped to 0..255; components the text does not give keep their value.
    bool FindColor(const char* name, rgb_color& color) const;
    // The record stays owned by this one.
    bool FindMessage(const char* name, QV_Message** message) const;
    bool FindMesh(M_Mesh** mesh) const;

    void Grow();

    // The settings text form (settings_text.h). Read drops the old entries first.
    void Read(QV_IoStream& stream);
    void Write(QV_IoStream& stream) const;
    // A file that cannot be opened leaves the record as it was.
    void ReadFile(const char* path);
    // A record without entries writes nothing at all and returns true. Otherwise true only
    // when the whole file was written; on failure the old file is untouched.
    bool WriteFile(const char* path) const;

    int32_t Count() const { return fCount; }
    int32_t Capacity() const { return fCapacity; }
    const QV_String& NameAt(int32_t index) const;
    const QV_MessageValue& ValueAt(int32_t index) const;

    int32_t fWhat;

private:
    int32_t IndexOf(const char* name) const;
    int32_t Store(const char* name, const char* text, QV_Message* nested);
    void RemoveAll();

    int32_t fCount;
    int32_t fCapacity;
    std::unique_ptr<QV_String[]> fNames;
    std::unique_ptr<QV_MessageValue[]> fValues;
};

struct QV_MessageValue {
    QV_MessageValue();
    ~QV_MessageValue();

    QV_String text;
    // Set only by QV_Message::AddMessage.
    std::unique_ptr<QV_Message> nested;
};
