#include "tests/support/window_fixture.h"

#include "platform/delay.h"
#include "platform/dialogs.h"

#include <QFile>

namespace velmar::test {

void WindowTest::writeSettings(const QByteArray& contents)
{
    QFile file(settingsFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(contents);
}

void WindowTest::pump(int ms) { Delay(static_cast<std::uint32_t>(ms)); }

void WindowTest::settle()
{
    QCoreApplication::processEvents();
    runUntil([this] { return controller().idle() && !dialogsPending(); });
}

bool WindowTest::closeWindow()
{
    form->close();
    settle();
    QCoreApplication::processEvents();  // the window's own close, queued by the routine's end
    return form->closeFinished();
}

void WindowTest::run(Task<void> routine)
{
    controller().routines.launch(std::move(routine));
    settle();
}

}  // namespace velmar::test
