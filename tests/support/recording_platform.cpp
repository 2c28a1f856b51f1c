#include "tests/support/recording_platform.h"

#include "platform/dialogs.h"

#include <QDir>

namespace velmar::test {

RecordingPlatform::RecordingPlatform()
{
    clock_.start();
    dataFolder = QDir::tempPath();
    previous_ = installPlatform(this);
}

RecordingPlatform::~RecordingPlatform()
{
    // The dialogs this test's operator left unanswered go with it.
    forgetDialogs();
    installPlatform(previous_);
}

namespace {

QString recorded(DialogKind kind, const QString& text)
{
    switch (kind) {
    case DialogKind::Info:
        return QStringLiteral("Info: ") + text;
    case DialogKind::Error:
        return QStringLiteral("Error: ") + text;
    case DialogKind::Message:
        return QStringLiteral("Message: ") + text;
    case DialogKind::ApplicationError:
        return QStringLiteral("AppError: ") + text;
    }
    return text;
}

}  // namespace

void RecordingPlatform::record(const QString& dialog)
{
    dialogs << dialog;
    if (onDialog)
        onDialog(dialog);
}

void RecordingPlatform::showDialogHeld(DialogKind kind, const QString& text)
{
    record(recorded(kind, text));
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
    for (std::function<void()>& answered : std::exchange(heldAnswers_, {}))
        answerLater(std::move(answered), answering_.get());
}

void RecordingPlatform::showInfo(const QString& text) { showDialogHeld(DialogKind::Info, text); }
void RecordingPlatform::showError(const QString& text) { showDialogHeld(DialogKind::Error, text); }
void RecordingPlatform::showMessage(const QString& text) { showDialogHeld(DialogKind::Message, text); }
void RecordingPlatform::showApplicationError(const QString& text)
{
    showDialogHeld(DialogKind::ApplicationError, text);
}

void RecordingPlatform::openDialog(DialogKind kind, const QString& text, std::function<void()> answered)
{
    record(recorded(kind, text));
    if (holdDialogs)
        heldAnswers_ << std::move(answered);
    else if (answerAtOnce && answered)
        answered();
    else
        answerLater(std::move(answered), answering_.get());
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
