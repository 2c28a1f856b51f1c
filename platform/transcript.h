#pragma once

#include <QString>

namespace velmar {

// An optional running record of what the operator was shown and what the simulated instrument
// was told, one line each, flushed as it happens (for demonstrations and end-to-end checks of
// the real program). Off unless a file is given on the command line.
// A regular file or a terminal; anything else (a FIFO, a folder, a device) is refused at once,
// with false and `*error` saying why.
bool OpenTranscript(const QString& fileName, QString* error);
// Appends "<kind>: <text>" when a transcript is open; line breaks in the text are escaped.
void WriteTranscript(const QString& kind, const QString& text);

}  // namespace velmar
