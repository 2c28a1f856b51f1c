#pragma once

#include "controller/insight/finish_estimate.h"
#include "controller/insight/status_text.h"
#include "controller/insight/vi_plateau.h"
#include "controller/records/record_folder.h"
#include "widgets/plot/plot_objects.h"

#include <QPointer>
#include <QTimer>

#include <cstdint>
#include <optional>
#include <vector>

namespace velmar {

class Controller;

// What the operator cannot read off the controls: what the instrument is doing, how far a
// run or test has got and when it will end, the plateau of a V-I sweep on the chart, and a
// desktop notification when a run or test ends while the program is in the background. The
// routines tell it of their start, each step and their end; it writes the status line (at most
// four times a second) and the chart's plateau band.
class Progress {
public:
    explicit Progress(Controller& c);

    // The channels are open on the built-in simulated instrument.
    void setSimulated(bool simulated) { simulated_ = simulated; }
    void startUpEnded();

    // A polish run: after its limits are read, at each dip, after each evaluation (with the
    // criteria it found met) and when its loop has ended.
    void polishStarted();
    void polishDipped();
    void halfCycleEvaluated(double average, bool cyclesMet, bool minimumMet, bool totalMet);
    void polishEnded();
    // A finish criterion was met: the notification goes out now, before the dialog that
    // announces it waits for the operator, and not again when the run's loop has ended.
    void polishFinishMet(RecordEnd criterion);

    // A V-I test: its range, the voltage of each step, each point, and its end.
    void testStarted(int minVolts, int maxVolts);
    void testStepStarted(int volts);
    void testPointTaken(double volts, double current);
    void testEnded();

    // Manual recording on and off.
    void recordingStarted();
    void recordingEnded();

    // "Use Suggested Voltage": the knob to the plateau's suggested voltage, by the knob's own
    // rules (its range); nothing is sent until the operator applies power.
    void useSuggestedVoltage();

    // What the status line says now, and writes it with the button's state (the timer does
    // this four times a second).
    QString statusText() const;
    void refresh();

    std::optional<VoltPlateau> plateau() const { return plateau_; }
    std::optional<FinishEstimate> finishEstimate() const { return estimate_; }
    // The plateau band and its label on the chart, while they are shown.
    TiPlotAnnotation* plateauBand() const { return band_; }
    TiPlotAnnotation* plateauLabel() const { return label_; }

    static constexpr int RefreshMs = 250;

private:
    double secondsSince(std::uint32_t tick) const;
    double secondsUntilEnd(std::uint32_t startTick, RecordKind kind) const;
    void showPlateau();
    void removePlateau();
    void ended(double seconds, const QString& how, bool notify);

    Controller& c_;
    QTimer timer_;
    bool simulated_ = false;
    bool startedUp_ = false;

    bool polishing_ = false;
    std::uint32_t polishStart_ = 0;
    std::vector<HalfCycleRecord> history_;
    long long evaluations_ = 0;
    int sinceDip_ = 0;
    double runTotal_ = 0.0;
    bool outputOff_ = false;
    bool cyclesMet_ = false, minimumMet_ = false, totalMet_ = false;
    bool finishNotified_ = false;
    FinishLimits limits_;
    std::optional<FinishEstimate> estimate_;

    bool testing_ = false;
    std::uint32_t testStart_ = 0;
    std::uint32_t lastPoint_ = 0;
    int minVolts_ = 0, maxVolts_ = 0, volts_ = 0;
    std::vector<VoltCurrentPoint> points_;
    std::optional<VoltPlateau> plateau_;
    QPointer<TiPlotAnnotation> band_;
    QPointer<TiPlotAnnotation> label_;

    bool recording_ = false;
    std::uint32_t recordingStart_ = 0;

    std::optional<StatusLineState> ended_;
};

}  // namespace velmar
