#include "platform/file_save.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

namespace velmar {

QString SaveFileContents(const QString& fileName, const QByteArray& bytes)
{
    return SaveFileWith(fileName, [&bytes](QIODevice& device) {
        return device.write(bytes) == bytes.size() ? QString() : device.errorString();
    });
}

QString SaveFileWith(const QString& fileName, const std::function<QString(QIODevice&)>& write)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    QString error = write(file);
    if (!error.isEmpty()) {
        if (file.error() != QFileDevice::NoError)
            error = file.errorString();  // before cancelWriting() replaces it with its own
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

QString FilterEnding(const QString& filter)
{
    static const QRegularExpression pattern(QStringLiteral(R"(\*\.([^\s;)]+))"));
    return pattern.match(filter).captured(1);
}

QString WithFilterEnding(const QString& fileName, const QString& filter)
{
    const QString ending = FilterEnding(filter);
    if (ending.isEmpty() || fileName.isEmpty() || !QFileInfo(fileName).suffix().isEmpty())
        return fileName;
    return fileName.endsWith(QLatin1Char('.')) ? fileName + ending : fileName + QLatin1Char('.') + ending;
}

}  // namespace velmar
