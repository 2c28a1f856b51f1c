#pragma once

#include <QDateTime>
#include <QRect>
#include <QString>

#include <cstdint>
#include <functional>

class QObject;

namespace velmar {

// The four dialogs the program shows, each with one "OK" button.
enum class DialogKind {
    Info,              // caption "Information", information icon
    Error,             // the driver's: caption "Error", error icon
    Message,           // caption = the application's title, no icon
    ApplicationError,  // the standard dialog for runtime errors: the application's title, error icon
};

// Everything the program asks of the desktop goes through this one interface: modal dialogs,
// the save dialog, the beep, the millisecond tick and the local clock, the per-user folders,
// the shell's "open" and the work area. Production uses QtPlatformServices; tests install a
// recorder that answers dialogs at once and keeps what was shown.
class PlatformServices {
public:
    virtual ~PlatformServices() = default;

    // Modal information dialog: caption "Information", information icon, one "OK" button.
    virtual void showInfo(const QString& text) = 0;
    // The driver's error dialog: caption "Error", error icon, one "OK" button.
    virtual void showError(const QString& text) = 0;
    // Plain message box: caption = the application's title, no icon, one "OK" button.
    virtual void showMessage(const QString& text) = 0;
    // The application's standard error dialog for runtime errors (conversion errors).
    virtual void showApplicationError(const QString& text) = 0;
    // The one of the four above that `kind` names.
    void showDialog(DialogKind kind, const QString& text);

    // Opens the dialog and returns at once; `answered` is called from the event loop (never
    // inside this call) once the operator has answered it. Several may be open at once, the
    // latest in front: platform/dialogs.h shows them one after another. By default the dialog
    // is shown by the modal call above, and `answered` is queued after it.
    virtual void openDialog(DialogKind kind, const QString& text, std::function<void()> answered);

    virtual void beep() = 0;

    // Milliseconds since an arbitrary origin, 32 bits, wrapping.
    virtual std::uint32_t tickCount() = 0;
    // How long `ticks` of tickCount() take on the wall clock: the same, unless a test runs the
    // tick faster. A pause arms its wake-up timer with it; the stall check measures its window
    // with it.
    virtual std::uint32_t wallMsForTicks(std::uint32_t ticks) { return ticks; }
    virtual QDateTime now() = 0;
    // The same clock as now(), in milliseconds since 1970 UTC: cheap enough to read for every
    // row of a record (now() converts to local time, which costs microseconds).
    virtual qint64 nowMSecsSinceEpoch() { return now().toMSecsSinceEpoch(); }

    // The per-user local application-data folder, without a trailing separator.
    virtual QString localAppDataFolder() = 0;
    // The user's own folders, where save dialogs start.
    enum class UserFolder { Pictures, Documents };
    virtual QString userFolder(UserFolder which) = 0;
    // The modal save dialog: starts at `initialPath` (a folder and a name) offering `filters`
    // (";;" between them) with `*selectedFilter` chosen. Returns the name chosen, empty when
    // cancelled, and the filter then in force in `*selectedFilter`.
    virtual QString askSaveFileName(const QString& caption, const QString& initialPath, const QString& filters,
                                    QString* selectedFilter) = 0;
    // The desktop's "open" for an address; false where nothing on the desktop would take it.
    virtual bool shellOpen(const QString& address) = 0;
    // Size of the desktop work area (screen minus task bars).
    virtual QRect workArea() = 0;

    // Tells the operator that a run or a test has ended, with a desktop notification, when none
    // of the program's windows is the active one; nothing where the desktop offers no way.
    virtual void notifyWhenInactive(const QString& summary, const QString& body)
    {
        (void)summary;
        (void)body;
    }

    // Nobody will answer any more (the program was told to end from outside): the dialogs
    // open now are closed as if answered, and every later one is only recorded (and, when
    // opened, answered at once).
    virtual void dismissDialogs() {}

    // Asks the application to end: the main message loop ends the next time it runs. Loops
    // nested in handlers go on until they return.
    virtual void terminate() = 0;
    // The application has been asked to end.
    virtual bool terminating() = 0;

protected:
    // Calls `answered` (when there is one) from the event loop, never inside this call; not
    // at all once `context` (by default the application) is gone.
    static void answerLater(std::function<void()> answered, QObject* context = nullptr);
};

// The services in force; QtPlatformServices until a test installs its own.
PlatformServices& platform();
// Installs `services` (not owned) and returns the previous one; nullptr restores the default.
PlatformServices* installPlatform(PlatformServices* services);

}  // namespace velmar
