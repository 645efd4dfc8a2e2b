#include "qv_baseimage.h"
#include <cstring>
#include <gtest/gtest.h>

TEST(QV_BaseImage, AllocatePadsRowsToFourBytes)
{
    struct Case {
        int32_t width, height, depth;
        int32_t bytesPerPixel, rowBytes;
    } cases[] = {
        { 3, 2, 24, 3, 12 },
        { 5, 1, 8, 1, 8 },
        { 4, 3, 8, 1, 4 },
        { 3, 1, 15, 2, 8 },
        { 2, 2, 16, 2, 4 },
        { 7, 3, 32, 4, 28 },
        { 1, 1, 24, 3, 4 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "x" << c.depth);
        QV_BaseImage image;
        ASSERT_EQ(image.Allocate(c.width, c.height, c.depth), 0);
        QV_PixelBuffer pb;
        ASSERT_EQ(image.GetPixelBuffer(pb), 0);
        EXPECT_NE(pb.pixels, nullptr);
        EXPECT_EQ(pb.width, c.width);
        EXPECT_EQ(pb.height, c.height);
        EXPECT_EQ(pb.depth, c.depth);
        EXPECT_EQ(pb.bytesPerPixel, c.bytesPerPixel);
        EXPECT_EQ(pb.rowBytes, c.rowBytes);
        EXPECT_EQ(image.Width(), c.width);
        EXPECT_EQ(image.Height(), c.height);
        // The whole block is ours to write (the sanitizer checks the bound).
        std::memset(pb.pixels, 0xAB, size_t(pb.rowBytes) * size_t(pb.height));
    }
}

TEST(QV_BaseImage, SameSizeKeepsPixelsOtherwiseReplaced)
{
    QV_BaseImage image;
    ASSERT_EQ(image.Allocate(4, 4, 32), 0);
    uint8_t* first = image.buffer.pixels;
    first[0] = 42;
    ASSERT_EQ(image.Allocate(4, 4, 32), 0);
    EXPECT_EQ(image.buffer.pixels, first);
    EXPECT_EQ(first[0], 42);

    ASSERT_EQ(image.Allocate(4, 4, 8), 0);
    EXPECT_EQ(image.buffer.depth, 8);
    EXPECT_EQ(image.buffer.rowBytes, 4);
    EXPECT_EQ(image.allocation.get(), image.buffer.pixels);
}

TEST(QV_BaseImage, BadSizesAndDepthsAreRefusedWithoutPixels)
{
    struct Case {
        int32_t width, height, depth;
    } cases[] = {
        { 0, 10, 32 },
        { 10, 0, 32 },
        { -1, 10, 32 },
        { 10, -5, 8 },
        { 10, 10, 12 },
        { 10, 10, 0 },
        { 10, 10, -32 },
        // Each of these wraps a 32-bit size computation, the first to 0 bytes.
        { 32768, 32768, 32 },
        { 65536, 65536, 8 },
        { 0x7FFFFFFF, 0x7FFFFFFF, 32 },
        { 0x7FFFFFFF, 1, 32 },
        // Above the pixel cap without wrapping anything.
        { 16385, 16384, 8 },
        { (1 << 28) + 1, 1, 8 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "x" << c.depth);
        QV_BaseImage image;
        ASSERT_EQ(image.Allocate(16, 16, 32), 0);
        EXPECT_EQ(image.Allocate(c.width, c.height, c.depth), -3);
        EXPECT_EQ(image.buffer.pixels, nullptr);
        EXPECT_EQ(image.allocation, nullptr);
        EXPECT_EQ(image.Width(), -1);
        EXPECT_EQ(image.Height(), -1);
        QV_PixelBuffer pb;
        EXPECT_EQ(image.GetPixelBuffer(pb), -4);
        EXPECT_EQ(pb.pixels, nullptr);
    }
}

TEST(QV_BaseImage, TheLargestAllowedImageAllocates)
{
    // 2^28 pixels at one byte: the cap itself is allowed. The block is not
    // touched, so the pages are never made resident.
    QV_BaseImage image;
    ASSERT_EQ(image.Allocate(1 << 14, 1 << 14, 8), 0);
    EXPECT_EQ(image.buffer.rowBytes, 1 << 14);
    image.Free();
}

TEST(QV_BaseImage, FreeKeepsTheLastSize)
{
    QV_BaseImage image;
    QV_PixelBuffer pb;
    EXPECT_EQ(image.GetPixelBuffer(pb), -4);
    EXPECT_EQ(image.Width(), -1);

    ASSERT_EQ(image.Allocate(6, 5, 16), 0);
    image.Free();
    EXPECT_EQ(image.buffer.pixels, nullptr);
    EXPECT_EQ(image.Width(), -1);
    EXPECT_EQ(image.GetPixelBuffer(pb), -4);
    EXPECT_EQ(pb.width, 6); // copied out all the same
    EXPECT_EQ(pb.height, 5);
    EXPECT_EQ(pb.depth, 16);
}

TEST(QV_BaseImage, AllocateReleasesThroughTheOverriddenFree)
{
    struct CountingImage : QV_BaseImage {
        int frees = 0;
        void Free() override
        {
            frees++;
            QV_BaseImage::Free();
        }
    } image;
    ASSERT_EQ(image.Allocate(4, 4, 32), 0);
    int before = image.frees;
    ASSERT_EQ(image.Allocate(4, 4, 32), 0); // kept: nothing released
    EXPECT_EQ(image.frees, before);
    ASSERT_EQ(image.Allocate(8, 4, 32), 0);
    EXPECT_EQ(image.frees, before + 1);
    EXPECT_EQ(image.Allocate(0, 4, 32), -3);
    EXPECT_EQ(image.frees, before + 2);
}

TEST(QV_BaseImage, SubPixelBuffer)
{
    QV_BaseImage image;
    ASSERT_EQ(image.Allocate(10, 10, 32), 0);
    const QV_PixelBuffer& whole = image.buffer;
    ASSERT_EQ(whole.rowBytes, 40);

    struct Case {
        QV_Rect rect;
        int32_t result;
        int32_t x, y, width, height;
    } cases[] = {
        { { 8, 8, 20, 20 }, 0, 8, 8, 2, 2 },
        { { 20, 20, 30, 30 }, -3, 0, 0, 10, 10 },
        { { 5, 5, 2, 2 }, 0, 2, 2, 4, 4 },
        { { -5, -5, 3, 3 }, 0, 0, 0, 4, 4 },
        { { 0, 0, 9, 9 }, 0, 0, 0, 10, 10 },
        { { 9, 0, 9, 9 }, 0, 9, 0, 1, 10 },
        { { -5, -5, -1, -1 }, -3, 0, 0, 10, 10 },
        { { 10, 0, 12, 9 }, -3, 0, 0, 10, 10 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
            << c.rect.left << "," << c.rect.top << "," << c.rect.right << "," << c.rect.bottom);
        QV_PixelBuffer sub;
        EXPECT_EQ(image.GetSubPixelBuffer(c.rect, sub), c.result);
        EXPECT_EQ(sub.pixels, whole.pixels + c.y * whole.rowBytes + c.x * whole.bytesPerPixel);
        EXPECT_EQ(sub.width, c.width);
        EXPECT_EQ(sub.height, c.height);
        EXPECT_EQ(sub.depth, 32);
        EXPECT_EQ(sub.bytesPerPixel, 4);
        EXPECT_EQ(sub.rowBytes, 40); // the view shares the image's rows
    }
}

TEST(QV_BaseImage, SubPixelBufferWithoutPixels)
{
    QV_PixelBuffer sub;
    QV_BaseImage never;
    EXPECT_EQ(never.GetSubPixelBuffer({ 0, 0, 1, 1 }, sub), -3); // no area to intersect

    QV_BaseImage freed;
    ASSERT_EQ(freed.Allocate(10, 10, 8), 0);
    freed.Free();
    EXPECT_EQ(freed.GetSubPixelBuffer({ 2, 2, 3, 3 }, sub), -4);
    EXPECT_EQ(sub.pixels, nullptr);
}
