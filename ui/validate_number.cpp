#include "ui/validate_number.h"

#include "platform/dialogs.h"
#include "platform/platform_services.h"

#include <cmath>
#include <charconv>
#include <string>

namespace velmar {

bool IsDecimalNumber(const QString& text, const QLocale& locale)
{
    const QString separator = locale.decimalPoint();
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && text[i] == u' ')
        ++i;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    if (i >= n)
        return false;
    auto isDigit = [&](qsizetype k) { return k < n && text[k] >= u'0' && text[k] <= u'9'; };
    std::string number = "0";
    while (isDigit(i))
        number += static_cast<char>(text[i++].unicode());
    qsizetype separatorLength = 0;
    if (text.mid(i, separator.size()) == separator)
        separatorLength = separator.size();
    else if (i < n && text[i] == u'.')
        separatorLength = 1;
    if (separatorLength > 0) {
        number += '.';
        i += separatorLength;
        while (isDigit(i))
            number += static_cast<char>(text[i++].unicode());
    }
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        number += 'e';
        ++i;
        if (i < n && (text[i] == u'+' || text[i] == u'-'))
            number += static_cast<char>(text[i++].unicode());
        if (!isDigit(i))
            return false;
        while (isDigit(i))
            number += static_cast<char>(text[i++].unicode());
    }
    if (i != n)
        return false;
    // A value beyond the range of a double ('1e5000') is not a number we can use.
    if (number.back() == '.')
        number += '0';
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error == std::errc::result_out_of_range)
        return number.find("e-") != std::string::npos;  // underflow reads as 0
    return error == std::errc() && std::isfinite(value);
}

bool ValidateNumber(const QString& text)
{
    if (text.isEmpty() || IsDecimalNumber(text))
        return true;
    platform().beep();
    openDialog(DialogKind::Info, text + QStringLiteral(" not a valid number"));
    return false;
}

}  // namespace velmar
