#include "controller/chart_data_export.h"
#include "controller/ini_file.h"
#include "tests/controller/wire_watch.h"
#include "tests/support/window_fixture.h"
#include "widgets/tiknob.h"
#include "widgets/tiplot.h"
#include "widgets/tiswitchslider.h"

#include <QAction>
#include <QFileInfo>
#include <QGroupBox>
#include <QImage>
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
        startUp();  // default positions 156, 312, 2343; the poll cycle runs from here on
        form->iKnob1->setPosition(12.0);
        form->iSwitchSlider2->setPosition(1);  // DC
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
    ASSERT_EQ(lines.value(0), QStringList({"time", "elapsed_s", "cycle", "current_mA", "total"}));
    ASSERT_EQ(lines.size() - 1, channel(0).Count());
    ASSERT_GE(channel(0).Count(), 5);
    double lastElapsed = -1.0;
    for (int i = 0; i < channel(0).Count(); ++i) {
        const QStringList& row = lines[i + 1];
        ASSERT_EQ(row.size(), 5);
        EXPECT_TRUE(QDateTime::fromString(row[0], Qt::ISODateWithMs).isValid()) << row[0].toStdString();
        EXPECT_GE(row[1].toDouble(), lastElapsed);
        lastElapsed = row[1].toDouble();
        EXPECT_EQ(row[2].toDouble(), channel(0).DataX(i));
        EXPECT_EQ(row[3].toDouble(), channel(0).DataY(i));
        EXPECT_EQ(row[4].toDouble(), channel(1).DataY(i));
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
    EXPECT_EQ(lines[0], QStringList({"time", "volts", "current_mA", "zero_offset"}));
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(lines[i + 1][1], QString::number(4 + i));
        EXPECT_EQ(lines[i + 1][2].toDouble(), channel(0).DataY(i));
    }
    EXPECT_EQ(lines[2][3], QString::number(state().ZeroOffset));  // as captured at 5 V
    EXPECT_EQ(ini(folder, "Record", "EndReason"), "completed");
    EXPECT_EQ(ini(folder, "Settings", "MinVolts"), "4");
    EXPECT_EQ(ini(folder, "Settings", "MaxVolts"), "6");
    EXPECT_EQ(ini(folder, "Settings", "SetPointVolts"), "<missing>");  // the test steps it
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
        EXPECT_EQ(lines[i + 1][1].toDouble(), channel(0).DataX(i));
        EXPECT_EQ(lines[i + 1][2].toDouble(), channel(0).DataY(i));
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
    EXPECT_EQ(contents(dataDir.filePath("run 12.csv")), "channel,x,y\r\n0,0.5,150\r\n1,0.5,150\r\n");
    form->ExportChartData1->trigger();
    EXPECT_TRUE(offered.startsWith(dataDir.path() + "/Untitled"));  // where the last one went

    form->OpenRecordsFolder1->trigger();
    EXPECT_EQ(platform.opened, QStringList{QUrl::fromLocalFile(recordsFolder()).toString()});
    EXPECT_TRUE(QFileInfo(recordsFolder()).isDir());
    EXPECT_TRUE(platform.dialogs.isEmpty());

    // No file manager: the operator is told where the folder is.
    platform.shellOpens = false;
    form->OpenRecordsFolder1->trigger();
    EXPECT_EQ(platform.dialogs, QStringList{"Info: No file manager could be started. The records are in\n" + recordsFolder()});
}
