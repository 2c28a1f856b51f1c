#include "tests/support/recording_platform.h"

#include <QDir>

namespace velmar::test {

RecordingPlatform::RecordingPlatform()
{
    clock_.start();
    dataFolder = QDir::tempPath();
    previous_ = installPlatform(this);
}

RecordingPlatform::~RecordingPlatform() { installPlatform(previous_); }

void RecordingPlatform::record(const QString& dialog)
{
    dialogs << dialog;
    if (onDialog)
        onDialog(dialog);
    if (!holdDialogs)
        return;
    QEventLoop open;
    held_ << &open;
    open.exec();
    held_.removeOne(&open);
}

void RecordingPlatform::releaseDialogs()
{
    for (QEventLoop* loop : held_)
        loop->quit();
}

void RecordingPlatform::showInfo(const QString& text) { record(QStringLiteral("Info: ") + text); }
void RecordingPlatform::showError(const QString& text) { record(QStringLiteral("Error: ") + text); }
void RecordingPlatform::showMessage(const QString& text) { record(QStringLiteral("Message: ") + text); }
void RecordingPlatform::showApplicationError(const QString& text)
{
    record(QStringLiteral("AppError: ") + text);
}

void RecordingPlatform::beep() { beepTicks << tickCount(); }

std::uint32_t RecordingPlatform::tickCount()
{
    return static_cast<std::uint32_t>(static_cast<double>(clock_.elapsed()) * tickRate) + tickOffset;
}

QDateTime RecordingPlatform::now() { return fixedNow.isValid() ? fixedNow : QDateTime::currentDateTime(); }
QString RecordingPlatform::localAppDataFolder() { return dataFolder; }
QString RecordingPlatform::userFolder(UserFolder which)
{
    return which == UserFolder::Pictures ? picturesFolder : documentsFolder;
}

QString RecordingPlatform::askSaveFileName(const QString& caption, const QString& initialPath,
                                           const QString& filters, QString* selectedFilter)
{
    saveDialogs << QStringList({caption, initialPath, filters, selectedFilter ? *selectedFilter : QString()})
                       .join(QStringLiteral(" | "));
    return onSave ? onSave(initialPath, selectedFilter) : QString();
}

bool RecordingPlatform::shellOpen(const QString& address)
{
    opened << address;
    return shellOpens;
}
QRect RecordingPlatform::workArea() { return work; }

}  // namespace velmar::test
