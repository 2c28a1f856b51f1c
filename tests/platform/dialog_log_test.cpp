#include "platform/qt_platform_services.h"
#include "tests/support/log_capture.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

using namespace velmar;

// Every dialog the program shows is in the log with its caption and its text, whichever of
// the four kinds it is, so a report of what happened does not depend on a screenshot.
TEST(DialogLog, EveryDialogsTextIsLogged)
{
    QtPlatformServices services;
    test::LogCapture log;
    // Each box is answered as soon as it is up.
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->accept();
    });
    answer.start(20);
    services.showInfo(QStringLiteral("Run Stopped: Number Cycles"));
    services.showError(QStringLiteral("FT_Read B - Device not opened"));
    services.showMessage(QStringLiteral("USB Communications error. Check the connection and restart"));
    services.showApplicationError(QStringLiteral("'x' is not a valid integer value"));
    const QString title = QGuiApplication::applicationDisplayName();
    EXPECT_EQ(log.messages(QStringLiteral("velmar.dialog"), QtInfoMsg),
              QStringList({QStringLiteral("Information: Run Stopped: Number Cycles"),
                           QStringLiteral("Error: FT_Read B - Device not opened"),
                           title + QStringLiteral(": USB Communications error. Check the connection and restart"),
                           title + QStringLiteral(": 'x' is not a valid integer value")}));
}
