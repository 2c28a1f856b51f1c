#include "controller/records/record_folder.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmar;

TEST(RecordFolderName, DateTimeAndKindInAnyLocale)
{
    const QDateTime start(QDate(2026, 3, 4), QTime(14, 5, 9, 870));
    const QLocale before;
    // A locale with its own digits must not leak into a file name.
    for (const QLocale::Language language : {QLocale::English, QLocale::Arabic, QLocale::German}) {
        QLocale::setDefault(QLocale(language));
        EXPECT_EQ(recordFolderName(start, RecordKind::Polish), "2026-03-04_14-05-09_polish");
        EXPECT_EQ(recordFolderName(start, RecordKind::ViTest), "2026-03-04_14-05-09_vi-test");
        EXPECT_EQ(recordFolderName(start, RecordKind::Manual), "2026-03-04_14-05-09_manual");
    }
    QLocale::setDefault(before);
}

TEST(CreateRecordFolder, MakesTheParentsAndNumbersSecondStartsInTheSameSecond)
{
    QTemporaryDir dir;
    const QString parent = dir.filePath("Velmar/records");
    const QString name = "2026-03-04_14-05-09_polish";

    const CreatedFolder first = createRecordFolder(parent, name);
    const CreatedFolder second = createRecordFolder(parent, name);
    QFile(parent + "/" + name + "-3").open(QIODevice::WriteOnly);  // a file takes a name too
    const CreatedFolder fourth = createRecordFolder(parent, name);

    EXPECT_EQ(first.path, parent + "/" + name);
    EXPECT_EQ(second.path, parent + "/" + name + "-2");
    EXPECT_EQ(fourth.path, parent + "/" + name + "-4");
    for (const CreatedFolder& made : {first, second, fourth}) {
        EXPECT_TRUE(made.error.isEmpty()) << made.error.toStdString();
        EXPECT_TRUE(QDir(made.path).isEmpty());
    }
}

TEST(CreateRecordFolder, AFileWhereAFolderShouldBeIsAReasonNotAFolder)
{
    QTemporaryDir dir;
    QFile(dir.filePath("Velmar")).open(QIODevice::WriteOnly);

    for (const QString& parent : {dir.filePath("Velmar"), dir.filePath("Velmar/records")}) {
        const CreatedFolder made = createRecordFolder(parent, "2026-03-04_14-05-09_manual");
        EXPECT_TRUE(made.path.isEmpty());
        EXPECT_EQ(made.error, "Not a directory");
    }
}
