#include "app_folders.h"
#include "qv_app.h"
#include "qv_filestream.h"

#include <cstring>

namespace {

int32_t CountSlashes(const QV_String& key)
{
    int32_t count = 0;
    for (int32_t i = 0; i < key.Length(); ++i)
        count += key.CString()[i] == '/' ? 1 : 0;
    return count;
}

// One line of any length, up to a CR or LF (consumed, one byte). A last line
// without a line end is still a line. False only when nothing is left.
bool ReadWholeLine(QV_IoStream& stream, QV_String& line)
{
    line = "";
    char c = 0;
    bool any = false;
    while (stream.ReadChar(c)) {
        any = true;
        if (c == '\n' || c == '\r')
            return true;
        line.Append(c);
    }
    return any;
}

} // namespace

void QV_App::LoadStrings()
{
    QV_Path path = ResourcesFolder();
    path.Append(fName + ".strings");
    QV_FileStream stream;
    if (stream.Open(path.CString(), true) != 0)
        return;
    fStringsLoaded = true;
    // Lines are read whole: a long translation must not end the reading and
    // drop every text after it.
    QV_String line;
    while (ReadWholeLine(stream, line)) {
        const QV_String text = line.AfterFirst('=');
        if (text.IsEmpty())
            continue;
        const QV_String key = line.BeforeFirst('=');
        const int32_t slashes = CountSlashes(key);
        QV_Message* record = &fStrings;
        for (int32_t i = 1; i < slashes; ++i) {
            const QV_String component = key.Field(i, '/');
            QV_Message* nested = nullptr;
            if (!record->FindMessage(component.CString(), &nested)) {
                nested = new QV_Message;
                record->AddMessage(component.CString(), nested);
            }
            record = nested;
        }
        record->AddString(key.Field(slashes == 0 ? 1 : slashes, '/').CString(), text.CString());
    }
}

const char* Localize(const char* text)
{
    if (!text)
        text = "";
    if (!gApp) {
        const char* equals = strchr(text, '=');
        return equals ? equals + 1 : "";
    }
    const QV_String whole(text);
    gApp->fLocalizeIndex = (gApp->fLocalizeIndex + 1) % QV_App::kLocalizeRingSize;
    QV_String& slot = gApp->fLocalizeRing[gApp->fLocalizeIndex];
    slot = whole.AfterFirst('=');
    if (!gApp->fStringsLoaded)
        return slot.CString();

    const QV_String key = whole.BeforeFirst('=');
    const int32_t slashes = CountSlashes(key);
    const QV_Message* record = &gApp->fStrings;
    for (int32_t i = 1; i < slashes; ++i) {
        QV_Message* nested = nullptr;
        if (!record->FindMessage(key.Field(i, '/').CString(), &nested))
            return slot.CString();
        record = nested;
    }
    const QV_String name = key.Field(slashes == 0 ? 1 : slashes, '/');
    // A nested record under the name is no text.
    if (!record->FindMessage(name.CString(), nullptr))
        record->FindString(name.CString(), slot);
    return slot.CString();
}
