#include "controller/ini_file.h"

#include "ui/platform/file_save.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace velmar {
namespace {

const QByteArray kUtf8ByteOrderMark("\xEF\xBB\xBF");

// The name inside "[name]", or nullopt when the line is no section header. A header
// without its closing bracket still opens a section, named by the rest of the line.
std::optional<QByteArray> sectionName(const QByteArray& line)
{
    const QByteArray text = line.trimmed();
    if (!text.startsWith('['))
        return std::nullopt;
    const qsizetype close = text.indexOf(']', 1);
    return text.mid(1, close < 0 ? -1 : close - 1).trimmed();
}

struct KeyLine {
    QByteArray key;
    QByteArray value;
};

// A line inside a section as key and value; a line without '=' is a key with an empty
// value. Blank lines and comments give nullopt.
std::optional<KeyLine> keyLine(const QByteArray& line)
{
    const QByteArray text = line.trimmed();
    if (text.isEmpty() || text.startsWith(';'))
        return std::nullopt;
    const qsizetype equals = text.indexOf('=');
    if (equals < 0)
        return KeyLine{text, {}};
    return KeyLine{text.left(equals).trimmed(), text.mid(equals + 1).trimmed()};
}

bool sameName(const QByteArray& inFile, const QString& name)
{
    return QString::fromUtf8(inFile).compare(name.trimmed(), Qt::CaseInsensitive) == 0;
}

QByteArray singleLine(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    bytes.replace('\r', QByteArray()).replace('\n', QByteArray());
    return bytes;
}

// Makes the rename that replaced a file in `folder` itself durable.
void syncFolder(const QString& folder)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(folder);
#endif
}

}  // namespace

IniFile::IniFile(const QByteArray& contents)
{
    QByteArray text = contents;
    if (text.startsWith(kUtf8ByteOrderMark)) {
        byteOrderMark_ = kUtf8ByteOrderMark;
        text.remove(0, kUtf8ByteOrderMark.size());
    }
    bool styleFound = false;
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype lineFeed = text.indexOf('\n', start);
        if (lineFeed < 0) {
            lines_.append({text.mid(start), {}});
            break;
        }
        const bool crlf = lineFeed > start && text[lineFeed - 1] == '\r';
        const qsizetype textEnd = crlf ? lineFeed - 1 : lineFeed;
        lines_.append({text.mid(start, textEnd - start), crlf ? QByteArray("\r\n") : QByteArray("\n")});
        if (!styleFound) {
            newline_ = lines_.last().ending;
            styleFound = true;
        }
        start = lineFeed + 1;
    }
}

std::optional<IniFile> IniFile::load(const QString& fileName)
{
    QFile file(fileName);
    if (!file.exists())
        return IniFile();
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray contents = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return IniFile(contents);
}

std::optional<IniFile::Section> IniFile::findSection(const QString& name) const
{
    for (int i = 0; i < lines_.size(); ++i) {
        const auto header = sectionName(lines_[i].text);
        if (!header || !sameName(*header, name))
            continue;
        Section section{i, i + 1};
        while (section.end < lines_.size() && !sectionName(lines_[section.end].text))
            ++section.end;
        return section;
    }
    return std::nullopt;
}

int IniFile::findKey(const Section& section, const QString& key) const
{
    for (int i = section.header + 1; i < section.end; ++i) {
        const auto line = keyLine(lines_[i].text);
        if (line && sameName(line->key, key))
            return i;
    }
    return -1;
}

std::optional<QString> IniFile::value(const QString& section, const QString& key) const
{
    const auto found = findSection(section);
    if (!found)
        return std::nullopt;
    const int index = findKey(*found, key);
    if (index < 0)
        return std::nullopt;
    return QString::fromUtf8(keyLine(lines_[index].text)->value).left(kMaxValueLength);
}

void IniFile::setValue(const QString& section, const QString& key, const QString& value)
{
    const QByteArray newValue = singleLine(value);
    const auto found = findSection(section);
    if (!found) {
        if (!lines_.isEmpty() && lines_.last().ending.isEmpty())
            lines_.last().ending = newline_;
        lines_.append({'[' + singleLine(section) + ']', newline_});
        lines_.append({singleLine(key) + '=' + newValue, newline_});
        return;
    }
    const int index = findKey(*found, key);
    if (index >= 0) {
        // The key keeps the spelling it was written with.
        lines_[index].text = keyLine(lines_[index].text)->key + '=' + newValue;
        return;
    }
    // A new key goes after the section's last non-blank line, so blank lines that separate
    // it from the next section stay where they are.
    int insertAt = found->end;
    while (insertAt - 1 > found->header && lines_[insertAt - 1].text.trimmed().isEmpty())
        --insertAt;
    if (lines_[insertAt - 1].ending.isEmpty())
        lines_[insertAt - 1].ending = newline_;
    lines_.insert(insertAt, {singleLine(key) + '=' + newValue, newline_});
}

QByteArray IniFile::contents() const
{
    QByteArray bytes = byteOrderMark_;
    for (const Line& line : lines_)
        bytes += line.text + line.ending;
    return bytes;
}

bool IniFile::save(const QString& fileName, QString* error) const
{
    const QString folder = QFileInfo(fileName).absolutePath();
    if (!QFileInfo::exists(folder))
        QDir().mkpath(folder);

    // Written beside the target, flushed to disk and renamed over it; an existing file that
    // is read-only is not replaced.
    const QString reason = SaveFileContents(fileName, contents());
    if (!reason.isEmpty()) {
        if (error)
            *error = reason;
        return false;
    }
    syncFolder(folder);
    return true;
}

}  // namespace velmar
