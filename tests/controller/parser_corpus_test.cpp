#include "tests/support/corpus_replay.h"
#include "tests/support/frame_properties.h"
#include "tests/support/parser_properties.h"

#include <gtest/gtest.h>

using velmar::test::ReplayCorpus;

TEST(ParserCorpus, PropertiesHoldForEveryInput)
{
    ReplayCorpus(QStringLiteral("corpus"), velmar::test::CheckParserProperties);
}

TEST(ParserCorpus, FrameReaderStaysInStepForEveryInput)
{
    ReplayCorpus(QStringLiteral("corpus_frames"), velmar::test::CheckFrameStreamProperties);
}

TEST(ParserCorpus, CommandLinePropertiesHoldForEveryInput)
{
    ReplayCorpus(QStringLiteral("corpus_command_line"), velmar::test::CheckCommandLineProperties);
}
