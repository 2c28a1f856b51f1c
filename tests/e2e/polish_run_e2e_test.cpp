// labels: slow
// The program as main() builds it, on the simulated instrument: real start-up timer, real
// message boxes (answered by a watcher as an operator would), real clicks. Nothing of the
// test fixtures is used.
#include "device/d2xx/d2xx.h"
#include "platform/delay.h"
#include "sim/kestrom_sim.h"
#include "sim/simulated_backend.h"
#include "controller/controller.h"
#include "timers/tithreadtimers.h"
#include "ui/about_window.h"
#include "ui/main_window.h"
#include "widgets/dials/tiknob.h"
#include "widgets/plot/tiplot.h"
#include "widgets/dials/tiswitchslider.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace velmar;

namespace {

// Reads and closes each message box as it comes up, the way an operator clicks "OK".
class Operator {
public:
    Operator()
    {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                read << box->text();
                box->accept();
            }
        });
        timer_.start();
    }
    QStringList read;

private:
    QTimer timer_;
};

bool waitFor(const std::function<bool()>& done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        Delay(20);
    return done();
}

QStringList list(std::initializer_list<const char*> texts)
{
    QStringList out;
    for (const char* text : texts)
        out << QString::fromLatin1(text);
    return out;
}

}  // namespace

TEST(PolishRunEndToEnd, StartUpThenARunOfTwoCyclesFinishesAndTheCloseSaysGoodbye)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());  // the settings file goes here

    const auto instrument = std::make_shared<sim::KestromSim>();
    instrument->setSpeedFactor(20);
    sim::installSimulator(instrument);

    Operator op;
    {
        TForm1 form1;
        TForm2 form2(&form1);
        form1.setAboutWindow(&form2);
        form1.show();

        // Timer 1 starts the homing 2 s after creation; the poll cycle runs once it is done.
        ASSERT_TRUE(waitFor([&] { return form1.iThreadTimers1->enabled(9); }, 30000));
        EXPECT_EQ(instrument->commandTexts(), list({"GT -100", "TP", "GT -156"}));
        ASSERT_EQ(op.read.size(), 1);  // the first-run note of the settings file
        EXPECT_TRUE(op.read[0].startsWith(QStringLiteral("Creating Configuration File")));
        EXPECT_TRUE(form2.isHidden());

        form1.Edit1->clear();
        QTest::keyClicks(form1.Edit1, QStringLiteral("2"));
        const QString count = QString::number(qRound(form1.iKnob1->position() * 16));
        const QString mode = form1.iSwitchSlider2->position() == 1 ? QStringLiteral("DC") : QStringLiteral("AC");
        const QString speed = form1.iSwitchSlider1->position() == 2   ? QStringLiteral("SS 2")
                              : form1.iSwitchSlider1->position() == 1 ? QStringLiteral("SS 3")
                                                                       : QStringLiteral("SS 4");
        const int before = static_cast<int>(instrument->commandTexts().size());

        QTest::mouseClick(form1.BitBtn1, Qt::LeftButton);
        ASSERT_TRUE(waitFor([&] { return form1.controller->idle(); }, 60000));  // the run has ended
        // The run ends without waiting for its dialog, which the operator reads a moment later.
        ASSERT_TRUE(waitFor([&] { return op.read.size() >= 2; }, 10000));

        EXPECT_EQ(op.read.mid(1), QStringList{QStringLiteral("Run Stopped: Number Cycles")});
        const QStringList stroke = list({"GP -154 2", "GP 154 2"});
        const QStringList run = QStringList{QStringLiteral("RY 0"), QStringLiteral("SP 1024 ") + count, mode}
                                + list({"RY 1", "SS 2", "GT -2187", "GT 2187"}) + QStringList{speed} + stroke
                                + stroke + list({"GP -2 2", "RY 0"});
        EXPECT_EQ(instrument->commandTexts().mid(before), run);
        EXPECT_EQ(form1.BitBtn1->text(), QStringLiteral("Run"));
        EXPECT_TRUE(form1.GroupBox1->isEnabled());
        EXPECT_EQ(form1.iPlot1->ChannelAt(0)->Count(), 6);  // one point per evaluation

        form1.close();
        ASSERT_TRUE(waitFor([&] { return form1.closeFinished(); }, 10000));
        EXPECT_EQ(instrument->commandTexts().last(), QStringLiteral("X"));
        EXPECT_TRUE(instrument->exitReceived());
    }
    EXPECT_TRUE(QFile::exists(home.path() + QStringLiteral("/Velmar.ini")));
    d2xx::closeAll();
}
