#pragma once

namespace velmar {

struct ControllerState;
struct MainWindowControls;
class UsbChannelDriver;

// Channel B: the polishing current as 6-byte text frames, at most one taken per call, never
// waiting for data.
class CurrentStream {
public:
    CurrentStream(ControllerState& state, UsbChannelDriver& driver, MainWindowControls& ui)
        : state_(state), driver_(driver), ui_(ui)
    {
    }

    void OpenDataChannel();
    void ReadCurrentFrame();

private:
    ControllerState& state_;
    UsbChannelDriver& driver_;
    MainWindowControls& ui_;
};

}  // namespace velmar
