#include "platform/number_format.h"

#include <QLocale>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

namespace velmar {
namespace {

// The decimal expansion of |x|: 17 significant digits and the exponent of the first one, so
// that rounding decisions are taken on the value's own decimal digits (1.005 is 1.00499...).
struct Decimal {
    std::string digits;  // significant digits, no leading zeros; empty for zero
    int exponent = 0;    // value = 0.d1d2d3... * 10^exponent
    bool negative = false;
};

Decimal decimalOf(double x)
{
    Decimal d;
    d.negative = std::signbit(x);
    if (x == 0.0)
        return d;
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.16e", std::fabs(x));
    const std::string text(buffer);
    const auto e = text.find('e');
    d.digits = text.substr(0, 1) + text.substr(2, e - 2);
    d.exponent = std::stoi(text.substr(e + 1)) + 1;
    return d;
}

// Keeps `count` leading digits, rounding half away from zero; a carry adds a digit in front.
void roundDigits(Decimal& d, int count)
{
    if (count < 0) {
        d.digits.clear();
        return;
    }
    if (static_cast<int>(d.digits.size()) <= count)
        return;
    const bool up = d.digits[static_cast<size_t>(count)] >= '5';
    d.digits.resize(static_cast<size_t>(count));
    if (up) {
        int i = count - 1;
        for (; i >= 0; --i) {
            if (d.digits[static_cast<size_t>(i)] == '9') {
                d.digits[static_cast<size_t>(i)] = '0';
            } else {
                ++d.digits[static_cast<size_t>(i)];
                break;
            }
        }
        if (i < 0) {
            d.digits.insert(d.digits.begin(), '1');
            ++d.exponent;
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    if (d.digits.empty())
        d.exponent = 0;
}

QString nonFinite(double x)
{
    if (std::isnan(x))
        return QStringLiteral("NAN");
    return x < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

QString scientific(const Decimal& d, const QString& point)
{
    QString s = d.negative ? QStringLiteral("-") : QString();
    s += QChar(d.digits[0]);
    if (d.digits.size() > 1)
        s += point + QString::fromLatin1(d.digits.substr(1).c_str());
    s += QLatin1Char('E') + QString::number(d.exponent - 1);
    return s;
}

}  // namespace

QString FormatGeneralPrecision(double x, int precision)
{
    if (!std::isfinite(x))
        return nonFinite(x);
    Decimal d = decimalOf(x);
    roundDigits(d, precision);
    if (d.digits.empty())
        return QStringLiteral("0");
    const QString point = QLocale().decimalPoint();
    if (d.exponent > precision || d.exponent < -3)
        return scientific(d, point);
    QString s = d.negative ? QStringLiteral("-") : QString();
    const auto digits = QString::fromLatin1(d.digits.c_str());
    if (d.exponent <= 0) {
        s += QLatin1Char('0') + point + QString(-d.exponent, QLatin1Char('0')) + digits;
    } else if (d.exponent >= digits.size()) {
        s += digits + QString(d.exponent - digits.size(), QLatin1Char('0'));
    } else {
        s += digits.left(d.exponent) + point + digits.mid(d.exponent);
    }
    return s;
}

QString FormatGeneral(double x) { return FormatGeneralPrecision(x, 15); }

QString FormatNumber(double x, int precision, int decimals)
{
    if (!std::isfinite(x))
        return nonFinite(x);
    Decimal d = decimalOf(x);
    if (!d.digits.empty())
        roundDigits(d, std::min(precision, d.exponent + decimals));
    if (d.exponent > precision)
        return FormatGeneralPrecision(x, precision);

    const QLocale locale;
    const auto digits = QString::fromLatin1(d.digits.c_str());
    QString integer;
    QString fraction;
    if (d.digits.empty() || d.exponent <= 0) {
        integer = QStringLiteral("0");
        fraction = QString(std::max(0, -d.exponent), QLatin1Char('0')) + digits;
    } else {
        integer = digits.left(d.exponent).leftJustified(d.exponent, QLatin1Char('0'));
        fraction = digits.mid(d.exponent);
    }
    fraction = fraction.leftJustified(decimals, QLatin1Char('0'), true);

    const QString group = locale.groupSeparator();
    QString grouped;
    for (qsizetype i = 0; i < integer.size(); ++i) {
        if (i > 0 && (integer.size() - i) % 3 == 0)
            grouped += group;
        grouped += integer[i];
    }
    QString s = (d.negative && !d.digits.empty()) ? QStringLiteral("-") : QString();
    s += grouped;
    if (decimals > 0)
        s += locale.decimalPoint() + fraction;
    return s;
}

std::int32_t RoundToInt(double x)
{
    if (std::isnan(x))
        return 0;
    const double r = std::nearbyint(x);  // default rounding mode: to nearest, ties to even
    if (r >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    if (r <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(r);
}

}  // namespace velmar
