#pragma once

#include "controller/controller_state.h"

#include <QString>

#include <stdexcept>

namespace velmar {

// What the settings file's values are replaced by when missing, unreadable or out of range.
inline constexpr std::int32_t kDefaultHomeSteps = 156;
inline constexpr std::int32_t kDefaultPolishSteps = 312;
inline constexpr std::int32_t kDefaultElectrolyteSteps = 2343;
inline constexpr double kDefaultCurrentCal = 2.9;

// Folder identifier of the per-user local application-data folder.
inline constexpr int CSIDL_LOCAL_APPDATA = 28;

// The path of a per-user special folder, without a trailing separator; empty when it is not
// known. Only the local application-data folder is known here: the platform's per-user data
// folder stands for it.
QString GetSpecialFolderPath(int folderId);

// Full name of the settings file: the local application-data folder followed by
// "/Velmar.ini" (just "/Velmar.ini" when the folder is unknown).
QString SettingsFileName();

// A save that could not write the settings file. The message is exactly
// "Unable to write to <full file name>"; the application's error dialog shows it.
class SettingsWriteError : public std::runtime_error {
public:
    explicit SettingsWriteError(const QString& fileName);
    QString fileName() const { return fileName_; }

private:
    QString fileName_;
};

// Reads the three taught positions and the current calibration from the settings file, each
// falling back to its default (156, 312, 2343 steps; 2.9 mA per count) when missing or not a
// number. Without a file it first shows the first-run message. Never creates or changes the
// file. A position off the gauge (outside 0 to 3125 steps) or a calibration that is not a
// finite number above 0 and up to 1000 is replaced by its default, and one dialog lists each
// replaced key with the value found. A file that is not read at all (not a regular file,
// larger than 1 MiB, unreadable) gives every default and a dialog that says why.
void LoadSettings(ControllerState& state);

// Writes the three taught positions into the settings file, keeping every other line of it.
// The file is replaced in one step, so it is never left truncated. Throws SettingsWriteError
// when the file cannot be written; the old file is then untouched.
void SaveSettings(const ControllerState& state);

}  // namespace velmar
