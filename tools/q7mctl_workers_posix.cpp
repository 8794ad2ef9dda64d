// Worker processes on POSIX systems: fork, a pipe each, poll and waitpid.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include "q7mctl_link.h"
#include "q7mctl_workers.h"

namespace q7mctl {

std::vector<WorkerAnswer> runWorkers(const std::vector<int>& ports, const std::function<std::string(int)>& job) {
    struct Worker {
        int port;
        pid_t pid;
        int fd;
        std::string out;
    };
    std::vector<Worker> workers;
    std::fflush(stdout);
    std::fflush(stderr);
    for (int port : ports) {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) {
            std::fprintf(stderr, "q7mctl: cannot start a worker for COM%d: %s\n", port, std::strerror(errno));
            continue;
        }
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(fds[0]);
            for (const auto& w : workers) ::close(w.fd);
            const std::string line = job(port);
            [[maybe_unused]] const ssize_t n = ::write(fds[1], line.data(), line.size());
            ::_exit(0);
        }
        ::close(fds[1]);
        if (pid < 0) {
            std::fprintf(stderr, "q7mctl: cannot start a worker for COM%d: %s\n", port, std::strerror(errno));
            ::close(fds[0]);
            continue;
        }
        workers.push_back({port, pid, fds[0], {}});
    }

    // Collect every worker's line; pass a signal on to them once.
    bool forwarded = false;
    std::size_t open = workers.size();
    while (open > 0) {
        if (stopSignal() && !forwarded) {
            for (const auto& w : workers) ::kill(w.pid, stopSignal());
            forwarded = true;
        }
        std::vector<pollfd> fds;
        for (const auto& w : workers) fds.push_back({w.fd, POLLIN, 0});
        if (::poll(fds.data(), fds.size(), 200) < 0 && errno != EINTR) break;
        for (std::size_t i = 0; i < workers.size(); ++i) {
            if (workers[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            char buf[1024];
            const ssize_t n = ::read(workers[i].fd, buf, sizeof buf);
            if (n > 0) {
                workers[i].out.append(buf, static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                ::close(workers[i].fd);
                workers[i].fd = -1;
                --open;
            }
        }
    }

    std::vector<WorkerAnswer> answers;
    for (auto& w : workers) {
        int status = 0;
        while (::waitpid(w.pid, &status, 0) < 0 && errno == EINTR) {
        }
        WorkerAnswer a;
        a.port = w.port;
        a.line = w.out.substr(0, w.out.find('\n'));
        a.why = WIFSIGNALED(status) ? "the worker was killed by signal " + std::to_string(WTERMSIG(status))
                                    : "the worker ended without a result";
        answers.push_back(a);
    }
    return answers;
}

}  // namespace q7mctl
