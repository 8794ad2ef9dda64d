#include "port/fd_io.h"

#include <cerrno>
#include <chrono>

#include "port/socket.h"

namespace q7m {

namespace {

using Clock = std::chrono::steady_clock;

class RealIo : public SysIo {
public:
    explicit RealIo(bool socket) : socket_(socket) {}
    ssize_t read(NativeFd fd, void* buffer, std::size_t count) override {
        return socket_ ? socketRecv(fd, buffer, count) : terminalRead(fd, buffer, count);
    }
    ssize_t write(NativeFd fd, const void* data, std::size_t count) override {
        return socket_ ? socketSend(fd, data, count) : terminalWrite(fd, data, count);
    }
    int poll(pollfd* fds, PollCount n, int timeoutMs) override { return socketPoll(fds, n, timeoutMs); }

private:
    bool socket_;
};

// Errors after which the device or connection is gone for good.
bool lineGone(int err) {
    return err == EIO || err == ENXIO || err == ENODEV || err == EPIPE || err == ECONNRESET || err == ENOTCONN ||
#ifdef ESHUTDOWN
           err == ESHUTDOWN ||
#endif
           err == ECONNABORTED || err == ETIMEDOUT || err == EHOSTUNREACH || err == ENETUNREACH;
}

}  // namespace

SysIo& systemIo(FdKind kind) {
    static RealIo terminal(false), stream(true);
    return kind == FdKind::Stream ? static_cast<SysIo&>(stream) : terminal;
}

ReadResult fdRead(SysIo& io, NativeFd fd, FdKind kind, std::uint8_t* buffer, std::size_t capacity, int timeoutMs) {
    ReadResult r;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    bool hungUp = false;  // poll reported a hang-up: the next empty read means the line is gone
    for (;;) {
        const ssize_t n = io.read(fd, buffer, capacity);
        if (n > 0) {
            r.count = static_cast<std::size_t>(n);
            return r;
        }
        if (n == 0 && (kind == FdKind::Stream || hungUp)) {
            r.status = failure(PortFault::Closed, 0);
            return r;
        }
        if (n < 0) {
            const int err = errno;
            if (lineGone(err)) {
                r.status = failure(PortFault::Closed, err);
                return r;
            }
            if (err != EINTR && err != EAGAIN && err != EWOULDBLOCK) {
                r.status = failure(PortFault::Io, err);
                return r;
            }
            if (hungUp) {  // would-block after a hang-up report: nothing more will come
                r.status = failure(PortFault::Closed, 0);
                return r;
            }
        }
        const int left = msLeft(deadline);
        if (left == 0) break;
        pollfd p{fd, POLLIN, 0};
        const int ready = io.poll(&p, 1, left);
        if (ready < 0) {
            if (errno == EINTR) continue;
            r.status = failure(PortFault::Io, errno);
            return r;
        }
        if (ready == 0) break;
        if (p.revents & POLLNVAL) {
            r.status = failure(PortFault::Io, EBADF);
            return r;
        }
        // Read once more either way: bytes that arrived before the hang-up
        // are still delivered.
        if (p.revents & (POLLHUP | POLLERR)) hungUp = true;
    }
    r.status = failure(PortFault::TimedOut, 0);
    return r;
}

WriteResult fdWrite(SysIo& io, NativeFd fd, const std::uint8_t* data, std::size_t count, int timeoutMs) {
    WriteResult w;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (w.written < count) {
        const ssize_t n = io.write(fd, data + w.written, count - w.written);
        if (n > 0) {
            w.written += static_cast<std::size_t>(n);
            continue;
        }
        bool interrupted = false;
        if (n < 0) {
            const int err = errno;
            if (lineGone(err)) {
                w.status = failure(PortFault::Closed, err);
                return w;
            }
            if (err != EINTR && err != EAGAIN && err != EWOULDBLOCK) {
                w.status = failure(PortFault::Io, err);
                return w;
            }
            interrupted = err == EINTR;
        }
        const int left = msLeft(deadline);
        if (left == 0) break;
        if (interrupted) continue;
        pollfd p{fd, POLLOUT, 0};
        const int ready = io.poll(&p, 1, left);
        if (ready < 0) {
            if (errno == EINTR) continue;
            w.status = failure(PortFault::Io, errno);
            return w;
        }
        if (ready == 0) break;
        if (p.revents & POLLNVAL) {
            w.status = failure(PortFault::Io, EBADF);
            return w;
        }
        if ((p.revents & (POLLHUP | POLLERR)) && !(p.revents & POLLOUT)) {
            w.status = failure(PortFault::Closed, 0);
            return w;
        }
    }
    if (w.written < count) w.status = failure(PortFault::TimedOut, 0);
    return w;
}

}  // namespace q7m
