#pragma once

#include "platform/handler_error.h"

#include <QString>

#include <stdexcept>

namespace velmar {

// A runtime conversion error. It travels up to the application object, which shows its
// message in the standard error dialog and ends only the handler that raised it.
class ConversionError : public HandlerError {
public:
    explicit ConversionError(const QString& message) : HandlerError(message) {}
};

// Text to 32-bit signed integer: leading blanks, an optional sign, decimal digits, or
// hexadecimal after "$" or after "0x"/"0X" (hex covers the full 32 bits and wraps, as the
// instrument's tools write it). Anything else throws "'<text>' is not a valid integer value".
int StrToInt(const QString& text);
// Like StrToInt, but reports failure instead of throwing.
bool TryStrToInt(const QString& text, int& value);

// Text to double in the user's locale (its decimal separator, no group separators), with
// optional blanks around, a sign and an exponent. Anything else (including NaN, infinities
// and out-of-range values) throws "'<text>' is not a valid floating point value".
double StrToFloat(const QString& text);
bool TryStrToFloat(const QString& text, double& value);

// Text to double as the numeric entry fields are read: like StrToFloat, but the point is
// taken as the decimal separator too, so a comma locale's operator may type either ('12,5'
// and '12.5' are both 12.5). One separator per number, no group separators.
double FieldToFloat(const QString& text);
bool TryFieldToFloat(const QString& text, double& value);

}  // namespace velmar
