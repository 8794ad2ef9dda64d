#include "sim_process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace q7mtest {

std::string simulatorPath() { return Q7MSIM_PATH; }
std::string libraryPath() { return Q7MSLIB_PATH; }

TempDir::TempDir() {
    std::string tmpl = (std::getenv("TMPDIR") ? std::string(std::getenv("TMPDIR")) : std::string("/tmp")) + "/q7mtest.XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    if (!::mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed");
    path_ = buf.data();
}

TempDir::~TempDir() {
    const std::string cmd = "rm -rf '" + path_ + "'";
    [[maybe_unused]] int r = std::system(cmd.c_str());
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

CommandRun runCommand(const std::string& commandLine) {
    CommandRun r;
    FILE* p = ::popen(commandLine.c_str(), "r");
    if (!p) return r;
    char buf[512];
    while (std::fgets(buf, sizeof buf, p)) r.out += buf;
    const int st = ::pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

SimProcess::SimProcess(std::vector<std::string> args, int port) {
    link_ = dir_.file("ttyQ7M");
    log_ = dir_.file("sim.log");
    fifo_ = dir_.file("control");
    ::mkfifo(fifo_.c_str(), 0600);
    ::setenv("Q7M_CONFIG_DIR", dir_.path().c_str(), 1);
    // What the programs keep (the as-found archive, the units' histories)
    // stays in the folder too, never in the user's own.
    ::setenv("ZELKVELQ_DATA_DIR", dir_.file("data").c_str(), 1);
    // The other ports name devices that do not exist, so no test ever
    // reaches a real serial port of the machine it runs on.
    std::string ini = "[Ports]\r\n";
    for (int n = 1; n <= 4; ++n)
        ini += "COM" + std::to_string(n) + "=" + (n == port ? link_ : dir_.file("absent" + std::to_string(n))) + "\r\n";
    writeFile(dir_.file("ZelkSerial.ini"), ini);

    std::vector<std::string> argv = {simulatorPath(), "--link", link_, "--log", log_, "--control", fifo_};
    argv.insert(argv.end(), args.begin(), args.end());
    pid_ = ::fork();
    if (pid_ == 0) {
        std::vector<char*> cargv;
        for (auto& a : argv) cargv.push_back(a.data());
        cargv.push_back(nullptr);
        const int devnull = ::open("/dev/null", O_RDWR);
        ::dup2(devnull, 0);
        ::dup2(devnull, 1);
        ::execv(cargv[0], cargv.data());
        ::_exit(127);
    }
    // Ready once the link exists.
    for (int i = 0; i < 500; ++i) {
        struct stat st {};
        if (::stat(link_.c_str(), &st) == 0) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    fifoFd_ = ::open(fifo_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
}

SimProcess::~SimProcess() { stop(); }

void SimProcess::stop() {
    if (fifoFd_ >= 0) ::close(fifoFd_);
    fifoFd_ = -1;
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        for (int i = 0; i < 300; ++i) {
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
    }
}

bool SimProcess::control(const std::string& line) {
    const std::string l = line + "\n";
    const std::string ack = "ACK " + line + ": ";
    const std::size_t before = logMatching(ack).size();
    if (fifoFd_ < 0 || ::write(fifoFd_, l.data(), l.size()) != static_cast<ssize_t>(l.size())) return false;
    // The simulator acknowledges a line only once it has acted on it.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < end) {
        const auto acks = logMatching(ack);
        if (acks.size() > before) return acks.back().find(ack + "ok") != std::string::npos;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

std::vector<std::string> SimProcess::log() const {
    std::vector<std::string> lines;
    std::istringstream in(readFile(log_));
    std::string l;
    while (std::getline(in, l)) {
        // "   12.345 TEXT V70" -> "TEXT V70"
        const auto p = l.find_first_not_of(' ');
        const auto sp = l.find(' ', p == std::string::npos ? 0 : p);
        lines.push_back(sp == std::string::npos ? l : l.substr(sp + 1));
    }
    return lines;
}

std::vector<std::string> SimProcess::logMatching(const std::string& needle) const {
    std::vector<std::string> out;
    for (auto& l : log())
        if (l.find(needle) != std::string::npos) out.push_back(l);
    return out;
}

bool SimProcess::waitForLog(const std::string& needle, int timeoutMs) const {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        if (!logMatching(needle).empty()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

std::string SimProcess::listenAddress(int timeoutMs) const {
    const std::string tag = "LISTENING ";
    if (!waitForLog(tag, timeoutMs)) return {};
    const auto lines = logMatching(tag);
    return lines.back().substr(lines.back().find(tag) + tag.size());
}

void SimProcess::clearLog() {
    // A log that could not be emptied would let old lines satisfy later waits.
    if (::truncate(log_.c_str(), 0) != 0)
        throw std::runtime_error("cannot empty " + log_ + ": " + std::strerror(errno));
}

}  // namespace q7mtest
