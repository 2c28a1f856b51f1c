#include "platform/log.h"

#include "platform/append_file.h"

#include <QDateTime>
#include <QFile>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include <unistd.h>

// Off below warning until StartLog says otherwise: a test or a tool that links the libraries
// without starting the log stays quiet.
Q_LOGGING_CATEGORY(lcWire, "velmar.wire", QtWarningMsg)
Q_LOGGING_CATEGORY(lcDevice, "velmar.device", QtWarningMsg)
Q_LOGGING_CATEGORY(lcRun, "velmar.run", QtWarningMsg)
Q_LOGGING_CATEGORY(lcDialog, "velmar.dialog", QtWarningMsg)
Q_LOGGING_CATEGORY(lcSettings, "velmar.settings", QtWarningMsg)

namespace velmar {
namespace {

const auto processStart = std::chrono::steady_clock::now();

struct LogSink {
    std::mutex mutex;
    std::FILE* file = nullptr;
    bool verbose = false;
};

LogSink& sink()
{
    static LogSink instance;
    return instance;
}

const char* typeName(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg: return "debug";
    case QtInfoMsg: return "info";
    case QtWarningMsg: return "warning";
    case QtCriticalMsg: return "error";
    case QtFatalMsg: return "fatal";
    }
    return "?";
}

// Qt's enum is not in order of severity: QtInfoMsg comes after QtFatalMsg.
bool atLeastWarning(QtMsgType type)
{
    return type == QtWarningMsg || type == QtCriticalMsg || type == QtFatalMsg;
}

void handleMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    const QByteArray line =
        (FormatLogLine(QDateTime::currentDateTime(), LogClockMs(), type, context.category, message) + u'\n')
            .toUtf8();
    LogSink& s = sink();
    {
        // Held for one write into the file's buffer and its flush to the kernel: no fsync, so
        // the window's thread never waits for the disk.
        std::lock_guard lock(s.mutex);
        if (s.file) {
            std::fwrite(line.constData(), 1, size_t(line.size()), s.file);
            std::fflush(s.file);
        }
    }
    if (atLeastWarning(type) || (s.verbose && !s.file))
        std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    if (type == QtFatalMsg)
        std::abort();
}

}  // namespace

qint64 LogClockMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - processStart)
        .count();
}

QString FormatLogLine(const QDateTime& when, qint64 monotonicMs, QtMsgType type, const char* category,
                      const QString& message)
{
    QString text = message;
    text.replace(u'\n', QStringLiteral("\\n"));
    const QDateTime withOffset = when.toOffsetFromUtc(when.offsetFromUtc());
    return QStringLiteral("%1 %2 %3 %4: %5")
        .arg(withOffset.toString(Qt::ISODateWithMs))
        .arg(monotonicMs)
        .arg(QLatin1StringView(typeName(type)))
        .arg(QLatin1StringView(category && *category ? category : "default"))
        .arg(text);
}

QString LogBytes(const char* bytes, qsizetype n)
{
    QString out;
    out.reserve(n + 2);
    out += u'"';
    for (qsizetype i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        switch (c) {
        case '\r': out += QStringLiteral("\\r"); break;
        case '\n': out += QStringLiteral("\\n"); break;
        case '\t': out += QStringLiteral("\\t"); break;
        case '"': out += QStringLiteral("\\\""); break;
        case '\\': out += QStringLiteral("\\\\"); break;
        default:
            if (c >= 0x20 && c < 0x7f)
                out += QLatin1Char(char(c));
            else
                out += QStringLiteral("\\x%1").arg(c, 2, 16, QLatin1Char('0'));
        }
    }
    out += u'"';
    return out;
}

bool StartLog(const LogOptions& options, QString* error)
{
    std::FILE* file = nullptr;
    if (!options.file.isEmpty()) {
        const int fd = OpenForAppending(options.file, false, error);
        if (fd < 0)
            return false;
        file = ::fdopen(fd, "a");
        if (!file) {
            if (error)
                *error = QString::fromLocal8Bit(std::strerror(errno));
            ::close(fd);
            return false;
        }
        // One event, one line, one write: a reader following the file never sees half a line.
        std::setvbuf(file, nullptr, _IOLBF, 0);
    }
    LogSink& s = sink();
    {
        std::lock_guard lock(s.mutex);
        if (s.file)
            std::fclose(s.file);
        s.file = file;
        s.verbose = options.verbose;
    }
    // QT_LOGGING_RULES in the environment still overrides these, for one category at a time.
    if (options.verbose)
        QLoggingCategory::setFilterRules(QStringLiteral("velmar.*=true"));
    else if (file)
        QLoggingCategory::setFilterRules(QStringLiteral("velmar.*.info=true\nvelmar.*.debug=false"));
    else
        QLoggingCategory::setFilterRules(QStringLiteral("velmar.*.info=false\nvelmar.*.debug=false"));
    qInstallMessageHandler(handleMessage);
    return true;
}

}  // namespace velmar
