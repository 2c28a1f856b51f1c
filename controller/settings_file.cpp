#include "controller/settings_file.h"

#include "controller/records/ini_file.h"
#include "platform/conversions.h"
#include "platform/dialogs.h"
#include "platform/log.h"
#include "platform/number_format.h"
#include "platform/platform_services.h"

#include <QFileInfo>
#include <QStringList>

#include <charconv>
#include <cmath>

namespace velmar {
namespace {

const QString kMotion = QStringLiteral("Motion");
const QString kCalibrate = QStringLiteral("Calibrate");
const QString kHomeSteps = QStringLiteral("HomeSteps");
const QString kPolishSteps = QStringLiteral("PolishSteps");
const QString kElectrolyteSteps = QStringLiteral("ElectrolyteSteps");
const QString kCurrentCal = QStringLiteral("CurrentCal");

// Settings outside these bounds would drive the axis off its scale or turn every reading
// into nonsense; they are replaced by their defaults. The positions must lie on the gauge
// (0 to 20 mm at 0.0064 mm per step).
constexpr std::int32_t kMaxPositionSteps = 3125;
constexpr double kMaxCurrentCal = 1000.0;

// One value replaced by its default because it was out of range, for the operator's dialog.
struct Replaced {
    QString key;
    QString found;  // as written in the file
    QString used;
    QString allowed;
};

// A value as it appears in the dialog: long texts are cut, so the dialog stays readable.
QString shown(const QString& text)
{
    constexpr int kShownLength = 40;
    return text.size() <= kShownLength ? text : text.left(kShownLength) + QStringLiteral("...");
}

std::int32_t readPosition(const IniFile& file, const QString& key, std::int32_t fallback,
                          QList<Replaced>& replaced)
{
    const auto text = file.value(kMotion, key);
    int value = 0;
    if (!text || !TryStrToInt(*text, value))
        return fallback;
    if (value < 0 || value > kMaxPositionSteps) {
        replaced.append({key, shown(*text), QString::number(fallback),
                         QStringLiteral("0 to %1").arg(kMaxPositionSteps)});
        return fallback;
    }
    return value;
}

// A text that names no finite number ("NaN", "inf") or one beyond any double ("1e400"):
// the number conversion refuses those like any other text, but they are plainly meant as a
// calibration, so the operator is told that it was not used.
bool namesNonFiniteNumber(const QString& text)
{
    QByteArray bytes = text.trimmed().toLatin1();
    if (bytes.startsWith('+'))
        bytes.remove(0, 1);
    double value = 0.0;
    const char* end = bytes.constData() + bytes.size();
    const auto [stop, error] = std::from_chars(bytes.constData(), end, value);
    if (stop != end || bytes.isEmpty())
        return false;
    return error == std::errc::result_out_of_range || (error == std::errc() && !std::isfinite(value));
}

// In the user's locale, so a calibration typed in by hand reads with the separator the
// operator is used to.
double readCalibration(const IniFile& file, double fallback, QList<Replaced>& replaced)
{
    const auto text = file.value(kCalibrate, kCurrentCal);
    if (!text || text->isEmpty())
        return fallback;
    double value = 0.0;
    const bool converted = TryStrToFloat(*text, value);
    if (!converted && !namesNonFiniteNumber(*text))
        return fallback;
    if (!converted || !std::isfinite(value) || value <= 0.0 || value > kMaxCurrentCal) {
        replaced.append({kCurrentCal, shown(*text), FormatGeneral(fallback),
                         QStringLiteral("above 0 up to %1").arg(FormatGeneral(kMaxCurrentCal))});
        return fallback;
    }
    return value;
}

void useDefaults(ControllerState& state)
{
    state.HomeSteps = kDefaultHomeSteps;
    state.PolishSteps = kDefaultPolishSteps;
    state.ElectrolyteSteps = kDefaultElectrolyteSteps;
    state.CurrentCal = kDefaultCurrentCal;
}

}  // namespace

QString GetSpecialFolderPath(int folderId)
{
    if (folderId != CSIDL_LOCAL_APPDATA)
        return {};
    return platform().localAppDataFolder();
}

QString SettingsFileName()
{
    return GetSpecialFolderPath(CSIDL_LOCAL_APPDATA) + QStringLiteral("/Velmar.ini");
}

SettingsWriteError::SettingsWriteError(const QString& fileName)
    : std::runtime_error(QStringLiteral("Unable to write to %1").arg(fileName).toStdString()),
      fileName_(fileName)
{
}

void LoadSettings(ControllerState& state)
{
    const QString name = SettingsFileName();
    if (!QFileInfo::exists(name))
        openDialog(DialogKind::Info, QStringLiteral("Creating Configuration File\r\r"
                                "This should only happen the first time on a new Computer"));

    QString problem;
    const auto file = IniFile::load(name, &problem);
    if (!file) {
        qCWarning(lcSettings).noquote() << QStringLiteral("%1 not read (%2): defaults used").arg(name, problem);
        useDefaults(state);
        state.SettingsLoaded = true;
        openDialog(DialogKind::Info, QStringLiteral("The settings file %1 was not read: %2.\r\r"
                                "The default positions and calibration are used, and the file is "
                                "left as it is.")
                     .arg(name, problem));
        return;
    }

    QList<Replaced> replaced;
    state.HomeSteps = readPosition(*file, kHomeSteps, kDefaultHomeSteps, replaced);
    state.PolishSteps = readPosition(*file, kPolishSteps, kDefaultPolishSteps, replaced);
    state.ElectrolyteSteps = readPosition(*file, kElectrolyteSteps, kDefaultElectrolyteSteps, replaced);
    state.CurrentCal = readCalibration(*file, kDefaultCurrentCal, replaced);
    state.SettingsLoaded = true;
    if (replaced.isEmpty())
        return;

    QStringList lines;
    for (const Replaced& r : replaced)
        lines.append(QStringLiteral("%1=%2 (allowed: %3): %4 used")
                         .arg(r.key, r.found, r.allowed, r.used));
    for (const QString& line : lines)
        qCWarning(lcSettings).noquote() << QStringLiteral("%1: replaced %2").arg(name, line);
    openDialog(DialogKind::Info, QStringLiteral("Settings out of range in %1 were replaced by their defaults:\r\r%2\r\r"
                            "The file is left as it is until the program saves the positions in "
                            "use when it closes.")
                 .arg(name, lines.join(u'\r')));
}

void SaveSettings(const ControllerState& state)
{
    const QString name = SettingsFileName();
    // Lines we could not read would be lost by rewriting the file, so that is a failure too;
    // and what is not a settings file (a folder, a pipe, a device, a file too big to be one)
    // is never replaced.
    QString problem;
    auto file = IniFile::load(name, &problem);
    if (!file) {
        qCWarning(lcSettings).noquote() << QStringLiteral("Unable to write to %1: %2").arg(name, problem);
        throw SettingsWriteError(name);
    }
    file->setValue(kMotion, kHomeSteps, QString::number(state.HomeSteps));
    file->setValue(kMotion, kPolishSteps, QString::number(state.PolishSteps));
    file->setValue(kMotion, kElectrolyteSteps, QString::number(state.ElectrolyteSteps));
    if (!file->save(name)) {
        qCWarning(lcSettings).noquote() << QStringLiteral("Unable to write to %1").arg(name);
        throw SettingsWriteError(name);
    }
}

}  // namespace velmar
