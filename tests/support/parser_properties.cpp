#include "tests/support/parser_properties.h"

#include "controller/ini_file.h"
#include "platform/conversions.h"
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

}  // namespace velmar::test
