#include "platform/transcript.h"

#include "platform/append_file.h"

#include <QFile>

#include <memory>

#include <unistd.h>

namespace velmar {
namespace {

std::unique_ptr<QFile>& transcriptFile()
{
    static std::unique_ptr<QFile> file;
    return file;
}

}  // namespace

bool OpenTranscript(const QString& fileName, QString* error)
{
    const int fd = OpenForAppending(fileName, true, error);
    if (fd < 0)
        return false;
    auto file = std::make_unique<QFile>();
    // Appending is the descriptor's own (O_APPEND); QFile's Append would seek, which a
    // terminal refuses.
    if (!file->open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        if (error)
            *error = file->errorString();
        ::close(fd);
        return false;
    }
    transcriptFile() = std::move(file);
    return true;
}

void WriteTranscript(const QString& kind, const QString& text)
{
    QFile* file = transcriptFile().get();
    if (!file)
        return;
    QString line = text;
    line.replace(u'\r', QStringLiteral("\\r")).replace(u'\n', QStringLiteral("\\n"));
    file->write((kind + QStringLiteral(": ") + line + u'\n').toUtf8());
    file->flush();
}

}  // namespace velmar
