#pragma once

namespace velmar {

struct ControllerState;
struct MainWindowControls;
struct StreamRead;
class CurrentStream;

// The mean of the last three flagged readings (sample slots 1 to 3), summed from zero in slot
// order as it always was, so the result is the same to the last bit.
double AverageOfLastThree(const ControllerState& state);

// What a frame of the current stream means for the window: the queue count in Label12, the
// frame's text in Label6, the "Polish" lamp from the flag, the calibrated current in sample
// slot 0, and the rotation of the last three flagged readings through slots 1 to 3 and their
// labels (Label7 to Label9).
class CurrentReadout {
public:
    CurrentReadout(ControllerState& state, CurrentStream& stream, MainWindowControls& ui)
        : state_(state), stream_(stream), ui_(ui)
    {
    }

    // Reads at most one frame from the stream and shows it. Returns the calibrated current as
    // it stands afterwards (sample slot 0): the new reading, 0 for an unflagged frame, the last
    // one when no frame came.
    double ReadCurrentFrame();
    double show(const StreamRead& read);

private:
    ControllerState& state_;
    CurrentStream& stream_;
    MainWindowControls& ui_;
};

}  // namespace velmar
