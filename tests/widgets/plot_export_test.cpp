#include "widgets/plot_export.h"

#include <gtest/gtest.h>

using namespace velmar;

namespace {

TEST(PictureFormat, ByTheLastThreeCharactersIgnoringCase)
{
    EXPECT_EQ(pictureFormatFor("a.bmp"), PictureFormat::Bmp);
    EXPECT_EQ(pictureFormatFor("a.SVG"), PictureFormat::Svg);
    EXPECT_EQ(pictureFormatFor("a.pdf"), PictureFormat::Pdf);
    EXPECT_EQ(pictureFormatFor("CHART.BMP"), PictureFormat::Bmp);
    EXPECT_EQ(pictureFormatFor("x.Emf"), PictureFormat::Emf);
    EXPECT_EQ(pictureFormatFor("x.jpg"), PictureFormat::Jpeg);
    EXPECT_EQ(pictureFormatFor("x.jpeg"), PictureFormat::None);
    EXPECT_EQ(pictureFormatFor("Untitled"), PictureFormat::None);
    EXPECT_EQ(pictureFormatFor("xpng"), PictureFormat::Png);  // the ending alone decides, as before
}

}  // namespace
