#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdio>
#include <cstdlib>

namespace velmar::test {

// One fuzz input through a property check: a broken property is a crash for libFuzzer, which
// then keeps the input and says what broke.
inline int CheckFuzzInput(QString (*check)(const QByteArray&), const unsigned char* data, std::size_t size)
{
    const QString broken = check(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (!broken.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(broken));
        std::abort();
    }
    return 0;
}

}  // namespace velmar::test
