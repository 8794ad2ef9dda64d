// q7mctl_workers.h - one job per port, each in a worker process of its
// own where the system can start one (the library holds one port per
// process), its answer coming back as one line of text.
#ifndef Q7MCTL_WORKERS_H
#define Q7MCTL_WORKERS_H

#include <functional>
#include <string>
#include <vector>

namespace q7mctl {

struct WorkerAnswer {
    int port = 0;
    std::string line;  // what the job returned, up to its first newline; "" when none came
    std::string why;   // why there may be no line: the worker was killed, or was never started
};

// Runs `job(port)` for every port: on POSIX systems side by side, one
// worker process each, a stop signal passed on to the workers once; on
// Windows, which cannot copy a process, one after another in this process, a stop
// signal leaving the rest unstarted.  A port whose worker could not start
// is said on stderr and missing from the answers.
std::vector<WorkerAnswer> runWorkers(const std::vector<int>& ports, const std::function<std::string(int)>& job);

}  // namespace q7mctl

#endif
