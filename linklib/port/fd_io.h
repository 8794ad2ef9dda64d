// fd_io.h - bounded reads and writes on a non-blocking file descriptor, the
// part the POSIX serial port and the network ports share.  The system calls
// go through SysIo so the loops can be driven by a script in tests
// (interrupted calls, short writes, would-block, hang-up).
#ifndef Q7M_PORT_FD_IO_H
#define Q7M_PORT_FD_IO_H

#include <cstddef>
#include <cstdint>
#include <poll.h>
#include <sys/types.h>

#include "port/port.h"

namespace q7m {

class SysIo {
public:
    virtual ~SysIo() = default;
    virtual ssize_t read(int fd, void* buffer, std::size_t count) = 0;
    virtual ssize_t write(int fd, const void* data, std::size_t count) = 0;
    virtual int poll(pollfd* fds, nfds_t n, int timeoutMs) = 0;
};

enum class FdKind {
    Terminal,  // a tty in non-canonical mode with VMIN = VTIME = 0: read() gives 0 when nothing is there
    Stream,    // a socket: read() gives 0 when the peer closed
};

// The real system calls; on a Stream, writes use send() without SIGPIPE.
SysIo& systemIo(FdKind kind);

// Waits up to `timeoutMs` for the first byte and returns what is there.
ReadResult fdRead(SysIo& io, int fd, FdKind kind, std::uint8_t* buffer, std::size_t capacity, int timeoutMs);

// Writes everything or stops after `timeoutMs`.
WriteResult fdWrite(SysIo& io, int fd, const std::uint8_t* data, std::size_t count, int timeoutMs);

}  // namespace q7m

#endif
