#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

namespace velmar {

// velmar [DEBUG] [--debug] [--simulate[=SPEED]] [--port SERIAL=PATH]... [--transcript=FILE]
//        [--log=FILE] [--verbose] [--list-devices] [--help] [--version]
struct CommandLine {
    bool debug = false;      // the first argument is exactly "DEBUG", or --debug anywhere
    bool simulate = false;
    double simulateSpeed = 1.0;
    QMap<QString, QString> ports;  // USB serial number -> tty path
    QString transcript;      // --transcript=FILE: dialogs (and simulated commands) as they happen
    QString log;             // --log=FILE: the log, appended
    bool verbose = false;    // --verbose: the log at debug level
    bool listDevices = false;  // --list-devices: report the serial ports and exit
    bool help = false;
    bool version = false;
    QString error;           // non-empty: malformed, exit with status 2
};

// `arguments` without the program name.
CommandLine ParseCommandLine(const QStringList& arguments);
QString UsageText();

}  // namespace velmar
