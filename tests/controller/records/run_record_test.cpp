#include "controller/records/csv_format.h"
#include "controller/records/ini_file.h"
#include "controller/records/run_record.h"
#include "tests/support/file_size_limit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

using namespace velmar;

namespace {

QByteArray contents(const QString& name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QDateTime kStart(QDate(2026, 3, 4), QTime(14, 5, 9), QTimeZone(3600));

struct RunRecordTest : ::testing::Test {
    QTemporaryDir dir;
    QString records() const { return dir.filePath("Velmar/records"); }
    IniFile ini(const RunRecord& record) const { return IniFile(contents(record.folder() + "/record.ini")); }
    QString value(const RunRecord& record, const char* section, const char* key) const
    {
        return ini(record).value(section, key).value_or("<missing>");
    }
};

}  // namespace

TEST_F(RunRecordTest, AtTheStartTheRecordAlreadyExplainsItselfAndReadsAsIncomplete)
{
    RunRecord record(RecordKind::Polish, records(), kStart, "Ni, batch \"7\"",
                     {{"HomeSteps", "156"}, {"HomeMm", "0.9984"}, {"TotalCharge", ""}});

    EXPECT_EQ(record.folder(), records() + "/2026-03-04_14-05-09_polish");
    EXPECT_EQ(value(record, "Record", "Kind"), "polish");
    EXPECT_FALSE(value(record, "Record", "Version").isEmpty());
    EXPECT_EQ(value(record, "Record", "Start"), "2026-03-04T14:05:09.000+01:00");
    EXPECT_EQ(value(record, "Record", "End"), "");
    EXPECT_EQ(value(record, "Record", "EndReason"), "incomplete");
    EXPECT_EQ(value(record, "Record", "Title"), "Ni, batch \"7\"");
    EXPECT_EQ(value(record, "Settings", "HomeSteps"), "156");
    EXPECT_EQ(value(record, "Settings", "HomeMm"), "0.9984");
    EXPECT_EQ(value(record, "Settings", "TotalCharge"), "");  // as typed: empty is no limit
    EXPECT_EQ(value(record, "Result", "Rows"), "<missing>");
    EXPECT_TRUE(contents(record.folder() + "/record.ini").startsWith("; A record of the Kestrom"));
    EXPECT_TRUE(record.failure().isEmpty());
}

TEST_F(RunRecordTest, EachKindWritesItsRowsUnderItsHeaderAndItsResultAtTheEnd)
{
    const qint64 t = kStart.addMSecs(1500).toMSecsSinceEpoch();
    const QByteArray at = isoTime(QDateTime::fromMSecsSinceEpoch(t)).toLatin1();  // rows are in local time
    struct Case {
        RecordKind kind;
        std::function<void(RunRecord&)> rows;
        QByteArray csv;
        QStringList result;  // Rows, LastCurrent, Total, Cycles
    } cases[] = {
        {RecordKind::Polish,
         [&](RunRecord& r) {
             r.addPolishRow(t, 1.5, 0.5, 150.25, 150.25);
             r.addPolishRow(t, 3.2500000000000004, 1.0, 149.75, 300.00000000000006);
         },
         "time,elapsed_s,cycle,current_mA,total_mA\r\n" + at + ",1.5,0.5,150.25,150.25\r\n" + at
             + ",3.25,1,149.75,300\r\n",
         {"2", "149.75", "300", "1"}},
        {RecordKind::ViTest,
         [&](RunRecord& r) {
             r.addViTestRow(t, 4, 12.5, 3);
             r.addViTestRow(t, 5, 20.000000000000004, -2);
         },
         "time,voltage_V,current_mA,zero_offset_counts\r\n" + at + ",4,12.5,3\r\n" + at + ",5,20,-2\r\n",
         {"2", "20", "<missing>", "<missing>"}},
        {RecordKind::Manual, [&](RunRecord& r) { r.addManualRow(t, 0.03, 150.26666666666668); },
         "time,elapsed_s,current_mA\r\n" + at + ",0.03,150.267\r\n",
         {"1", "150.267", "<missing>", "<missing>"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(recordKindName(c.kind).toStdString());
        RunRecord record(c.kind, records(), kStart, "Title", {});
        c.rows(record);
        record.finish(kStart.addSecs(60), "number-of-cycles", {"png bytes", "svg bytes"}, {{"criteria_met", "x y"}});
        record.addManualRow(t, 9.0, 9.0);  // after the end: not written

        EXPECT_EQ(contents(record.folder() + "/data.csv"), c.csv);
        EXPECT_EQ(value(record, "Record", "End"), "2026-03-04T14:06:09.000+01:00");
        EXPECT_EQ(value(record, "Record", "EndReason"), "number-of-cycles");
        EXPECT_EQ(QStringList({value(record, "Result", "Rows"), value(record, "Result", "LastCurrent"),
                               value(record, "Result", "Total"), value(record, "Result", "Cycles")}),
                  c.result);
        EXPECT_EQ(value(record, "Result", "criteria_met"), "x y");
        EXPECT_EQ(contents(record.folder() + "/chart.png"), "png bytes");
        EXPECT_EQ(contents(record.folder() + "/chart.svg"), "svg bytes");
        EXPECT_EQ(QDir(record.folder()).entryList(QDir::Files),
                  QStringList({"chart.png", "chart.svg", "data.csv", "record.ini"}));
        EXPECT_TRUE(record.failure().isEmpty()) << record.failure().toStdString();
    }
}

TEST_F(RunRecordTest, NoFolderMeansAFailureWithItsReasonAndNothingElse)
{
    QFile(dir.filePath("Velmar")).open(QIODevice::WriteOnly);  // a file where the folder should be
    RunRecord record(RecordKind::Manual, records(), kStart, "Title", {{"HomeSteps", "156"}});
    record.addManualRow(kStart.toMSecsSinceEpoch(), 0.0, 1.0);
    record.finish(kStart, "stopped", {"png", "svg"});

    EXPECT_EQ(record.folder(), records() + "/2026-03-04_14-05-09_manual");
    EXPECT_EQ(record.failure(), "Not a directory");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"Velmar"});
}

TEST_F(RunRecordTest, AFullDiskKeepsWhatWasWrittenAndSaysWhy)
{
    RunRecord record(RecordKind::Manual, records(), kStart, "Title", {});
    const QString csv = record.folder() + "/data.csv";
    {
        const test::FileSizeLimit full(1000);  // more than record.ini needs, less than the rows
        for (int i = 0; i < 100; ++i)
            record.addManualRow(kStart.toMSecsSinceEpoch(), i * 0.03, 5.0);
        record.finish(kStart.addSecs(3), "stopped", {"png", "svg"});
    }
    EXPECT_EQ(record.failure(), "data.csv: File too large");
    // As many whole rows as fitted, and not the part of the next one that did.
    EXPECT_GT(contents(csv).size(), 950);
    EXPECT_TRUE(contents(csv).endsWith(",5\r\n"));
    EXPECT_TRUE(contents(csv).startsWith("time,elapsed_s,current_mA\r\n" + isoTime(kStart.toLocalTime()).toLatin1()
                                         + ",0,5\r\n"));
    // The small files still fit: the end is known even though the rows are not all there.
    EXPECT_EQ(value(record, "Record", "EndReason"), "stopped");
    EXPECT_EQ(value(record, "Result", "Rows"), "100");
}

// The end replaces record.ini; a disk with room for the old file but not the new one keeps the
// old one whole (it still says the run had started and what with) instead of an empty file.
TEST_F(RunRecordTest, ADiskTooFullForTheFinalRecordIniKeepsTheFirstOne)
{
    RunRecord record(RecordKind::Polish, records(), kStart, "Title", {{"HomeSteps", "156"}});
    const QString ini = record.folder() + "/record.ini";
    const QByteArray atStart = contents(ini);
    ASSERT_FALSE(atStart.isEmpty());
    {
        const test::FileSizeLimit full(atStart.size() + 20);
        record.addPolishRow(kStart.toMSecsSinceEpoch(), 1.0, 0.5, 150.0, 150.0);
        record.finish(kStart.addSecs(3), "stopped", {"png", "svg"});
    }
    EXPECT_EQ(contents(ini), atStart);
    EXPECT_EQ(record.failure(), "record.ini: File too large");
    EXPECT_EQ(QDir(record.folder()).entryList(QDir::Files | QDir::Hidden),
              QStringList({"chart.png", "chart.svg", "data.csv", "record.ini"}));  // no temporary left
}
