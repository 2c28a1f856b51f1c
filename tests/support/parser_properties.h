#pragma once

#include <QByteArray>
#include <QString>

namespace velmar::test {

// Properties that must hold for any input to the text parsers (the settings reader, the
// integer and real conversions, the entry fields' number check). Returns an empty string when
// they hold, otherwise what broke. Shared by the fuzz targets and the corpus replay test.
QString CheckParserProperties(const QByteArray& input);

// Properties of the command-line parser for any argument list; the input holds the arguments
// as UTF-8, separated by zero bytes.
QString CheckCommandLineProperties(const QByteArray& input);

}  // namespace velmar::test
