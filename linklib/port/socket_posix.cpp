// The POSIX side of the socket and descriptor calls.
#include "port/socket.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <dlfcn.h>
#include <vector>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace q7m {

PortStatus lookUpAddresses(const std::string& host, int tcpPort, bool numericOnly, std::vector<SocketAddress>& found) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = numericOnly ? AI_NUMERICHOST : 0;
    addrinfo* list = nullptr;
    const std::string service = std::to_string(tcpPort);
    const int rc = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &list);
    if (rc != 0) {
        if (rc == EAI_SYSTEM) return failure(PortFault::Io, errno);
        return failure(PortFault::NameNotResolved, 0, ::gai_strerror(rc));
    }
    for (const addrinfo* a = list; a; a = a->ai_next) {
        if (a->ai_addrlen > sizeof(sockaddr_storage)) continue;
        SocketAddress one;
        std::memcpy(&one.address, a->ai_addr, a->ai_addrlen);
        one.length = static_cast<socklen_t>(a->ai_addrlen);
        found.push_back(one);
    }
    ::freeaddrinfo(list);
    return PortStatus::success();
}

int socketsReady() { return 0; }

int socketErrno() { return errno; }

NativeFd openStreamSocket(int family, int type, int protocol, int& err) {
    const int s = ::socket(family, type | SOCK_NONBLOCK | SOCK_CLOEXEC, protocol);
    err = s < 0 ? errno : 0;
    return s < 0 ? kNoFd : s;
}

int connectStart(NativeFd fd, const sockaddr* address, socklen_t length) {
    return ::connect(fd, address, length) == 0 ? 0 : errno;
}

int connectFinishAny(const NativeFd* fds, std::size_t count, int timeoutMs, int& err) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::vector<pollfd> p(count);
    for (std::size_t i = 0; i < count; ++i) p[i] = {fds[i], POLLOUT, 0};
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        const int r = ::poll(p.data(), static_cast<nfds_t>(count), left > 0 ? static_cast<int>(left) : 0);
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) {  // the wait itself failed: the first attempt takes the blame
            err = errno;
            return count > 0 ? 0 : -1;
        }
        if (r == 0) return -1;
        for (std::size_t i = 0; i < count; ++i) {
            if (!p[i].revents) continue;
            err = 0;
            socklen_t len = sizeof err;
            if (::getsockopt(fds[i], SOL_SOCKET, SO_ERROR, &err, &len) != 0) err = errno;
            else if (err == 0 && (p[i].revents & POLLNVAL)) err = EBADF;
            return static_cast<int>(i);
        }
    }
}

void tuneStream(NativeFd fd) {
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &one, sizeof one);
}

bool closeSocket(NativeFd fd) { return ::close(fd) == 0; }

ssize_t socketRecv(NativeFd fd, void* buffer, std::size_t count) { return ::recv(fd, buffer, count, MSG_DONTWAIT); }

ssize_t socketSend(NativeFd fd, const void* data, std::size_t count) {
    return ::send(fd, data, count, MSG_NOSIGNAL | MSG_DONTWAIT);
}

int socketPoll(pollfd* fds, PollCount n, int timeoutMs) { return ::poll(fds, n, timeoutMs); }

ssize_t terminalRead(NativeFd fd, void* buffer, std::size_t count) { return ::read(fd, buffer, count); }

ssize_t terminalWrite(NativeFd fd, const void* data, std::size_t count) { return ::write(fd, data, count); }

bool peerHungUp(NativeFd fd, int timeoutMs, std::string& said) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now()).count();
        if (left <= 0) return false;
        // POLLRDHUP alone: data the peer sends stays unread for the link.
        pollfd p{fd, POLLRDHUP, 0};
        const int r = ::poll(&p, 1, static_cast<int>(left));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        if (p.revents & POLLNVAL) return true;  // not an open socket: nothing more will come
        if (!(p.revents & (POLLRDHUP | POLLHUP | POLLERR))) continue;
        char buf[256];
        ssize_t n;
        while ((n = ::recv(fd, buf, sizeof buf, MSG_DONTWAIT)) > 0) said.append(buf, static_cast<std::size_t>(n));
        return true;
    }
}

void keepModuleLoaded() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&keepModuleLoaded), &info) == 0 || !info.dli_fname) return;
    // Taken again with RTLD_NODELETE: a later dlclose leaves it mapped.
    // (In a program, as opposed to the library, this finds nothing to do.)
    ::dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}

}  // namespace q7m
