#pragma once

// The stored configuration of TForm1's instrument widgets: the property values loading the
// window gives each instance (TForm1::applyStoredConfiguration), before the window places it.
// The widgets themselves know nothing of the window.

namespace velmar {

class TiAngularGauge;
class TiKnob;
class TiLedRound;
class TiLinearGauge;
class TiPlot;
class TiSevenSegmentAnalog;
class TiSwitchSlider;

// Gives `plot` the configuration of the main window's chart: toolbar, legend, the cycle
// axis, the current and total-current axes, their two channels, a data view, a hidden data
// cursor and the four labels (title, status line, maker, date and time).
void configurePlot1(TiPlot& plot);

// Gives a knob the configuration of the main window's supply-voltage knob `iKnob1`:
// 4 .. 55 V, turning clockwise through 300 degrees from 240, eleven labels, the radial-line
// indicator and the "4.0V" display. Sets its size (137 x 105) but not its place.
void configureKnob1(TiKnob& knob);

// `iSwitchSlider1`, the stroke-speed switch: "Low, Medium, Normal", at 2 (Normal), lowered
// border, 105 x 145.
void configureSwitchSlider1(TiSwitchSlider& slider);
// `iSwitchSlider2`, the supply mode switch: "AC, DC", at 1 (DC), 65 x 89.
void configureSwitchSlider2(TiSwitchSlider& slider);

// Gives `gauge` the configuration of the main window's position gauge, as loading the window
// does: connect OnPointerPositionChanged first to see the loading-time events (indexes 0 to 5
// for the stored positions 5, 5, 7, 17, 19, 27).
void configureLinearGauge1(TiLinearGauge& gauge);

// Gives a meter the configuration of the main window's current meter `iAngularGauge1`:
// 0 .. 500 (from the auto-scale, six labelled ticks), a half circle over the top, a black
// line needle with its hub, and the " Current Ma" label. Sets its size (161 x 97).
void configureAngularGauge1(TiAngularGauge& gauge);

// Gives `readout` the configuration of the main window's current readout.
void configureSevenSegmentAnalog1(TiSevenSegmentAnalog& readout);

// Gives `lamp` the configuration of the main window's polish lamp.
void configureLedRound1(TiLedRound& lamp);

}  // namespace velmar
