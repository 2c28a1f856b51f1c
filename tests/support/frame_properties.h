#pragma once

#include <QByteArray>
#include <QString>

namespace velmar::test {

// Properties that must hold for any bytes arriving on the data channel, fed to the frame
// reader through the simulated instrument: the first byte sets how many arrive between two
// reads (1 to 16), the rest is the stream. Returns an empty string when they hold, otherwise
// what broke. Shared by the fuzz target and the corpus replay test; needs the application
// object (the reader lights a lamp and writes labels).
QString CheckFrameStreamProperties(const QByteArray& input);

}  // namespace velmar::test
