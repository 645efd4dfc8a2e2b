#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "frame_test_support.h"
#include "qv_app.h"

namespace {

class LocalizeTest : public FrameTest {
protected:
    void Load(const std::string& texts)
    {
        PutFile(kStrings, texts);
        fApp.LoadStrings();
    }
    QV_App fApp;
};

} // namespace

TEST_F(LocalizeTest, WithoutATextsFileTheDefaultsStand)
{
    fApp.LoadStrings();
    EXPECT_FALSE(fApp.fStringsLoaded);
    EXPECT_STREQ(Localize("/Strings/OK=OK"), "OK");
    EXPECT_STREQ(Localize("/Strings/Formula=a=b"), "a=b");
    EXPECT_STREQ(Localize("/Strings/NoDefault"), "");
}

TEST_F(LocalizeTest, TranslationsAreLookedUpByTheirKeyPath)
{
    Load("/Strings/OK=Okay\r\n"
         "/Strings/Formula=x=y=z\r\n"
         "/Windows/Animation/AreYouSure=Sure?\r\n"
         "no equals sign here\r\n"
         "/Strings/Empty=\r\n");
    ASSERT_TRUE(fApp.fStringsLoaded);
    struct Case {
        const char* text;
        const char* expected;
    } cases[] = {
        { "/Strings/OK=OK", "Okay" },
        { "/Strings/Formula=f", "x=y=z" }, // everything after the first "=" of the line
        { "/Windows/Animation/AreYouSure=Are you sure?", "Sure?" },
        { "/Windows/Missing/AreYouSure=kept", "kept" },
        { "/Strings/Empty=default", "default" }, // a line without text is skipped
        { "/Strings=whole group", "whole group" }, // a record is no text
        { "no key at all", "" }, // no "=": empty default, and no entry with the empty name
    };
    for (const Case& c : cases)
        EXPECT_STREQ(Localize(c.text), c.expected) << c.text;
}

TEST_F(LocalizeTest, AKeyWithoutSlashNamesTheEntryWithTheEmptyName)
{
    Load("Plain=top level\n/Strings/OK=Okay\n");
    EXPECT_STREQ(Localize("anything=default"), "top level");
    EXPECT_STREQ(Localize("/Strings/OK=OK"), "Okay");
}

TEST_F(LocalizeTest, TheThirtyThirdCallReusesTheFirstSlot)
{
    fApp.LoadStrings();
    const char* first = Localize("/k=aaaa");
    const char* second = Localize("/k=bbbb");
    for (int i = 0; i < 30; ++i)
        Localize("/k=bbbb");
    EXPECT_STREQ(first, "aaaa"); // 32 calls: still intact
    const char* thirtyThird = Localize("/k=cccc");
    EXPECT_EQ(thirtyThird, first);
    EXPECT_STREQ(first, "cccc");
    EXPECT_STREQ(second, "bbbb");
}

TEST_F(LocalizeTest, ALongLineDoesNotStopLoading)
{
    const std::string longText(6000, 'w');
    Load(
        "/Strings/Before=one\r\n/Strings/Long=" + longText + "\r\n/Strings/After=two\r\n/Strings/Last=three");
    EXPECT_STREQ(Localize("/Strings/Before=x"), "one");
    EXPECT_EQ(std::string(Localize("/Strings/Long=x")), longText);
    EXPECT_STREQ(Localize("/Strings/After=x"), "two");
    // The last line needs no line end either.
    EXPECT_STREQ(Localize("/Strings/Last=x"), "three");
}

TEST_F(LocalizeTest, ALaterLineReplacesAnEarlierOne)
{
    Load("/Strings/OK=first\n/Strings/OK=second\n");
    EXPECT_STREQ(Localize("/Strings/OK=OK"), "second");
}

// Code that outlives the application (toolkit shutdown, a later application in the same
// process) must find no application rather than a destroyed one.
TEST(LocalizeAfterTheApplication, TheDefaultsStandOnceItIsDestroyed)
{
    auto first = std::make_unique<QV_App>();
    auto second = std::make_unique<QV_App>();
    first.reset();
    EXPECT_EQ(gApp, second.get()); // only its own pointer is cleared
    second.reset();
    EXPECT_EQ(gApp, nullptr);
    EXPECT_STREQ(Localize("/Strings/OK=OK"), "OK");
}
