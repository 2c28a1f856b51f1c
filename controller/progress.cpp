#include "controller/progress.h"

#include "controller/controller.h"
#include "platform/platform_services.h"
#include "widgets/dials/tiknob.h"
#include "widgets/plot/tiplot.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace velmar {

namespace {

// The estimator looks at a few hundred recent evaluations; an hours-long run keeps no more.
constexpr std::size_t KeptEvaluations = 2000;

}  // namespace

Progress::Progress(Controller& c) : c_(c)
{
    timer_.setInterval(RefreshMs);
    QObject::connect(&timer_, &QTimer::timeout, [this] { refresh(); });
    timer_.start();
}

double Progress::secondsSince(std::uint32_t tick) const
{
    // Unsigned difference: right across the tick counter's wrap-around.
    return double(std::uint32_t(platform().tickCount() - tick)) / 1000.0;
}

double Progress::secondsUntilEnd(std::uint32_t startTick, RecordKind kind) const
{
    // The moment the criterion was met or the stop asked, as the record has it; the dialog
    // that followed and the wind-down are not part of the run.
    if (const std::optional<std::uint32_t> end = c_.records.endTick(kind))
        return double(std::uint32_t(*end - startTick)) / 1000.0;
    return secondsSince(startTick);
}

void Progress::startUpEnded() { startedUp_ = true; }

// --- polish run --------------------------------------------------------------------------

void Progress::polishStarted()
{
    const ControllerState& s = c_.state;
    const MainWindowControls& ui = c_.ui;
    polishing_ = true;
    polishStart_ = platform().tickCount();
    history_.clear();
    evaluations_ = 0;
    finishNotified_ = false;
    sinceDip_ = 0;
    runTotal_ = 0.0;
    cyclesMet_ = minimumMet_ = totalMet_ = false;
    estimate_.reset();
    // An empty field set a far-away stand-in limit, which is no limit to estimate against.
    limits_ = {};
    if (!ui.Edit1->text().isEmpty())
        limits_.cycles = s.CycleLimit;
    if (!ui.Edit2->text().isEmpty())
        limits_.minimumCurrent = s.MinCurrentLimit;
    if (!ui.Edit3->text().isEmpty())
        limits_.totalCharge = s.TotalLimit;
    // The run does not switch the output on: it polishes only if Power On did, or the zero
    // pulse of the hidden check box switched it off again.
    outputOff_ = ui.Button11->text() == QStringLiteral("Power On") || ui.CheckBox1->isChecked();
    // A plateau band marks volts; from here on the X axis counts cycles.
    removePlateau();
}

void Progress::polishDipped() { sinceDip_ = 0; }

void Progress::halfCycleEvaluated(double average, bool cyclesMet, bool minimumMet, bool totalMet)
{
    if (!polishing_)
        return;
    const ControllerState& s = c_.state;
    ++evaluations_;
    runTotal_ += average;
    cyclesMet_ = cyclesMet_ || cyclesMet;
    minimumMet_ = minimumMet_ || minimumMet;
    totalMet_ = totalMet_ || totalMet;
    history_.push_back({secondsSince(polishStart_), s.CyclesDone, average, runTotal_, sinceDip_++});
    if (history_.size() > KeptEvaluations)
        history_.erase(history_.begin(), history_.begin() + KeptEvaluations / 2);
    // The run's own total keeps rising when Clear Chart sets the chart's back to 0; the limit
    // applies to the chart's.
    if (!c_.ui.Edit3->text().isEmpty())
        limits_.totalCharge = runTotal_ + (s.TotalLimit - s.TotalCharge);
    estimate_ = estimateFinish(history_, limits_);
}

void Progress::polishEnded()
{
    if (!polishing_)
        return;
    polishing_ = false;
    ended(secondsUntilEnd(polishStart_, RecordKind::Polish),
          polishEndingText(cyclesMet_, minimumMet_, totalMet_, c_.records.endReason(RecordKind::Polish)),
          !finishNotified_);
}

void Progress::polishFinishMet(RecordEnd criterion)
{
    if (!polishing_ || finishNotified_)
        return;
    finishNotified_ = true;
    StatusLineState s;
    s.activity = StatusLineState::Activity::Ended;
    s.elapsedSeconds = secondsSince(polishStart_);
    s.ending = polishEndingText(cyclesMet_ || criterion == RecordEnd::NumberOfCycles,
                                minimumMet_ || criterion == RecordEnd::MinimumCurrent,
                                totalMet_ || criterion == RecordEnd::TotalCharge, criterion);
    platform().notifyWhenInactive(QStringLiteral("Velmar"), statusLineText(s));
}

// --- V-I test ----------------------------------------------------------------------------

void Progress::testStarted(int minVolts, int maxVolts)
{
    testing_ = true;
    testStart_ = lastPoint_ = platform().tickCount();
    minVolts_ = minVolts;
    maxVolts_ = maxVolts;
    volts_ = minVolts;
    points_.clear();
    plateau_.reset();
    removePlateau();
}

void Progress::testStepStarted(int volts) { volts_ = volts; }

void Progress::testPointTaken(double volts, double current)
{
    lastPoint_ = platform().tickCount();
    points_.push_back({volts, current});
    plateau_ = findPlateau(points_);
    showPlateau();
}

void Progress::testEnded()
{
    if (!testing_)
        return;
    testing_ = false;
    ended(secondsUntilEnd(testStart_, RecordKind::ViTest),
          voltCurrentEndingText(c_.records.endReason(RecordKind::ViTest), plateau_), true);
}

void Progress::showPlateau()
{
    if (!plateau_) {
        removePlateau();
        return;
    }
    TiPlot* plot = c_.ui.iPlot1;
    const QString axis = plot->XAxisAt(0)->name();
    if (!band_) {
        band_ = plot->AddAnnotation();
        band_->setStyle(TiPlotAnnotation::Band);
        band_->setBrushColor(QColor(0, 120, 255, 40));
        band_->setPenColor(QColor(0, 120, 255, 140));
    }
    if (!label_) {
        label_ = plot->AddAnnotation();
        label_->setStyle(TiPlotAnnotation::Text);
        label_->setBrushColor(QColor(255, 255, 255, 210));
        label_->setFontColor(QColor(0, 60, 160));
    }
    band_->setXAxisName(axis);
    band_->setX1(plateau_->fromVolts);
    band_->setX2(plateau_->toVolts);
    label_->setXAxisName(axis);
    label_->setX1(plateau_->suggestedVolts);
    label_->setText(plateauText(*plateau_));
}

void Progress::removePlateau()
{
    TiPlot* plot = c_.ui.iPlot1;
    for (QPointer<TiPlotAnnotation>* annotation : {&band_, &label_}) {
        if (!*annotation)
            continue;
        for (int i = 0; i < plot->AnnotationCount(); ++i) {
            if (plot->AnnotationAt(i) == *annotation) {
                plot->DeleteAnnotation(i);
                break;
            }
        }
    }
}

void Progress::useSuggestedVoltage()
{
    // Only what the band shows: after Clear Chart the suggestion has gone with it.
    if (plateau_ && band_ && c_.ui.iKnob1->isEnabled())
        c_.ui.iKnob1->setPosition(plateau_->suggestedVolts);
}

// --- manual recording --------------------------------------------------------------------

void Progress::recordingStarted()
{
    recording_ = true;
    recordingStart_ = platform().tickCount();
}

void Progress::recordingEnded()
{
    if (!recording_)
        return;
    recording_ = false;
    ended(secondsSince(recordingStart_), recordingEndingText(c_.ui.iPlot1->ChannelAt(0)->Count()), false);
}

// --- the status line ---------------------------------------------------------------------

void Progress::ended(double seconds, const QString& how, bool notify)
{
    StatusLineState s;
    s.activity = StatusLineState::Activity::Ended;
    s.elapsedSeconds = seconds;
    s.ending = how;
    ended_ = s;
    if (notify)
        platform().notifyWhenInactive(QStringLiteral("Velmar"), statusLineText(s));
}

QString Progress::statusText() const
{
    using Activity = StatusLineState::Activity;
    StatusLineState s;
    if (c_.state.LinkFailed) {
        s.activity = Activity::NoInstrument;
    } else if (polishing_) {
        s.activity = Activity::Polishing;
        s.elapsedSeconds = secondsSince(polishStart_);
        s.cycle = int(std::max<long long>(1, (evaluations_ + 1) / 2));
        if (limits_.cycles)
            s.cycleLimit = int(*limits_.cycles);
        if (estimate_) {
            s.finishInSeconds = std::max(0.0, estimate_->atSeconds - s.elapsedSeconds);
            s.criterion = estimate_->criterion;
        }
        s.outputOff = outputOff_;
    } else if (testing_) {
        s.activity = Activity::VoltCurrentTest;
        s.elapsedSeconds = secondsSince(testStart_);
        s.volts = volts_;
        s.minVolts = minVolts_;
        s.maxVolts = maxVolts_;
        if (!points_.empty()) {
            // The steps still to come at the pace of those done, less what the present one
            // has already taken.
            const double perStep = std::uint32_t(lastPoint_ - testStart_) / 1000.0 / double(points_.size());
            const double steps = std::max(0.0, double(maxVolts_ - minVolts_) - double(points_.size()));
            s.testSecondsLeft = std::max(0.0, steps * perStep - secondsSince(lastPoint_));
        }
    } else if (recording_) {
        s.activity = Activity::Recording;
        s.elapsedSeconds = secondsSince(recordingStart_);
        s.points = c_.ui.iPlot1->ChannelAt(0)->Count();
    } else if (ended_) {
        s = *ended_;
    } else {
        s.activity = startedUp_ ? Activity::Ready : Activity::Homing;
    }
    s.simulated = simulated_;
    s.outputOn = c_.failSafe.outputMayBeOn();
    s.relayOn = c_.failSafe.relayMayBeOn();
    return statusLineText(s);
}

void Progress::refresh()
{
    if (QLabel* line = c_.ui.statusLine; line) {
        const QString text = statusText();
        if (line->text() != text)
            line->setText(text);
    }
    if (QPushButton* button = c_.ui.useSuggestedVoltage; button) {
        // Shown with the band it belongs to; usable while the knob is (not while the output is
        // on, a run holds the power group, or a test drives the knob).
        button->setVisible(bool(band_));
        button->setEnabled(bool(band_) && c_.ui.iKnob1->isEnabled() && !testing_);
    }
}

}  // namespace velmar
