#include "widgets/plot/plot_export.h"

#include "tests/support/file_size_limit.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmar;

namespace {

// White with a red square at the upper left and a blue bar along the bottom: known colours at
// known places, and enough detail that a JPEG of it is not trivially small.
QImage testPicture()
{
    QImage image(120, 80, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.fillRect(QRect(0, 0, 20, 20), QColor(255, 0, 0));
    p.fillRect(QRect(0, 70, 120, 10), QColor(0, 0, 255));
    p.setPen(Qt::black);
    for (int x = 25; x < 120; x += 6)
        p.drawLine(x, 25, x + 10, 65);
    return image;
}

QByteArray contents(const QString& name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct RasterCase {
    PictureFormat format;
    const char* name;
    bool lossless;
};
const RasterCase rasterCases[] = {
    {PictureFormat::Bmp, "picture.bmp", true},
    {PictureFormat::Jpeg, "picture.jpg", false},
    {PictureFormat::Png, "picture.png", true},
};

TEST(RasterPicture, EachFormatIsSavedAndReadsBack)
{
    QTemporaryDir dir;
    const QImage picture = testPicture();
    for (const RasterCase& c : rasterCases) {
        SCOPED_TRACE(c.name);
        const QString name = dir.filePath(QString::fromLatin1(c.name));
        ASSERT_EQ(saveRasterPicture(picture, c.format, name), QString());
        QImageReader reader(name);
        const QImage back = reader.read();
        ASSERT_FALSE(back.isNull()) << reader.errorString().toStdString();
        EXPECT_EQ(back.size(), picture.size());
        if (c.lossless) {
            EXPECT_FALSE(back.hasAlphaChannel());
            EXPECT_EQ(back.pixel(5, 5), qRgb(255, 0, 0));
            EXPECT_EQ(back.pixel(60, 75), qRgb(0, 0, 255));
            EXPECT_EQ(back.pixel(60, 5), qRgb(255, 255, 255));
            EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), picture);
        } else {
            // Quality 100: flat areas come back nearly exact.
            EXPECT_GE(qGray(back.pixel(60, 5)), 250);
            EXPECT_GE(qRed(back.pixel(5, 5)), 245);
            EXPECT_LE(qGreen(back.pixel(5, 5)), 10);
        }
        // The bytes a caller gets in memory are the file's.
        const QByteArray bytes = c.format == PictureFormat::Bmp    ? bmpBytes(picture)
                                 : c.format == PictureFormat::Jpeg ? jpegBytes(picture)
                                                                   : pngBytes(picture);
        EXPECT_EQ(bytes, contents(name));
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 3);  // nothing left beside them
}

// A save that fails (the disk full part way, a folder that is not there) shows a reason and
// leaves whatever file was there as it was, with nothing left beside it.
TEST(RasterPicture, AFailedSaveLeavesTheExistingFileUntouched)
{
    // Noise, so that every format needs well over the 1000 bytes the disk has room for.
    QImage picture(400, 300, QImage::Format_RGB32);
    quint32 seed = 1;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, (seed = seed * 1664525u + 1013904223u) >> 8);
    for (const RasterCase& c : rasterCases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString name = dir.filePath(QString::fromLatin1(c.name));
        {
            QFile old(name);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write("the picture saved last week");
        }
        {
            const test::FileSizeLimit full(1000);
            EXPECT_NE(saveRasterPicture(picture, c.format, name), QString());
        }
        EXPECT_EQ(contents(name), "the picture saved last week");
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QString::fromLatin1(c.name)});

        const QString missing = dir.filePath(QStringLiteral("not there/") + QString::fromLatin1(c.name));
        EXPECT_NE(saveRasterPicture(picture, c.format, missing), QString());
        EXPECT_FALSE(QFile::exists(missing));
    }
}

TEST(RasterPicture, NothingToWriteIsRefused)
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("picture.png"));
    EXPECT_EQ(saveRasterPicture(QImage(), PictureFormat::Png, name), QStringLiteral("the picture could not be made"));
    EXPECT_FALSE(QFile::exists(name));
    EXPECT_FALSE(isRasterPicture(PictureFormat::Svg));
    EXPECT_TRUE(pngBytes(QImage()).isEmpty());
}

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
