#include "settings_text.h"

#include "number_text.h"
#include "qv_iostream.h"
#include "qv_message.h"

void ReadSettingsText(QV_IoStream& stream, QV_Message& message)
{
    QV_String name;
    QV_String value;
    for (;;) {
        // A failed token has consumed a byte that is not a quote, or the data has ended: the rest
        // of that line is dropped, and the end of the data ends the reading.
        if (!stream.ReadQuoted(name) || !stream.ReadQuoted(value)) {
            if (!stream.SkipLine())
                break;
            continue;
        }
        if (name == "what") {
            int32_t what;
            if (ParseInt32Prefix(value.CString(), what))
                message.fWhat = what;
        } else {
            message.AddString(name.CString(), value.CString());
        }
    }
}

void WriteSettingsText(QV_IoStream& stream, const QV_Message& message)
{
    for (int32_t i = 0; i < message.Count(); i++) {
        const QV_String& name = message.NameAt(i);
        const QV_String& text = message.ValueAt(i).text;
        if (name.FindChar('"') >= 0 || text.FindChar('"') >= 0)
            continue;
        stream.WriteQuoted(name.CString());
        stream.WriteText("\t");
        stream.WriteQuoted(text.CString());
        stream.WriteNewline();
    }
}
