#include "tests/support/frame_properties.h"
#include "tests/support/parser_properties.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <functional>

namespace {

// A fuzz corpus replayed as a normal test, so every compiler checks the properties on the
// inputs the fuzzer found interesting.
void ReplayCorpus(const QString& folder, const std::function<QString(const QByteArray&)>& check)
{
    const QDir corpus(QString::fromLocal8Bit(qgetenv("VELMAR_FIXTURES")) + u'/' + folder);
    const QStringList names = corpus.entryList(QDir::Files);
    ASSERT_FALSE(names.isEmpty()) << corpus.path().toStdString();
    for (const QString& name : names) {
        QFile file(corpus.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString broken = check(file.readAll());
        EXPECT_TRUE(broken.isEmpty()) << name.toStdString() << ": " << broken.toStdString();
    }
}

}  // namespace

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
