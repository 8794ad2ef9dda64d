// fd_io.h - bounded reads and writes on a non-blocking file descriptor, the
// part the POSIX serial port and the network ports share.  The system calls
// go through SysIo so the loops can be driven by a script in tests
// (interrupted calls, short writes, would-block, hang-up).
#ifndef Q7M_PORT_FD_IO_H
#define Q7M_PORT_FD_IO_H

#include <cstddef>
#include <cstdint>
#include <sys/types.h>
#ifdef _WIN32
#include <winsock2.h>
#else
#include <poll.h>
#endif

#include "port/port.h"

namespace q7m {

// A file descriptor, or on Windows a socket (the loops serve only sockets
// there).  Errors are reported through errno on both: the Windows side
// gives Winsock's errors their errno names.
#ifdef _WIN32
using NativeFd = SOCKET;
using PollCount = unsigned long;
#else
using NativeFd = int;
using PollCount = nfds_t;
#endif
inline constexpr NativeFd kNoFd = static_cast<NativeFd>(-1);

class SysIo {
public:
    virtual ~SysIo() = default;
    virtual ssize_t read(NativeFd fd, void* buffer, std::size_t count) = 0;
    virtual ssize_t write(NativeFd fd, const void* data, std::size_t count) = 0;
    virtual int poll(pollfd* fds, PollCount n, int timeoutMs) = 0;
};

enum class FdKind {
    Terminal,  // a tty in non-canonical mode with VMIN = VTIME = 0: read() gives 0 when nothing is there
    Stream,    // a socket: read() gives 0 when the peer closed
};

// The real system calls; on a Stream, writes use send() without SIGPIPE.
// (On Windows only Stream exists.)
SysIo& systemIo(FdKind kind);

// Waits up to `timeoutMs` for the first byte and returns what is there.
ReadResult fdRead(SysIo& io, NativeFd fd, FdKind kind, std::uint8_t* buffer, std::size_t capacity, int timeoutMs);

// Writes everything or stops after `timeoutMs`.
WriteResult fdWrite(SysIo& io, NativeFd fd, const std::uint8_t* data, std::size_t count, int timeoutMs);

}  // namespace q7m

#endif
