#include "ui/command_line.h"

#include <gtest/gtest.h>

using namespace velmar;

TEST(CommandLine, DebugOnlyAsExactFirstArgument)
{
    EXPECT_TRUE(ParseCommandLine({"DEBUG"}).debug);
    EXPECT_TRUE(ParseCommandLine({"DEBUG", "--simulate"}).debug);
    EXPECT_FALSE(ParseCommandLine({"debug"}).debug);
    EXPECT_FALSE(ParseCommandLine({"DEBUG1"}).debug);
    EXPECT_FALSE(ParseCommandLine({"--simulate", "DEBUG"}).debug);
    EXPECT_FALSE(ParseCommandLine({}).debug);
}

TEST(CommandLine, SimulateAndPorts)
{
    const CommandLine a = ParseCommandLine({"--simulate=10", "--port", "KS265000A=/dev/pts/3",
                                            "--port=KS265000B=/dev/pts/4"});
    EXPECT_TRUE(a.error.isEmpty());
    EXPECT_TRUE(a.simulate);
    EXPECT_DOUBLE_EQ(a.simulateSpeed, 10.0);
    EXPECT_EQ(a.ports.value("KS265000A"), "/dev/pts/3");
    EXPECT_EQ(a.ports.value("KS265000B"), "/dev/pts/4");
    EXPECT_DOUBLE_EQ(ParseCommandLine({"--simulate"}).simulateSpeed, 1.0);
    EXPECT_EQ(ParseCommandLine({"--transcript=/tmp/t.txt"}).transcript, "/tmp/t.txt");
}

TEST(CommandLine, MalformedOptionsAreErrors)
{
    for (const QStringList& args : {QStringList{"--port", "KS265000A"}, QStringList{"--port"},
                                    QStringList{"--port=KS265000A"}, QStringList{"--simulate=fast"},
                                    QStringList{"--simulate=0"}, QStringList{"--frobnicate"},
                                    QStringList{"--transcript="}})
        EXPECT_FALSE(ParseCommandLine(args).error.isEmpty()) << args.join(' ').toStdString();
}
