// The mixdown the movie export and preview use: a file of its own for every call.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "../core/scratch_folder.h"
#include "audiolayer.h"
#include "vorn_app.h"
#include "vorndoc.h"
#include "xvfb_session.h"

namespace {

TEST(MixAudioToTempFile, EachCallHasItsOwnFile)
{
    VornDoc silent;
    EXPECT_EQ(MixAudioToTempFile(&silent, 1, 24), "");

    if (!HasProgram("ffmpeg"))
        GTEST_SKIP() << "ffmpeg is not installed (tools/install-deps.sh test brings it)";
    ScratchFolder folder;
    const std::string beep = folder.File("beep.wav");
    ASSERT_EQ(RunProgram({ "ffmpeg", "-v", "quiet", "-f", "lavfi", "-i", "sine=frequency=440:duration=1", "-ac",
                             "2", beep },
                  "", nullptr, 60000),
        0);
    VornDoc doc;
    auto* layer = new AudioLayer;
    ASSERT_EQ(layer->SetAudioFile(beep.c_str()), 0);
    doc.AddLayer(layer);
    const QV_String first = MixAudioToTempFile(&doc, 1, 24);
    const QV_String second = MixAudioToTempFile(&doc, 1, 12);
    ASSERT_FALSE(first.IsEmpty());
    ASSERT_FALSE(second.IsEmpty());
    EXPECT_NE(first, second);
    // The first caller's file is still its own.
    EXPECT_GT(std::filesystem::file_size(first.CString()), std::filesystem::file_size(second.CString()));
    std::filesystem::remove(first.CString());
    std::filesystem::remove(second.CString());
}

} // namespace
