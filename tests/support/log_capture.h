#pragma once

#include <QList>
#include <QLoggingCategory>
#include <QString>

namespace velmar::test {

// Catches what the program logs while it lives, every velmar.* category at every level, and
// puts Qt's own handler and levels back afterwards.
class LogCapture {
public:
    struct Line {
        QtMsgType type;
        QString category;
        QString message;
    };

    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    QList<Line> lines;

    // The messages of one category at one level, in order.
    QStringList messages(const QString& category, QtMsgType type) const;

private:
    QtMessageHandler previous_;
};

}  // namespace velmar::test
