#include "tests/support/log_capture.h"

namespace velmar::test {
namespace {

LogCapture* active = nullptr;

void capture(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (active)
        active->lines.append({type, QString::fromLatin1(context.category), message});
}

}  // namespace

LogCapture::LogCapture()
{
    active = this;
    previous_ = qInstallMessageHandler(capture);
    QLoggingCategory::setFilterRules(QStringLiteral("velmar.*=true"));
}

LogCapture::~LogCapture()
{
    QLoggingCategory::setFilterRules(QString());
    qInstallMessageHandler(previous_);
    active = nullptr;
}

QStringList LogCapture::messages(const QString& category, QtMsgType type) const
{
    QStringList out;
    for (const Line& line : lines)
        if (line.category == category && line.type == type)
            out << line.message;
    return out;
}

}  // namespace velmar::test
