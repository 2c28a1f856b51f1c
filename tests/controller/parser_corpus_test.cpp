#include "tests/support/parser_properties.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

// The fuzz corpus replayed as a normal test, so every compiler checks the properties on the
// inputs the fuzzer found interesting.
TEST(ParserCorpus, PropertiesHoldForEveryInput)
{
    const QDir corpus(QString::fromLocal8Bit(qgetenv("VELMAR_FIXTURES")) + QStringLiteral("/corpus"));
    const QStringList names = corpus.entryList(QDir::Files);
    ASSERT_FALSE(names.isEmpty());
    for (const QString& name : names) {
        QFile file(corpus.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(velmar::test::CheckParserProperties(file.readAll()), QString()) << name.toStdString();
    }
}
