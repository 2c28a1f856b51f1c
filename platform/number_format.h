#pragma once

#include <QString>

#include <cstdint>

namespace velmar {

// A real for display, rounded once to at most `precision` significant digits and at most
// `decimals` decimals (ties away from zero), in the user's locale: thousands separators and
// exactly `decimals` decimals; a value with more integer digits than `precision` is written
// in the general form with `precision` digits ('1.235E4').
QString FormatNumber(double x, int precision, int decimals);

// The shortest decimal form with up to 15 significant digits ('1.5', '2', '652.5'); scientific
// ('1E-5', '1.5E20') below 0.0001 and above 15 integer digits.
QString FormatGeneral(double x);

// General form with at most `precision` significant digits; scientific when the value has more
// integer digits than `precision` or lies below 0.0001.
QString FormatGeneralPrecision(double x, int precision);

// Reals to integers in the controller: nearest, ties to even (clamped to the 32-bit range).
std::int32_t RoundToInt(double x);

}  // namespace velmar
