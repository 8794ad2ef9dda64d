#include "sim_ports.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace q7msim {

int rateIndexOfSpeed(unsigned speed) {
    switch (speed) {
    case B9600: return 0;
    case B19200: return 1;
    case B38400: return 2;
    case B57600: return 3;
    default: return -1;
    }
}

// ---------------------------------------------------------------- pty

std::string PtyPort::open() {
    close();
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0) return std::string("cannot open a pseudo-terminal: ") + std::strerror(errno);
    const char* name = nullptr;
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0 || (name = ::ptsname(master_)) == nullptr) {
        const std::string why = std::strerror(errno);
        close();
        return "cannot set up the pseudo-terminal: " + why;
    }
    device_ = name;
    // Keep one slave descriptor open for our whole life, so the line does
    // not hang up while the host closes and reopens the port.
    slave_ = ::open(device_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) {
        const std::string why = std::strerror(errno);
        close();
        return "cannot open " + device_ + ": " + why;
    }
    termios tio{};
    ::tcgetattr(slave_, &tio);
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B9600);
    ::cfsetospeed(&tio, B9600);
    ::tcsetattr(slave_, TCSANOW, &tio);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    // Replace the link in one step, so a host never finds it missing while
    // it moves from an old device to the new one.
    const std::string tmp = link_ + ".new";
    ::unlink(tmp.c_str());
    if (::symlink(device_.c_str(), tmp.c_str()) != 0 || ::rename(tmp.c_str(), link_.c_str()) != 0) {
        const std::string why = std::strerror(errno);
        ::unlink(tmp.c_str());
        close();
        return "cannot create " + link_ + ": " + why;
    }
    return {};
}

void PtyPort::close() {
    if (master_ < 0 && slave_ < 0) return;
    ::unlink(link_.c_str());
    // A hang-up throws away what the host has not read yet.  Bytes that left
    // the unit before the hang-up had reached a real host's UART, so give
    // the host a moment (bounded) to take them.
    if (slave_ >= 0) {
        for (int i = 0; i < 50; ++i) {
            ::usleep(2000);
            int queued = 0;
            if (::ioctl(slave_, TIOCINQ, &queued) != 0 || queued == 0) break;
        }
    }
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
    slave_ = master_ = -1;
}

int PtyPort::hostRate() const {
    termios tio{};
    if (master_ < 0 || ::tcgetattr(master_, &tio) != 0) return -1;
    return rateIndexOfSpeed(::cfgetospeed(&tio));
}

// ---------------------------------------------------------------- tcp

std::string TcpPort::listen(const std::string& hostPort) {
    close();
    address_ = hostPort;
    const auto colon = hostPort.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == hostPort.size())
        return "expected HOST:PORT, for example 127.0.0.1:7000";
    std::string host = hostPort.substr(0, colon);
    const std::string port = hostPort.substr(colon + 1);
    if (port.find_first_not_of("0123456789") != std::string::npos || port.size() > 5 || std::atoi(port.c_str()) > 65535)
        return "the port must be a number from 0 to 65535";
    if (host.size() > 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);

    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    if (const int e = ::getaddrinfo(host.c_str(), port.c_str(), &hints, &found); e != 0)
        return "cannot resolve " + host + ": " + ::gai_strerror(e);
    std::string why = "no address";
    for (addrinfo* a = found; a; a = a->ai_next) {
        const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, a->ai_protocol);
        if (fd < 0) {
            why = std::strerror(errno);
            continue;
        }
        const int one = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        if (::bind(fd, a->ai_addr, a->ai_addrlen) != 0 || ::listen(fd, 4) != 0) {
            why = std::strerror(errno);
            ::close(fd);
            continue;
        }
        listen_ = fd;
        break;
    }
    ::freeaddrinfo(found);
    if (listen_ < 0) return "cannot listen on " + hostPort + ": " + why;

    sockaddr_storage ss{};
    socklen_t len = sizeof ss;
    ::getsockname(listen_, reinterpret_cast<sockaddr*>(&ss), &len);
    char h[NI_MAXHOST] = "?", p[NI_MAXSERV] = "?";
    ::getnameinfo(reinterpret_cast<sockaddr*>(&ss), len, h, sizeof h, p, sizeof p, NI_NUMERICHOST | NI_NUMERICSERV);
    bound_ = ss.ss_family == AF_INET6 ? "[" + std::string(h) + "]:" + p : std::string(h) + ":" + p;
    // Ask for the bound port next time, so a listener that comes back after
    // a hang-up is found where it was.
    address_ = host.find(':') != std::string::npos ? "[" + host + "]:" + p : host + ":" + p;
    return {};
}

void TcpPort::dropClient() {
    if (client_ >= 0) ::close(client_);
    client_ = -1;
}

void TcpPort::close() {
    dropClient();
    if (listen_ >= 0) ::close(listen_);
    listen_ = -1;
}

bool TcpPort::accept(std::string& peer) {
    sockaddr_storage ss{};
    socklen_t len = sizeof ss;
    const int fd = ::accept4(listen_, reinterpret_cast<sockaddr*>(&ss), &len, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) {
        peer.clear();
        return false;
    }
    char h[NI_MAXHOST] = "?", p[NI_MAXSERV] = "?";
    ::getnameinfo(reinterpret_cast<sockaddr*>(&ss), len, h, sizeof h, p, sizeof p, NI_NUMERICHOST | NI_NUMERICSERV);
    peer = std::string(h) + ":" + p;
    if (client_ >= 0) {
        ::close(fd);  // one client at a time, as a serial line has one end
        return false;
    }
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    client_ = fd;
    return true;
}

}  // namespace q7msim
