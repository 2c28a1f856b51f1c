#pragma once

#include <QString>

namespace velmar {

// The decimal grammar of the numeric entry fields, independent of the locale (the point is
// always the separator): blanks, sign, digits with an optional point, optional exponent.
bool IsDecimalNumber(const QString& text);

// Empty or decimal: true. Otherwise beeps, shows '<text> not a valid number' and returns false
// once the operator has closed the dialog.
bool ValidateNumber(const QString& text);

}  // namespace velmar
