#pragma once

class QV_IoStream;
class QV_Message;

// The text form of the settings files: one entry per line, the name and the value each in
// double quotes with a TAB between them. There is no header, escape or comment syntax; any
// white space may stand between the tokens. The name "what" carries the record's id.

// Adds the entries read to the record. A quoted text may have any length; a malformed entry
// is skipped up to the end of its line and reading goes on after it.
void ReadSettingsText(QV_IoStream& stream, QV_Message& message);
// Entries whose name or value holds a double quote cannot be read back, so they are left out.
// The record's id is never written.
void WriteSettingsText(QV_IoStream& stream, const QV_Message& message);
