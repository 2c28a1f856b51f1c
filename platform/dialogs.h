#pragma once

// The program's dialogs one at a time: each is shown once every dialog asked for before it has
// been answered, so the operator reads them in the order they were asked for and a later one
// never covers an earlier one. Nothing here waits in a nested event loop: the caller goes on,
// and hears of the answer from the event loop. Window's thread only.

#include "platform/platform_services.h"
#include "platform/task.h"

#include <QString>

#include <functional>

namespace velmar {

// Queues the dialog and returns at once (it opens now when none is open or queued);
// `answered` is called from the event loop once the operator has answered it.
void openDialog(DialogKind kind, const QString& text, std::function<void()> answered = {});

// For a routine: `co_await dialog(DialogKind::Info, text)` resumes once this dialog (and so
// every one before it) has been answered, with true; a cancelled wait resumes early with false,
// and the dialog stays where it is in the queue, or open.
Wake dialog(DialogKind kind, QString text, Cancellation* cancellation = nullptr);

// A dialog is open or waits in the queue.
bool dialogsPending();

// Resumes once no dialog is open or queued (at once when none is), with true; false when
// cancelled first.
Wake dialogsAnswered(Cancellation* cancellation = nullptr);

// Forgets every dialog open or queued: none of them is answered any more, and the next one
// asked for opens at once. For the end of a test whose operator is gone with its dialogs still
// open; an answer that still arrives for a forgotten dialog does nothing.
void forgetDialogs();

}  // namespace velmar
