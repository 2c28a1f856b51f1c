#include "ui/signal_close.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace velmar {
namespace {

constexpr int Signals[] = {SIGTERM, SIGINT, SIGHUP};

// Read end, write end. Plain ints: the handler may touch nothing else.
int signalPipe[2] = {-1, -1};

void writeSignal(int signal)
{
    const int saved = errno;
    const auto byte = static_cast<unsigned char>(signal);
    // A full pipe already holds a request to close; losing this one changes nothing.
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

}  // namespace

SignalClose::SignalClose(std::function<void(int signal)> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal))
{
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &SignalClose::readSignals);

    struct sigaction action {};
    action.sa_handler = writeSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : Signals)
        ::sigaction(signal, &action, nullptr);
}

SignalClose::~SignalClose()
{
    if (!notifier_)
        return;
    for (int signal : Signals)
        std::signal(signal, SIG_DFL);
    delete notifier_;
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

void SignalClose::readSignals()
{
    unsigned char received[16];
    ssize_t n = 0;
    while ((n = ::read(signalPipe[0], received, sizeof received)) > 0) {
        for (ssize_t i = 0; i < n; ++i)
            onSignal_(received[i]);
    }
}

}  // namespace velmar
