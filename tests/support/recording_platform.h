#pragma once

#include "platform/platform_services.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

namespace velmar::test {

// Platform services for tests: dialogs are answered at once and recorded ("Info: ...",
// "Error: ...", "Message: ...", "AppError: ..."), beeps are counted with their ticks, the
// clock is real but can be shifted, and the data folder is a temporary one of the test's.
// Installs itself on construction and restores the previous services on destruction.
class RecordingPlatform final : public PlatformServices {
public:
    RecordingPlatform();
    ~RecordingPlatform() override;

    void showInfo(const QString& text) override;
    void showError(const QString& text) override;
    void showMessage(const QString& text) override;
    void showApplicationError(const QString& text) override;
    // Recorded as the four above; answered at once (answerAtOnce) or from the event loop, or
    // held with holdDialogs.
    void openDialog(DialogKind kind, const QString& text, std::function<void()> answered) override;
    void beep() override;
    std::uint32_t tickCount() override;
    std::uint32_t wallMsForTicks(std::uint32_t ticks) override
    {
        return static_cast<std::uint32_t>(static_cast<double>(ticks) / tickRate);
    }
    QDateTime now() override;
    QString localAppDataFolder() override;
    QString userFolder(UserFolder which) override;
    QString askSaveFileName(const QString& caption, const QString& initialPath, const QString& filters,
                            QString* selectedFilter) override;
    bool shellOpen(const QString& address) override;
    QRect workArea() override;
    // Recorded as "summary: body" whether or not a window is active.
    void notifyWhenInactive(const QString& summary, const QString& body) override
    {
        notifications << summary + QStringLiteral(": ") + body;
    }
    // Releases every held dialog and answers all later ones at once.
    void dismissDialogs() override
    {
        ++dismissRequests;
        holdDialogs = false;
        releaseDialogs();
    }
    void terminate() override { ++terminateRequests; }
    bool terminating() override { return terminateRequests > 0; }

    QStringList dialogs;              // every dialog in the order shown
    QList<std::uint32_t> beepTicks;   // tick of each beep
    QStringList opened;               // addresses passed to shellOpen
    bool shellOpens = true;           // what shellOpen answers: whether the desktop took it
    QStringList notifications;        // desktop notifications asked for
    QString dataFolder;               // returned by localAppDataFolder()
    QString picturesFolder = QStringLiteral("/pictures");    // returned by userFolder()
    QString documentsFolder = QStringLiteral("/documents");
    // Each save dialog as "<caption> | <initial path> | <filters> | <selected filter>".
    QStringList saveDialogs;
    // The operator's answer to a save dialog: the name typed, and the filter chosen when it is
    // not the one offered. Unset, or returning an empty name: cancelled.
    std::function<QString(const QString& initialPath, QString* selectedFilter)> onSave;
    QRect work{0, 0, 1280, 800};
    int terminateRequests = 0;        // terminate() calls; the test's event loop goes on
    std::uint32_t tickOffset = 0;     // added to the real tick (wrap-around tests)
    double tickRate = 1.0;            // the tick runs this many times faster than real time
    QDateTime fixedNow;               // when valid, now() returns it
    // Called for each dialog after it is recorded, as if the operator took this long to
    // answer: a test can process events here, click something, or check state.
    std::function<void(const QString& dialog)> onDialog;
    // Nobody answers: each dialog, once recorded, stays open until releaseDialogs(). A modal
    // one's call does not return while events go on being processed, as under a real modal
    // dialog; an opened one's answer is kept back.
    bool holdDialogs = false;
    // An opened dialog is answered inside openDialog, as an operator who answers at once
    // would: every dialog a call queues has been recorded when the call returns. False: from
    // the event loop, as a real box answers (the queue's own tests).
    bool answerAtOnce = true;
    // Returns from every held modal dialog (the innermost first, as the stack unwinds) and
    // answers every held opened one (the oldest first), from the event loop.
    void releaseDialogs();
    int heldDialogs() const { return static_cast<int>(held_.size() + heldAnswers_.size()); }
    int dismissRequests = 0;

private:
    void record(const QString& dialog);
    // A modal dialog: recorded, then held in a nested loop while holdDialogs.
    void showDialogHeld(DialogKind kind, const QString& text);
    PlatformServices* previous_ = nullptr;
    QList<QEventLoop*> held_;
    QList<std::function<void()>> heldAnswers_;
    // Answers still on their way go with the recorder: they do not reach the next test.
    std::unique_ptr<QObject> answering_ = std::make_unique<QObject>();
    QElapsedTimer clock_;
};

}  // namespace velmar::test
