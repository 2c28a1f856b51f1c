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
    // The spelled-out option counts anywhere.
    EXPECT_TRUE(ParseCommandLine({"--simulate", "--debug"}).debug);
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
    // A refused speed is reported and never kept (a NaN kept here once made the same line
    // compare unequal to itself).
    for (const char* speed : {"--simulate=nan", "--simulate=inf", "--simulate=-2", "--simulate=0", "--simulate=x"}) {
        SCOPED_TRACE(speed);
        const CommandLine refused = ParseCommandLine({speed});
        EXPECT_FALSE(refused.error.isEmpty());
        EXPECT_DOUBLE_EQ(refused.simulateSpeed, 1.0);
    }
    EXPECT_EQ(ParseCommandLine({"--transcript=/tmp/t.txt"}).transcript, "/tmp/t.txt");
}

TEST(CommandLine, LogAndDeviceReport)
{
    const CommandLine a = ParseCommandLine({"--log=/tmp/v.log", "--verbose", "--list-devices"});
    EXPECT_TRUE(a.error.isEmpty());
    EXPECT_EQ(a.log, "/tmp/v.log");
    EXPECT_TRUE(a.verbose);
    EXPECT_TRUE(a.listDevices);
    const CommandLine b = ParseCommandLine({});
    EXPECT_TRUE(b.log.isEmpty());
    EXPECT_FALSE(b.verbose || b.listDevices);
}

TEST(CommandLine, MalformedOptionsAreErrors)
{
    for (const QStringList& args : {QStringList{"--port", "KS265000A"}, QStringList{"--port"},
                                    QStringList{"--port=KS265000A"}, QStringList{"--simulate=fast"},
                                    QStringList{"--simulate=0"}, QStringList{"--frobnicate"},
                                    QStringList{"--transcript="}, QStringList{"--log="}, QStringList{"--log"}})
        EXPECT_FALSE(ParseCommandLine(args).error.isEmpty()) << args.join(' ').toStdString();
}
