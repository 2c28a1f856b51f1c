#include "controller/records/ini_file.h"

#include "platform/file_save.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmar {
namespace {

const QByteArray kUtf8ByteOrderMark("\xEF\xBB\xBF");

// The name inside "[name]", or nullopt when the line is no section header. A header
// without its closing bracket still opens a section, named by the rest of the line.
std::optional<QByteArrayView> sectionName(QByteArrayView line)
{
    const QByteArrayView text = line.trimmed();
    if (!text.startsWith('['))
        return std::nullopt;
    const qsizetype close = text.indexOf(']', 1);
    return text.sliced(1, (close < 0 ? text.size() : close) - 1).trimmed();
}

struct KeyLine {
    QByteArrayView key;
    QByteArrayView value;
};

// A line inside a section as key and value; a line without '=' is a key with an empty
// value. Blank lines and comments give nullopt.
std::optional<KeyLine> keyLine(QByteArrayView line)
{
    const QByteArrayView text = line.trimmed();
    if (text.isEmpty() || text.startsWith(';'))
        return std::nullopt;
    const qsizetype equals = text.indexOf('=');
    if (equals < 0)
        return KeyLine{text, {}};
    return KeyLine{text.first(equals).trimmed(), text.sliced(equals + 1).trimmed()};
}

bool sameName(QByteArrayView inFile, const QString& name)
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
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

QString sizeInWords(qint64 bytes)
{
    return QStringLiteral("it is larger than 1 MiB (%1 bytes)").arg(bytes);
}

// Why a file of this type is not read, or an empty text for a regular file.
QString typeProblem(mode_t mode)
{
    if (S_ISREG(mode))
        return {};
    if (S_ISDIR(mode))
        return QStringLiteral("it is a folder");
    if (S_ISFIFO(mode))
        return QStringLiteral("it is a named pipe (FIFO)");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("it is a device");
    if (S_ISSOCK(mode))
        return QStringLiteral("it is a socket");
    return QStringLiteral("it is not a regular file");
}

QString errorProblem(int error)
{
    return QStringLiteral("it cannot be read (%1)").arg(qt_error_string(error));
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

}  // namespace

IniFile::IniFile(const QByteArray& contents)
{
    if (contents.startsWith(kUtf8ByteOrderMark)) {
        byteOrderMark_ = kUtf8ByteOrderMark;
        text_ = contents.sliced(kUtf8ByteOrderMark.size());
    } else {
        text_ = contents;
    }
    const Line first = lineAt(0);
    if (first.hasEnding())
        newline_ = text_.sliced(first.end, first.next - first.end);
}

std::optional<IniFile> IniFile::load(const QString& fileName, QString* problem)
{
    const auto refuse = [problem](const QString& why) -> std::optional<IniFile> {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    const QByteArray path = QFile::encodeName(fileName);

    // The type first: opening a named pipe for reading waits for a writer, and opening a
    // device can have effects of its own.
    struct stat info {};
    if (::stat(path.constData(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return IniFile();
        return refuse(errorProblem(errno));
    }
    if (const QString why = typeProblem(info.st_mode); !why.isEmpty())
        return refuse(why);
    if (info.st_size > kMaxFileSize)
        return refuse(sizeInWords(info.st_size));

    const FileDescriptor fd(::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0)
        return refuse(errorProblem(errno));
    // The name may point elsewhere by now: judge what was opened, not what was checked.
    if (::fstat(fd.get(), &info) != 0)
        return refuse(errorProblem(errno));
    if (const QString why = typeProblem(info.st_mode); !why.isEmpty())
        return refuse(why);

    // One byte more than allowed tells a file that grew since from one that is just full.
    QByteArray contents(static_cast<qsizetype>(std::min<qint64>(info.st_size, kMaxFileSize)) + 1,
                        Qt::Uninitialized);
    qsizetype got = 0;
    while (got < contents.size()) {
        const ssize_t n = ::read(fd.get(), contents.data() + got, static_cast<size_t>(contents.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return refuse(errorProblem(errno));
        if (n == 0)
            break;
        got += n;
        if (got == contents.size() && got <= kMaxFileSize)
            contents.resize(std::min<qsizetype>(contents.size() * 2, kMaxFileSize + 1));
    }
    if (got > kMaxFileSize)
        return refuse(sizeInWords(got));
    contents.truncate(got);
    return IniFile(contents);
}

IniFile::Line IniFile::lineAt(qsizetype start) const
{
    const qsizetype lineFeed = text_.indexOf('\n', start);
    if (lineFeed < 0)
        return {start, text_.size(), text_.size()};
    const bool crlf = lineFeed > start && text_[lineFeed - 1] == '\r';
    return {start, crlf ? lineFeed - 1 : lineFeed, lineFeed + 1};
}

QByteArrayView IniFile::textOf(const Line& line) const
{
    return QByteArrayView(text_).sliced(line.start, line.end - line.start);
}

std::optional<IniFile::Section> IniFile::findSection(const QString& name) const
{
    for (qsizetype at = 0; at < text_.size();) {
        const Line header = lineAt(at);
        at = header.next;
        const auto found = sectionName(textOf(header));
        if (!found || !sameName(*found, name))
            continue;
        Section section{header, header, text_.size()};
        while (at < text_.size()) {
            const Line line = lineAt(at);
            if (sectionName(textOf(line))) {
                section.end = line.start;
                break;
            }
            if (!textOf(line).trimmed().isEmpty())
                section.lastContent = line;
            at = line.next;
        }
        return section;
    }
    return std::nullopt;
}

std::optional<IniFile::Line> IniFile::findKey(const Section& section, const QString& key) const
{
    for (qsizetype at = section.header.next; at < section.end;) {
        const Line line = lineAt(at);
        const auto parsed = keyLine(textOf(line));
        if (parsed && sameName(parsed->key, key))
            return line;
        at = line.next;
    }
    return std::nullopt;
}

std::optional<QString> IniFile::value(const QString& section, const QString& key) const
{
    const auto found = findSection(section);
    if (!found)
        return std::nullopt;
    const auto line = findKey(*found, key);
    if (!line)
        return std::nullopt;
    return QString::fromUtf8(keyLine(textOf(*line))->value).left(kMaxValueLength);
}

void IniFile::setValue(const QString& section, const QString& key, const QString& value)
{
    const QByteArray newValue = singleLine(value);
    const auto found = findSection(section);
    if (!found) {
        if (!text_.isEmpty() && !text_.endsWith('\n'))
            text_ += newline_;
        text_ += '[' + singleLine(section) + ']' + newline_ + singleLine(key) + '=' + newValue + newline_;
        return;
    }
    if (const auto line = findKey(*found, key)) {
        // The key keeps the spelling it was written with; the line keeps its ending.
        const QByteArray replacement = keyLine(textOf(*line))->key.toByteArray() + '=' + newValue;
        text_.replace(line->start, line->end - line->start, replacement);
        return;
    }
    // A new key goes after the section's last non-blank line, so blank lines that separate
    // it from the next section stay where they are.
    QByteArray added = singleLine(key) + '=' + newValue + newline_;
    if (!found->lastContent.hasEnding())
        added.prepend(newline_);
    text_.insert(found->lastContent.next, added);
}

QByteArray IniFile::contents() const
{
    return byteOrderMark_ + text_;
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
