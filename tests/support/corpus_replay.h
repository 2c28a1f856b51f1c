#pragma once

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <functional>

namespace velmar::test {

// A fuzz corpus (tests/fixtures/<folder>) replayed as a normal test, so every compiler checks
// the properties on the inputs the fuzzer found interesting. `check` returns what broke, or
// an empty string.
inline void ReplayCorpus(const QString& folder, const std::function<QString(const QByteArray&)>& check)
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

}  // namespace velmar::test
