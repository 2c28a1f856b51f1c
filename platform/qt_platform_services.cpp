#include "platform/qt_platform_services.h"

#include "platform/desktop_notification.h"
#include "platform/file_save.h"
#include "platform/log.h"
#include "platform/transcript.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QStandardPaths>
#include <QUrl>

namespace velmar {

std::unique_ptr<QMessageBox> QtPlatformServices::makeBox(DialogKind kind, const QString& text)
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString caption = QGuiApplication::applicationDisplayName();
    switch (kind) {
    case DialogKind::Info:
        icon = QMessageBox::Information;
        caption = QStringLiteral("Information");
        break;
    case DialogKind::Error:
        icon = QMessageBox::Critical;
        caption = QStringLiteral("Error");
        break;
    case DialogKind::Message:
        break;
    case DialogKind::ApplicationError:
        icon = QMessageBox::Critical;
        break;
    }
    WriteTranscript(QStringLiteral("dialog"), caption + QStringLiteral(": ") + text);
    qCInfo(lcDialog).noquote() << caption + QStringLiteral(": ") + text;
    if (dismissing_)
        return nullptr;
    // Messages break lines with carriage returns, which a label does not; show them as breaks.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    // Owned by the active window so it stays in front of it; but not by a box of openDialog,
    // which goes when it is answered and would take this one with it (the next box of the
    // queue opens while the one just answered may still be the active window).
    QWidget* owner = QApplication::activeWindow();
    while (owner && openBoxes_.contains(owner))
        owner = owner->parentWidget() ? owner->parentWidget()->window() : nullptr;
    return std::make_unique<QMessageBox>(icon, caption, shown, QMessageBox::Ok, owner);
}

void QtPlatformServices::showBox(DialogKind kind, const QString& text)
{
    // exec() keeps the event loop (and with it the timers) running while the operator reads.
    if (const std::unique_ptr<QMessageBox> box = makeBox(kind, text))
        box->exec();
}

QtPlatformServices::QtPlatformServices() { clock_.start(); }

void QtPlatformServices::showInfo(const QString& text) { showBox(DialogKind::Info, text); }

void QtPlatformServices::showError(const QString& text) { showBox(DialogKind::Error, text); }

void QtPlatformServices::showMessage(const QString& text) { showBox(DialogKind::Message, text); }

void QtPlatformServices::showApplicationError(const QString& text) { showBox(DialogKind::ApplicationError, text); }

void QtPlatformServices::openDialog(DialogKind kind, const QString& text, std::function<void()> answered)
{
    std::unique_ptr<QMessageBox> made = makeBox(kind, text);
    if (!made) {
        answerLater(std::move(answered));
        return;
    }
    QMessageBox* box = made.release();
    // Application-modal as under exec(); QDialog::open() would make it window-modal, which
    // leaves the program's other windows (the About window) usable behind it.
    box->setWindowModality(Qt::ApplicationModal);
    // finished comes again with every later done() (two ways of dismissing may both reach
    // it), the answer only once.
    QObject::connect(box, &QDialog::finished, box, [box, answered = std::move(answered)]() mutable {
        box->deleteLater();
        if (const std::function<void()> call = std::exchange(answered, {}))
            call();
    });
    openBoxes_.removeAll(nullptr);
    openBoxes_ << box;
    box->show();
}

void QtPlatformServices::beep() { QApplication::beep(); }

std::uint32_t QtPlatformServices::tickCount()
{
    return static_cast<std::uint32_t>(clock_.elapsed());
}

QDateTime QtPlatformServices::now() { return QDateTime::currentDateTime(); }

qint64 QtPlatformServices::nowMSecsSinceEpoch() { return QDateTime::currentMSecsSinceEpoch(); }

QString QtPlatformServices::localAppDataFolder()
{
    return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

QString QtPlatformServices::userFolder(UserFolder which)
{
    const QString folder = QStandardPaths::writableLocation(
        which == UserFolder::Pictures ? QStandardPaths::PicturesLocation : QStandardPaths::DocumentsLocation);
    // A dialog told to start in a folder that is not there starts somewhere arbitrary.
    return QFileInfo(folder).isDir() ? folder : QDir::homePath();
}

QString QtPlatformServices::askSaveFileName(const QString& caption, const QString& initialPath,
                                            const QString& filters, QString* selectedFilter)
{
    QFileDialog dialog(QApplication::activeWindow(), caption, initialPath, filters);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The dialog adds the selected filter's ending itself, so its overwrite question is asked
    // about the name that is then written.
    const auto followFilter = [&dialog](const QString& filter) { dialog.setDefaultSuffix(FilterEnding(filter)); };
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, followFilter);
    if (selectedFilter && !selectedFilter->isEmpty())
        dialog.selectNameFilter(*selectedFilter);
    followFilter(dialog.selectedNameFilter());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    if (selectedFilter)
        *selectedFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles().constFirst();
}

bool QtPlatformServices::shellOpen(const QString& address) { return QDesktopServices::openUrl(QUrl(address)); }

QRect QtPlatformServices::workArea()
{
    if (QScreen* screen = QGuiApplication::primaryScreen())
        return screen->availableGeometry();
    return {};
}

void QtPlatformServices::notifyWhenInactive(const QString& summary, const QString& body)
{
    // The operator watching the window sees the ending there.
    if (QGuiApplication::applicationState() == Qt::ApplicationActive)
        return;
    WriteTranscript(QStringLiteral("notification"), summary + QStringLiteral(": ") + body);
    notifier_.show(summary, body);
}

void QtPlatformServices::dismissDialogs()
{
    if (dismissing_)
        return;
    dismissing_ = true;
    // Whatever dialog is open (ours, a save dialog, the chart's print dialog) is taken as
    // answered; one opened in a later moment of the way out too.
    auto* sweep = new QTimer(QCoreApplication::instance());
    QObject::connect(sweep, &QTimer::timeout, sweep, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    sweep->start(50);
    // The boxes no exec() waits for may be several, some behind others: the oldest first.
    for (const QPointer<QMessageBox>& box : std::exchange(openBoxes_, {})) {
        if (box)
            QMetaObject::invokeMethod(box, &QDialog::reject, Qt::QueuedConnection);
    }
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
        QMetaObject::invokeMethod(dialog, &QDialog::reject, Qt::QueuedConnection);
}

void QtPlatformServices::terminate()
{
    terminating_ = true;
    // Queued, so it takes effect when the main loop next processes events. exit() rather than
    // quit(): quit() would first close every window, and closing the main window saves the
    // settings and sends "X", which ending this way must not do.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

bool QtPlatformServices::terminating() { return terminating_; }

}  // namespace velmar
