// The Windows side of the socket calls: Winsock, with its errors given
// their errno names so the loops above are shared with POSIX.
#include "port/socket.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>

#include <mstcpip.h>

namespace q7m {

namespace {

int errnoFor(int wsa) {
    switch (wsa) {
    case 0: return 0;
    case WSAEWOULDBLOCK: return EWOULDBLOCK;
    case WSAEINPROGRESS:
    case WSAEALREADY: return EINPROGRESS;
    case WSAEINTR: return EINTR;
    case WSAECONNRESET:
    case WSAENETRESET: return ECONNRESET;
    case WSAECONNABORTED: return ECONNABORTED;
    case WSAENOTCONN: return ENOTCONN;
    case WSAESHUTDOWN: return EPIPE;
    case WSAETIMEDOUT: return ETIMEDOUT;
    case WSAECONNREFUSED: return ECONNREFUSED;
    case WSAEHOSTUNREACH:
    case WSAEHOSTDOWN: return EHOSTUNREACH;
    case WSAENETUNREACH:
    case WSAENETDOWN: return ENETUNREACH;
    case WSAENOTSOCK: return EBADF;
    case WSAEACCES: return EACCES;
    case WSAEMFILE:
    case WSAENOBUFS: return ENOMEM;
    default: return EIO;
    }
}

int lastError() {
    const int e = errnoFor(::WSAGetLastError());
    errno = e;
    return e;
}

}  // namespace

PortStatus lookUpAddresses(const std::string& host, int tcpPort, bool numericOnly, std::vector<SocketAddress>& found) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = numericOnly ? AI_NUMERICHOST : 0;
    addrinfo* list = nullptr;
    const std::string service = std::to_string(tcpPort);
    const int rc = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &list);
    if (rc != 0) {
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

int socketsReady() {
    static std::once_flag once;
    static int result = 0;
    std::call_once(once, [] {
        WSADATA data{};
        result = errnoFor(::WSAStartup(MAKEWORD(2, 2), &data));
    });
    return result;
}

int socketErrno() { return lastError(); }

NativeFd openStreamSocket(int family, int type, int protocol, int& err) {
    err = socketsReady();
    if (err) return kNoFd;
    // WSA_FLAG_NO_HANDLE_INHERIT: child processes do not get the socket.
    const SOCKET s = ::WSASocketW(family, type, protocol, nullptr, 0, WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
    if (s == INVALID_SOCKET) {
        err = lastError();
        return kNoFd;
    }
    u_long nonBlocking = 1;
    if (::ioctlsocket(s, FIONBIO, &nonBlocking) != 0) {
        err = lastError();
        ::closesocket(s);
        return kNoFd;
    }
    return s;
}

int connectStart(NativeFd fd, const sockaddr* address, socklen_t length) {
    if (::connect(fd, address, length) == 0) return 0;
    const int err = lastError();
    return err == EWOULDBLOCK ? EINPROGRESS : err;
}

int connectFinishAny(const NativeFd* fds, std::size_t count, int timeoutMs, int& err) {
    // select(), not WSAPoll: older Windows' WSAPoll does not report a
    // refused connection.
    fd_set writable, failed;
    FD_ZERO(&writable);
    FD_ZERO(&failed);
    for (std::size_t i = 0; i < count && i < FD_SETSIZE; ++i) {
        FD_SET(fds[i], &writable);
        FD_SET(fds[i], &failed);
    }
    timeval tv{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    const int r = ::select(0, nullptr, &writable, &failed, &tv);
    if (r < 0) {
        err = lastError();
        return count > 0 ? 0 : -1;
    }
    if (r == 0) return -1;
    for (std::size_t i = 0; i < count && i < FD_SETSIZE; ++i) {
        const bool isFailed = FD_ISSET(fds[i], &failed);
        if (!isFailed && !FD_ISSET(fds[i], &writable)) continue;
        int code = 0;
        int len = sizeof code;
        if (::getsockopt(fds[i], SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&code), &len) != 0) {
            err = lastError();
            return static_cast<int>(i);
        }
        if (isFailed && code == 0) code = WSAECONNREFUSED;
        err = errnoFor(code);
        return static_cast<int>(i);
    }
    return -1;
}

void tuneStream(NativeFd fd) {
    const BOOL one = TRUE;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one), sizeof one);
    ::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, reinterpret_cast<const char*>(&one), sizeof one);
}

bool closeSocket(NativeFd fd) { return ::closesocket(fd) == 0; }

ssize_t socketRecv(NativeFd fd, void* buffer, std::size_t count) {
    const int n = ::recv(fd, static_cast<char*>(buffer), static_cast<int>(std::min<std::size_t>(count, 1 << 30)), 0);
    if (n == SOCKET_ERROR) {
        lastError();
        return -1;
    }
    return n;
}

ssize_t socketSend(NativeFd fd, const void* data, std::size_t count) {
    const int n =
        ::send(fd, static_cast<const char*>(data), static_cast<int>(std::min<std::size_t>(count, 1 << 30)), 0);
    if (n == SOCKET_ERROR) {
        lastError();
        return -1;
    }
    return n;
}

int socketPoll(pollfd* fds, PollCount n, int timeoutMs) {
    const int r = ::WSAPoll(fds, n, timeoutMs);
    if (r == SOCKET_ERROR) {
        lastError();
        return -1;
    }
    return r;
}

bool peerHungUp(NativeFd fd, int timeoutMs, std::string& said) {
    using Clock = std::chrono::steady_clock;
    const auto until = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
        if (left <= 0) return false;
        pollfd p{fd, POLLIN, 0};
        const int r = ::WSAPoll(&p, 1, static_cast<int>(left));
        if (r <= 0) return false;
        if (p.revents & POLLNVAL) return true;  // not an open socket: nothing more will come
        if (p.revents & (POLLHUP | POLLERR)) {
            char buf[256];
            int n;
            while ((n = ::recv(fd, buf, sizeof buf, 0)) > 0) said.append(buf, static_cast<std::size_t>(n));
            return true;
        }
        // Winsock cannot tell a close that follows data without reading the
        // data first: read it (nothing has been asked of the unit yet).
        char buf[256];
        const int n = ::recv(fd, buf, sizeof buf, 0);
        if (n == 0) return true;
        if (n > 0) said.append(buf, static_cast<std::size_t>(n));
        else if (::WSAGetLastError() != WSAEWOULDBLOCK) return true;
    }
}

void keepModuleLoaded() {
    HMODULE self = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                         reinterpret_cast<LPCWSTR>(&keepModuleLoaded), &self);
}

}  // namespace q7m
