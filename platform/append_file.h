#pragma once

#include <QString>

namespace velmar {

// Opens `path` to append to it, creating it if need be, without ever waiting: a FIFO with no
// reader, or a device that blocks on open, is refused at once instead of holding the program
// before its window. Only a regular file is accepted, and a terminal where `terminalToo`.
// Returns the descriptor (close-on-exec, blocking for the writes that follow), or -1 with
// `*error` saying why.
int OpenForAppending(const QString& path, bool terminalToo, QString* error);

}  // namespace velmar
