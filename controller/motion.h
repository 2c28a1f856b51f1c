#pragma once

#include "platform/task.h"

#include "platform/named_colours.h"

#include <QColor>

#include <cstdint>

namespace velmar {

class Controller;

// Where the electrode is (the controller counts: the device has no read-back), the two kinds of
// move, the position buttons and the teaching of positions by dragging the gauge's pointers.
class Motion {
public:
    // 0.0064 mm per motor step; larger step counts are lower positions.
    static constexpr long double MmPerStep = 0.0064L;
    // Pointers of the position gauge that mark taught positions.
    static constexpr int HomePointer = 2;
    static constexpr int PolishPointer = 3;
    static constexpr int ElectrolytePointer = 5;
    // Readout colours: a position reached by a move; a Home or End Polish pointer moved but not
    // applied; the Electrolyte pointer moved but not applied.
    static constexpr QColor Navy = colours::Navy;
    static constexpr QColor Red = colours::Red;
    static constexpr QColor Lime = colours::Lime;

    explicit Motion(Controller& c) : c_(c) {}

    // Shows `steps` as the present position (readout, step label, gauge); returns millimetres.
    double ShowPosition(std::int32_t steps);
    // Millimetres to the nearest step (ties to even), shown in the step label.
    std::int32_t MmToSteps(double mm);
    // Absolute move with "GT"; dropped while another move is being issued.
    Task<void> MoveTo(std::int32_t target);
    // Absolute polish stroke with "GP" and the device's 2-step correction; dropped while busy.
    Task<void> MovePolish(std::int32_t target);
    Task<void> ApplyPendingMoves();
    // The clicks start their routines and return.
    void Button1Click();  // Top
    void Button2Click();  // Home
    void Button7Click();  // End Polish
    void Button3Click();  // Electrolyte
    void iLinearGauge1PointerPositionChanged(int index);  // a teach pointer dragged: its new place
    void iLinearGauge1MouseUp();  // a drag released: the moves it left pending
    void Button4Click();  // five short strokes up and down (a hidden test button)
    void Button5Click();  // normal speed

    // Puts a teach pointer at `mm` from code (start-up). Unlike an operator's drag the value is
    // taken as it is, even beyond the scale.
    void PlaceTeachPointer(int index, double mm);

    // The readout's font colour as last set here.
    QColor readoutColour() const { return readoutColour_; }

private:
    void setReadoutColour(const QColor& colour);
    // During an operator's drag, a teach pointer taken past an end of the scale is put back on
    // that end; returns true when it did (the pointer's own change event then teaches).
    bool holdDraggedPointerOnScale(int index, double mm);

    Controller& c_;
    QColor readoutColour_;
    bool placing_ = false;
};

}  // namespace velmar
