// pty_helpers.h - a pseudo-terminal pair and a way to try something as an
// ordinary user, for the port tests.
#ifndef Q7M_TESTS_PTY_HELPERS_H
#define Q7M_TESTS_PTY_HELPERS_H

#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace q7mtest {

// A pseudo-terminal; `slave` is the device path a port opens.
struct Pty {
    int master = -1;
    std::string slave;
    Pty() {
        master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0) slave = ::ptsname(master);
    }
    ~Pty() { closeMaster(); }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;
    void closeMaster() {
        if (master >= 0) ::close(master);
        master = -1;
    }
    bool ok() const { return master >= 0 && !slave.empty(); }
};

inline constexpr uid_t kNobody = 65534;

// Runs `fn` in a child process that has dropped to the user "nobody" and
// returns its result (0..125), or -1 when this process cannot switch user
// (not root).
inline int runAsNobody(const std::function<int()>& fn) {
    if (::geteuid() != 0) return -1;
    const pid_t pid = ::fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(126);
        ::_exit(fn());
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

}  // namespace q7mtest

#endif
