#pragma once

#include <QDateTime>
#include <QString>

namespace velmar {

// What a record keeps: a polish run, a volt-versus-current test or a manual recording.
enum class RecordKind { Polish, ViTest, Manual };

// The kind as it appears in folder names and in record.ini: "polish", "vi-test", "manual".
QString recordKindName(RecordKind kind);

// "YYYY-MM-DD_HH-MM-SS_<kind>" in the local time of `start`. The chart's title never takes
// part, so whatever the operator typed there cannot make a name the file system refuses.
QString recordFolderName(const QDateTime& start, RecordKind kind);

// Where the records live: the per-user data folder followed by "/Velmar/records".
QString recordsFolder();

struct CreatedFolder {
    QString path;   // the new folder, empty on failure
    QString error;  // why it could not be made, empty on success
};

// Makes a new, empty folder `name` below `parent` (creating `parent` and its parents when
// missing). A name already taken (a second start within the same second) gets "-2", "-3", ...
// appended; an existing folder is never reused, so two records never share files.
CreatedFolder createRecordFolder(const QString& parent, const QString& name);

}  // namespace velmar
