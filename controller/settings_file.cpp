#include "controller/settings_file.h"

#include "controller/ini_file.h"
#include "platform/conversions.h"
#include "platform/delay.h"
#include "platform/platform_services.h"

#include <QFileInfo>

namespace velmar {
namespace {

const QString kMotion = QStringLiteral("Motion");
const QString kCalibrate = QStringLiteral("Calibrate");
const QString kHomeSteps = QStringLiteral("HomeSteps");
const QString kPolishSteps = QStringLiteral("PolishSteps");
const QString kElectrolyteSteps = QStringLiteral("ElectrolyteSteps");
const QString kCurrentCal = QStringLiteral("CurrentCal");

std::int32_t readInteger(const IniFile& file, const QString& section, const QString& key,
                         std::int32_t fallback)
{
    const auto text = file.value(section, key);
    int value = 0;
    if (!text || !TryStrToInt(*text, value))
        return fallback;
    return value;
}

// In the user's locale, so a calibration typed in by hand reads with the separator the
// operator is used to.
double readReal(const IniFile& file, const QString& section, const QString& key, double fallback)
{
    const auto text = file.value(section, key);
    double value = 0.0;
    if (!text || text->isEmpty() || !TryStrToFloat(*text, value))
        return fallback;
    return value;
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
        ShowInfo(QStringLiteral("Creating Configuration File\r\r"
                                "This should only happen the first time on a new Computer"));
    // A file that is there but cannot be read gives the defaults, as a missing one does.
    const IniFile file = IniFile::load(name).value_or(IniFile());
    state.HomeSteps = readInteger(file, kMotion, kHomeSteps, 156);
    state.PolishSteps = readInteger(file, kMotion, kPolishSteps, 312);
    state.ElectrolyteSteps = readInteger(file, kMotion, kElectrolyteSteps, 2343);
    state.CurrentCal = readReal(file, kCalibrate, kCurrentCal, 2.9);
    state.SettingsLoaded = true;
}

void SaveSettings(const ControllerState& state)
{
    const QString name = SettingsFileName();
    // Lines we could not read would be lost by rewriting the file, so that is a failure too.
    auto file = IniFile::load(name);
    if (!file)
        throw SettingsWriteError(name);
    file->setValue(kMotion, kHomeSteps, QString::number(state.HomeSteps));
    file->setValue(kMotion, kPolishSteps, QString::number(state.PolishSteps));
    file->setValue(kMotion, kElectrolyteSteps, QString::number(state.ElectrolyteSteps));
    if (!file->save(name))
        throw SettingsWriteError(name);
}

}  // namespace velmar
