// Windows has no fork(): the units are worked on one after another in this
// process (the library holds one port at a time).
#include "q7mctl_link.h"
#include "q7mctl_workers.h"

namespace q7mctl {

std::vector<WorkerAnswer> runWorkers(const std::vector<int>& ports, const std::function<std::string(int)>& job) {
    std::vector<WorkerAnswer> answers;
    for (int port : ports) {
        WorkerAnswer a;
        a.port = port;
        if (stopSignal()) {
            a.why = "not started: stopped by signal " + std::to_string(stopSignal());
        } else {
            a.line = job(port);
            a.line = a.line.substr(0, a.line.find('\n'));
            a.why = "the worker ended without a result";
        }
        answers.push_back(a);
    }
    return answers;
}

}  // namespace q7mctl
