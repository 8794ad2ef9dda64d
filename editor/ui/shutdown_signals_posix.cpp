#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include "ui/shutdown_signals.h"

namespace zelk {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};
volatile std::sig_atomic_t gWriteEnd = -1;

// Async-signal-safe: one write of one byte, errno left as it was.
extern "C" void onShutdownSignal(int sig) {
    const int saved = errno;
    const unsigned char b = static_cast<unsigned char>(sig);
    if (gWriteEnd >= 0) {
        [[maybe_unused]] const ssize_t n = ::write(gWriteEnd, &b, 1);
    }
    errno = saved;
}

}  // namespace

ShutdownSignals::ShutdownSignals(std::function<void(int)> onSignal) : onSignal_(std::move(onSignal)) {
    // Non-blocking at both ends: a handler never waits on a full pipe, and
    // the reader stops when the pipe is empty.
    if (::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
        pipe_[0] = pipe_[1] = -1;
        return;
    }
    gWriteEnd = pipe_[1];
    notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, this);
    QObject::connect(notifier_, &QSocketNotifier::activated, this, [this] { readPipe(); });
    struct sigaction sa {};
    sa.sa_handler = onShutdownSignal;
    sigemptyset(&sa.sa_mask);
    // No restart: a wait in the library wakes and ends within its time-out.
    sa.sa_flags = 0;
    for (int sig : kSignals) ::sigaction(sig, &sa, nullptr);
}

ShutdownSignals::~ShutdownSignals() {
    struct sigaction sa {};
    sa.sa_handler = SIG_DFL;
    sigemptyset(&sa.sa_mask);
    for (int sig : kSignals) ::sigaction(sig, &sa, nullptr);
    gWriteEnd = -1;
    for (int fd : pipe_)
        if (fd >= 0) ::close(fd);
}

void ShutdownSignals::readPipe() {
    unsigned char b = 0;
    while (::read(pipe_[0], &b, 1) == 1)
        if (onSignal_) onSignal_(b);
}

}  // namespace zelk
