#include "platform/log.h"

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace velmar {
namespace {

class LogFile : public ::testing::Test {
protected:
    void TearDown() override
    {
        StartLog({}, nullptr);  // closes the file
        qInstallMessageHandler(nullptr);
        QLoggingCategory::setFilterRules(QString());
    }
    QStringList lines() const
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

    QTemporaryDir dir;
    QString path = dir.filePath("velmar.log");
};

TEST_F(LogFile, AppendsOneLinePerEventAtInfoLevelWithIsoTimeAndMonotonicMilliseconds)
{
    {
        QFile earlier(path);
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("an earlier session\n");
    }
    QString error;
    ASSERT_TRUE(StartLog({path, false}, &error)) << error.toStdString();
    qCInfo(lcWire) << "A sent";
    qCDebug(lcWire) << "not at info level";
    qCWarning(lcDevice).noquote() << "two\nlines";
    qCInfo(lcRun) << "run";

    const QStringList got = lines();
    ASSERT_EQ(got.size(), 4) << got.join('\n').toStdString();
    EXPECT_EQ(got[0], "an earlier session");
    const QRegularExpression shape(
        R"(^(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}(Z|[+-]\d\d:\d\d)) (\d+) (info|warning) (velmar\.\w+): (.*)$)");
    QList<qint64> ticks;
    for (int i = 1; i < 4; ++i) {
        const auto match = shape.match(got[i]);
        ASSERT_TRUE(match.hasMatch()) << got[i].toStdString();
        EXPECT_TRUE(QDateTime::fromString(match.captured(1), Qt::ISODateWithMs).isValid());
        ticks << match.captured(3).toLongLong();
    }
    EXPECT_LE(ticks[0], ticks[1]);
    EXPECT_LE(ticks[1], ticks[2]);
    EXPECT_TRUE(got[1].endsWith(" info velmar.wire: A sent")) << got[1].toStdString();
    EXPECT_TRUE(got[2].endsWith(" warning velmar.device: two\\nlines")) << got[2].toStdString();
    EXPECT_TRUE(got[3].endsWith(" info velmar.run: run")) << got[3].toStdString();
}

TEST_F(LogFile, VerboseAddsTheDebugLines)
{
    ASSERT_TRUE(StartLog({path, true}, nullptr));
    qCDebug(lcWire) << "B received";
    ASSERT_EQ(lines().size(), 1);
    EXPECT_TRUE(lines()[0].endsWith(" debug velmar.wire: B received"));
}

// With a log file, stderr carries only what goes wrong: warnings and errors, never the info
// lines (Qt's QtInfoMsg sorts after QtWarningMsg and QtCriticalMsg in its enum).
TEST_F(LogFile, StderrGetsWarningsAndErrorsOnly)
{
    const QString errPath = dir.filePath("stderr.txt");
    std::fflush(stderr);
    const int saved = ::dup(2);
    const int err = ::open(QFile::encodeName(errPath).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(err, 0);
    ::dup2(err, 2);
    ::close(err);
    ASSERT_TRUE(StartLog({path, false}, nullptr));
    qCInfo(lcRun) << "run started";
    qCWarning(lcDevice) << "channel lost";
    qCCritical(lcDevice) << "cannot write";
    std::fflush(stderr);
    ::dup2(saved, 2);
    ::close(saved);

    EXPECT_EQ(lines().size(), 3);
    QFile errFile(errPath);
    ASSERT_TRUE(errFile.open(QIODevice::ReadOnly));
    const QStringList onStderr = QString::fromUtf8(errFile.readAll()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(onStderr.size(), 2) << onStderr.join('\n').toStdString();
    EXPECT_TRUE(onStderr[0].endsWith(" warning velmar.device: channel lost"));
    EXPECT_TRUE(onStderr[1].endsWith(" error velmar.device: cannot write"));
}

TEST_F(LogFile, UnopenableFileIsRefusedWithTheReason)
{
    QString error;
    for (const QString& bad : {dir.filePath("no/such/folder/velmar.log"), dir.path()}) {
        EXPECT_FALSE(StartLog({bad, false}, &error)) << bad.toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST(LogBytes, ShowsControlBytesAsEscapes)
{
    EXPECT_EQ(LogBytes("SP 1024 880\r", 12), R"("SP 1024 880\r")");
    EXPECT_EQ(LogBytes("O\0K\n\"\\\xff", 7), R"("O\x00K\n\"\\\xff")");
    EXPECT_EQ(LogBytes(nullptr, 0), R"("")");
}

}  // namespace
}  // namespace velmar
