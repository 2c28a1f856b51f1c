#include "tests/support/parser_properties.h"

#include "controller/records/ini_file.h"
#include "platform/conversions.h"
#include "ui/command_line.h"
#include "ui/validate_number.h"

#include <cmath>

namespace velmar::test {

QString CheckParserProperties(const QByteArray& input)
{
    // The settings reader keeps every line as it was.
    IniFile file(input);
    if (file.contents() != input)
        return QStringLiteral("reading and writing back changed the file");
    // Writing one key leaves it readable and keeps the value of another key that was there.
    const auto before = file.value(QStringLiteral("Calibrate"), QStringLiteral("CurrentCal"));
    file.setValue(QStringLiteral("Motion"), QStringLiteral("HomeSteps"), QStringLiteral("234"));
    if (file.value(QStringLiteral("Motion"), QStringLiteral("HomeSteps")) != QStringLiteral("234"))
        return QStringLiteral("a written key did not read back");
    if (IniFile(file.contents()).value(QStringLiteral("Calibrate"), QStringLiteral("CurrentCal")) != before)
        return QStringLiteral("writing one key changed another");

    const QString text = QString::fromUtf8(input);
    int integer = 0;
    if (TryStrToInt(text, integer)) {
        int again = 0;
        if (!TryStrToInt(QString::number(integer), again) || again != integer)
            return QStringLiteral("an integer did not survive its own decimal text");
    }
    double real = 0;
    if (TryStrToFloat(text, real) && !std::isfinite(real))
        return QStringLiteral("a real conversion gave a value that is not finite");
    // The number check never throws and treats the empty text as valid.
    IsDecimalNumber(text);
    if (!IsDecimalNumber(QStringLiteral("0")))
        return QStringLiteral("the number check refused 0");
    return {};
}

namespace {

bool sameLine(const CommandLine& a, const CommandLine& b)
{
    return a.debug == b.debug && a.simulate == b.simulate && a.simulateSpeed == b.simulateSpeed &&
           a.ports == b.ports && a.transcript == b.transcript && a.help == b.help &&
           a.version == b.version && a.error == b.error;
}

}  // namespace

QString CheckCommandLineProperties(const QByteArray& input)
{
    QStringList arguments;
    for (const QByteArray& argument : input.split('\0'))
        arguments << QString::fromUtf8(argument);
    const CommandLine line = ParseCommandLine(arguments);
    if (!sameLine(line, ParseCommandLine(arguments)))
        return QStringLiteral("the same arguments parsed two ways");
    if (line.debug != (arguments.first() == QStringLiteral("DEBUG")))
        return QStringLiteral("DEBUG is taken from the first argument exactly, and only from there");
    if (!line.error.isEmpty())
        return {};

    // What was accepted is usable: a speed the simulator can scale by, ports with both halves.
    if (!std::isfinite(line.simulateSpeed) || line.simulateSpeed <= 0)
        return QStringLiteral("accepted a simulation speed of %1").arg(line.simulateSpeed);
    for (auto port = line.ports.cbegin(); port != line.ports.cend(); ++port) {
        if (port.key().isEmpty() || port.value().isEmpty() || port.key().contains(u'='))
            return QStringLiteral("accepted a port '%1' -> '%2'").arg(port.key(), port.value());
    }

    // Written back as options, the result reads as the same command line.
    QStringList again;
    if (line.debug)
        again << QStringLiteral("DEBUG");
    if (line.simulate)
        again << QStringLiteral("--simulate=%1").arg(QString::number(line.simulateSpeed, 'g', 17));
    for (auto port = line.ports.cbegin(); port != line.ports.cend(); ++port)
        again << QStringLiteral("--port") << port.key() + u'=' + port.value();
    if (!line.transcript.isEmpty())
        again << QStringLiteral("--transcript=") + line.transcript;
    if (line.help)
        again << QStringLiteral("--help");
    if (line.version)
        again << QStringLiteral("--version");
    const CommandLine reread = ParseCommandLine(again);
    if (!reread.error.isEmpty())
        return QStringLiteral("its own options were refused: ") + reread.error;
    if (!sameLine(line, reread))
        return QStringLiteral("written back and read again, the command line changed: ") + again.join(u' ');
    return {};
}

}  // namespace velmar::test
