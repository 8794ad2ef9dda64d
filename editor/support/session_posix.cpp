// The session's record on POSIX systems: the lock that keeps two editors
// from sharing it, the pipe the library's line trace goes through, and the
// crash note written from a signal handler with async-signal-safe calls.
#include "support/session.h"

#include <dlfcn.h>
#include <execinfo.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/files.h"
#include "platform/system.h"

namespace zelk {

namespace {

// ------------------------------------------------------------ crash note

// Filled before the handler is installed; the handler only reads them.
char gCrashPath[4096];
char gProgram[128];
char gAltStack[64 * 1024];

void put(int fd, const char* s) {
    std::size_t n = std::strlen(s);
    while (n > 0) {
        const ssize_t w = ::write(fd, s, n);
        if (w <= 0) {
            if (w < 0 && errno == EINTR) continue;
            return;
        }
        s += w;
        n -= static_cast<std::size_t>(w);
    }
}

void putNumber(int fd, long v) {
    char buf[24];
    char* p = buf + sizeof buf;
    *--p = '\0';
    const bool negative = v < 0;
    unsigned long u = negative ? 0UL - static_cast<unsigned long>(v) : static_cast<unsigned long>(v);
    do {
        *--p = static_cast<char>('0' + u % 10);
        u /= 10;
    } while (u != 0);
    if (negative) *--p = '-';
    put(fd, p);
}

const char* signalName(int sig) {
    switch (sig) {
    case SIGSEGV: return "SIGSEGV, invalid memory access";
    case SIGBUS: return "SIGBUS, bus error";
    case SIGFPE: return "SIGFPE, arithmetic fault";
    case SIGILL: return "SIGILL, illegal instruction";
    case SIGABRT: return "SIGABRT, aborted";
    default: return "fatal signal";
    }
}

extern "C" void onFatalSignal(int sig) {
    const int saved = errno;
    const int fd = ::open(gCrashPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd >= 0) {
        put(fd, gProgram);
        put(fd, " stopped by signal ");
        putNumber(fd, sig);
        put(fd, " (");
        put(fd, signalName(sig));
        put(fd, ") at ");
        putNumber(fd, static_cast<long>(::time(nullptr)));
        put(fd, " (seconds since 1970, UTC)\nbacktrace:\n");
        // backtrace() was called once before, so it needs no loading here.
        void* frames[64];
        const int n = ::backtrace(frames, 64);
        ::backtrace_symbols_fd(frames, n, fd);
        ::close(fd);
    }
    errno = saved;
    // SA_RESETHAND put the default action back: end as the signal would.
    ::raise(sig);
}

const int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

void installCrashNote(const std::string& path, const std::string& program) {
    std::snprintf(gCrashPath, sizeof gCrashPath, "%s", path.c_str());
    std::snprintf(gProgram, sizeof gProgram, "%s", program.c_str());
    void* warm[4];
    (void)::backtrace(warm, 4);  // loads what backtrace() needs, outside the handler
    stack_t alt{};
    alt.ss_sp = gAltStack;
    alt.ss_size = sizeof gAltStack;
    ::sigaltstack(&alt, nullptr);  // a stack overflow still gets its note
    struct sigaction sa {};
    sa.sa_handler = onFatalSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESETHAND | SA_ONSTACK;
    for (int sig : kFatalSignals) ::sigaction(sig, &sa, nullptr);
}

// ------------------------------------------------------------ files

bool writeWhole(const std::string& path, const std::string& text) {
    const std::string temp = path + ".new";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush()) return false;
    }
    return std::rename(temp.c_str(), path.c_str()) == 0;
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void removeFolderOfRecord(const std::string& dir) {
    for (const char* name : {"marker", "marker.new", "trace.log", "trace.log.1", "crash.txt"})
        std::remove((dir + "/" + name).c_str());
    ::rmdir(dir.c_str());
}

std::string nowText() {
    const std::tm t = q7m::platform::localCalendar(std::time(nullptr));
    char buf[96];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                  t.tm_hour, t.tm_min, t.tm_sec);
    return buf;
}

int openAppend(const std::string& path) { return ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644); }

void writeAll(int fd, const char* p, std::size_t n) {
    while (fd >= 0 && n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return;
        p += w;
        n -= static_cast<std::size_t>(w);
    }
}

}  // namespace

// ------------------------------------------------------------ the session

struct Session::Platform {
    int lockFd = -1;
    int readFd = -1, writeFd = -1;  // the pipe the library writes its trace into
    int traceFd = -1;               // this session's trace file
    int teeFd = -1;                 // the user's own Q7M_TRACE file
    int linesInFile = 0;
    std::string tracePath;
    std::atomic<bool> stop{false};
    std::thread reader;

    // Keeps the bytes: whole lines into the trace file, which turns over
    // to ".1" at `limit` lines, so the two hold the last lines.
    void keep(const char* p, std::size_t n, int limit) {
        writeAll(teeFd, p, n);
        while (n > 0) {
            const char* nl = static_cast<const char*>(std::memchr(p, '\n', n));
            const std::size_t part = nl ? static_cast<std::size_t>(nl - p) + 1 : n;
            writeAll(traceFd, p, part);
            p += part;
            n -= part;
            if (nl && ++linesInFile >= limit) {
                ::close(traceFd);
                std::rename(tracePath.c_str(), (tracePath + ".1").c_str());
                traceFd = openAppend(tracePath);
                linesInFile = 0;
            }
        }
    }

    void read(const std::atomic<int>& limit) {
        char buf[8192];
        for (;;) {
            pollfd p{readFd, POLLIN, 0};
            const int r = ::poll(&p, 1, 100);
            if (r > 0) {
                const ssize_t n = ::read(readFd, buf, sizeof buf);
                if (n > 0) {
                    keep(buf, static_cast<std::size_t>(n), limit.load());
                    continue;
                }
                if (n < 0 && errno == EINTR) continue;
                return;  // every writer has gone
            }
            if (r < 0 && errno != EINTR) return;
            if (stop) return;
        }
    }
};

Session::Session() : os_(std::make_unique<Platform>()) {}

Session::~Session() { end(); }

bool Session::begin(const std::string& dataDir, const std::string& version) {
    if (recording_) return true;
    dataDir_ = dataDir;
    version_ = version;
    const std::string root = dataDir + "/session";
    const std::string current = sessionFolder(dataDir, Which::Current);
    const std::string before = sessionFolder(dataDir, Which::Previous);
    if (!q7m::platform::makeDirectories(root)) return false;

    // One editor keeps the record at a time; a second one records nothing.
    os_->lockFd = ::open((root + "/lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (os_->lockFd < 0) return false;
    if (::flock(os_->lockFd, LOCK_EX | LOCK_NB) != 0) {
        ::close(os_->lockFd);
        os_->lockFd = -1;
        return false;
    }

    // What the session before left, then its record becomes "previous".
    previous_ = readMarker(readAll(sessionMarkerPath(dataDir, Which::Current)));
    if (previous_.endedUncleanly) previous_.crashNote = readAll(crashNotePath(dataDir, Which::Current));
    if (q7m::platform::pathKind(current) == q7m::platform::PathKind::Folder) {
        removeFolderOfRecord(before);
        std::rename(current.c_str(), before.c_str());
    }
    if (!q7m::platform::makeDirectories(current)) return false;
    started_ = nowText();
    if (!writeWhole(sessionMarkerPath(dataDir, Which::Current), markerText(true, started_, version, ::getpid())))
        return false;

    // The library's line trace comes through a pipe into the session's
    // bounded file, and on to the user's own file when one was named.
    auto& os = *os_;
    os.tracePath = sessionTracePath(dataDir, Which::Current);
    os.traceFd = openAppend(os.tracePath);
    if (const char* own = std::getenv("Q7M_TRACE"); own && *own) os.teeFd = openAppend(own);
    int fds[2];
    if (os.traceFd >= 0 && ::access("/proc/self/fd", F_OK) == 0 && ::pipe2(fds, O_CLOEXEC) == 0) {
        os.readFd = fds[0];
        os.writeFd = fds[1];
        ::setenv("Q7M_TRACE", ("/proc/self/fd/" + std::to_string(os.writeFd)).c_str(), 1);
        const std::string first = q7m::platform::traceTimestamp() + " -- " + version + " session started (pid " +
                                  std::to_string(::getpid()) + ")\n";
        writeAll(os.writeFd, first.data(), first.size());
        os.reader = std::thread([this] { os_->read(traceLines_); });
    }
    installCrashNote(crashNotePath(dataDir, Which::Current), version);
    recording_ = true;
    return true;
}

void Session::end() {
    if (!recording_) return;
    recording_ = false;
    auto& os = *os_;
    if (os.reader.joinable()) {
        // Our end closes; what the library wrote last is read before the
        // reader stops.  The read end stays open, so a write that still
        // comes never meets a closed pipe.
        ::close(os.writeFd);
        os.writeFd = -1;
        os.stop = true;
        os.reader.join();
    }
    if (os.traceFd >= 0) ::close(os.traceFd);
    if (os.teeFd >= 0) ::close(os.teeFd);
    os.traceFd = os.teeFd = -1;
    writeWhole(sessionMarkerPath(dataDir_, Which::Current), markerText(false, started_, version_, ::getpid()));
    ::close(os.lockFd);
    os.lockFd = -1;
}

// ------------------------------------------------------------ the machine

std::string operatingSystem() {
    std::string text;
    utsname u{};
    if (::uname(&u) == 0) text = std::string(u.sysname) + " " + u.release + " " + u.machine;
    std::ifstream release("/etc/os-release");
    std::string line;
    while (std::getline(release, line)) {
        if (line.rfind("PRETTY_NAME=", 0) != 0) continue;
        std::string name = line.substr(12);
        if (name.size() >= 2 && name.front() == '"' && name.back() == '"') name = name.substr(1, name.size() - 2);
        text += " (" + name + ")";
    }
    return text.empty() ? "unknown" : text;
}

std::string hostName() {
    char buf[256] = {};
    if (::gethostname(buf, sizeof buf - 1) != 0) return {};
    return buf;
}

std::string fileOfFunction(const void* function) {
    Dl_info info{};
    if (!function || ::dladdr(function, &info) == 0 || !info.dli_fname) return {};
    char real[4096];
    return ::realpath(info.dli_fname, real) ? std::string(real) : std::string(info.dli_fname);
}

}  // namespace zelk
