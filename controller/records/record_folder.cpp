#include "controller/records/record_folder.h"

#include "platform/platform_services.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace velmar {
namespace {

// A name taken this many times in one second is no second start any more but a fault.
constexpr int kMaxSuffix = 1000;

QString reason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

int makeFolder(const QString& path)
{
    return ::mkdir(QFile::encodeName(path).constData(), 0777) == 0 ? 0 : errno;
}

// Like mkdir -p, but says why it failed: the errno of the step that went wrong, 0 on success.
int makePath(const QString& path)
{
    const int error = makeFolder(path);
    if (error == 0)
        return 0;
    if (error == EEXIST)
        return QFileInfo(path).isDir() ? 0 : ENOTDIR;  // a file where the folder should be
    if (error != ENOENT)
        return error;
    const QString parent = QFileInfo(path).path();
    if (parent == path)
        return error;
    if (const int parentError = makePath(parent))
        return parentError;
    const int retry = makeFolder(path);
    return retry == EEXIST && QFileInfo(path).isDir() ? 0 : retry;
}

}  // namespace

QString recordKindName(RecordKind kind)
{
    switch (kind) {
    case RecordKind::Polish:
        return QStringLiteral("polish");
    case RecordKind::ViTest:
        return QStringLiteral("vi-test");
    case RecordKind::Manual:
        break;
    }
    return QStringLiteral("manual");
}

QString recordFolderName(const QDateTime& start, RecordKind kind)
{
    return start.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss_")) + recordKindName(kind);
}

QString recordsFolder() { return platform().localAppDataFolder() + QStringLiteral("/Velmar/records"); }

CreatedFolder createRecordFolder(const QString& parent, const QString& name)
{
    if (const int error = makePath(parent))
        return {{}, reason(error)};
    for (int n = 1; n <= kMaxSuffix; ++n) {
        const QString path = parent + QLatin1Char('/') + (n == 1 ? name : name + QStringLiteral("-%1").arg(n));
        // mkdir either makes the folder or finds it taken, in one step: two programs starting
        // in the same second cannot both get the same folder.
        const int error = makeFolder(path);
        if (error == 0)
            return {path, {}};
        if (error != EEXIST)
            return {{}, reason(error)};
    }
    return {{}, QStringLiteral("more than %1 records named %2").arg(kMaxSuffix).arg(name)};
}

}  // namespace velmar
