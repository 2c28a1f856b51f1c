#pragma once

#include <QMap>
#include <QString>

class QTextStream;

namespace velmar {

// `velmar --list-devices`: every USB serial port found (tty, USB serial, interface, driver),
// then, for each of the instrument's two channels, where it is and whether this user can open
// it, and if not why. Returns the exit status: 0 when both channels can be opened, 1 otherwise.
// Needs no display. `ports` are the channels given by --port; the roots are for tests.
int ListDevices(const QMap<QString, QString>& ports, QTextStream& out, const QString& sysRoot = QStringLiteral("/sys"),
                const QString& devRoot = QStringLiteral("/dev"));

}  // namespace velmar
