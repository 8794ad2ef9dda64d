// socket.h - the few socket and descriptor calls the ports make, once per
// platform (socket_posix.cpp: BSD sockets and file descriptors;
// socket_win32.cpp: Winsock).  Failures come back as errno values on both:
// the Windows side gives Winsock's errors their errno names (WSAECONNRESET
// is ECONNRESET), so the loops above them are written once.
#ifndef Q7M_PORT_SOCKET_H
#define Q7M_PORT_SOCKET_H

#include <cstddef>
#include <string>
#include <vector>

#include "port/fd_io.h"

#ifdef _WIN32
#include <ws2tcpip.h>
#else
#include <netdb.h>
#include <sys/socket.h>
#endif

namespace q7m {

// One address of a host, as the resolver gives it.
struct SocketAddress {
    sockaddr_storage address{};
    socklen_t length = 0;
};

// The system resolver's addresses of host:tcpPort, for a stream socket;
// `numericOnly` takes an address written as numbers and asks no name
// service.  Blocks as long as the name service takes.  A failure is
// NameNotResolved (or Io) with the resolver's words as the sentence.
PortStatus lookUpAddresses(const std::string& host, int tcpPort, bool numericOnly, std::vector<SocketAddress>& found);

// Starts the socket layer once per process (Winsock); 0 or an errno value.
int socketsReady();

// A non-blocking stream socket that child processes do not inherit, or
// kNoFd with `err` set.
NativeFd openStreamSocket(int family, int type, int protocol, int& err);

// Starts a connection: 0 when connected at once, EINPROGRESS while it is
// under way, otherwise why it failed.
int connectStart(NativeFd fd, const sockaddr* address, socklen_t length);

// Waits up to `timeoutMs` for one of `count` started connections to end:
// its index, with `err` 0 when it is up or why it failed (ECONNREFUSED,
// EHOSTUNREACH, ...); -1 when none ended in time.
int connectFinishAny(const NativeFd* fds, std::size_t count, int timeoutMs, int& err);

// TCP_NODELAY (a command is a few bytes: send at once) and keep-alive.
void tuneStream(NativeFd fd);

bool closeSocket(NativeFd fd);

// The system calls of the read and write loops, errno set on failure.
ssize_t socketRecv(NativeFd fd, void* buffer, std::size_t count);
ssize_t socketSend(NativeFd fd, const void* data, std::size_t count);  // never raises SIGPIPE
int socketPoll(pollfd* fds, PollCount n, int timeoutMs);
#ifndef _WIN32
ssize_t terminalRead(NativeFd fd, void* buffer, std::size_t count);
ssize_t terminalWrite(NativeFd fd, const void* data, std::size_t count);
#else
inline ssize_t terminalRead(NativeFd fd, void* buffer, std::size_t count) { return socketRecv(fd, buffer, count); }
inline ssize_t terminalWrite(NativeFd fd, const void* data, std::size_t count) { return socketSend(fd, data, count); }
#endif

// Watches a fresh connection for up to `timeoutMs`: true when the peer
// closed it in that time, with whatever it said before in `said`.  While the
// peer stays, what it sends is left for the reader where the system can
// tell a close apart without reading (POSIX); on Windows it is read into
// `said` too (the unit is not spoken to before this watch ends).
bool peerHungUp(NativeFd fd, int timeoutMs, std::string& said);

// errno for the last failed socket call.
int socketErrno();

// Keeps the module holding this code (the library, or the program it is
// linked into) loaded until the process ends: a name lookup abandoned at
// its deadline still runs on its own thread and returns into this code.
void keepModuleLoaded();

}  // namespace q7m

#endif
