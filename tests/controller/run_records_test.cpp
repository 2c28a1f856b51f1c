#include "controller/chart_data_export.h"
#include "controller/records/ini_file.h"
#include "tests/controller/wire_watch.h"
#include "tests/support/image_difference.h"
#include "tests/support/window_fixture.h"
#include "widgets/dials/tiknob.h"
#include "widgets/dials/tiswitchslider.h"
#include "widgets/plot/tiplot.h"

#include <QAction>
#include <QFileInfo>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QUrl>

using namespace velmar;
using test::clickFromEventLoop;
using test::OnCommand;

namespace {

QByteArray contents(const QString& name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The lines of a record's CSV, each split into its fields (the records never quote numbers).
QList<QStringList> csvLines(const QString& name)
{
    QList<QStringList> lines;
    for (const QString& line : QString::fromUtf8(contents(name)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        lines << line.split(u',');
    return lines;
}

class Records : public test::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        startUpAt12VoltsDc();  // default positions 156, 312, 2343; the poll cycle runs from here on
        form->iSwitchSlider1->setPosition(2);  // Normal
        platform.dialogs.clear();
    }
    // The folder of the only record so far.
    QString onlyRecord() const
    {
        const QStringList folders = recordFolders();
        return folders.size() == 1 ? recordsFolder() + "/" + folders[0] : QString();
    }
    QString ini(const QString& folder, const char* section, const char* key) const
    {
        return IniFile(contents(folder + "/record.ini")).value(section, key).value_or("<missing>");
    }
    TiPlotChannel& channel(int i) const { return *form->iPlot1->ChannelAt(i); }
};

}  // namespace

TEST_F(Records, APolishRunKeepsTheChartsPointsItsSettingsAndHowItEnded)
{
    form->Edit1->setText("2");  // "Cycles per Electrolyte" stays 10
    form->Edit5->setText("Ni, batch 7");

    clickFromEventLoop(form->BitBtn1);

    EXPECT_EQ(platform.dialogs, QStringList{"Info: Run Stopped: Number Cycles"});  // nothing added
    const QString folder = onlyRecord();
    ASSERT_FALSE(folder.isEmpty()) << recordFolders().join(' ').toStdString();
    EXPECT_TRUE(QRegularExpression(R"(/\d{4}-\d\d-\d\d_\d\d-\d\d-\d\d_polish$)").match(folder).hasMatch());

    // One row per evaluation, the very numbers the chart got.
    const QList<QStringList> lines = csvLines(folder + "/data.csv");
    ASSERT_EQ(lines.value(0), QStringList({"time", "elapsed_s", "cycle", "current_mA", "total_mA"}));
    ASSERT_EQ(lines.size() - 1, channel(0).Count());
    ASSERT_GE(channel(0).Count(), 5);
    double lastElapsed = -1.0;
    for (int i = 0; i < channel(0).Count(); ++i) {
        const QStringList& row = lines[i + 1];
        ASSERT_EQ(row.size(), 5);
        EXPECT_TRUE(QDateTime::fromString(row[0], Qt::ISODateWithMs).isValid()) << row[0].toStdString();
        EXPECT_GE(row[1].toDouble(), lastElapsed);
        lastElapsed = row[1].toDouble();
        // The chart's numbers at the resolution of what they hold, no binary noise.
        EXPECT_EQ(row[2].toDouble(), channel(0).DataX(i));
        EXPECT_NEAR(row[3].toDouble(), channel(0).DataY(i), 0.0005);
        EXPECT_NEAR(row[4].toDouble(), channel(1).DataY(i), 0.0005 * (i + 1));
        for (const QString& field : row.mid(1))
            EXPECT_LE(field.size() - field.indexOf('.'), 4) << field.toStdString();
    }

    const struct {
        const char* section;
        const char* key;
        QString value;
    } expected[] = {
        {"Record", "Kind", "polish"},
        {"Record", "EndReason", "number-of-cycles"},
        {"Record", "Title", "Ni, batch 7"},
        {"Settings", "HomeSteps", "156"},
        {"Settings", "HomeMm", "0.9984"},
        {"Settings", "PolishSteps", "312"},
        {"Settings", "ElectrolyteMm", "14.9952"},
        {"Settings", "SetPointVolts", "12"},
        {"Settings", "Mode", "DC"},
        {"Settings", "Speed", "Normal"},
        {"Settings", "CyclesPerElectrolyte", "10"},
        {"Settings", "NumberCycles", "2"},
        {"Settings", "MinimumCurrent", ""},
        {"Settings", "TotalCharge", ""},
        {"Settings", "CurrentCal", "2.9"},
        {"Settings", "ZeroOffset", QString::number(state().ZeroOffset)},
        {"Result", "Rows", QString::number(channel(0).Count())},
        {"Result", "Cycles", lines.last()[2]},
        {"Result", "LastCurrent", lines.last()[3]},
        {"Result", "Total", lines.last()[4]},
    };
    for (const auto& e : expected)
        EXPECT_EQ(ini(folder, e.section, e.key), e.value) << e.section << "/" << e.key;
    EXPECT_TRUE(QDateTime::fromString(ini(folder, "Record", "End"), Qt::ISODateWithMs).isValid());
    // The last finish estimate, as the status line had it, and the criterion that ended the run.
    const auto estimate = controller().progress.finishEstimate();
    ASSERT_TRUE(estimate);
    EXPECT_EQ(ini(folder, "Result", "estimated_finish_s").toDouble(), std::round(estimate->atSeconds));
    EXPECT_EQ(ini(folder, "Result", "estimated_criterion"), "number-of-cycles");
    EXPECT_EQ(ini(folder, "Result", "criteria_met"), "number-of-cycles");

    EXPECT_EQ(QImage(folder + "/chart.png").size(), form->iPlot1->size());
    EXPECT_TRUE(contents(folder + "/chart.svg").contains("<svg"));
}

// How each kind of record ends, as record.ini tells it.
TEST_F(Records, StopCloseAndErrorEndings)
{
    // Stopped by the operator after the first stroke.
    OnCommand stop(instrument, "GP 154 2", [&] { form->BitBtn1->click(); });
    clickFromEventLoop(form->BitBtn1);
    ASSERT_EQ(recordFolders().size(), 1);
    EXPECT_EQ(ini(recordsFolder() + "/" + recordFolders()[0], "Record", "EndReason"), "stopped");

    // A "Cycles per Electrolyte" that is no integer ends the run with the error's own dialog;
    // the record says the same.
    QDir(recordsFolder()).removeRecursively();
    platform.dialogs.clear();
    form->Edit4->setText("");
    clickFromEventLoop(form->BitBtn1);
    EXPECT_EQ(form->BitBtn1->text(), "Run");  // the set-up error leaves the window idle
    EXPECT_EQ(platform.dialogs, QStringList{"AppError: '' is not a valid integer value"});
    EXPECT_EQ(ini(onlyRecord(), "Record", "EndReason"), "error: '' is not a valid integer value");
    EXPECT_EQ(ini(onlyRecord(), "Result", "Rows"), "0");
    form->Edit4->setText("10");

    // The window closed mid-stroke: the run winds down, then the record ends.
    QDir(recordsFolder()).removeRecursively();
    OnCommand close(instrument, "GP -154 2", [&] { form->close(); }, commands().count("GP -154 2") + 1);
    clickFromEventLoop(form->BitBtn1);
    EXPECT_EQ(ini(onlyRecord(), "Record", "EndReason"), "window-closed");
    EXPECT_EQ(commands().last(), "X");
}

TEST_F(Records, AVoltCurrentTestKeepsOneRowPerStep)
{
    form->Edit6->setText("4");
    form->Edit7->setText("6");

    clickFromEventLoop(form->Button10);

    const QString folder = onlyRecord();
    ASSERT_TRUE(folder.endsWith("_vi-test")) << folder.toStdString();
    const QList<QStringList> lines = csvLines(folder + "/data.csv");
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], QStringList({"time", "voltage_V", "current_mA", "zero_offset_counts"}));
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(lines[i + 1][1], QString::number(4 + i));
        EXPECT_NEAR(lines[i + 1][2].toDouble(), channel(0).DataY(i), 0.0005);
    }
    EXPECT_EQ(lines[2][3], QString::number(state().ZeroOffset));  // as captured at 5 V
    EXPECT_EQ(ini(folder, "Record", "EndReason"), "completed");
    EXPECT_EQ(ini(folder, "Settings", "MinVolts"), "4");
    EXPECT_EQ(ini(folder, "Settings", "MaxVolts"), "6");
    EXPECT_EQ(ini(folder, "Settings", "SetPointVolts"), "<missing>");  // the test steps it
    for (const char* key : {"plateau_from", "plateau_to", "suggested_volts"})  // two steps show none
        EXPECT_EQ(ini(folder, "Result", key), "<missing>") << key;
    EXPECT_TRUE(platform.dialogs.isEmpty());
}

TEST_F(Records, AManualRecordingKeepsEveryChartedPointUntilChartOff)
{
    form->Button8->click();  // Chart On
    pump(1000);
    form->Button8->click();  // Chart Off

    const QString folder = onlyRecord();
    ASSERT_TRUE(folder.endsWith("_manual")) << folder.toStdString();
    const QList<QStringList> lines = csvLines(folder + "/data.csv");
    EXPECT_EQ(lines.value(0), QStringList({"time", "elapsed_s", "current_mA"}));
    ASSERT_EQ(lines.size() - 1, channel(0).Count());
    // About 33 at one per 30 ms; a loaded machine polls less often, never more.
    EXPECT_GE(channel(0).Count(), 15);
    EXPECT_LE(channel(0).Count(), 36);
    for (int i = 0; i < channel(0).Count(); ++i) {
        EXPECT_NEAR(lines[i + 1][1].toDouble(), channel(0).DataX(i), 0.0005);
        EXPECT_NEAR(lines[i + 1][2].toDouble(), channel(0).DataY(i), 0.0005);
    }
    EXPECT_EQ(ini(folder, "Record", "EndReason"), "stopped");
}

TEST_F(Records, AnUnpluggedInstrumentEndsTheRecordsAsLinkLost)
{
    form->Button8->click();  // a manual recording goes on during the run
    OnCommand unplug(instrument, "GP 154 2", [&] { instrument->unplug(); });
    // The loop has to come back for its record to end; a stop click does that where nothing
    // else ends the run on a lost link.
    QTimer stopWhenLost;
    QObject::connect(&stopWhenLost, &QTimer::timeout, [&] {
        if (state().LinkFailed && form->BitBtn1->text() == "STOP") {
            stopWhenLost.stop();
            form->BitBtn1->click();
        }
    });
    stopWhenLost.start(5);

    clickFromEventLoop(form->BitBtn1);
    pump(100);

    ASSERT_EQ(recordFolders().size(), 2);
    for (const QString& name : recordFolders())
        EXPECT_EQ(ini(recordsFolder() + "/" + name, "Record", "EndReason"), "link-lost") << name.toStdString();
    EXPECT_TRUE(platform.dialogs.contains("Info: USB Communications error. Check the connection and restart"));
}

// A records folder that cannot be made changes nothing of the run; the operator hears of it
// once, after the run has returned.
TEST_F(Records, AnUnwritableRecordsFolderLeavesTheRunAsItWasAndIsToldOnceAfterIt)
{
    form->Edit1->setText("1");
    form->Edit4->setText("2");
    const auto run = [&] {
        const int mark = commands().size();
        clickFromEventLoop(form->BitBtn1);
        return commands().mid(mark);
    };
    const QStringList withRecords = run();
    ASSERT_EQ(recordFolders().size(), 1);

    platform.dialogs.clear();
    QFile(dataDir.filePath("elsewhere")).open(QIODevice::WriteOnly);
    platform.dataFolder = dataDir.filePath("elsewhere");  // a file where the folder should be
    bool afterTheRun = false;
    platform.onDialog = [&](const QString& dialog) {
        if (dialog.contains("record"))
            afterTheRun = commands().last() == "RY 0" && form->GroupBox1->isEnabled();
    };
    const QStringList withoutRecords = run();

    EXPECT_EQ(withoutRecords, withRecords);
    ASSERT_EQ(platform.dialogs.size(), 2);
    EXPECT_EQ(platform.dialogs[0], "Info: Run Stopped: Number Cycles");
    EXPECT_TRUE(platform.dialogs[1].startsWith("Info: The record of this polish run could not be written in full"));
    EXPECT_TRUE(platform.dialogs[1].contains("Folder: " + dataDir.filePath("elsewhere/Velmar/records/")));
    EXPECT_TRUE(platform.dialogs[1].endsWith("Reason: Not a directory"));
    EXPECT_TRUE(afterTheRun);
    EXPECT_EQ(form->BitBtn1->text(), "Run");
}

// A sweep across the simulated cell's plateau: the record keeps what the chart's band shows.
// The waits of each step run four times faster than real time (the stall check keeps its 2 s
// of wall time).
TEST_F(Records, AVoltCurrentTestThatFoundAPlateauKeepsItInItsResult)
{
    platform.tickRate = 4.0;
    form->Edit6->setText("6");
    form->Edit7->setText("32");

    clickFromEventLoop(form->Button10);

    const auto plateau = controller().progress.plateau();
    ASSERT_TRUE(plateau);
    const QString folder = onlyRecord();
    EXPECT_EQ(ini(folder, "Result", "plateau_from").toDouble(), plateau->fromVolts);
    EXPECT_EQ(ini(folder, "Result", "plateau_to").toDouble(), plateau->toVolts);
    EXPECT_EQ(ini(folder, "Result", "suggested_volts").toDouble(), plateau->suggestedVolts);
}

// A second run on a chart that was not cleared: the chart carries on, the record starts from
// nothing, in data.csv and in record.ini alike.
TEST_F(Records, ARecordCountsItsOwnRunOnly)
{
    form->Edit1->setText("1");
    form->Edit4->setText("2");
    clickFromEventLoop(form->BitBtn1);
    const int firstRows = channel(0).Count();
    ASSERT_GE(firstRows, 2);
    platform.dialogs.clear();
    clickFromEventLoop(form->BitBtn1);
    ASSERT_EQ(recordFolders().size(), 2);
    ASSERT_GT(channel(0).Count(), firstRows);

    const QString second = recordsFolder() + "/" + recordFolders().last();
    const QList<QStringList> lines = csvLines(second + "/data.csv");
    ASSERT_EQ(lines.size() - 1, channel(0).Count() - firstRows);
    double total = 0.0;
    for (int i = 1; i < lines.size(); ++i) {
        const int point = firstRows + i - 1;
        total += channel(0).DataY(point);
        EXPECT_EQ(lines[i][2].toDouble(), 0.5 * i);                   // the chart's is beyond the first run's
        EXPECT_GT(channel(0).DataX(point), channel(0).DataX(firstRows - 1));
        EXPECT_NEAR(lines[i][4].toDouble(), total, 0.0005 * i);       // the chart's includes the first run's
    }
    EXPECT_EQ(ini(second, "Result", "Cycles"), lines.last()[2]);
    EXPECT_EQ(ini(second, "Result", "Total"), lines.last()[4]);
    EXPECT_EQ(ini(second, "Result", "criteria_met"), "number-of-cycles");
}

// The operator takes 1.5 s to answer the criterion's dialog: the run had ended when the
// criterion was met, and the record and the status line say so.
TEST_F(Records, ARunEndsWhenItsCriterionIsMetNotWhenTheDialogIsAnswered)
{
    form->Edit1->setText("1");
    form->Edit4->setText("2");
    std::uint32_t metAt = 0;
    qint64 metAtClock = 0;
    platform.onDialog = [&](const QString& dialog) {
        if (!dialog.contains("Run Stopped"))
            return;
        metAt = platform.tickCount();
        metAtClock = QDateTime::currentMSecsSinceEpoch();
        pump(1500);
    };
    const std::uint32_t start = platform.tickCount();
    clickFromEventLoop(form->BitBtn1);
    const double runSeconds = std::uint32_t(metAt - start) / 1000.0;
    ASSERT_GT(metAt, 0u);

    const QString folder = onlyRecord();
    const QList<QStringList> lines = csvLines(folder + "/data.csv");
    // Two beeps 250 ms apart precede the dialog: the end is before them, never after the answer.
    EXPECT_LE(lines.last()[1].toDouble(), runSeconds + 0.05);
    EXPECT_GE(lines.last()[1].toDouble(), runSeconds - 0.5);
    const qint64 end = QDateTime::fromString(ini(folder, "Record", "End"), Qt::ISODateWithMs).toMSecsSinceEpoch();
    EXPECT_LE(end, metAtClock + 50);
    EXPECT_GE(end, metAtClock - 500);
    EXPECT_EQ(QDateTime::fromString(lines.last()[0], Qt::ISODateWithMs).toMSecsSinceEpoch(), end);

    controller().progress.refresh();
    const QString status = form->statusLine->text();
    EXPECT_TRUE(status.startsWith(QStringLiteral("Finished after 0:0%1: number of cycles reached")
                                      .arg(qRound(lines.last()[1].toDouble())))) << status.toStdString();
}

// A long run on a chart that shows only its last part: the record's pictures show all of it,
// and the chart goes on showing what it showed.
TEST_F(Records, ThePicturesOfARecordShowTheWholeRun)
{
    TiPlotAxis* x = form->iPlot1->XAxisAt(0);
    form->Edit1->setText("1");
    form->Edit4->setText("2");
    // Once the run has met its end the X axis is scrolled past the run's start, as a long
    // run's tracking leaves it.
    platform.onDialog = [&](const QString&) { x->SetMinSpan(x->min() + 0.75, x->span()); };
    clickFromEventLoop(form->BitBtn1);

    const double min = x->min(), span = x->span();
    ASSERT_GT(min, channel(0).DataX(0));  // the first point is out of the chart's view
    const QImage picture(onlyRecord() + "/chart.png");
    const QImage view = form->iPlot1->renderImage();
    EXPECT_FALSE(test::ImageDifference(picture, view).empty());
    EXPECT_EQ(x->min(), min);  // the chart shows what it showed
    EXPECT_EQ(x->span(), span);

    // The record's picture is the chart over the whole run.
    const double high = std::max(channel(0).DataX(channel(0).Count() - 1), min + span);
    x->SetMinSpan(channel(0).DataX(0), high - channel(0).DataX(0));
    EXPECT_EQ(test::ImageDifference(picture, form->iPlot1->renderImage()), "");
}

TEST_F(Records, FileMenuExportsTheChartDataAndOpensTheRecordsFolder)
{
    channel(0).AddPoint(0.5, 150.0);
    channel(1).AddPoint(0.5, 150.0);
    QString offered;
    platform.onSave = [&](const QString& initialPath, QString* filter) {
        offered = initialPath + " | " + *filter;
        return dataDir.filePath("run 12");  // typed without an ending
    };

    form->ExportChartData1->trigger();

    EXPECT_EQ(offered, "/documents/Untitled | CSV (*.csv)");
    EXPECT_EQ(contents(dataDir.filePath("run 12.csv")), chartDataCsv(*form->iPlot1));
    EXPECT_EQ(contents(dataDir.filePath("run 12.csv")), "channel,x,y\r\nCurrent,0.5,150\r\nTotal Current,0.5,150\r\n");
    form->ExportChartData1->trigger();
    EXPECT_TRUE(offered.startsWith(dataDir.path() + "/Untitled"));  // where the last one went
    EXPECT_TRUE(platform.saveDialogs.last().contains("CSV (*.csv);;CSV for this locale (*.csv)"));

    // The second filter writes what a German spreadsheet reads as numbers.
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    channel(0).AddPoint(1.0, 153.70000000000002);
    platform.onSave = [&](const QString&, QString* filter) {
        *filter = "CSV for this locale (*.csv)";
        return dataDir.filePath("run 13");
    };
    form->ExportChartData1->trigger();
    QLocale::setDefault(before);
    EXPECT_EQ(contents(dataDir.filePath("run 13.csv")),
              "channel;x;y\r\nCurrent;0,5;150\r\nCurrent;1;153,7\r\nTotal Current;0,5;150\r\n");

    form->OpenRecordsFolder1->trigger();
    EXPECT_EQ(platform.opened, QStringList{QUrl::fromLocalFile(recordsFolder()).toString()});
    EXPECT_TRUE(QFileInfo(recordsFolder()).isDir());
    EXPECT_TRUE(platform.dialogs.isEmpty());

    // No file manager: the operator is told where the folder is.
    platform.shellOpens = false;
    form->OpenRecordsFolder1->trigger();
    EXPECT_EQ(platform.dialogs, QStringList{"Info: No file manager could be started. The records are in\n" + recordsFolder()});
}
