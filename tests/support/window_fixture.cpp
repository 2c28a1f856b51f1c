#include "tests/support/window_fixture.h"

#include "platform/delay.h"

#include <QFile>

namespace velmar::test {

void WindowTest::writeSettings(const QByteArray& contents)
{
    QFile file(settingsFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(contents);
}

void WindowTest::pump(int ms) { Delay(static_cast<std::uint32_t>(ms)); }

}  // namespace velmar::test
