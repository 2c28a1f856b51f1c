#include "platform/conversions.h"

#include <QLocale>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace velmar {

bool TryStrToInt(const QString& text, int& value)
{
    int i = 0;
    const int n = static_cast<int>(text.size());
    while (i < n && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    int base = 10;
    if (i < n && text[i] == u'$') {
        base = 16;
        ++i;
    } else if (i + 2 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    if (i >= n)
        return false;
    std::uint64_t magnitude = 0;
    const std::uint64_t limit = base == 16 ? 0xFFFFFFFFull : 0x80000000ull;
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        int digit;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            return false;
        magnitude = magnitude * base + digit;
        if (magnitude > limit)
            return false;
    }
    if (base == 10 && !negative && magnitude > 0x7FFFFFFFull)
        return false;
    const auto bits = static_cast<std::uint32_t>(magnitude);
    const auto signedValue = static_cast<std::int32_t>(negative ? 0u - bits : bits);
    value = signedValue;
    return true;
}

int StrToInt(const QString& text)
{
    int value = 0;
    if (!TryStrToInt(text, value))
        throw ConversionError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return value;
}

namespace {

// Sign, digits with at most one decimal separator, an optional exponent, blanks around;
// `alsoPoint` lets the point stand for the separator as well. Rebuilt in the C locale's
// form, because strtod would also take "inf", "nan" and hex, which we refuse.
bool tryParseReal(const QString& text, bool alsoPoint, double& value)
{
    const QString separator = QLocale().decimalPoint();
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    std::string c;
    int i = 0;
    const int n = static_cast<int>(trimmed.size());
    if (trimmed[i] == u'-')
        c += '-';
    if (trimmed[i] == u'+' || trimmed[i] == u'-')
        ++i;
    int mantissaDigits = 0;
    while (i < n && trimmed[i].isDigit() && trimmed[i].unicode() < 128) {
        c += static_cast<char>(trimmed[i++].unicode());
        ++mantissaDigits;
    }
    int separatorLength = 0;
    if (trimmed.mid(i, separator.size()) == separator)
        separatorLength = static_cast<int>(separator.size());
    else if (alsoPoint && i < n && trimmed[i] == u'.')
        separatorLength = 1;
    if (separatorLength > 0) {
        c += '.';
        i += separatorLength;
        while (i < n && trimmed[i].isDigit() && trimmed[i].unicode() < 128) {
            c += static_cast<char>(trimmed[i++].unicode());
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return false;
    if (i < n && (trimmed[i] == u'e' || trimmed[i] == u'E')) {
        c += 'e';
        ++i;
        if (i < n && (trimmed[i] == u'+' || trimmed[i] == u'-'))
            c += static_cast<char>(trimmed[i++].unicode());
        int exponentDigits = 0;
        while (i < n && trimmed[i].isDigit() && trimmed[i].unicode() < 128) {
            c += static_cast<char>(trimmed[i++].unicode());
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return false;
    }
    if (i != n)
        return false;
    // from_chars ignores the C library's locale, which the toolkit sets from the environment.
    double parsed = 0.0;
    const auto [end, error] = std::from_chars(c.data(), c.data() + c.size(), parsed);
    if (end != c.data() + c.size() || !std::isfinite(parsed))
        return false;
    if (error == std::errc::result_out_of_range) {
        // Underflow reads as zero, as the runtime does; overflow is refused.
        if (c.find("e-") == std::string::npos)
            return false;
        parsed = 0.0;
    } else if (error != std::errc()) {
        return false;
    }
    value = parsed;
    return true;
}

[[noreturn]] void throwNotAFloat(const QString& text)
{
    throw ConversionError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
}

}  // namespace

bool TryStrToFloat(const QString& text, double& value) { return tryParseReal(text, false, value); }

bool TryFieldToFloat(const QString& text, double& value) { return tryParseReal(text, true, value); }

double StrToFloat(const QString& text)
{
    double value = 0.0;
    if (!TryStrToFloat(text, value))
        throwNotAFloat(text);
    return value;
}

double FieldToFloat(const QString& text)
{
    double value = 0.0;
    if (!TryFieldToFloat(text, value))
        throwNotAFloat(text);
    return value;
}

}  // namespace velmar
