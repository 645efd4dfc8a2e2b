// The editor canvas hands the shape effects scratch buffers larger than the layer image; the work
// pixels stand for the target pixels at the same places, so the effect must come out the same as
// with a buffer of the target's own size.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "../core/scratch_folder.h"
#include "image_file.h"
#include "image_format_registry.h"
#include "ss_gradient2.h"
#include "ss_shaded.h"
#include "ss_texture.h"
#include "ss_texture2.h"
#include "style_test_support.h"
#include "xgraphics.h"

namespace {

const rgb_color kGrey { 100, 100, 100, 255 };

class LargerWorkBuffer : public ::testing::Test {
protected:
    void SetUp() override { ImageFormatRegistry::Init(); }
    void TearDown() override { ImageFormatRegistry::Free(); }

    std::string StripesPng()
    {
        TestRaster image(4, 4, rgb_color { 200, 30, 30, 255 });
        image.FillRect(2, 0, 3, 3, rgb_color { 30, 30, 200, 255 });
        const std::string path = folder.File("stripes.png");
        EXPECT_EQ(SaveImageFile(image.image, path.c_str(), PngWriterIndex), 0);
        return path;
    }

    // A 100 x 100 layer image in centred units holding a grey square over pixels 25 to 74, the
    // style applied with a work buffer of the given size filled with stray pixels.
    TestRaster Render(M_ShapeStyle& style, int32_t workWidth, int32_t workHeight, int32_t finalRender)
    {
        TestRaster target(100, 100);
        target.FillRect(25, 25, 74, 74, kGrey);
        TestRaster work(workWidth, workHeight, rgb_color { 7, 70, 170, 77 });
        XGraphics graphics;
        graphics.SetRaster(target.Buffer());
        graphics.fViewMode = QV_Graphics::kViewCentered;
        graphics.BeginDraw();
        QV_BBox bounds;
        bounds.min = QV_Vector3 { -0.5f, -0.5f, 0 };
        bounds.max = QV_Vector3 { 0.5f, 0.5f, 0 };
        const QV_Rect rect { 25, 25, 74, 74 };
        QV_PixelBuffer image;
        target.image.GetSubPixelBuffer(rect, image);
        StubDocument doc(100);
        StubLayer layer;
        style.ApplyInLayer(&graphics, &image, rect, bounds, work.Buffer(), &doc, &layer, 1.0f, nullptr, finalRender);
        return target;
    }

    ScratchFolder folder;
};

TEST_F(LargerWorkBuffer, TheFourWorkBufferEffectsDrawAsWithAnExactBuffer)
{
    const std::string stripes = StripesPng();
    struct Case {
        const char* name;
        std::function<std::unique_ptr<M_ShapeStyle>()> make;
    };
    const Case cases[] = {
        { "shaded", [] { return std::make_unique<SS_Shaded>(0.0f, 0.05f, 0.0f, rgb_color { 0, 0, 0, 255 }); } },
        { "gradient", [] { return std::make_unique<SS_Gradient2>(); } },
        { "texture",
            [&] {
                auto style = std::make_unique<SS_Texture>();
                style->fSource.fPath = stripes.c_str();
                return style;
            } },
        { "placed texture",
            [&] {
                auto style = std::make_unique<SS_Texture2>();
                style->fSource.fPath = stripes.c_str();
                return style;
            } },
    };
    TestRaster plain(100, 100);
    plain.FillRect(25, 25, 74, 74, kGrey);
    for (const Case& c : cases) {
        for (int32_t finalRender : { 1, 0 }) {
            SCOPED_TRACE(std::string(c.name) + (finalRender ? " final" : " editor"));
            auto exactStyle = c.make();
            const TestRaster exact = Render(*exactStyle, 100, 100, finalRender);
            ASSERT_FALSE(exact.SameAs(plain)) << "the effect draws nothing even with an exact buffer";
            for (auto [w, h] : { std::pair { 164, 164 }, std::pair { 300, 100 }, std::pair { 100, 101 } }) {
                auto style = c.make();
                EXPECT_TRUE(Render(*style, w, h, finalRender).SameAs(exact)) << w << " x " << h;
            }
        }
    }
}

TEST_F(LargerWorkBuffer, AWorkBufferWithoutTheShapesRectangleChangesNothing)
{
    TestRaster plain(100, 100);
    plain.FillRect(25, 25, 74, 74, kGrey);
    SS_Shaded shaded(0.0f, 0.05f, 0.0f, rgb_color { 0, 0, 0, 255 });
    SS_Gradient2 gradient;
    SS_Texture2 placed;
    placed.fSource.fPath = StripesPng().c_str();
    SS_Texture texture;
    texture.fSource.fPath = placed.fSource.fPath;
    for (M_ShapeStyle* style : std::initializer_list<M_ShapeStyle*> { &shaded, &gradient, &texture, &placed })
        EXPECT_TRUE(Render(*style, 60, 60, 1).SameAs(plain));
}

} // namespace
