#include "qv_string.h"

#include <gtest/gtest.h>

#include <string>

TEST(QV_String, DefaultStringGrowsExactlyOneByteAtATimePastItsCapacity)
{
    QV_String s;
    EXPECT_EQ(s.Length(), 0);
    EXPECT_EQ(s.Capacity(), 32);
    EXPECT_STREQ(s.CString(), "");

    const char* buffer = s.CString();
    for (int i = 0; i < 31; i++)
        s.Append('x');
    EXPECT_EQ(s.CString(), buffer) << "31 appends fit the default buffer";
    EXPECT_EQ(s.Capacity(), 32);

    s.Append('y');
    EXPECT_EQ(s.Capacity(), 33);
    s.Append('z');
    EXPECT_EQ(s.Capacity(), 34);
    EXPECT_EQ(s.Length(), 33);
    EXPECT_EQ(s, std::string(31, 'x').append("yz").c_str());
}

TEST(QV_String, CapacityOfCopiesAssignmentsAndReserve)
{
    QV_String s;
    s = "0123456789012345678901234567890123456789"; // 40 bytes
    EXPECT_EQ(s.Capacity(), 41);
    s = "abcdefghij";
    EXPECT_EQ(s.Capacity(), 41) << "a shorter text keeps the buffer";
    EXPECT_EQ(s, "abcdefghij");

    QV_String copy(s);
    EXPECT_EQ(copy.Capacity(), 11);
    EXPECT_EQ(QV_String("abc").Capacity(), 4);

    QV_String fromNull(static_cast<const char*>(nullptr));
    EXPECT_EQ(fromNull.Capacity(), 32);
    EXPECT_EQ(fromNull, "");

    s = static_cast<const char*>(nullptr);
    EXPECT_EQ(s.Length(), 0);
    EXPECT_EQ(s.Capacity(), 41) << "a null text empties but keeps the buffer";

    QV_String r("abc");
    r.Reserve(3);
    EXPECT_EQ(r.Capacity(), 4) << "3 < 4: nothing to do";
    r.Reserve(4);
    EXPECT_EQ(r.Capacity(), 5);
    EXPECT_EQ(r, "abc");
    r.Allocate(2);
    EXPECT_EQ(r, "abc") << "a fitting Allocate keeps the contents";
    r.Allocate(10);
    EXPECT_EQ(r.Capacity(), 11);
    EXPECT_EQ(r.Length(), 0);
}

TEST(QV_String, AssignmentAndAppendFromItsOwnText)
{
    QV_String s("abcdef");
    s = s;
    EXPECT_EQ(s, "abcdef");
    s.Append(s); // grows: the source is the buffer being replaced
    EXPECT_EQ(s, "abcdefabcdef");
    s = s.CString() + 6; // fits: overlapping copy within the buffer
    EXPECT_EQ(s, "abcdef");
}

TEST(QV_String, NumbersAndAppends)
{
    QV_String s;
    s.SetInt(-2147483647 - 1);
    EXPECT_EQ(s, "-2147483648");
    s = "n=";
    s.AppendInt(42);
    s.Append(QV_String(","));
    s.Append(static_cast<const char*>(nullptr));
    s.Append('z');
    EXPECT_EQ(s, "n=42,z");
    s.Append('\0');
    s.InsertChar(0, '\0');
    EXPECT_EQ(s.Length(), 6) << "a NUL byte would hide the rest of the text from C-string readers";
    EXPECT_EQ(QV_String("ab") + "cd" + QV_String("ef"), "abcdef");
}

TEST(QV_String, SetFromWideTakesLowBytesAndNeverStoresNul)
{
    QV_String s("old");
    const char16_t text[] = { u'H', 0x00E9, 0x0141, 0x0100, u'!', 0 };
    s.SetFromWide(text);
    EXPECT_EQ(s.Length(), 5);
    EXPECT_EQ(s, "H\xE9\x41?!");
    s.SetFromWide(nullptr);
    EXPECT_EQ(s, "");
}

TEST(QV_String, InPlaceEdits)
{
    QV_String s("bd");
    s.InsertChar(-5, 'a');
    s.InsertChar(2, 'c');
    s.InsertChar(99, 'e');
    EXPECT_EQ(s, "abcde");
    s.DeleteChar(-1);
    EXPECT_EQ(s, "bcde");
    s.DeleteChar(3);
    EXPECT_EQ(s, "bcd");
    s.DeleteChar(3); // past the end: nothing
    EXPECT_EQ(s, "bcd");

    QV_String r("a,b,,c,");
    r.RemoveChar(',');
    EXPECT_EQ(r, "abc");
    EXPECT_EQ(r.Length(), 3);

    QV_String m("aZ09-\xE9\xC9");
    m.ToUpper();
    EXPECT_EQ(m, "AZ09-\xE9\xC9");
    m.ToLower();
    EXPECT_EQ(m, "az09-\xE9\xC9");
}

TEST(QV_String, TrimsUseOnlyAsciiWhiteSpace)
{
    struct Case {
        const char* text;
        const char* left;
        const char* right;
    } cases[] = {
        { "ab \t\r\n", "ab \t\r\n", "ab" },
        { " \v\f\tab", "ab", " \v\f\tab" },
        { " \t\r\n\v\f", "", "" },
        { "", "", "" },
        { "\xA0x\xA0", "\xA0x\xA0", "\xA0x\xA0" },
        { " x y ", "x y ", " x y" },
    };
    for (const Case& c : cases) {
        QV_String left(c.text);
        left.TrimLeft();
        EXPECT_EQ(left, c.left) << "TrimLeft of '" << c.text << "'";
        EXPECT_EQ(left.Length(), static_cast<int32_t>(std::string(c.left).size()));
        QV_String right(c.text);
        right.TrimRight();
        EXPECT_EQ(right, c.right) << "TrimRight of '" << c.text << "'";
        EXPECT_EQ(right.Length(), static_cast<int32_t>(std::string(c.right).size()));
    }
}

TEST(QV_String, PiecesLeaveTheStringUnchanged)
{
    const QV_String s("name.tar.gz");
    EXPECT_EQ(s.Left(4), "name");
    EXPECT_EQ(s.Left(0), "");
    EXPECT_EQ(s.Left(-3), "");
    EXPECT_EQ(s.Left(99), "name.tar.gz");
    EXPECT_EQ(s.Right(2), "gz");
    EXPECT_EQ(s.Right(-1), "");
    EXPECT_EQ(s.Right(99), "name.tar.gz");
    EXPECT_EQ(s.Mid(5, 8), "tar");
    EXPECT_EQ(s.Mid(0, 1000), "name.tar.gz");
    EXPECT_EQ(s.Mid(3, 3), "");
    EXPECT_EQ(s.Mid(8, 99), ".gz") << "an end past the text is clamped, never read";
    EXPECT_EQ(s.Mid(-4, 2), "na");
    EXPECT_EQ(s.BeforeFirst('.'), "name");
    EXPECT_EQ(s.AfterFirst('.'), "tar.gz");
    EXPECT_EQ(s.AfterLast('.'), "gz");
    EXPECT_EQ(s.WithoutExtension(), "name.tar");
    EXPECT_EQ(s.BeforeFirst('n'), "") << "found at index 0";
    EXPECT_EQ(s.BeforeFirst('#'), "");
    EXPECT_EQ(s.AfterFirst('#'), "");
    EXPECT_EQ(s.AfterLast('z'), "");
    EXPECT_EQ(QV_String("README").WithoutExtension(), "");
    EXPECT_EQ(QV_String("trail.").AfterLast('.'), "");
    EXPECT_EQ(s.FindChar('.'), 4);
    EXPECT_EQ(s.FindLastChar('.'), 8);
    EXPECT_EQ(s.FindChar('#'), -1);
    EXPECT_EQ(QV_String().FindChar('a'), -1);
    EXPECT_EQ(QV_String().FindLastChar('a'), -1);
    EXPECT_EQ(s, "name.tar.gz");
}

TEST(QV_String, Field)
{
    struct Case {
        const char* text;
        int index;
        const char* expected;
    } cases[] = {
        { "a,b,c", 0, "a" },
        { "a,b,c", 1, "b" },
        { "a,b,c", 2, "c" },
        { "a,b,c", 3, "" },
        { "a,b,c", -1, "" },
        { "abc", 0, "abc" },
        { "abc", 1, "" },
        { ",x,,y,", 0, "" },
        { ",x,,y,", 1, "x" },
        { ",x,,y,", 2, "" },
        { ",x,,y,", 3, "y" },
        { ",x,,y,", 4, "" },
        { ",x,,y,", 5, "" },
        { "", 0, "" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(QV_String(c.text).Field(c.index, ','), c.expected) << c.text << " index " << c.index;
}

TEST(QV_String, ComparisonsAreBytewise)
{
    QV_String a("abc");
    EXPECT_TRUE(a == "abc");
    EXPECT_TRUE(a == QV_String("abc"));
    EXPECT_TRUE(a != "ABC");
    EXPECT_TRUE(a != "abcd");
    EXPECT_TRUE(a != QV_String("ab"));
    EXPECT_FALSE(a != QV_String("abc"));
    EXPECT_TRUE(QV_String("\xC3\xA9") != "\xC3\x89");
    EXPECT_TRUE(QV_String() == static_cast<const char*>(nullptr));
    EXPECT_FALSE(a == static_cast<const char*>(nullptr));
}
