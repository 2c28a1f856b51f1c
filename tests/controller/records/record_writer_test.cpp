#include "controller/records/record_writer.h"
#include "tests/support/file_size_limit.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

using namespace velmar;

namespace {

QByteArray contents(const QString& name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray row(int i) { return "row " + QByteArray::number(i) + "\r\n"; }

}  // namespace

TEST(RecordWriter, RowsReachTheFileAsTheyComeNotOnlyAtClose)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("data.csv");
    RecordWriter writer;
    ASSERT_TRUE(writer.open(name));
    QByteArray expected;
    for (int i = 0; i < 500; ++i) {
        writer.append(row(i));
        expected += row(i);
    }

    // A reader (or a program killed now) sees every row without close(): the writer flushes
    // each to the kernel at once.
    QElapsedTimer clock;
    clock.start();
    while (contents(name) != expected && clock.elapsed() < 5000)
        QThread::msleep(5);
    EXPECT_EQ(contents(name), expected);

    EXPECT_TRUE(writer.close());
    writer.append(row(500));  // closed: dropped
    EXPECT_TRUE(writer.close());
    EXPECT_EQ(contents(name), expected);
    EXPECT_TRUE(writer.error().isEmpty());
}

TEST(RecordWriter, AFileThatCannotBeMadeIsAFailureNotAnError)
{
    QTemporaryDir dir;
    QFile(dir.filePath("taken.csv")).open(QIODevice::WriteOnly);
    struct Case {
        QString name;
        const char* reason;
    } cases[] = {
        {dir.filePath("taken.csv"), "File exists"},  // never writes into a file it did not make
        {dir.filePath("missing/data.csv"), "No such file or directory"},
    };
    for (const Case& c : cases) {
        RecordWriter writer;
        EXPECT_FALSE(writer.open(c.name));
        writer.append("ignored\r\n");
        EXPECT_FALSE(writer.close());
        EXPECT_TRUE(writer.failed());
        EXPECT_EQ(writer.error(), c.reason);
    }
    EXPECT_EQ(contents(dir.filePath("taken.csv")), "");
}

TEST(RecordWriter, AFullDiskLatchesTheFirstFailureAndKeepsWhatWasWritten)
{
    QTemporaryDir dir;
    const QString name = dir.filePath("data.csv");
    RecordWriter writer;
    ASSERT_TRUE(writer.open(name));
    {
        const test::FileSizeLimit full(64);
        for (int i = 0; i < 100; ++i)
            writer.append(row(i));
        EXPECT_FALSE(writer.close());
    }
    EXPECT_TRUE(writer.failed());
    EXPECT_EQ(writer.error(), "File too large");
    // The disk took 64 bytes, the tenth row only in part: the file ends after the ninth.
    EXPECT_EQ(contents(name), "row 0\r\nrow 1\r\nrow 2\r\nrow 3\r\nrow 4\r\nrow 5\r\nrow 6\r\nrow 7\r\nrow 8\r\n");
}

// Rows arrive one by one while the disk fills: whatever batch the failing write was part of,
// the file ends on the last whole row that fitted, never inside one.
TEST(RecordWriter, AFullDiskNeverLeavesAPartialRow)
{
    for (const int limit : {5, 7, 8, 30, 100, 1000}) {
        QTemporaryDir dir;
        const QString name = dir.filePath("data.csv");
        RecordWriter writer;
        ASSERT_TRUE(writer.open(name));
        QByteArray all;
        {
            const test::FileSizeLimit full(limit);
            for (int i = 0; i < 300; ++i) {
                writer.append(row(i));
                all += row(i);
                if (i % 7 == 0)
                    QThread::usleep(200);  // some rows alone, some in batches
            }
            EXPECT_FALSE(writer.close());
        }
        const QByteArray kept = contents(name);
        EXPECT_LE(kept.size(), limit);
        EXPECT_GT(kept.size(), limit - 9) << limit;  // only the row that did not fit is missing
        EXPECT_TRUE(all.startsWith(kept)) << limit;
        EXPECT_TRUE(kept.isEmpty() || kept.endsWith("\r\n")) << limit << ": " << kept.right(10).toStdString();
    }
}
