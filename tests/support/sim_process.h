// sim_process.h - runs q7msim for a test: its own folder, port table,
// control FIFO and command log; stopped by its own pid.
#ifndef Q7M_TEST_SIM_PROCESS_H
#define Q7M_TEST_SIM_PROCESS_H

#include <string>
#include <sys/types.h>
#include <vector>

namespace q7mtest {

// A fresh temporary folder, removed with its content on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& content);

// Runs a shell command line and keeps what it printed on standard output.
struct CommandRun {
    int status = -1;  // its exit status; -1 when it did not exit normally
    std::string out;
};
CommandRun runCommand(const std::string& commandLine);

class SimProcess {
public:
    // Starts q7msim with `args` in addition to --link/--log/--control, and
    // points COM`port` at it through a ZelkSerial.ini in the folder named by
    // $Q7M_CONFIG_DIR (set for this process); $ZELKVELQ_DATA_DIR names the
    // folder's "data".
    explicit SimProcess(std::vector<std::string> args = {}, int port = 1);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool running() const { return pid_ > 0; }
    const std::string& link() const { return link_; }
    const std::string& dir() const { return dir_.path(); }

    // Sends one control line and waits (bounded) until the simulator has
    // acted on it and acknowledged it.  True when it was accepted.
    [[nodiscard]] bool control(const std::string& line);
    // The command log, one entry per line.
    std::vector<std::string> log() const;
    // Log lines that contain `needle`.
    std::vector<std::string> logMatching(const std::string& needle) const;
    // Waits (bounded) until a log line containing `needle` appears.
    bool waitForLog(const std::string& needle, int timeoutMs = 3000) const;
    // With --listen: the "HOST:PORT" the simulator listens on (the real
    // port when 0 was asked), or "" when it does not listen.
    std::string listenAddress(int timeoutMs = 3000) const;
    void clearLog();
    void stop();

private:
    TempDir dir_;
    std::string link_, log_, fifo_;
    pid_t pid_ = -1;
    int fifoFd_ = -1;
};

// Absolute paths of the programs under test (set by the build).
std::string simulatorPath();
std::string libraryPath();

}  // namespace q7mtest

#endif
