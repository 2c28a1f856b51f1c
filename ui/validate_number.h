#pragma once

#include <QLocale>
#include <QString>

namespace velmar {

// The decimal grammar of the numeric entry fields: leading blanks, sign, digits with an
// optional decimal separator, optional exponent. The separator is the point or the locale's
// own (one of them per number), so an operator in a comma locale may type either; the
// fields' conversion (FieldToFloat) reads both the same.
bool IsDecimalNumber(const QString& text, const QLocale& locale = QLocale());

// Empty or decimal: true. Otherwise beeps, shows '<text> not a valid number' and returns false
// once the operator has closed the dialog.
bool ValidateNumber(const QString& text);

}  // namespace velmar
