#pragma once

#include "controller/controller.h"
#include "timers/tithreadtimers.h"
#include "ui/about_window.h"
#include "ui/main_window.h"
#include "widgets/tiknob.h"
#include "widgets/tiswitchslider.h"

#include <QPushButton>

namespace velmar::bench {

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
        form.iKnob1->setPosition(12.0);
        form.iSwitchSlider2->setPosition(1);
        form.iSwitchSlider1->setPosition(2);
        form.Button11->click();  // Power On
    }
};

}  // namespace velmar::bench
