// The splash and About box timing and credits scrolling, and the welcome screen's regions.
#include <gtest/gtest.h>

#include <string>

#include "about_wnd.h"
#include "welcome_wnd.h"

TEST(SplashAndAbout, SplashClosesAtTheFirstTickPastItsSecondsAndAboutNever)
{
    AboutLayer splash(3);
    splash.fStartTick = 5000;
    EXPECT_FALSE(splash.Tick(5000 + 2960));
    EXPECT_FALSE(splash.Tick(5000 + 3000));
    EXPECT_TRUE(splash.Tick(5000 + 3001));
    EXPECT_TRUE(splash.Tick(5000 + 3040));

    AboutLayer about(0);
    about.fStartTick = 0;
    EXPECT_FALSE(about.Tick(3001));
    EXPECT_FALSE(about.Tick(1000000));
}

TEST(SplashAndAbout, CreditsScrollAPixelATickAndStartAgainFromBelow)
{
    AboutLayer about(0);
    EXPECT_EQ(about.fCredits.fCount, CountCreditLines());
    EXPECT_STREQ(CreditLine(1), "The Celvane developers");
    int32_t wrapped = -1;
    for (int32_t tick = 1; tick < 100000 && wrapped < 0; tick++) {
        const int32_t before = about.fScroll;
        about.Tick(0);
        if (about.fScroll == 0)
            wrapped = before;
        else
            ASSERT_EQ(about.fScroll, before + 1);
    }
    // Without its image the box counts -1 high: the list has left once every line has passed.
    ASSERT_GT(wrapped, 0);
    EXPECT_EQ((wrapped + 1) % CountCreditLines(), 0);
}

TEST(WelcomeScreen, RegionsAreInclusive)
{
    struct Case {
        int32_t x, y;
        WelcomeAction action;
    } cases[] = {
        { 46, 121, WelcomeAction::OpenGuide },
        { 364, 172, WelcomeAction::OpenGuide },
        { 45, 121, WelcomeAction::Close },
        { 46, 120, WelcomeAction::Close },
        { 260, 460, WelcomeAction::SwitchOff },
        { 46, 422, WelcomeAction::SwitchOff },
        { 261, 460, WelcomeAction::Close },
        { 100, 360, WelcomeAction::Close }, // the content store is not offered
    };
    for (const Case& c : cases)
        EXPECT_EQ(WelcomeActionAt(c.x, c.y), c.action) << c.x << ", " << c.y;
    EXPECT_NE(std::string(QuickStartGuidePath().CString()).find("QuickStart.html"), std::string::npos);
}
