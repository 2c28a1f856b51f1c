#pragma once

#include <QString>

#include <cstdint>

// The words of the instrument's command channel, in one place for the program that sends them
// and the simulated instrument that answers them. Each command is one line of text, ended on
// the wire by a carriage return the channel adds.
namespace velmar::protocol {

namespace word {
inline constexpr char GoTo[] = "GT";          // GT n: move by n steps (positive goes up)
inline constexpr char GoPolish[] = "GP";      // GP n c: a polish stroke of n steps, c the overshoot correction
inline constexpr char Top[] = "TP";           // TP: to the top, where the count is zeroed
inline constexpr char Speed[] = "SS";         // SS s: axis speed, 2 normal, 3 medium, 4 low
inline constexpr char SetPoint[] = "SP";      // SP 1024 n: supply set-point, volts x 16
inline constexpr char Direct[] = "DC";        // supply mode
inline constexpr char Alternating[] = "AC";
inline constexpr char Output[] = "PO";        // PO 1 / PO 0: supply output on / off
inline constexpr char Relay[] = "RY";         // RY 1 / RY 0: polishing relay on / off
inline constexpr char End[] = "X";            // X: the device ends its operation, output and relay off
}  // namespace word

inline QString goTo(std::int32_t steps) { return QStringLiteral("%1 %2").arg(QLatin1String(word::GoTo)).arg(steps); }
inline QString goPolish(std::int32_t steps, std::int32_t correction)
{
    return QStringLiteral("%1 %2 %3").arg(QLatin1String(word::GoPolish)).arg(steps).arg(correction);
}
inline QString top() { return QLatin1String(word::Top); }
inline QString speed(std::int32_t setting) { return QStringLiteral("%1 %2").arg(QLatin1String(word::Speed)).arg(setting); }
inline QString setPoint(std::int64_t count)
{
    return QStringLiteral("%1 1024 %2").arg(QLatin1String(word::SetPoint)).arg(count);
}
inline QString mode(bool direct) { return QLatin1String(direct ? word::Direct : word::Alternating); }
inline QString output(bool on) { return QStringLiteral("%1 %2").arg(QLatin1String(word::Output), on ? u"1" : u"0"); }
inline QString relay(bool on) { return QStringLiteral("%1 %2").arg(QLatin1String(word::Relay), on ? u"1" : u"0"); }
inline QString end() { return QLatin1String(word::End); }

}  // namespace velmar::protocol
