#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

#include "codec_choice.h"
#include "media_presence.h"
#include "movie_test_support.h"
#include "qv_message.h"
#include "qv_movie_writer.h"

namespace {

// A fresh process: nothing chosen, no settings record.
class CodecChoiceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        gAviOptions = AviCompression();
        gAviOptionsValid = false;
        delete gQtSettings;
        gQtSettings = nullptr;
        gMediaSettings = nullptr;
    }
    void TearDown() override
    {
        delete gQtSettings;
        gQtSettings = nullptr;
        gMediaSettings = nullptr;
        gAviOptions = AviCompression();
        gAviOptionsValid = false;
    }
};

} // namespace

TEST_F(CodecChoiceTest, StartingValuesComeFromTheRecordsAndTheSettingsKeys)
{
    CodecChoice avi = CurrentCodecChoice(kMovieKindAvi);
    EXPECT_EQ(avi.fKind, kMovieKindAvi);
    EXPECT_EQ(avi.fAvi.fEncoder, "");
    EXPECT_EQ(OfferOfChoice(avi), 0);
    CodecChoice mov = CurrentCodecChoice(kMovieKindQuickTime);
    EXPECT_EQ(mov.fQt.fCodec, FourCharCode("mp4v"));
    EXPECT_EQ(mov.fQt.fDepth, 24);
    EXPECT_EQ(mov.fQt.fSpatialQuality, 512);

    gAviOptions.fEncoder = "mjpeg";
    gAviOptions.fQuality = 6000;
    gAviOptions.fKeyFrameEvery = 12;
    gAviOptions.fDataRate = 50000;
    gAviOptionsValid = true;
    avi = CurrentCodecChoice(kMovieKindAvi);
    EXPECT_EQ(avi.fAvi.fEncoder, "mjpeg");
    EXPECT_EQ(avi.fAvi.fQuality, 6000);
    EXPECT_EQ(avi.fAvi.fKeyFrameEvery, 12);
    EXPECT_EQ(avi.fAvi.fDataRate, 50000);

    // A missing "qtQuality" is the dialog's index 2, not the writer's 3.
    QV_Message settings;
    settings.AddInt("qtCodec", int32_t(FourCharCode("png ")));
    settings.AddInt("qtDepth", 32);
    gMediaSettings = &settings;
    mov = CurrentCodecChoice(kMovieKindQuickTime);
    EXPECT_EQ(mov.fQt.fCodec, FourCharCode("png "));
    EXPECT_EQ(mov.fQt.fDepth, 32);
    EXPECT_EQ(mov.fQt.fSpatialQuality, 512);
    // Once a compression was used it stands in for the keys.
    gQtSettings = new QtCompression { FourCharCode("rle "), 32, 1023 };
    mov = CurrentCodecChoice(kMovieKindQuickTime);
    EXPECT_EQ(mov.fQt.fCodec, FourCharCode("rle "));
    EXPECT_EQ(mov.fQt.fSpatialQuality, 1023);
}

TEST_F(CodecChoiceTest, OffersMapToEncodersAndBack)
{
    for (int32_t kind : { kMovieKindAvi, kMovieKindQuickTime }) {
        const CodecOffer* offers = nullptr;
        const int32_t count = CodecOffers(kind, offers);
        ASSERT_GE(count, 4);
        CodecChoice choice = CurrentCodecChoice(kind);
        for (int32_t i = 0; i < count; ++i) {
            SetOfferOfChoice(choice, i);
            EXPECT_EQ(OfferOfChoice(choice), i) << offers[i].fLabel;
            if (kind == kMovieKindQuickTime) {
                EXPECT_STREQ(EncoderOfCodec(choice.fQt.fCodec), offers[i].fEncoder);
            }
        }
        SetOfferOfChoice(choice, count);
        SetOfferOfChoice(choice, -1);
        EXPECT_EQ(OfferOfChoice(choice), count - 1);
    }
    const CodecOffer* offers = nullptr;
    EXPECT_EQ(CodecOffers(2, offers), 0);

    // An encoder chosen elsewhere is not in the list; an unknown code is written, and shown, as
    // the fastest encoder.
    CodecChoice avi = CurrentCodecChoice(kMovieKindAvi);
    avi.fAvi.fEncoder = "h261";
    EXPECT_EQ(OfferOfChoice(avi), -1);
    CodecChoice mov = CurrentCodecChoice(kMovieKindQuickTime);
    mov.fQt.fCodec = FourCharCode("xyzw");
    CodecOffers(kMovieKindQuickTime, offers);
    EXPECT_STREQ(offers[OfferOfChoice(mov)].fEncoder, "mjpeg");
}

TEST_F(CodecChoiceTest, StoringFillsTheAviRecordOrTheMovSettings)
{
    CodecChoice avi = CurrentCodecChoice(kMovieKindAvi);
    avi.fAvi.fEncoder = "png";
    avi.fAvi.fQuality = 9000;
    avi.fAvi.fKeyFrameEvery = 5;
    avi.fAvi.fDataRate = 1 << 20;
    StoreCodecChoice(avi);
    EXPECT_TRUE(gAviOptionsValid);
    EXPECT_EQ(gAviOptions.fEncoder, "png");
    EXPECT_EQ(gAviOptions.fQuality, 9000);
    EXPECT_EQ(gAviOptions.fKeyFrameEvery, 5);
    EXPECT_EQ(gAviOptions.fDataRate, 1 << 20);
    EXPECT_EQ(gQtSettings, nullptr);

    QV_Message settings;
    gMediaSettings = &settings;
    CodecChoice mov = CurrentCodecChoice(kMovieKindQuickTime);
    mov.fQt = QtCompression { FourCharCode("jpeg"), 32, 1023 };
    StoreCodecChoice(mov);
    ASSERT_NE(gQtSettings, nullptr);
    EXPECT_EQ(gQtSettings->fCodec, FourCharCode("jpeg"));
    EXPECT_EQ(gQtSettings->fDepth, 32);
    EXPECT_EQ(gQtSettings->fSpatialQuality, 1023);
    int32_t value = 0;
    EXPECT_TRUE(settings.FindInt("qtCodec", value));
    EXPECT_EQ(uint32_t(value), FourCharCode("jpeg"));
    EXPECT_TRUE(settings.FindInt("qtDepth", value));
    EXPECT_EQ(value, 32);
    EXPECT_TRUE(settings.FindInt("qtQuality", value));
    EXPECT_EQ(value, 4);
}

// The trial happens in memory: every listed codec takes an odd-sized frame, MPEG-4 refuses a
// picture wider than it can describe, and no file appears in the working folder or anywhere else
// the trial could have written.
TEST_F(CodecChoiceTest, TheTrialOpenRefusesInMemoryAndWritesNothing)
{
    ScratchFolder folder;
    char* previous = getcwd(nullptr, 0);
    ASSERT_EQ(chdir(folder.Path().c_str()), 0);
    for (int32_t kind : { kMovieKindAvi, kMovieKindQuickTime }) {
        const CodecOffer* offers = nullptr;
        const int32_t count = CodecOffers(kind, offers);
        CodecChoice choice = CurrentCodecChoice(kind);
        for (int32_t i = 0; i < count; ++i) {
            SetOfferOfChoice(choice, i);
            EXPECT_EQ(TryCodecChoice(choice, 65, 49), 0) << kind << " " << offers[i].fLabel;
        }
        SetOfferOfChoice(choice, kind == kMovieKindAvi ? 2 : 0);
        ASSERT_STREQ(offers[kind == kMovieKindAvi ? 2 : 0].fEncoder, "mpeg4");
        EXPECT_EQ(TryCodecChoice(choice, 8192, 16), -2) << kind;
        EXPECT_EQ(TryCodecChoice(choice, 0, 16), -1) << kind;
    }
    CodecChoice unknown = CurrentCodecChoice(kMovieKindAvi);
    unknown.fAvi.fEncoder = "no-such-encoder";
    EXPECT_EQ(TryCodecChoice(unknown, 64, 48), -1);
    unknown.fKind = 7;
    EXPECT_EQ(TryCodecChoice(unknown, 64, 48), -1);
    EXPECT_TRUE(folder.Names().empty());
    EXPECT_FALSE(gAviOptionsValid);
    EXPECT_EQ(gQtSettings, nullptr);
    ASSERT_EQ(chdir(previous), 0);
    free(previous);
}
