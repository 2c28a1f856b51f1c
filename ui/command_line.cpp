#include "ui/command_line.h"

#include <cmath>

namespace velmar {

QString UsageText()
{
    return QStringLiteral(
        "Usage: velmar [DEBUG] [--debug] [--simulate[=SPEED]] [--port SERIAL=PATH]...\n"
        "              [--transcript=FILE] [--log=FILE] [--verbose] [--list-devices]\n"
        "              [--help] [--version]\n"
        "\n"
        "  DEBUG               (first argument only) show the diagnostic labels\n"
        "  --debug             the same as DEBUG, in any place\n"
        "  --simulate[=SPEED]  use the built-in simulated instrument instead of USB;\n"
        "                      SPEED (default 1) speeds up its motion\n"
        "  --port SERIAL=PATH  open the channel with this USB serial number (e.g. KS265000A)\n"
        "                      on the tty at PATH\n"
        "  --transcript=FILE   append every dialog's text, and with --simulate every command\n"
        "                      the instrument takes, to FILE as it happens\n"
        "  --log=FILE          append the log (commands and replies, how the channels were\n"
        "                      found and opened, runs) to FILE, one line per event\n"
        "  --verbose           log at debug level (to stderr without --log)\n"
        "  --list-devices      show the serial ports and whether each Kestrom channel can be\n"
        "                      opened, then exit: 0 when both can, 1 otherwise\n"
        "  --help              show this text\n"
        "  --version           show the version\n");
}

CommandLine ParseCommandLine(const QStringList& arguments)
{
    CommandLine line;
    // Exact and case-sensitive: 'debug' or a DEBUG in second place does not count.
    line.debug = !arguments.isEmpty() && arguments.first() == QStringLiteral("DEBUG");

    auto addPort = [&line](const QString& mapping) {
        const qsizetype eq = mapping.indexOf(u'=');
        if (eq <= 0 || eq == mapping.size() - 1) {
            line.error = QStringLiteral("--port expects SERIAL=PATH, got '%1'").arg(mapping);
            return;
        }
        line.ports.insert(mapping.left(eq), mapping.mid(eq + 1));
    };

    for (qsizetype i = 0; i < arguments.size() && line.error.isEmpty(); ++i) {
        const QString& arg = arguments[i];
        if (arg == QStringLiteral("--help") || arg == QStringLiteral("-h")) {
            line.help = true;
        } else if (arg == QStringLiteral("--version")) {
            line.version = true;
        } else if (arg == QStringLiteral("--simulate")) {
            line.simulate = true;
        } else if (arg.startsWith(QStringLiteral("--simulate="))) {
            bool ok = false;
            const double speed = arg.mid(11).toDouble(&ok);
            line.simulate = true;
            // A refused speed is not kept: the line says what was wrong, and nothing downstream
            // ever sees a speed that is not a positive number.
            if (!ok || !std::isfinite(speed) || speed <= 0)
                line.error = QStringLiteral("--simulate expects a positive speed, got '%1'").arg(arg.mid(11));
            else
                line.simulateSpeed = speed;
        } else if (arg == QStringLiteral("--port")) {
            if (i + 1 >= arguments.size())
                line.error = QStringLiteral("--port expects SERIAL=PATH");
            else
                addPort(arguments[++i]);
        } else if (arg.startsWith(QStringLiteral("--port="))) {
            addPort(arg.mid(7));
        } else if (arg.startsWith(QStringLiteral("--transcript="))) {
            line.transcript = arg.mid(13);
            if (line.transcript.isEmpty())
                line.error = QStringLiteral("--transcript expects a file name");
        } else if (arg == QStringLiteral("--log")) {
            line.error = QStringLiteral("--log expects a file name: --log=FILE");
        } else if (arg.startsWith(QStringLiteral("--log="))) {
            line.log = arg.mid(6);
            if (line.log.isEmpty())
                line.error = QStringLiteral("--log expects a file name");
        } else if (arg == QStringLiteral("--verbose")) {
            line.verbose = true;
        } else if (arg == QStringLiteral("--debug")) {
            line.debug = true;
        } else if (arg == QStringLiteral("--list-devices")) {
            line.listDevices = true;
        } else if (arg.startsWith(QStringLiteral("--"))) {
            line.error = QStringLiteral("unknown option '%1'").arg(arg);
        }
        // Other words (DEBUG in first place, anything after it) are ignored, as they always were.
    }
    return line;
}

}  // namespace velmar
