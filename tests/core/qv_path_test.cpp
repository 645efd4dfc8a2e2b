#include "qv_path.h"

#include <gtest/gtest.h>

TEST(QV_Path, DefaultAndSlashNormalising)
{
    QV_Path p;
    EXPECT_EQ(p.Capacity(), 32);
    EXPECT_EQ(p, "");

    QV_Path stored("C:\\a\\b/c.png");
    stored.ToSlashes();
    EXPECT_EQ(stored, "C:/a/b/c.png");
}

TEST(QV_Path, PathPieces)
{
    struct Case {
        const char* path;
        const char* folder;
        const char* fileName;
        const char* baseName;
        const char* extension;
    } cases[] = {
        { "/a/b.png", "/a", "b.png", "b", "png" },
        { "/a\\b\\c.png", "", "c.png", "c", "png" },
        { "/x/a\\b\\c.png", "/x", "c.png", "c", "png" },
        { "b.png", "", "", "", "png" },
        { "a\\b.png", "", "", "", "png" },
        { "/b.png", "", "b.png", "b", "png" },
        { "/a/b.tar.gz", "/a", "b.tar.gz", "b.tar", "gz" },
        { "/a/README", "/a", "README", "", "" },
        { "/a.dir/file", "/a.dir", "file", "", "dir/file" },
        { "/a/B.PNG", "/a", "B.PNG", "B", "png" },
        { "/a/dir/", "/a/dir", "", "", "" },
        { "", "", "", "", "" },
    };
    for (const Case& c : cases) {
        QV_Path p(c.path);
        EXPECT_EQ(p.Folder(), c.folder) << "Folder of " << c.path;
        EXPECT_EQ(p.FileName(), c.fileName) << "FileName of " << c.path;
        EXPECT_EQ(p.BaseName(), c.baseName) << "BaseName of " << c.path;
        EXPECT_EQ(p.Extension(), c.extension) << "Extension of " << c.path;
        EXPECT_EQ(p, c.path);
    }
}

TEST(QV_Path, AppendInsertsOneSeparatorOnlyWhenNeeded)
{
    struct Case {
        const char* path;
        const char* part;
        const char* expected;
    } cases[] = {
        { "", "b", "b" },
        { "", "/b", "/b" },
        { "/a/", "b", "/a/b" },
        { "/a", "b", "/a/b" },
        { "/a", "/b", "/a/b" },
        { "/a/", "/b", "/a//b" },
        { "rel", "x/y.png", "rel/x/y.png" },
    };
    for (const Case& c : cases) {
        QV_Path p(c.path);
        p.Append(c.part);
        EXPECT_EQ(p, c.expected) << c.path << " + " << c.part;
        QV_Path q(c.path);
        q.Append(QV_String(c.part));
        EXPECT_EQ(q, c.expected);
    }
    QV_Path p("/a");
    p.Append(static_cast<const char*>(nullptr));
    EXPECT_EQ(p, "/a");
}

TEST(QV_Path, MimeAndMediaTypes)
{
    struct Case {
        const char* path;
        const char* mime;
    } cases[] = {
        { "a.txt", "text/plain" },
        { "doc.celv", "application/x-vnd.qv_vorndoc" },
        { "doc.VORN", "application/x-vnd.qv_vorndoc" },
        { "a.gif", "image/gif" },
        { "a.jpg", "image/jpeg" },
        { "a.JPEG", "image/jpeg" },
        { "a.png", "image/png" },
        { "a.tga", "image/x-targa" },
        { "a.bmp", "image/x-bmp" },
        { "a.mov", "video/quicktime" },
        { "a.qt", "video/quicktime" },
        { "a.mpg", "video/mpeg" },
        { "a.mpeg", "video/mpeg" },
        { "a.mp4", "video/mpeg" },
        { "clip.M4V", "video/mpeg" },
        { "a.avi", "video/x-msvideo" },
        { "a.wav", "audio/x-wav" },
        { "a.au", "audio/basic" },
        { "a.snd", "audio/basic" },
        { "a.aif", "audio/x-aiff" },
        { "a.aiff", "audio/x-aiff" },
        { "a.aifc", "audio/x-aiff" },
        { "a.mp3", "audio/mpeg" },
        { "a.m4a", "audio/mpeg" },
        { "a.m4p", "audio/mpeg" },
        { "a.m4b", "audio/mpeg" },
        { "x.mid", "audio/mid" },
        { "x.midi", "audio/mid" },
        { "x.tiff", "application/octet-stream" },
        { "x.pn", "application/octet-stream" },
        { "x.pngx", "application/octet-stream" },
        { "x", "application/octet-stream" },
        { "x.", "application/octet-stream" },
        { "/dir.png/file", "application/octet-stream" },
    };
    for (const Case& c : cases)
        EXPECT_STREQ(MimeTypeForPath(c.path), c.mime) << c.path;
    EXPECT_STREQ(MimeTypeForPath(nullptr), "application/octet-stream");

    EXPECT_EQ(QV_Path("/m/clip.M4V").MimeType(), "video/mpeg");
    EXPECT_EQ(QV_Path("/m/clip.M4V").MediaType(), "video");
    EXPECT_EQ(QV_Path("/p/a.png").MediaType(), "image");
    EXPECT_EQ(QV_Path("a.wav").MediaType(), "audio");
    EXPECT_EQ(QV_Path("a.txt").MediaType(), "text");
    EXPECT_EQ(QV_Path("a").MediaType(), "application");
}
