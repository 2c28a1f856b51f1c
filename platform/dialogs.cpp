#include "platform/dialogs.h"

#include <cstdint>
#include <deque>
#include <utility>
#include <vector>

namespace velmar {
namespace {

struct Asked {
    DialogKind kind;
    QString text;
    std::function<void()> answered;
};

struct DialogQueue {
    std::deque<Asked> waiting;
    // The dialog open now: 0 when none; each opened one gets the next number, so an answer
    // that arrives for one no longer open is told apart.
    std::uint64_t open = 0;
    std::uint64_t lastOpened = 0;
    std::function<void()> openAnswered;
    // An answer is being handled: the next dialog waits until it has been.
    bool answering = false;
    // Told once the queue is empty.
    std::vector<std::function<void()>> whenEmpty;
};

DialogQueue& queue()
{
    static DialogQueue dialogs;
    return dialogs;
}

void answeredOpen(std::uint64_t which);

void tellEmpty()
{
    for (const std::function<void()>& wake : std::exchange(queue().whenEmpty, {}))
        wake();
}

void openNext()
{
    DialogQueue& q = queue();
    if (q.open != 0 || q.answering)
        return;
    if (q.waiting.empty()) {
        tellEmpty();
        return;
    }
    Asked next = std::move(q.waiting.front());
    q.waiting.pop_front();
    const std::uint64_t which = ++q.lastOpened;
    q.open = which;
    q.openAnswered = std::move(next.answered);
    platform().openDialog(next.kind, next.text, [which] { answeredOpen(which); });
}

void answeredOpen(std::uint64_t which)
{
    DialogQueue& q = queue();
    if (q.open != which)
        return;
    q.open = 0;
    // The next one opens after this one's answer has had its effect (a dialog asked for there
    // goes behind those already queued), and even when that effect ends in an exception.
    struct OpenNextAfter {
        ~OpenNextAfter()
        {
            queue().answering = false;
            openNext();
        }
    } openNextAfter;
    q.answering = true;
    if (const std::function<void()> answered = std::exchange(q.openAnswered, {}))
        answered();
}

}  // namespace

void openDialog(DialogKind kind, const QString& text, std::function<void()> answered)
{
    queue().waiting.push_back({kind, text, std::move(answered)});
    openNext();
}

Wake dialog(DialogKind kind, QString text, Cancellation* cancellation)
{
    return Wake([kind, text = std::move(text)](Wake::WakeFunction wake) { openDialog(kind, text, std::move(wake)); },
                cancellation);
}

bool dialogsPending()
{
    const DialogQueue& q = queue();
    return q.open != 0 || !q.waiting.empty();
}

Wake dialogsAnswered(Cancellation* cancellation)
{
    return Wake(
        [](Wake::WakeFunction wake) {
            if (dialogsPending())
                queue().whenEmpty.push_back(std::move(wake));
            else
                wake();
        },
        cancellation);
}

void forgetDialogs()
{
    DialogQueue& q = queue();
    q.waiting.clear();
    q.open = 0;
    q.openAnswered = {};
    q.answering = false;
    tellEmpty();
}

}  // namespace velmar
