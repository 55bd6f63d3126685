#include "render_fixture.h"

#include <limits>

using ImageTest = RenderTest;

TEST_F(ImageTest, FormatAllocatesFourBytePixelsAndErases)
{
    ImageBuffer image = emptyimg();
    EXPECT_EQ(image.pixels, nullptr);
    EXPECT_EQ(image.bytes_per_pixel, 0);

    HeadlessWindow win = {640, 480, {}, 0};
    FormatImage(&image, &win);
    EXPECT_EQ(image.width, 640);
    EXPECT_EQ(image.height, 480);
    EXPECT_EQ(image.bytes_per_pixel, 4);
    EXPECT_EQ(image.pixels_capacity, 1228800u);
    for (size_t i = 0; i < image.pixels_capacity; i++)
        ASSERT_EQ(image.pixels[i], 0);
    for (size_t i = 0; i < 640u * 480u; i++)
        ASSERT_EQ(image.depth[i], std::numeric_limits<float>::infinity());
    std::free(image.pixels);
    std::free(image.depth);
}

TEST_F(ImageTest, ArraysGrowOnlyBeyondTheLargestSizeSoFar)
{
    ImageBuffer image = emptyimg();
    HeadlessWindow win = {100, 80, {}, 0};
    FormatImage(&image, &win);
    uint8_t* const pixels = image.pixels;
    float* const depth = image.depth;

    win.width = 50;  // shrink
    FormatImage(&image, &win);
    EXPECT_EQ(image.width, 50);
    EXPECT_EQ(image.pixels, pixels);
    win.width = 80, win.height = 100;  // another shape, same number of pixels
    FormatImage(&image, &win);
    EXPECT_EQ(image.pixels, pixels);
    EXPECT_EQ(image.depth, depth);
    EXPECT_EQ(image.pixels_capacity, 100u * 80u * 4u);

    win.width = 101;  // beyond every earlier size
    FormatImage(&image, &win);
    EXPECT_EQ(image.pixels_capacity, 101u * 100u * 4u);
    EXPECT_EQ(image.depth_capacity, 101u * 100u);
    std::free(image.pixels);
    std::free(image.depth);
}

TEST_F(ImageTest, EmptyDrawingAreaIsSafeForEveryOperation)
{
    for (HeadlessWindow* win : {static_cast<HeadlessWindow*>(nullptr), &window}) {
        window.width = 0, window.height = 0;
        ImageBuffer image = emptyimg();
        ClearImage(&image);  // before anything exists
        FormatImage(&image, win);
        EXPECT_EQ(image.width, 0);
        EXPECT_EQ(image.height, 0);
        ClearImage(&image);
        ShowImage(image, win);
        std::free(image.pixels);
        std::free(image.depth);
    }
    window.width = -5, window.height = 7;  // a collapsed area never goes negative
    image(-5, 7);
    EXPECT_EQ(ActualImage.width, 0);

    PrepareScene();
    EXPECT_FALSE(ActualViewOk);
    const Pattern red = solid(255, 0, 0);
    Sphere(newv(0, 0, 0), 100, red);  // must write nothing
}

TEST_F(ImageTest, ClearErasesWhatWasDrawn)
{
    image(8, 6);
    identityview(false);
    Dot(3, 2, 3, 2, 5, packcolor(1, 2, 3), newv(0, 0, -1), 0);
    ASSERT_TRUE(drawn(3, 2));
    ClearImage(&ActualImage);
    EXPECT_TRUE(cleared());
}

TEST_F(ImageTest, ShowCentresThePictureAndCutsWhatDoesNotFit)
{
    image(4, 2);
    identityview(false);
    Dot(0, 0, 0, 0, 1, packcolor(10, 20, 30), newv(0, 0, -1), 0);
    Dot(3, 1, 3, 1, 1, packcolor(40, 50, 60), newv(0, 0, -1), 0);
    Dot(2, 0, 2, 0, 1, packcolor(70, 80, 90), newv(0, 0, -1), 0);

    HeadlessWindow big = {7, 5, {}, 0};  // offsets (7 - 4) / 2 = 1 and (5 - 2) / 2 = 1
    ShowImage(ActualImage, &big);
    EXPECT_EQ(big.shows, 1);
    ASSERT_EQ(big.screen.size(), 7u * 5u * 4u);
    const uint8_t* first = &big.screen[4 * (1 * 7 + 1)];
    EXPECT_EQ(first[0], 30);  // blue, green, red
    EXPECT_EQ(first[1], 20);
    EXPECT_EQ(first[2], 10);
    EXPECT_EQ(big.screen[4 * (2 * 7 + 4) + 2], 40);

    HeadlessWindow small = {2, 1, {}, 0};  // offsets -1 and 0 (rounded towards zero)
    ShowImage(ActualImage, &small);
    ASSERT_EQ(small.screen.size(), 2u * 1u * 4u);
    EXPECT_EQ(small.screen[2], 0);   // picture column 1: empty
    EXPECT_EQ(small.screen[6], 70);  // picture column 2
}
