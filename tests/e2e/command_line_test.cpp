// labels: e2e
#include <QProcess>

#include <gtest/gtest.h>

namespace {

struct RunResult {
    int status;
    QByteArray out, err;
};

RunResult runVelmar(const QStringList& args)
{
    QProcess process;
    process.start(QString::fromLocal8Bit(qgetenv("VELMAR_BINARY")), args);
    EXPECT_TRUE(process.waitForFinished(20000));
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

}  // namespace

TEST(VelmarCommandLine, HelpAndVersionAnswerOnStdout)
{
    const RunResult help = runVelmar({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains("--simulate")) << help.out.constData();
    const RunResult version = runVelmar({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.startsWith("velmar 2.2.1")) << version.out.constData();
}

TEST(VelmarCommandLine, MalformedOptionExitsWithStatusTwo)
{
    const RunResult run = runVelmar({"--port", "KS265000A"});
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.contains("SERIAL=PATH")) << run.err.constData();
}
