#include "tests/support/chart_rig.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/recording_platform.h"
#include "widgets/plot/plot_export.h"
#include "widgets/plot/plot_toolbar.h"
#include "widgets/plot/tiplot.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QtEndian>
#include <QMimeData>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmar;

namespace {

struct Export : ::testing::Test {
    test::RecordingPlatform platform;
    QTemporaryDir dir;
    TiPlot plot;
    void SetUp() override
    {
        test::twoChannelChart(plot);
        plot.resize(657, 393);
        for (int i = 0; i < 100; ++i) {
            plot.ChannelAt(0)->AddPoint(i * 0.5, 50 + i % 17);
            plot.ChannelAt(1)->AddPoint(i * 0.5, i * 3);
        }
    }
    QByteArray read(const QString& name)
    {
        QFile file(dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

TEST_F(Export, EachFormatWritesAFileAnotherDecoderReads)
{
    struct Case {
        const char* name;
        const char* readerFormat;  // nullptr: not decodable here, check the header only
        QByteArray magic;
    };
    const Case cases[] = {
        {"chart.bmp", "bmp", "BM"},
        {"chart.jpg", "jpeg", QByteArray("\xFF\xD8\xFF", 3)},
        {"chart.png", "png", QByteArray("\x89PNG\r\n\x1A\n", 8)},
        {"CHART.PNG", "png", QByteArray("\x89PNG\r\n\x1A\n", 8)},  // the ending's case does not matter
        {"chart.svg", nullptr, "<?xml"},
        {"chart.emf", nullptr, QByteArray("\x01\x00\x00\x00", 4)},
        {"chart.pdf", nullptr, "%PDF-"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform.onSave = [&](const QString&, QString*) { return dir.filePath(QString::fromLatin1(c.name)); };
        ASSERT_TRUE(plot.SaveImage());
        const QByteArray bytes = read(QString::fromLatin1(c.name));
        ASSERT_TRUE(bytes.startsWith(c.magic));
        if (c.readerFormat) {
            QImageReader reader(dir.filePath(QString::fromLatin1(c.name)), c.readerFormat);
            const QImage image = reader.read();
            EXPECT_EQ(image.size(), QSize(657, 393)) << reader.errorString().toStdString();
        } else if (c.magic == "<?xml") {
            EXPECT_TRUE(bytes.contains("viewBox=\"0 0 657 393\""));
            EXPECT_TRUE(bytes.contains("<title>Strip Chart</title>"));
            EXPECT_TRUE(bytes.contains(">Second line<"));  // labels as text, not pixels
        } else if (c.magic == "%PDF-") {
            EXPECT_TRUE(bytes.trimmed().endsWith("%%EOF"));
            EXPECT_TRUE(bytes.contains("/MediaBox [0 0 493"));  // 657 x 393 pixels at 96 per inch, in points
        } else {
            // An enhanced metafile: header record, " EMF" signature, size in the header, the
            // drawing as records (the axis title among its texts).
            EXPECT_EQ(bytes.mid(40, 4), QByteArray(" EMF"));
            const quint32 total = qFromLittleEndian<quint32>(bytes.constData() + 48);
            EXPECT_EQ(total, quint32(bytes.size()));
            EXPECT_GT(bytes.size(), 5000);
            EXPECT_TRUE(bytes.contains("Cycle") || bytes.contains(QByteArray("C\0y\0c\0l\0e\0", 10)));
        }
    }
    EXPECT_TRUE(platform.dialogs.isEmpty());
}

// The dialog offers the four filters the chart always had, first and in their order, then
// SVG and PDF; it starts in the Pictures folder and afterwards where the last picture went.
TEST_F(Export, TheSaveDialogStartsInPicturesThenWhereTheLastPictureWent)
{
    const QString filters = "Bitmap (*.bmp);;Enhanced Metafile (*.emf);;JPEG File (*.jpg);;PNG (*.png);;"
                            "SVG (*.svg);;PDF (*.pdf)";
    platform.picturesFolder = dir.filePath("Pictures");
    ASSERT_TRUE(QDir(dir.path()).mkpath("Pictures") && QDir(dir.path()).mkpath("elsewhere"));

    platform.onSave = [&](const QString&, QString*) { return QString(); };  // cancelled
    EXPECT_FALSE(plot.SaveImage());
    platform.onSave = [&](const QString&, QString*) { return dir.filePath("elsewhere/a.png"); };
    EXPECT_TRUE(plot.SaveImage());
    // A save that fails does not move the starting point.
    platform.onSave = [&](const QString&, QString*) { return QStringLiteral("/nonexistent/b.png"); };
    EXPECT_FALSE(plot.SaveImage());
    EXPECT_FALSE(plot.SaveImage());

    const QString firstFilter = " | Bitmap (*.bmp)";
    EXPECT_EQ(platform.saveDialogs,
              QStringList({" | " + dir.filePath("Pictures/Untitled") + " | " + filters + firstFilter,
                           " | " + dir.filePath("Pictures/Untitled") + " | " + filters + firstFilter,
                           " | " + dir.filePath("elsewhere/Untitled") + " | " + filters + firstFilter,
                           " | " + dir.filePath("elsewhere/Untitled") + " | " + filters + firstFilter}));
}

TEST_F(Export, ANameWithoutAnEndingGetsTheSelectedFiltersEnding)
{
    struct Case {
        const char* typed;
        const char* filter;
        const char* written;
    } cases[] = {
        {"run", "PNG (*.png)", "run.png"},
        {"run.", "SVG (*.svg)", "run.svg"},
        {"v2.0/run", "PDF (*.pdf)", "v2.0/run.pdf"},   // a dot in the folder is no ending
        {"mine.jpg", "PNG (*.png)", "mine.jpg"},       // a typed ending wins
        {"Untitled", "Bitmap (*.bmp)", "Untitled.bmp"},
    };
    ASSERT_TRUE(QDir(dir.path()).mkpath("v2.0"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        platform.onSave = [&](const QString&, QString* filter) {
            *filter = QString::fromLatin1(c.filter);
            return dir.filePath(QString::fromLatin1(c.typed));
        };
        EXPECT_TRUE(plot.SaveImage());
        EXPECT_TRUE(QFile::exists(dir.filePath(QString::fromLatin1(c.written))));
    }
    EXPECT_TRUE(platform.dialogs.isEmpty());
}

TEST_F(Export, JpegIsWrittenAtFullQuality)
{
    // Quality 100 keeps the picture's flat white nearly exact.
    const QImage picture = plot.renderImage();
    const QImage back = QImage::fromData(jpegBytes(picture), "JPEG");
    ASSERT_EQ(back.size(), picture.size());
    EXPECT_GE(qGray(back.pixel(2, 2)), 250);
}

TEST_F(Export, FailuresAreShownNotSwallowed)
{
    platform.onSave = [](const QString&, QString*) { return QStringLiteral("/nonexistent/dir/chart.png"); };
    EXPECT_FALSE(plot.SaveImage());
    ASSERT_EQ(platform.dialogs.size(), 1);
    EXPECT_TRUE(platform.dialogs[0].startsWith("Error: Cannot write the file \"/nonexistent/dir/chart.png\""));

    for (const char* name : {"/nonexistent/x.bmp", "/nonexistent/x.jpg", "/nonexistent/x.emf", "/nonexistent/x.pdf"})
        EXPECT_FALSE(plot.SaveImageToFile(QString::fromLatin1(name)));
    EXPECT_EQ(platform.dialogs.size(), 5);

    EXPECT_FALSE(plot.SaveImageToFile(dir.filePath("chart.gif")));
    EXPECT_EQ(platform.dialogs.size(), 6);
    EXPECT_FALSE(QFile::exists(dir.filePath("chart.gif")));
}

// A picture that does not fit on the disk leaves the file it was to replace as it was.
TEST_F(Export, AFailedSaveLeavesTheOldFileWhole)
{
    const QString name = dir.filePath("chart.png");
    {
        QFile old(name);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("the picture saved last week");
    }
    {
        const test::FileSizeLimit full(1000);
        EXPECT_FALSE(plot.SaveImageToFile(name));
    }
    EXPECT_EQ(read("chart.png"), "the picture saved last week");
    ASSERT_EQ(platform.dialogs.size(), 1);
    EXPECT_TRUE(platform.dialogs[0].startsWith("Error: Cannot write the file"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"chart.png"});  // no leftovers
}

TEST_F(Export, PicturesLeaveOutTheToolbarAndTheClipboardGetsVectorsToo)
{
    plot.show();
    const QImage onScreen = plot.grab().toImage();
    const QImage picture = plot.renderImage();
    const QRect bar = plot.objectRect(plot.ToolBarAt(0));
    ASSERT_TRUE(bar.isValid());
    // The picture is laid out without the toolbar row: the title takes the top.
    EXPECT_NE(onScreen, picture);
    QImage withBar(picture.size(), QImage::Format_RGB32);
    {
        QPainter p(&withBar);
        plot.renderTo(p, picture.size(), true);
    }
    EXPECT_NE(withBar, picture);
    EXPECT_TRUE(plot.toolBarWidget()->isVisible());

    plot.CopyToClipBoard();
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_TRUE(mime->hasImage());
    EXPECT_TRUE(mime->data("image/svg+xml").contains("<svg"));
    EXPECT_TRUE(mime->data("image/svg+xml").contains("Strip Chart"));
    EXPECT_TRUE(plot.toolBarWidget()->isVisible());
}

TEST_F(Export, PrintsToAPdfPrinter)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("chart.pdf"));
    plot.printTo(printer);
    EXPECT_TRUE(read("chart.pdf").startsWith("%PDF"));
    EXPECT_EQ(printer.docName(), "Untitled");
}

}  // namespace
