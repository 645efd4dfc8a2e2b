// The content library's listing and navigation: which files show as what, thumbnails beside
// documents, zoom steps, the breadcrumb and the commands a double click sends.
#include <gtest/gtest.h>

#include <filesystem>

#include "../core/scratch_folder.h"
#include "library_model.h"

namespace {

std::vector<std::string> Names(const std::vector<LibraryEntry>& items)
{
    std::vector<std::string> names;
    for (const LibraryEntry& item : items)
        names.push_back(item.name);
    return names;
}

} // namespace

TEST(LibraryModel, ListingKindsThumbnailsAndHiddenFolders)
{
    ScratchFolder folder;
    folder.Put("Walk.celv", "x");
    folder.Put("Walk.png", "x");
    folder.Put("Tree.png", "x");
    folder.Put("song.WAV", "x");
    folder.Put("clip.mov", "x");
    folder.Put("notes.txt", "x");
    folder.Put("Plain", "x"); // no extension: a folder
    std::filesystem::create_directories(folder.File("textures"));
    std::filesystem::create_directories(folder.File("apples"));
    const std::vector<LibraryEntry> items = ScanLibraryFolder(folder.Path());
    EXPECT_EQ(Names(items), (std::vector<std::string> { "apples", "clip.mov", "Plain", "song.WAV", "Tree.png", "Walk.celv" }));
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(items[0].kind, LibraryKind::Folder);
    EXPECT_EQ(items[1].kind, LibraryKind::Video);
    EXPECT_EQ(items[2].kind, LibraryKind::Folder);
    EXPECT_EQ(items[3].kind, LibraryKind::Audio);
    EXPECT_EQ(items[4].kind, LibraryKind::Image);
    EXPECT_EQ(items[5].kind, LibraryKind::Document);
    EXPECT_EQ(LibraryThumbnailPath(items[5]), folder.File("Walk.png"));
    EXPECT_EQ(LibraryThumbnailPath(items[4]), "");
    EXPECT_EQ(LibraryThumbnailPath(items[1]), "");
    EXPECT_TRUE(ScanLibraryFolder(folder.File("missing")).empty());
}

TEST(LibraryModel, ZoomSteps)
{
    const int32_t table[][3] = { { 32, 32, 48 }, { 48, 32, 64 }, { 64, 48, 96 }, { 96, 64, 128 }, { 128, 96, 128 },
        { 50, 64, 64 } };
    for (const auto& row : table) {
        EXPECT_EQ(LibraryZoomStep(row[0], false), row[1]) << row[0];
        EXPECT_EQ(LibraryZoomStep(row[0], true), row[2]) << row[0];
    }
}

TEST(LibraryModel, FoldersStayInsideTheRoot)
{
    const std::string root = "/opt/celvane/Library";
    EXPECT_TRUE(LibraryFolderInside(root, root));
    EXPECT_TRUE(LibraryFolderInside(root + "/A/B", root));
    EXPECT_TRUE(LibraryFolderInside(root + "/", root));
    EXPECT_FALSE(LibraryFolderInside("/opt/celvane/Library2", root));
    EXPECT_FALSE(LibraryFolderInside(root + "/../secret", root));
    EXPECT_FALSE(LibraryFolderInside(root + "/A/..", root));
    EXPECT_FALSE(LibraryFolderInside("/home/user", root));

    EXPECT_EQ(LibraryBreadcrumb(root + "/A/B", root), (std::vector<std::string> { "Library", "A", "B" }));
    EXPECT_EQ(LibraryBreadcrumb(root, root), (std::vector<std::string> { "Library" }));
    // The breadcrumb "Library" from Library/A/B is two levels up.
    EXPECT_EQ(LibraryFolderUp(root + "/A/B", root, 2), root);
    EXPECT_EQ(LibraryFolderUp(root + "/A/B", root, 1), root + "/A");
    EXPECT_EQ(LibraryFolderUp(root, root, 3), root);
    EXPECT_EQ(LibraryFolderUp("/elsewhere", root, 1), root);
}

TEST(LibraryModel, DoubleClickCommands)
{
    EXPECT_EQ(LibraryCommandFor(LibraryKind::Document, false), 3111);
    EXPECT_EQ(LibraryCommandFor(LibraryKind::Document, true), 3121);
    EXPECT_EQ(LibraryCommandFor(LibraryKind::Video, false), 3111);
    EXPECT_EQ(LibraryCommandFor(LibraryKind::Video, true), 3123);
    EXPECT_EQ(LibraryCommandFor(LibraryKind::Audio, true), 3127);
    EXPECT_EQ(LibraryCommandFor(LibraryKind::Image, false), 3122);
    EXPECT_EQ(LibraryCommandFor(LibraryKind::Folder, true), 0);
}
