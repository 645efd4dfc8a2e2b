#include "settings_text.h"

#include <string>

#include <gtest/gtest.h>

#include "qv_filestream.h"
#include "qv_memstream.h"
#include "qv_message.h"
#include "scratch_folder.h"

namespace {

std::string Entries(const QV_Message& message)
{
    std::string all;
    for (int32_t i = 0; i < message.Count(); i++)
        all += std::string(message.NameAt(i).CString()) + "=" + message.ValueAt(i).text.CString() + ";";
    return all;
}

void ReadText(QV_Message& message, const std::string& text)
{
    QV_MemStream stream;
    ASSERT_EQ(stream.Open(0), 0);
    stream.WriteBytes(text.data(), static_cast<int32_t>(text.size()));
    stream.Rewind();
    message.Read(stream);
}

} // namespace

TEST(SettingsText, FileRoundTrip)
{
    ScratchFolder folder;
    std::string path = folder.File("Celvane6.0.user.settings");
    QV_Message message(7);
    message.AddInt("ProjWidth", 720);
    message.AddString("Recent", "/home/u/My Films/a.celv");
    message.AddBool("UseLargeFonts", false);
    message.AddMessage("inner", new QV_Message(3));
    ASSERT_TRUE(message.WriteFile(path.c_str()));
    EXPECT_EQ(folder.Get("Celvane6.0.user.settings"),
        "\"ProjWidth\"\t\"720\"\r\n"
        "\"Recent\"\t\"/home/u/My Films/a.celv\"\r\n"
        "\"UseLargeFonts\"\t\"FALSE\"\r\n"
        "\"inner\"\t\"msg\"\r\n");

    QV_Message back;
    back.AddString("dropped", "old entry");
    back.ReadFile(path.c_str());
    EXPECT_EQ(Entries(back), "ProjWidth=720;Recent=/home/u/My Films/a.celv;UseLargeFonts=FALSE;inner=msg;");
    EXPECT_EQ(back.fWhat, 0);
    QV_Message* nested = nullptr;
    EXPECT_FALSE(back.FindMessage("inner", &nested));

    // A missing file leaves the record as it was.
    back.ReadFile(folder.File("missing").c_str());
    EXPECT_EQ(back.Count(), 4);
}

TEST(SettingsText, EmptyRecordWritesNothing)
{
    ScratchFolder folder;
    QV_Message empty(7);
    EXPECT_TRUE(empty.WriteFile(folder.File("new.settings").c_str()));
    EXPECT_FALSE(folder.Exists("new.settings"));
    folder.Put("old.settings", "\"a\"\t\"1\"\r\n");
    EXPECT_TRUE(empty.WriteFile(folder.File("old.settings").c_str()));
    EXPECT_EQ(folder.Get("old.settings"), "\"a\"\t\"1\"\r\n");
}

TEST(SettingsText, WhatIsReserved)
{
    QV_Message message;
    ReadText(message, "\"a\"\t\"1\"\r\n\"what\"\t\"1234\"\r\n\"b\"\t\"2\"\r\n");
    EXPECT_EQ(message.fWhat, 1234);
    EXPECT_EQ(Entries(message), "a=1;b=2;");
}

TEST(SettingsText, LongValuesNoLongerLoseTheEntriesAfterThem)
{
    std::string value300(300, 'v');
    QV_Message message;
    ReadText(message, "\"a\"\t\"1\"\r\n\"b\"\t\"2\"\r\n\"long\"\t\"" + value300 + "\"\r\n\"d\"\t\"4\"\r\n");
    EXPECT_EQ(message.Count(), 4);
    QV_String text;
    ASSERT_TRUE(message.FindString("long", text));
    EXPECT_EQ(text.Length(), 300);
    ASSERT_TRUE(message.FindString("d", text));
    EXPECT_EQ(text, "4");
}

TEST(SettingsText, ValueHoldingAQuoteIsNotWritten)
{
    QV_Message message;
    message.AddString("a", "1");
    message.AddString("quoted", "say \"hi\"");
    message.AddString("b", "2");
    QV_MemStream stream;
    stream.Open(0);
    message.Write(stream);
    std::string written(stream.Size(), '\0');
    stream.Rewind();
    stream.ReadBytes(written.data(), stream.Size());
    EXPECT_EQ(written, "\"a\"\t\"1\"\n\"b\"\t\"2\"\n");
}

TEST(SettingsText, MalformedEntrySkipsToTheNextLine)
{
    struct Case {
        const char* text;
        const char* entries;
    } cases[] = {
        { "\"a\"\t\"1\"\r\ngarbage line\r\n\"c\"\t\"3\"\r\n", "a=1;c=3;" },
        { "\"a\"\t\"1\"\n\"b\" unquoted\n\"c\"\t\"3\"\n", "a=1;c=3;" },
        { "\"a\"\t\"1\"\nx\n\"c\"\t\"3\"", "a=1;c=3;" },
        // LF-only files and hand-edited spacing read the same.
        { "\"a\"   \"1\"\n\n  \"c\"\n\t\"3\"\n", "a=1;c=3;" },
        { "\"a\"\t\"1\"\n\"c\"\t\"unterminated", "a=1;" },
        { "", "" },
    };
    for (const Case& c : cases) {
        QV_Message message;
        ReadText(message, c.text);
        EXPECT_EQ(Entries(message), c.entries) << c.text;
    }
}

TEST(SettingsText, UnwritableFileIsReported)
{
    ScratchFolder folder;
    QV_Message message;
    message.AddString("a", "1");
    EXPECT_FALSE(message.WriteFile(folder.File("no/such/folder/x.settings").c_str()));
    EXPECT_FALSE(message.WriteFile("/dev/full"));
}
