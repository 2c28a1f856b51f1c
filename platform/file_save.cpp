#include "platform/file_save.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

namespace velmar {

QString SaveFileContents(const QString& fileName, const QByteArray& bytes)
{
    QSaveFile file(fileName);
    QString error;
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
    } else if (file.write(bytes) != bytes.size()) {
        error = file.errorString();  // before cancelWriting() replaces it with its own
        file.cancelWriting();
    } else if (errno = 0; !file.flush()) {
        // The write went to a buffer; only the flush meets a full disk. commit() would not
        // notice that failure and would put the cut-off file in place of the whole old one.
        // The device's own text is only "Unknown error" here: the system's says more.
        error = errno != 0 ? QString::fromLocal8Bit(std::strerror(errno)) : file.errorString();
        file.cancelWriting();
    } else if (!file.commit()) {
        error = file.errorString();
    }
    return error;
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
