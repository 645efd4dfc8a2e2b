// The codec dialog as a person meets it: a movie writer opened without skipping the dialog (the
// widget demo's codec mode) under a private X server, the codec chosen with the pointer, a
// refused choice answered by an alert, and the movie written afterwards judged by ffprobe.
#include "demo_session.h"

namespace {

class CodecDialogDemoTest : public DemoSession {
protected:
    void Start(const std::string& kind, const std::string& movie, int width, int height)
    {
        if (!HasProgram("ffprobe"))
            GTEST_SKIP() << "ffprobe is not installed (tools/install-deps.sh test brings it)";
        StartDemo({ "codec", kind, movie, std::to_string(width), std::to_string(height) }, "ready");
        if (HasFatalFailure() || IsSkipped())
            return;
        ASSERT_TRUE(WaitFor("dialog shown")) << Output();
        ReadBoxes();
    }
    // Opens the codec list and clicks the item.
    void ChooseCodec(const std::string& label)
    {
        const int opened = Count("open Codec");
        ClickBox("codec");
        ASSERT_TRUE(WaitFor("open Codec", opened + 1)) << Output();
        int x = 0;
        int y = 0;
        ASSERT_TRUE(PlaceOf("item Codec:" + label, x, y)) << Output();
        ClickAt(x, y);
        ASSERT_TRUE(WaitFor("closed Codec", opened + 1)) << Output();
    }
    // ffprobe's value of one entry of the video stream, or "".
    std::string Probe(const std::string& movie, const std::string& entry)
    {
        const std::string out = fRoot.File("probe.txt");
        const int status = RunProgram({ "ffprobe", "-v", "error", "-select_streams", "v:0", "-count_frames",
                                          "-show_entries", "stream=" + entry, "-of", "default=nw=1:nk=1", movie },
            out, nullptr);
        std::string value = GetFile("probe.txt");
        while (!value.empty() && (value.back() == '\n' || value.back() == '\r'))
            value.pop_back();
        return status == 0 ? value : std::string();
    }
};

} // namespace

// MPEG-4 cannot describe a picture 8192 pixels wide: the alert says so and the dialog stays; Motion
// JPEG then writes the movie.
TEST_F(CodecDialogDemoTest, ARefusedCodecKeepsTheDialogAndTheNextOneWritesTheMovie)
{
    const std::string movie = fRoot.File("wide.avi");
    Start("avi", movie, 8192, 16);
    EXPECT_EQ(ScreenSettlesTo("codec_dialog_avi", 0), 0);
    ChooseCodec("MPEG-4 Part 2");
    ClickBox("ok");
    ASSERT_TRUE(WaitForWindow("^Celvane Pomra$")) << Output();
    Keys("Return");
    usleep(300000);
    EXPECT_EQ(Count("dialog ok"), 0) << Output();
    EXPECT_EQ(Count("opened"), 0) << Output();

    ChooseCodec("Motion JPEG");
    ClickBox("ok");
    ASSERT_TRUE(WaitFor("closed 1", 1, 30000)) << Output();
    EXPECT_EQ(Count("dialog ok"), 1);
    EXPECT_EQ(Count("opened 0"), 1);
    EXPECT_EQ(Probe(movie, "codec_name"), "mjpeg");
    EXPECT_EQ(Probe(movie, "width"), "8192");
    EXPECT_EQ(Probe(movie, "nb_read_frames"), "3");
}

TEST_F(CodecDialogDemoTest, MovWithAlphaKeptIsPngWithAlpha)
{
    const std::string movie = fRoot.File("alpha.mov");
    Start("mov", movie, 64, 48);
    ChooseCodec("PNG");
    ClickBox("alpha");
    EXPECT_EQ(ScreenSettlesTo("codec_dialog_mov", 0), 0);
    ClickBox("ok");
    ASSERT_TRUE(WaitFor("closed 1")) << Output();
    EXPECT_EQ(Probe(movie, "codec_name"), "png");
    EXPECT_EQ(Probe(movie, "pix_fmt"), "rgba");
    EXPECT_EQ(Probe(movie, "nb_read_frames"), "3");
}

// Cancelling the dialog fails the open: no movie.
TEST_F(CodecDialogDemoTest, CancelFailsTheOpen)
{
    const std::string movie = fRoot.File("none.avi");
    Start("avi", movie, 64, 48);
    ClickBox("cancel");
    ASSERT_TRUE(WaitFor("opened -1")) << Output();
    EXPECT_EQ(Count("dialog cancel"), 1);
    EXPECT_EQ(access(movie.c_str(), F_OK), -1);
}
