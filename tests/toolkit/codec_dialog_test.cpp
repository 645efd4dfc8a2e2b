// The codec dialog's widgets against the records they load from and store into, driven by its
// keys without the nested loop. A refusal's alert is modal and is seen under Xvfb instead.
#include <gtest/gtest.h>

#include "codec_dialog.h"
#include "media_presence.h"
#include "qv_check_box.h"
#include "qv_dynamic_text.h"
#include "qv_keys.h"
#include "qv_menu.h"
#include "qv_message.h"
#include "qv_movie_writer.h"
#include "qv_popup_menu.h"
#include "qv_slider.h"
#include "qv_text_control.h"
#include "widget_test_support.h"

namespace {

class CodecDialogTest : public WidgetTest {
protected:
    void SetUp() override
    {
        WidgetTest::SetUp();
        gAviOptions = AviCompression();
        gAviOptionsValid = false;
        delete gQtSettings;
        gQtSettings = nullptr;
        gMediaSettings = &fSettings;
    }
    void TearDown() override
    {
        delete gQtSettings;
        gQtSettings = nullptr;
        gMediaSettings = nullptr;
        gAviOptionsValid = false;
        WidgetTest::TearDown();
    }
    // The dialog in its modal window, loaded, as DoModal shows it (without running the loop).
    CodecDialog* Open(int32_t kind, int32_t width = 64, int32_t height = 48)
    {
        auto* dialog = new CodecDialog(kind, nullptr, width, height);
        dialog->Layout();
        fDialogWindow = new QV_DialogWnd(dialog, "Compression", nullptr, 64, 64, 463, 363);
        fWindow = fDialogWindow;
        dialog->ExchangeData(false);
        return dialog;
    }
    // Chooses the codec of that label as a click on its menu item would.
    static void ChooseCodec(CodecDialog* dialog, const char* label)
    {
        QV_Menu* menu = dialog->fCodecMenu->Menu();
        for (int32_t i = 0; i < menu->CountItems(); ++i) {
            if (menu->fLabels[i] == label) {
                QV_Message message(menu->fMessages[i]);
                dialog->fCodecMenu->HandleMessage(&message);
                return;
            }
        }
        ADD_FAILURE() << "no codec " << label;
    }
    static void Tick(QV_CheckBox* box, CodecDialog* dialog, int32_t message)
    {
        box->SetValue(!box->Value());
        QV_Message toggled(message);
        dialog->HandleMessage(&toggled);
    }

    QV_Message fSettings;
    QV_DialogWnd* fDialogWindow = nullptr;
};

} // namespace

TEST_F(CodecDialogTest, AviWidgetsLoadTheRecordAndOkStoresThem)
{
    gAviOptions.fEncoder = "mjpeg";
    gAviOptions.fQuality = 6000;
    gAviOptions.fKeyFrameEvery = 12;
    gAviOptions.fDataRate = 50 * 1024;
    gAviOptionsValid = true;
    CodecDialog* dialog = Open(kMovieKindAvi);
    EXPECT_EQ(dialog->fCodecMenu->Menu()->FirstCheckedLabel(), "Motion JPEG");
    EXPECT_EQ(dialog->fQuality->fValue, 60);
    EXPECT_EQ(dialog->fQualityText->fText, "60");
    EXPECT_TRUE(dialog->fKeyFrames->Value());
    EXPECT_STREQ(dialog->fKeyFrameField->Value(), "12");
    EXPECT_TRUE(dialog->fDataRate->Value());
    EXPECT_STREQ(dialog->fDataRateField->Value(), "50");
    EXPECT_EQ(dialog->fAlpha, nullptr);

    ChooseCodec(dialog, "PNG");
    dialog->fQuality->fValue = 90;
    Tick(dialog->fKeyFrames, dialog, CodecDialog::kKeyFramesToggled);
    EXPECT_FALSE(dialog->fKeyFrameField->IsEnabled());
    dialog->fDataRateField->SetValue("200");
    // Nothing is stored before OK.
    EXPECT_EQ(gAviOptions.fEncoder, "mjpeg");
    fDialogWindow->KeyDown(KEY_RETURN, 0);
    EXPECT_EQ(fDialogWindow->fModalResult, MSG_OK);
    EXPECT_TRUE(gAviOptionsValid);
    EXPECT_EQ(gAviOptions.fEncoder, "png");
    EXPECT_EQ(gAviOptions.fQuality, 9000);
    EXPECT_EQ(gAviOptions.fKeyFrameEvery, 0);
    EXPECT_EQ(gAviOptions.fDataRate, 200 * 1024);
}

// Nothing chosen yet: uncompressed, where quality, key frames and data rate mean nothing.
TEST_F(CodecDialogTest, UncompressedGreysTheCompressionSettings)
{
    CodecDialog* dialog = Open(kMovieKindAvi);
    EXPECT_EQ(dialog->fCodecMenu->Menu()->FirstCheckedLabel(), "Uncompressed");
    EXPECT_EQ(dialog->fQuality->fValue, CodecDialog::kDefaultAviQuality);
    EXPECT_FALSE(dialog->fKeyFrames->Value());
    for (QV_View* view : { (QV_View*)dialog->fQuality, (QV_View*)dialog->fKeyFrames, (QV_View*)dialog->fDataRate,
             (QV_View*)dialog->fKeyFrameField })
        EXPECT_FALSE(view->IsEnabled());
    ChooseCodec(dialog, "MPEG-4 Part 2");
    EXPECT_TRUE(dialog->fQuality->IsEnabled());
    EXPECT_TRUE(dialog->fKeyFrames->IsEnabled());
    EXPECT_FALSE(dialog->fKeyFrameField->IsEnabled());
    Tick(dialog->fKeyFrames, dialog, CodecDialog::kKeyFramesToggled);
    EXPECT_TRUE(dialog->fKeyFrameField->IsEnabled());
    const CodecChoice choice = dialog->ChoiceFromWidgets();
    EXPECT_EQ(choice.fAvi.fEncoder, "mpeg4");
    EXPECT_EQ(choice.fAvi.fKeyFrameEvery, 24);
    EXPECT_EQ(choice.fAvi.fQuality, CodecDialog::kDefaultAviQuality * 100);
}

// A field out of range is put right and beeped at, and nothing is stored; Cancel changes nothing.
TEST_F(CodecDialogTest, BadFieldsStayAndCancelStoresNothing)
{
    CodecDialog* dialog = Open(kMovieKindAvi);
    ChooseCodec(dialog, "Motion JPEG");
    Tick(dialog->fKeyFrames, dialog, CodecDialog::kKeyFramesToggled);
    Tick(dialog->fDataRate, dialog, CodecDialog::kDataRateToggled);
    dialog->fKeyFrameField->SetValue("0");
    dialog->fDataRateField->SetValue("9999999");
    fDialogWindow->KeyDown(KEY_RETURN, 0);
    EXPECT_FALSE(fDialogWindow->fModalDone);
    EXPECT_EQ(gBeeps, 1);
    EXPECT_STREQ(dialog->fKeyFrameField->Value(), "1");
    EXPECT_STREQ(dialog->fDataRateField->Value(), "999999");
    EXPECT_FALSE(gAviOptionsValid);
    fDialogWindow->KeyDown(KEY_ESCAPE, 0);
    EXPECT_EQ(fDialogWindow->fModalResult, MSG_CANCEL);
    EXPECT_FALSE(gAviOptionsValid);
    EXPECT_EQ(gAviOptions.fEncoder, "");
}

TEST_F(CodecDialogTest, MovWidgetsMapOntoTheSettingsKeys)
{
    fSettings.AddInt("qtCodec", int32_t(FourCharCode("png ")));
    fSettings.AddInt("qtDepth", 32);
    CodecDialog* dialog = Open(kMovieKindQuickTime);
    EXPECT_EQ(dialog->fCodecMenu->Menu()->FirstCheckedLabel(), "PNG");
    EXPECT_EQ(dialog->fQuality->fValue, 2);
    EXPECT_EQ(dialog->fQualityText->fText, "Normal");
    EXPECT_TRUE(dialog->fAlpha->Value());
    EXPECT_EQ(dialog->fKeyFrames, nullptr);

    ChooseCodec(dialog, "Run-length");
    dialog->fQuality->fValue = 5;
    QV_Message moved(CodecDialog::kQualityChanged);
    dialog->HandleMessage(&moved);
    EXPECT_EQ(dialog->fQualityText->fText, "Lossless");
    dialog->fAlpha->SetValue(false);
    fDialogWindow->KeyDown(KEY_RETURN, 0);
    EXPECT_EQ(fDialogWindow->fModalResult, MSG_OK);
    ASSERT_NE(gQtSettings, nullptr);
    EXPECT_EQ(gQtSettings->fCodec, FourCharCode("rle "));
    EXPECT_EQ(gQtSettings->fDepth, 24);
    EXPECT_EQ(gQtSettings->fSpatialQuality, 1024);
    int32_t value = 0;
    EXPECT_TRUE(fSettings.FindInt("qtCodec", value));
    EXPECT_EQ(uint32_t(value), FourCharCode("rle "));
    EXPECT_TRUE(fSettings.FindInt("qtDepth", value));
    EXPECT_EQ(value, 24);
    EXPECT_TRUE(fSettings.FindInt("qtQuality", value));
    EXPECT_EQ(value, 5);
}

// A codec chosen elsewhere that the list lacks stays chosen through an OK that did not touch it;
// an odd depth stays unless the alpha box is ticked.
TEST_F(CodecDialogTest, UnlistedChoicesSurviveAnUntouchedOk)
{
    gAviOptions.fEncoder = "ffv1";
    gAviOptionsValid = true;
    CodecDialog* dialog = Open(kMovieKindAvi);
    EXPECT_EQ(dialog->fCodecMenu->Menu()->FirstChecked(), -1);
    EXPECT_EQ(dialog->ChoiceFromWidgets().fAvi.fEncoder, "ffv1");
    PlatWindowDestroy(fWindow->fHwnd);
    PumpPending();

    fSettings.AddInt("qtDepth", 16);
    dialog = Open(kMovieKindQuickTime);
    EXPECT_FALSE(dialog->fAlpha->Value());
    EXPECT_EQ(dialog->ChoiceFromWidgets().fQt.fDepth, 16);
    dialog->fAlpha->SetValue(true);
    EXPECT_EQ(dialog->ChoiceFromWidgets().fQt.fDepth, 32);
}
