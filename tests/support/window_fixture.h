#pragma once

#include "controller/controller.h"
#include "device/d2xx/d2xx.h"
#include "sim/kestrom_sim.h"
#include "sim/simulated_backend.h"
#include "tests/controller/wire_watch.h"
#include "tests/support/finish.h"
#include "tests/support/recording_platform.h"
#include "timers/tithreadtimers.h"
#include "ui/about_window.h"
#include "ui/main_window.h"
#include "widgets/dials/tiknob.h"
#include "widgets/dials/tiswitchslider.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace velmar::test {

// The whole main window on a fresh simulated instrument, with dialogs recorded and a settings
// folder of the test's own. The start-up timer is stopped, so a test runs the start-up
// sequence (or not) when it wants: `startUp()`.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        d2xx::closeAll();
        instrument->setSpeedFactor(speedFactor());
        sim::installSimulator(instrument);
        platform.dataFolder = dataDir.path();
        // Whatever reaches past the recorded platform still stays out of the real home.
        hadDataHome_ = qEnvironmentVariableIsSet("XDG_DATA_HOME");
        previousDataHome_ = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(dataDir.path()));
        form = std::make_unique<TForm1>(arguments());
        form->iThreadTimers1->setEnabled(1, false);
        form->controller->progress.setSimulated(true);
        about = std::make_unique<TForm2>(form.get());
        form->setAboutWindow(about.get());
        settleAfterClick() = [this] { settle(); };
    }
    void TearDown() override
    {
        settleAfterClick() = {};
        about.reset();
        form.reset();
        d2xx::closeAll();
        if (hadDataHome_)
            qputenv("XDG_DATA_HOME", previousDataHome_);
        else
            qunsetenv("XDG_DATA_HOME");
    }

    // Motion this many times faster than the real instrument.
    virtual double speedFactor() const { return 20.0; }
    virtual QStringList arguments() const { return {}; }

    Controller& controller() { return *form->controller; }
    ControllerState& state() { return form->state; }
    QStringList commands() const { return instrument->commandTexts(); }
    QString settingsFile() const { return QDir(dataDir.path()).filePath(QStringLiteral("Velmar.ini")); }
    QString recordsFolder() const { return QDir(dataDir.path()).filePath(QStringLiteral("Velmar/records")); }
    // The record folders made so far, oldest name first.
    QStringList recordFolders() const
    {
        return QDir(recordsFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    }
    void writeSettings(const QByteArray& contents);

    // Runs the start-up sequence as its timer would, and waits until it has ended.
    void startUp()
    {
        controller().startUp.iThreadTimers1Timer1(form->iThreadTimers1);
        settle();
    }
    // The start-up, then the supply set as most runs and tests here have it: 12 V DC.
    void startUpAt12VoltsDc()
    {
        startUp();
        setTwelveVoltsDc();
    }
    void setTwelveVoltsDc()
    {
        form->iKnob1->setPosition(12.0);
        form->iSwitchSlider2->setPosition(1);  // DC
    }
    // Processes events until nothing the program started is on its way (a click's routine, a
    // run or test, the close), as an operator waits for the window to be ready again.
    void settle();
    // Clicks `button` and waits as settle() for what the click started.
    void click(QAbstractButton* button)
    {
        button->click();
        settle();
    }
    // Runs a routine of the controller to its end, as a click would and waiting as settle().
    void run(Task<void> routine);
    // Closes the window as its close button would and waits until the close has ended; true
    // when the window closed (false: the close stopped on an error and the window stays).
    bool closeWindow();
    // Processes events for `ms` (poll cycles, replies, timers run meanwhile).
    static void pump(int ms);

    RecordingPlatform platform;
    QTemporaryDir dataDir;
    std::shared_ptr<sim::KestromSim> instrument = std::make_shared<sim::KestromSim>();
    std::unique_ptr<TForm1> form;
    std::unique_ptr<TForm2> about;

private:
    bool hadDataHome_ = false;
    QByteArray previousDataHome_;
};

}  // namespace velmar::test
