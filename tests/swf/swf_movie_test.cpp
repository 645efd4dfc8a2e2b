#include "swf.h"
#include "swf_check.h"
#include "swf_test_files.h"

#include <fstream>
#include <vector>

namespace {

SWFShape Triangle()
{
    SWFShape shape = newSWFShape();
    SWFFill fill = SWFShape_addSolidFill(shape, 200, 10, 20, 255);
    SWFShape_setRightFill(shape, fill);
    destroySWFFill(fill);
    SWFShape_movePenTo(shape, 0, 0);
    SWFShape_drawLineTo(shape, 10, 0);
    SWFShape_drawLineTo(shape, 0, 10);
    SWFShape_drawLineTo(shape, 0, 0);
    SWFShape_end(shape);
    return shape;
}

SwfReadPlace PlaceOf(const SwfReadTag* tag)
{
    SwfReadPlace place;
    EXPECT_TRUE(DecodeSwfPlace(*tag, place));
    return place;
}

// Each frame's placements, moves and removals as "place 1;move 2;remove 3;".
std::vector<std::string> DisplayListTexts(const SwfReadMovie& read)
{
    std::vector<std::string> texts;
    for (const auto& frame : SwfFrames(read.fTags)) {
        std::string text;
        for (const SwfReadTag* tag : frame) {
            if (tag->fCode == 26) {
                const SwfReadPlace p = PlaceOf(tag);
                text += (p.fMove ? "move " : "place ") + std::to_string(p.fDepth) + ";";
            } else if (tag->fCode == 28) {
                text += "remove " + std::to_string(tag->fBody[0] | tag->fBody[1] << 8) + ";";
            }
        }
        texts.push_back(text);
    }
    return texts;
}

// Saves the movie at that compression level and destroys it, then reads the file back through
// the judge.
void SaveAndJudge(SWFMovie movie, int level, SwfReadMovie& read)
{
    const std::string path = SwfTestPath(".swf");
    const int written = SWFMovie_save(movie, path.c_str(), level);
    destroySWFMovie(movie);
    ASSERT_GT(written, 0);
    ReadJudgedSwf(path, read);
}

TEST(SwfMovie, HeaderBackgroundAndPaddedFramesOfACompressedVersion8File)
{
    SWFMovie movie = newSWFMovie();
    SWFMovie_setDimension(movie, 320.5f, 240);
    SWFMovie_setRate(movie, 12.5f);
    SWFMovie_setBackground(movie, 1, 2, 3);
    SWFMovie_setNumberOfFrames(movie, 5);
    SWFShape shape = Triangle();
    SWFMovie_add(movie, shape);
    SWFMovie_nextFrame(movie);
    SWFMovie_nextFrame(movie);
    SwfReadMovie read;
    SaveAndJudge(movie, 9, read);
    destroySWFShape(shape);
    EXPECT_TRUE(read.fCompressed);
    EXPECT_EQ(read.fVersion, 8);
    EXPECT_EQ(read.fSize.fXMax, 6410);
    EXPECT_EQ(read.fSize.fYMax, 4800);
    EXPECT_EQ(read.fRate, 12 * 256 + 128);
    EXPECT_EQ(read.fFrames, 5);  // two shown, three empty ones pad
    EXPECT_EQ(SwfFrames(read.fTags).size(), 5u);
    ASSERT_EQ(SwfTagsOf(read.fTags, 9).size(), 1u);
    EXPECT_EQ(SwfTagsOf(read.fTags, 9)[0]->fBody, (std::vector<uint8_t> { 1, 2, 3 }));
}

TEST(SwfMovie, ItemsTakeTheDepthAboveAllInUseAndLeaveWhenRemoved)
{
    SWFMovie movie = newSWFMovie();
    SWFShape shape = Triangle();
    SWFDisplayItem a = SWFMovie_add(movie, shape);
    SWFDisplayItem b = SWFMovie_add(movie, shape);
    SWFMovie_nextFrame(movie);
    SWFMovie_remove(movie, a);
    SWFDisplayItem c = SWFMovie_add(movie, shape);  // above b, not in a's place
    SWFDisplayItem gone = SWFMovie_add(movie, shape);
    SWFMovie_remove(movie, gone);  // never shown: no tags at all
    SWFDisplayItem_moveTo(b, 5, 6);  // a change in a later frame moves the item
    SWFMovie_nextFrame(movie);
    SWFMovie_remove(movie, b);
    SWFMovie_remove(movie, c);
    SWFMovie_remove(movie, c);  // a second removal is harmless
    SWFMovie_nextFrame(movie);
    SwfReadMovie read;
    SaveAndJudge(movie, 6, read);
    destroySWFShape(shape);
    const auto frames = SwfFrames(read.fTags);
    ASSERT_EQ(frames.size(), 3u);
    // The one definition comes before the first placement.
    ASSERT_EQ(SwfTagsOf(read.fTags, 32).size(), 1u);
    EXPECT_EQ(DisplayListTexts(read), (std::vector<std::string> { "place 1;place 2;", "remove 1;move 2;place 3;", "remove 2;remove 3;" }));
}

TEST(SwfMovie, AFullFrameThinnedOutOfOrderKeepsItsDepthsAndPlacementOrder)
{
    SWFMovie movie = newSWFMovie();
    SWFShape shape = Triangle();
    std::vector<SWFDisplayItem> items;
    for (int i = 0; i < 100; ++i)
        items.push_back(SWFMovie_add(movie, shape));
    SWFMovie_nextFrame(movie);
    // Enough removals, from the top and from between, to make the timeline tidy its items.
    // Removals are written as they happen, moves and placements when the frame ends.
    std::string removed;
    std::string shown;
    for (int depth : { 100, 98 }) {
        SWFMovie_remove(movie, items[depth - 1]);
        removed += "remove " + std::to_string(depth) + ";";
    }
    for (int depth = 80; depth >= 1; --depth) {
        if (depth % 10 == 0)
            continue;
        SWFMovie_remove(movie, items[depth - 1]);
        removed += "remove " + std::to_string(depth) + ";";
    }
    SWFMovie_remove(movie, items[99]);  // already gone
    for (int depth : { 10, 20, 30, 40, 50, 60, 70, 80, 81, 99 }) {
        SWFDisplayItem_moveTo(items[depth - 1], 1, 1);
        shown += "move " + std::to_string(depth) + ";";
    }
    for (int depth = 82; depth <= 97; ++depth) {
        SWFMovie_remove(movie, items[depth - 1]);
        removed += "remove " + std::to_string(depth) + ";";
    }
    SWFMovie_add(movie, shape);  // above 99, the deepest left
    shown += "place 100;";
    SWFMovie_nextFrame(movie);
    SwfReadMovie read;
    SaveAndJudge(movie, 6, read);
    destroySWFShape(shape);
    const std::vector<std::string> texts = DisplayListTexts(read);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[1], removed + shown);
}

TEST(SwfMovie, DisplayItemPlacementIsScaleThenRotationThenPositionWithAColourMultiplier)
{
    SWFMovie movie = newSWFMovie();
    SWFShape shape = Triangle();
    SWFDisplayItem item = SWFMovie_add(movie, shape);
    SWFDisplayItem_rotateTo(item, 90);
    SWFDisplayItem_scaleTo(item, -2, 0.5f);
    SWFDisplayItem_moveTo(item, 10, -20);
    SWFDisplayItem_setColorMult(item, 1, 1, 1, 0.5f);
    SWFDisplayItem plain = SWFMovie_add(movie, shape);
    SwfReadMovie read;
    SaveAndJudge(movie, 9, read);
    destroySWFShape(shape);
    const auto places = SwfTagsOf(read.fTags, 26);
    ASSERT_EQ(places.size(), 2u);
    const SwfReadPlace p = PlaceOf(places[0]);
    // (1, 0) scales to (-2, 0) and turns counter-clockwise on screen (y down) to (0, 2).
    EXPECT_NEAR(p.fMatrix.A(), 0, 1e-4);
    EXPECT_NEAR(p.fMatrix.B(), 2, 1e-4);
    // (0, 1) scales to (0, 0.5) and turns to (0.5, 0).
    EXPECT_NEAR(p.fMatrix.C(), 0.5, 1e-4);
    EXPECT_NEAR(p.fMatrix.D(), 0, 1e-4);
    EXPECT_EQ(p.fMatrix.fTx, 200);
    EXPECT_EQ(p.fMatrix.fTy, -400);
    ASSERT_TRUE(p.fColor.fPresent);
    EXPECT_EQ(p.fColor.fA, 128);
    EXPECT_EQ(p.fColor.fR, 256);
    EXPECT_FALSE(PlaceOf(places[1]).fColor.fPresent);
    (void)plain;
}

TEST(SwfMovie, ClipIsDefinedOnceWithItsLabelledFramesAndPlacedByIdEveryFrame)
{
    SWFMovie movie = newSWFMovie();
    SWFMovieClip clip = newSWFMovieClip();
    SWFMovieClip_setNumberOfFrames(clip, 3);
    SWFShape shape = Triangle();
    SWFDisplayItem inner = SWFMovieClip_add(clip, shape);
    SWFDisplayItem_moveTo(inner, 1, 2);
    SWFMovieClip_labelFrame(clip, "Layer 1");
    SWFMovieClip_nextFrame(clip);
    EXPECT_EQ(SWFMovieClip_add(clip, clip), nullptr);
    for (int frame = 0; frame < 4; ++frame) {
        SWFDisplayItem item = SWFMovie_add(movie, clip);
        SWFDisplayItem_moveTo(item, frame, 0);
        SWFMovie_nextFrame(movie);
        SWFMovie_remove(movie, item);
    }
    destroySWFMovieClip(clip);  // the movie keeps it
    destroySWFShape(shape);
    SwfReadMovie read;
    SaveAndJudge(movie, 9, read);
    const auto sprites = SwfTagsOf(read.fTags, 39);
    ASSERT_EQ(sprites.size(), 1u);
    const SwfReadTag& sprite = *sprites[0];
    EXPECT_EQ(sprite.fSpriteFrames, 3);  // one frame and two of padding
    ASSERT_EQ(SwfTagsOf(sprite.fTags, 43).size(), 1u);
    EXPECT_EQ(SwfLabel(*SwfTagsOf(sprite.fTags, 43)[0]), "Layer 1");
    const auto innerPlaces = SwfTagsOf(sprite.fTags, 26);
    ASSERT_EQ(innerPlaces.size(), 1u);
    EXPECT_EQ(PlaceOf(innerPlaces[0]).fMatrix.fTx, 20);
    EXPECT_EQ(SwfTagsOf(read.fTags, 32).size(), 1u);  // the shape inside, defined at the top level

    const auto frames = SwfFrames(read.fTags);
    ASSERT_EQ(frames.size(), 4u);
    for (size_t f = 0; f < frames.size(); ++f) {
        int placed = 0;
        for (const SwfReadTag* tag : frames[f]) {
            if (tag->fCode != 26)
                continue;
            const SwfReadPlace p = PlaceOf(tag);
            EXPECT_EQ(p.fCharacterId, sprite.fSpriteId);
            EXPECT_EQ(p.fMatrix.fTx, static_cast<int>(f) * 20);
            ++placed;
        }
        EXPECT_EQ(placed, 1);
    }
}

TEST(SwfMovie, SixteenBitDepthsAndIdsRunningOutFailTheSaveAndLeaveTheTargetAlone)
{
    const std::string path = SwfTestPath(".swf");
    {
        std::ofstream old(path);
        old << "before";
    }
    SWFShape shape = Triangle();
    SWFMovie deep = newSWFMovie();
    for (int i = 0; i < 65536; ++i)
        SWFMovie_add(deep, shape);
    // Known before any save is tried.
    EXPECT_NE(std::string(SWFMovie_error(deep)).find("65,535 depths"), std::string::npos);
    testing::internal::CaptureStderr();
    EXPECT_EQ(SWFMovie_save(deep, path.c_str(), 1), -1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("65,535 depths"), std::string::npos);
    destroySWFMovie(deep);

    // 300 clips of 220 shapes each want more ids than there are.
    SWFMovie wide = newSWFMovie();
    for (int c = 0; c < 300; ++c) {
        SWFMovieClip clip = newSWFMovieClip();
        for (int s = 0; s < 220; ++s) {
            SWFShape own = Triangle();
            SWFMovieClip_add(clip, own);
            destroySWFShape(own);
        }
        SWFMovie_add(wide, clip);
        destroySWFMovieClip(clip);
    }
    testing::internal::CaptureStderr();
    EXPECT_EQ(SWFMovie_save(wide, path.c_str(), 1), -1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("65,535 characters"), std::string::npos);
    // The failed save says why afterwards.
    EXPECT_NE(std::string(SWFMovie_error(wide)).find("65,535 characters"), std::string::npos);
    destroySWFMovie(wide);
    destroySWFShape(shape);

    std::ifstream kept(path);
    std::string text;
    kept >> text;
    EXPECT_EQ(text, "before");
}

TEST(SwfMovie, ShapesShownFrameAfterFrameTellWhenTheIdsHaveRunOut)
{
    SWFMovie movie = newSWFMovie();
    EXPECT_STREQ(SWFMovie_error(movie), "");
    // Each frame its own 2048 shapes, taken away after it; shapes never shown need no id.
    SWFShape unshown = Triangle();
    SWFMovie_remove(movie, SWFMovie_add(movie, unshown));
    destroySWFShape(unshown);
    for (int frame = 0; frame < 32; ++frame) {
        EXPECT_STREQ(SWFMovie_error(movie), "") << frame;
        std::vector<SWFDisplayItem> items;
        for (int i = 0; i < 2048; ++i) {
            SWFShape shape = Triangle();
            items.push_back(SWFMovie_add(movie, shape));
            destroySWFShape(shape);
        }
        SWFMovie_nextFrame(movie);
        for (SWFDisplayItem item : items)
            SWFMovie_remove(movie, item);
    }
    // 32 x 2048 = 65,536 shapes.
    EXPECT_NE(std::string(SWFMovie_error(movie)).find("65,535 characters"), std::string::npos);
    EXPECT_STREQ(SWFMovie_error(nullptr), "");
    destroySWFMovie(movie);
}

TEST(SwfMovie, ASaveThatCannotWriteAnswersMinusOneAndLeavesNoFile)
{
    SWFMovie movie = newSWFMovie();
    const std::string path = SwfTestPath("") + "/missing/folder/out.swf";
    testing::internal::CaptureStderr();
    EXPECT_EQ(SWFMovie_save(movie, path.c_str(), 9), -1);
    EXPECT_EQ(SWFMovie_save(movie, "", 9), -1);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot write"), std::string::npos);
    EXPECT_FALSE(SwfFileExists(path));
    destroySWFMovie(movie);
}

TEST(SwfMovie, EveryCallTakesNullAndDoesNothing)
{
    SWFMovie_setDimension(nullptr, 1, 1);
    SWFMovie_setRate(nullptr, 1);
    SWFMovie_setNumberOfFrames(nullptr, 1);
    SWFMovie_setBackground(nullptr, 1, 1, 1);
    EXPECT_EQ(SWFMovie_add(nullptr, static_cast<SWFShape>(nullptr)), nullptr);
    SWFMovie_remove(nullptr, nullptr);
    SWFMovie_nextFrame(nullptr);
    SWFMovie_setSoundStream(nullptr, nullptr);
    EXPECT_EQ(SWFMovie_save(nullptr, "x.swf", 9), -1);
    SWFShape_movePenTo(nullptr, 0, 0);
    SWFShape_drawLineTo(nullptr, 0, 0);
    SWFShape_drawCurveTo(nullptr, 0, 0, 0, 0);
    SWFShape_setLine(nullptr, 1, 0, 0, 0, 0);
    SWFShape_setRightFill(nullptr, nullptr);
    EXPECT_EQ(SWFShape_addSolidFill(nullptr, 0, 0, 0, 0), nullptr);
    EXPECT_EQ(SWFShape_addGradientFill(nullptr, nullptr, 0x10), nullptr);
    EXPECT_EQ(SWFShape_addBitmapFill(nullptr, nullptr, 0x41), nullptr);
    SWFShape_end(nullptr);
    SWFGradient_addEntry(nullptr, 0, 0, 0, 0, 0);
    SWFFill_moveTo(nullptr, 0, 0);
    SWFFill_move(nullptr, 0, 0);
    SWFFill_scaleXY(nullptr, 1, 1);
    SWFFill_rotate(nullptr, 1);
    EXPECT_EQ(SWFMovieClip_add(nullptr, static_cast<SWFShape>(nullptr)), nullptr);
    SWFMovieClip_nextFrame(nullptr);
    SWFMovieClip_labelFrame(nullptr, "x");
    SWFMovieClip_setNumberOfFrames(nullptr, 1);
    SWFDisplayItem_moveTo(nullptr, 0, 0);
    SWFDisplayItem_scaleTo(nullptr, 1, 1);
    SWFDisplayItem_rotateTo(nullptr, 1);
    SWFDisplayItem_setColorMult(nullptr, 1, 1, 1, 1);
    EXPECT_EQ(newSWFJpegBitmap_fromPath(nullptr), nullptr);
    EXPECT_EQ(newSWFDBLBitmapData_fromPngFile(nullptr), nullptr);
    EXPECT_EQ(newSWFSoundStreamFromPath(nullptr), nullptr);
    destroySWFMovie(nullptr);
    destroySWFMovieClip(nullptr);
    destroySWFShape(nullptr);
    destroySWFFill(nullptr);
    destroySWFGradient(nullptr);
    destroySWFBitmap(nullptr);
    destroySWFSoundStream(nullptr);

    SWFMovie movie = newSWFMovie();
    EXPECT_EQ(SWFMovie_add(movie, static_cast<SWFMovieClip>(nullptr)), nullptr);
    SWFShape shape = newSWFShape();
    SWFShape_addGradientFill(shape, nullptr, 0x10);
    EXPECT_EQ(SWFShape_addBitmapFill(shape, nullptr, 0x41), nullptr);
    destroySWFShape(shape);
    destroySWFMovie(movie);
}

TEST(SwfMovie, HandlesDieInAnyOrder)
{
    // The movie first: the shapes, fills and clip stay the caller's until destroyed.
    for (int order = 0; order < 2; ++order) {
        SWFMovie movie = newSWFMovie();
        SWFMovieClip clip = newSWFMovieClip();
        SWFShape shape = newSWFShape();
        SWFGradient gradient = newSWFGradient();
        SWFGradient_addEntry(gradient, 0, 1, 2, 3, 4);
        SWFFill fill = SWFShape_addGradientFill(shape, gradient, 0x10);
        destroySWFGradient(gradient);  // the fill holds it
        SWFShape_setRightFill(shape, fill);
        SWFMovieClip_add(clip, shape);
        SWFMovieClip_nextFrame(clip);
        SWFMovie_add(movie, clip);
        if (order == 0) {
            destroySWFMovie(movie);
            SWFFill_rotate(fill, 10);
            destroySWFFill(fill);
            destroySWFShape(shape);
            destroySWFMovieClip(clip);
        } else {
            destroySWFShape(shape);
            destroySWFMovieClip(clip);
            destroySWFFill(fill);
            const std::string path = SwfTestPath(".swf");
            EXPECT_GT(SWFMovie_save(movie, path.c_str(), 9), 0);
            destroySWFMovie(movie);
        }
    }
}

}  // namespace
