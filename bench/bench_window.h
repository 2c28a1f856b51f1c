#pragma once

#include "controller/controller.h"
#include "timers/tithreadtimers.h"
#include "ui/about_window.h"
#include "ui/main_window.h"
#include "widgets/dials/tiknob.h"
#include "widgets/dials/tiswitchslider.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEventLoop>
#include <QPushButton>
#include <QTimer>

namespace velmar::bench {

// Processes the window's events until nothing the program started is on its way (a click's
// routine, a run, the homing): the benchmark's own wait, as an operator waits for the window.
inline void waitUntilIdle(TForm1& form)
{
    QTimer tick;  // wakes the loop now and then, so the last change is seen at once
    tick.start(5);
    QCoreApplication::processEvents();
    while (!form.controller->idle())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// Clicks `button` and waits for what the click started.
inline void clickAndWait(TForm1& form, QAbstractButton* button)
{
    button->click();
    waitUntilIdle(form);
}

// The main window shown (offscreen) on whatever instrument is installed, homed as the start-up
// sequence does it, at 12 V DC and Normal speed with the supply on, so a run has a current to
// chart: where the run benchmarks begin.
struct BenchWindow {
    TForm1 form;
    TForm2 about{&form};

    BenchWindow()
    {
        form.iThreadTimers1->setEnabled(1, false);
        form.setAboutWindow(&about);
        form.show();
        form.controller->startUp.iThreadTimers1Timer1(form.iThreadTimers1);
        waitUntilIdle(form);
        form.iKnob1->setPosition(12.0);
        form.iSwitchSlider2->setPosition(1);
        form.iSwitchSlider1->setPosition(2);
        clickAndWait(form, form.Button11);  // Power On
    }
};

}  // namespace velmar::bench
