// labels: slow
// The real program under a real window manager, whose frame arrives only after the window is
// mapped and changes between the maximised and the normal window: the main window restores
// to the design's outer rectangle, its minimum is an outer size, and the About window (first
// shown as the splash) is centred by its outer size.
#include "tests/support/private_display.h"

#include <QFile>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

using velmar::test::waitFor;

class UnderAWindowManager : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* tool : {"Xvfb", "openbox", "xdotool", "xwininfo", "xprop"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                GTEST_SKIP() << "needs " << tool << " (scripts/setup.sh installs it)";
        ASSERT_TRUE(dir.isValid());
        display = velmar::test::freeDisplay();
        ASSERT_TRUE(velmar::test::startXvfb(xvfb, display, QStringLiteral("1600x1000")));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), display);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir.path());
        env.insert(QStringLiteral("HOME"), dir.path());
        for (QProcess* p : {&windowManager, &velmar})
            p->setProcessEnvironment(env);
        windowManager.start(QStringLiteral("openbox"), {});
        ASSERT_TRUE(windowManager.waitForStarted());
        // The taught positions at their defaults, so no first-run message covers the window.
        QFile settings(dir.filePath(QStringLiteral("Velmar.ini")));
        ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
        settings.write("[Motion]\nHomeSteps=156\nPolishSteps=312\nElectrolyteSteps=2343\n");
    }

    void TearDown() override
    {
        for (QProcess* p : {&velmar, &windowManager, &xvfb}) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
        }
    }

    QString run(const QString& program, const QStringList& args)
    {
        QProcess tool;
        tool.setProcessEnvironment(velmar.processEnvironment());
        tool.start(program, args);
        tool.waitForFinished(10000);
        return QString::fromLocal8Bit(tool.readAllStandardOutput());
    }

    QString windowNamed(const QString& title) { return run("xdotool", {"search", "--name", title}).section(u'\n', 0, 0); }

    // The window's outer rectangle: its client area (xwininfo) grown by the frame extents the
    // window manager announced (xprop); null until the window manager has framed it.
    QRect outer(const QString& window)
    {
        const QString info = run("xwininfo", {"-id", window});
        auto field = [&](const char* name) {
            return QRegularExpression(QString::fromLatin1(name) + QStringLiteral(":\\s+(-?\\d+)")).match(info).captured(1).toInt();
        };
        const QRegularExpressionMatch extents = QRegularExpression(QStringLiteral("= (\\d+), (\\d+), (\\d+), (\\d+)"))
                                                    .match(run("xprop", {"-id", window, "_NET_FRAME_EXTENTS"}));
        if (!extents.hasMatch())
            return {};
        const int left = extents.captured(1).toInt(), right = extents.captured(2).toInt();
        const int top = extents.captured(3).toInt(), bottom = extents.captured(4).toInt();
        return QRect(field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"), field("Height"))
            .adjusted(-left, -top, right, bottom);
    }

    bool maximised(const QString& window)
    {
        return run("xprop", {"-id", window, "_NET_WM_STATE"}).contains(QStringLiteral("MAXIMIZED_HORZ"));
    }

    QTemporaryDir dir;
    QString display;
    QProcess xvfb;
    QProcess windowManager;
    QProcess velmar;
};

std::string text(QRect r)
{
    return QStringLiteral("%1 x %2 at %3, %4").arg(r.width()).arg(r.height()).arg(r.x()).arg(r.y()).toStdString();
}

}  // namespace

TEST_F(UnderAWindowManager, WindowsKeepTheirDesignedOuterGeometry)
{
    velmar.start(QString::fromLocal8Bit(qgetenv("VELMAR_BINARY")), {QStringLiteral("--simulate=20")});
    ASSERT_TRUE(velmar.waitForStarted());

    // The splash is the About window's first showing: centred on the 1600 x 1000 screen by its
    // outer size, once the window manager has framed it.
    QString about;
    ASSERT_TRUE(waitFor([&] { return !(about = windowNamed("^About$")).isEmpty(); }, 30000));
    QRect splash;
    auto centred = [&] {
        splash = outer(about);
        return !splash.isNull() && splash.height() > 214 &&
               splash.topLeft() == QPoint((1600 - splash.width()) / 2, (1000 - splash.height()) / 2);
    };
    EXPECT_TRUE(waitFor(centred, 10000)) << text(splash);

    // Maximised by the window manager; restored, it takes the design's outer rectangle.
    QString main;
    ASSERT_TRUE(waitFor([&] { return !(main = windowNamed("^Velmar Software for the Kestrom$")).isEmpty(); }, 30000));
    ASSERT_TRUE(waitFor([&] { return maximised(main); }, 10000));
    ASSERT_TRUE(waitFor([&] { return run("xdotool", {"search", "--onlyvisible", "--name", "^About$"}).isEmpty(); }, 30000));
    run("xdotool", {"mousemove", "400", "8", "click", "--repeat", "2", "--delay", "80", "1"});  // the caption
    QRect normal;
    EXPECT_TRUE(waitFor([&] { return !maximised(main) && (normal = outer(main)) == QRect(323, 229, 1024, 665); }, 10000))
        << text(normal);

    // Its minimum is an outer size too.
    run("xdotool", {"windowsize", main, "200", "200"});
    QThread::msleep(1000);
    EXPECT_EQ(text(outer(main)), text(QRect(323, 229, 1024, 665)));
}
