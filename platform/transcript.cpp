#include "platform/transcript.h"

#include <QFile>

#include <memory>

namespace velmar {
namespace {

std::unique_ptr<QFile>& transcriptFile()
{
    static std::unique_ptr<QFile> file;
    return file;
}

}  // namespace

void OpenTranscript(const QString& fileName)
{
    auto file = std::make_unique<QFile>(fileName);
    if (file->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        transcriptFile() = std::move(file);
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
