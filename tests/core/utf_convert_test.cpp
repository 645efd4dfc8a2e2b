#include "utf_convert.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct ToUTF16 {
    UTFConversionResult result;
    long consumed; // source bytes before where the source pointer was left
    std::u16string text;
};

ToUTF16 Utf8To16(const std::string& bytes, size_t room = 64)
{
    std::vector<char16_t> out(room + 1, 0xFFFF);
    const char* source = bytes.data();
    char16_t* target = out.data();
    UTFConversionResult result
        = ConvertUTF8toUTF16(&source, bytes.data() + bytes.size(), &target, out.data() + room);
    return { result, source - bytes.data(), std::u16string(out.data(), target) };
}

struct ToUTF8Result {
    UTFConversionResult result;
    long consumed;
    std::string text;
};

ToUTF8Result Utf16To8(const std::u16string& units, size_t room = 64)
{
    std::vector<char> out(room + 1, 0);
    const char16_t* source = units.data();
    char* target = out.data();
    UTFConversionResult result
        = ConvertUTF16toUTF8(&source, units.data() + units.size(), &target, out.data() + room);
    return { result, source - units.data(), std::string(out.data(), target) };
}

} // namespace

TEST(UTFConvert, RoundTripsEveryEncodedLength)
{
    const std::u16string wide = u"A\u00E9\u20AC\U0001F600z";
    const std::string utf8 = "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z";
    ToUTF8Result narrow = Utf16To8(wide);
    EXPECT_EQ(narrow.result, kUTFConversionOK);
    EXPECT_EQ(narrow.text, utf8);
    EXPECT_EQ(narrow.consumed, static_cast<long>(wide.size()));

    ToUTF16 back = Utf8To16(utf8);
    EXPECT_EQ(back.result, kUTFConversionOK);
    EXPECT_EQ(back.text, wide);

    const std::u16string pair = { 0xD83D, 0xDE00 };
    EXPECT_EQ(Utf16To8(pair).text, "\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8To16("\xF0\x9F\x98\x80").text, pair);
    EXPECT_EQ(Utf8To16("\xF4\x8F\xBF\xBF").text, (std::u16string { 0xDBFF, 0xDFFF }));
}

TEST(UTFConvert, Utf8ErrorsStopAtTheStartOfTheCharacter)
{
    struct Case {
        const char* name;
        std::string bytes;
        UTFConversionResult result;
        long consumed;
        size_t written;
    } cases[] = {
        { "overlong NUL", "\xC0\x80", kUTFSourceIllegal, 0, 0 },
        { "encoded surrogate", "\xED\xA0\x80", kUTFSourceIllegal, 0, 0 },
        { "overlong 3-byte", "\xE0\x9F\xBF", kUTFSourceIllegal, 0, 0 },
        { "overlong 4-byte", "\xF0\x8F\xBF\xBF", kUTFSourceIllegal, 0, 0 },
        { "beyond U+10FFFF", "\xF4\x90\x80\x80", kUTFSourceIllegal, 0, 0 },
        { "lead F5", "\xF5\x80\x80\x80", kUTFSourceIllegal, 0, 0 },
        { "lone continuation", "ab\x80", kUTFSourceIllegal, 2, 2 },
        { "bad trailing byte after ED", "x\xED\x41\x80", kUTFSourceIllegal, 1, 1 },
        { "bad trailing byte after F4", "\xF4\x20\x80\x80", kUTFSourceIllegal, 0, 0 },
        { "bad last trailing byte", "\xE2\x82\x2C", kUTFSourceIllegal, 0, 0 },
        { "five-byte lead", "\xF8\x88\x80\x80\x80", kUTFSourceIllegal, 0, 0 },
        { "truncated euro", "ok\xE2\x82", kUTFSourceExhausted, 2, 2 },
        { "truncated 4-byte", "\xF0\x9F\x98", kUTFSourceExhausted, 0, 0 },
        { "bad byte near the end",
            "ab\xFF"
            "cd",
            kUTFSourceIllegal, 2, 2 },
        { "cut after a bad lead byte", "\xC1", kUTFSourceIllegal, 0, 0 },
        { "cut after a bad trailing byte", "\xE2\x41", kUTFSourceIllegal, 0, 0 },
        { "cut inside a surrogate", "\xED\xA0", kUTFSourceIllegal, 0, 0 },
        { "cut inside a good 4-byte", "\xF0\x9F", kUTFSourceExhausted, 0, 0 },
        { "whole euro", "\xE2\x82\xAC", kUTFConversionOK, 3, 1 },
    };
    for (const Case& c : cases) {
        ToUTF16 out = Utf8To16(c.bytes);
        EXPECT_EQ(out.result, c.result) << c.name;
        EXPECT_EQ(out.consumed, c.consumed) << c.name;
        EXPECT_EQ(out.text.size(), c.written) << c.name;
    }
    EXPECT_EQ(Utf8To16("\xE2\x82\xAC").text, u"\u20AC");
}

TEST(UTFConvert, TargetExhaustedWritesNothingOfTheCharacter)
{
    ToUTF16 one = Utf8To16("\xF0\x9F\x98\x80", 1);
    EXPECT_EQ(one.result, kUTFTargetExhausted);
    EXPECT_EQ(one.consumed, 0);
    EXPECT_TRUE(one.text.empty());

    ToUTF16 partial = Utf8To16("ab\xE2\x82\xAC", 2);
    EXPECT_EQ(partial.result, kUTFTargetExhausted);
    EXPECT_EQ(partial.consumed, 2);
    EXPECT_EQ(partial.text, u"ab");

    ToUTF8Result narrow = Utf16To8(u"a\u20AC", 3);
    EXPECT_EQ(narrow.result, kUTFTargetExhausted);
    EXPECT_EQ(narrow.consumed, 1);
    EXPECT_EQ(narrow.text, "a");

    ToUTF8Result pair = Utf16To8(std::u16string { 0xD83D, 0xDE00 }, 3);
    EXPECT_EQ(pair.result, kUTFTargetExhausted);
    EXPECT_EQ(pair.consumed, 0);
}

TEST(UTFConvert, Utf16SurrogateErrors)
{
    struct Case {
        const char* name;
        std::u16string units;
        UTFConversionResult result;
        long consumed;
    } cases[] = {
        { "lone low surrogate", { u'a', 0xDC00, u'b' }, kUTFSourceIllegal, 1 },
        { "high surrogate then letter", { 0xD800, u'b' }, kUTFSourceIllegal, 0 },
        { "two high surrogates", { 0xD800, 0xD800, 0xDC00 }, kUTFSourceIllegal, 0 },
        { "high surrogate at the end", { u'a', 0xD800 }, kUTFSourceExhausted, 1 },
    };
    for (const Case& c : cases) {
        ToUTF8Result out = Utf16To8(c.units);
        EXPECT_EQ(out.result, c.result) << c.name;
        EXPECT_EQ(out.consumed, c.consumed) << c.name;
        EXPECT_EQ(static_cast<long>(out.text.size()), c.consumed) << c.name;
    }
}

TEST(UTFConvert, Utf8ToCodePoints)
{
    const std::string bytes = "a\xC3\xA9\xF0\x9F\x98\x80";
    char32_t out[4] = {};
    const char* source = bytes.data();
    char32_t* target = out;
    EXPECT_EQ(ConvertUTF8toUTF32(&source, bytes.data() + bytes.size(), &target, out + 4), kUTFConversionOK);
    EXPECT_EQ(target - out, 3);
    EXPECT_EQ(out[0], U'a');
    EXPECT_EQ(out[1], U'\u00E9');
    EXPECT_EQ(out[2], U'\U0001F600');

    source = bytes.data();
    target = out;
    EXPECT_EQ(
        ConvertUTF8toUTF32(&source, bytes.data() + bytes.size(), &target, out + 2), kUTFTargetExhausted);
    EXPECT_EQ(source - bytes.data(), 3);
    EXPECT_EQ(target - out, 2);

    const std::string surrogate = "\xED\xBF\xBF";
    source = surrogate.data();
    target = out;
    EXPECT_EQ(ConvertUTF8toUTF32(&source, surrogate.data() + 3, &target, out + 4), kUTFSourceIllegal);
    EXPECT_EQ(source, surrogate.data());
}

TEST(UTFConvert, IsLegalUTF8)
{
    EXPECT_TRUE(IsLegalUTF8("a", 1));
    EXPECT_TRUE(IsLegalUTF8("\xC2\x80", 2));
    EXPECT_TRUE(IsLegalUTF8("\xED\x9F\xBF", 3));
    EXPECT_TRUE(IsLegalUTF8("\xF4\x8F\xBF\xBF", 4));
    EXPECT_FALSE(IsLegalUTF8("\xC1\xBF", 2));
    EXPECT_FALSE(IsLegalUTF8("\xE0\x80\x80", 3));
    EXPECT_FALSE(IsLegalUTF8("\xC2\xC0", 2));
    EXPECT_FALSE(IsLegalUTF8("\xC2\x80", 3)) << "length other than the lead byte announces";
    EXPECT_FALSE(IsLegalUTF8("\xF8\x88\x80\x80\x80", 5));
}

TEST(UTFConvert, ToWideCutsAtTheBufferAndEmptiesOnIllegalInput)
{
    std::string ascii(3000, 'q');
    const char16_t* wide = ToWide(ascii.c_str());
    EXPECT_EQ(std::u16string(wide), std::u16string(2046, u'q'));

    EXPECT_EQ(std::u16string(ToWide("ab\xFF"
                                    "cd")),
        u"");
    EXPECT_EQ(std::u16string(ToWide(nullptr)), u"");
    EXPECT_EQ(std::u16string(ToWide("x\xE2\x82")), u"x") << "a cut character keeps what came before";

    // The 2047-byte input cut lands inside the last euro sign: everything before it is kept.
    std::string euros = std::string(2045, 'e') + "\xE2\x82\xAC";
    EXPECT_EQ(std::u16string(ToWide(euros.c_str())), std::u16string(2045, u'e'));
}

TEST(UTFConvert, ToUTF8CutsAtTheBufferAndEmptiesOnIllegalInput)
{
    std::u16string wide(3000, u'w');
    EXPECT_EQ(std::string(ToUTF8(wide.c_str())), std::string(2046, 'w'));

    std::u16string euros(1000, u'\u20AC');
    EXPECT_EQ(std::string(ToUTF8(euros.c_str())).size(), 2046u - 2046u % 3) << "whole characters only";

    const char16_t lone[] = { u'a', 0xDC00, 0 };
    EXPECT_STREQ(ToUTF8(lone), "");
    EXPECT_STREQ(ToUTF8(nullptr), "");
    EXPECT_STREQ(ToUTF8(u"h\u00E9"), "h\xC3\xA9");
}

TEST(UTFConvert, RingOfFourBuffers)
{
    const char16_t* first = ToWide("one");
    const char16_t* second = ToWide("two");
    ToWide("three");
    ToWide("four");
    EXPECT_EQ(std::u16string(first), u"one") << "still valid after three further calls";
    EXPECT_EQ(std::u16string(second), u"two");
    const char16_t* fifth = ToWide("five");
    EXPECT_EQ(fifth, first);
    EXPECT_EQ(std::u16string(first), u"five");

    const char* narrow = ToUTF8(u"one");
    for (int i = 0; i < 3; i++)
        EXPECT_NE(ToUTF8(u"x"), narrow);
    EXPECT_EQ(ToUTF8(u"five"), narrow);
    EXPECT_STREQ(narrow, "five");
}
