// q7msim - a simulated Q7M cinema processor on a pseudo-terminal.
//
// It opens a pseudo-terminal, links its slave device to the path given
// with --link, and answers there as a unit would: text commands, framed
// block transfers, live commands and measurement streams, paced at the
// line rate.  A control channel (standard input or --control FIFO) acts as
// the unit's front panel and injects faults; --log records every command.
#include <cctype>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "sim_unit.h"

using namespace q7msim;
using Clock = std::chrono::steady_clock;

namespace {

volatile std::sig_atomic_t gStop = 0;
void onSignal(int) { gStop = 1; }

constexpr int kRates[4] = {9600, 19200, 38400, 57600};

int rateIndexOf(speed_t s) {
    switch (s) {
    case B9600: return 0;
    case B19200: return 1;
    case B38400: return 2;
    case B57600: return 3;
    default: return -1;
    }
}

void usage() {
    std::puts(
        "usage: q7msim --link PATH [options]\n"
        "  --link PATH        symlink to create for the simulated serial port\n"
        "  --log FILE         append one line per received command to FILE\n"
        "  --control FIFO     read control commands from FIFO (default: standard input)\n"
        "  --blocks FILE      start from a 352-byte image (system block, audio block)\n"
        "  --cpu V  --build N --dspc V --dspf V   version report (default 1.06, 0, 1.03, 1.09)\n"
        "  --record-ms N      interval between measurement records (default 100)\n"
        "  --no-pacing        send replies at once instead of at the line rate\n"
        "control commands (one per line):\n"
        "  format N|LETTER  mute on|off  fader 0.0-9.9   front panel\n"
        "  silent on|off  garble N  dropline N  wrongcode N  badtext N   faults\n"
        "  hangup  status  save FILE  quit\n"
        "each control line is acknowledged in the log once it has taken effect:\n"
        "  ACK <line>: ok    or    ACK <line>: error <reason>");
}

struct Options {
    std::string link, log, control, blocks;
    Versions versions;
    int recordMs = 100;
    bool pacing = true;
};

bool parseArgs(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        const char* v = nullptr;
        if (a == "--help" || a == "-h") {
            usage();
            std::exit(0);
        } else if (a == "--no-pacing") {
            o.pacing = false;
        } else if ((v = next()) == nullptr) {
            std::fprintf(stderr, "q7msim: %s needs a value\n", a.c_str());
            return false;
        } else if (a == "--link") {
            o.link = v;
        } else if (a == "--log") {
            o.log = v;
        } else if (a == "--control") {
            o.control = v;
        } else if (a == "--blocks") {
            o.blocks = v;
        } else if (a == "--record-ms") {
            o.recordMs = std::max(5, std::atoi(v));
        } else if (a == "--build") {
            o.versions.cpuBuild = std::atoi(v);
        } else if (a == "--cpu" || a == "--dspc" || a == "--dspf") {
            int& mj = a == "--cpu" ? o.versions.cpuMajor : a == "--dspc" ? o.versions.dspcMajor : o.versions.dspfMajor;
            int& mn = a == "--cpu" ? o.versions.cpuMinor : a == "--dspc" ? o.versions.dspcMinor : o.versions.dspfMinor;
            if (!parseVersion(v, mj, mn)) {
                std::fprintf(stderr, "q7msim: bad version '%s' (expected e.g. 1.06)\n", v);
                return false;
            }
        } else {
            std::fprintf(stderr, "q7msim: unknown option %s\n", a.c_str());
            return false;
        }
    }
    if (o.link.empty()) {
        std::fprintf(stderr, "q7msim: --link PATH is required\n");
        return false;
    }
    return true;
}

class Simulator {
public:
    Simulator(Options o) : opt_(std::move(o)), unit_(opt_.versions) {}

    int run();

private:
    bool openPty();
    void handleControl(const std::string& line);
    std::string applyControl(const std::string& cmd, const std::string& arg, const std::string& extra);
    void pumpOutput();
    void logLine(const std::string& text);

    Options opt_;
    SimUnit unit_;
    int master_ = -1;
    int slave_ = -1;
    int control_ = 0;
    std::string controlBuf_;
    std::deque<std::uint8_t> outQueue_;
    Clock::time_point lineFree_ = Clock::now();
    Clock::time_point nextRecord_ = Clock::now();
    Clock::time_point start_ = Clock::now();
    FILE* log_ = nullptr;
    bool running_ = true;
};

void Simulator::logLine(const std::string& text) {
    if (!log_) return;
    const double secs = std::chrono::duration<double>(Clock::now() - start_).count();
    std::fprintf(log_, "%10.3f %s\n", secs, text.c_str());
    std::fflush(log_);
}

bool Simulator::openPty() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return false;
    const char* name = ::ptsname(master_);
    if (!name) return false;
    const std::string slaveName = name;
    // Keep one slave descriptor open for our whole life, so the line does
    // not hang up while the host closes and reopens the port.
    slave_ = ::open(slaveName.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) return false;
    termios tio{};
    ::tcgetattr(slave_, &tio);
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B9600);
    ::cfsetospeed(&tio, B9600);
    ::tcsetattr(slave_, TCSANOW, &tio);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    ::unlink(opt_.link.c_str());
    if (::symlink(slaveName.c_str(), opt_.link.c_str()) != 0) {
        std::fprintf(stderr, "q7msim: cannot create %s: %s\n", opt_.link.c_str(), std::strerror(errno));
        return false;
    }
    std::printf("q7msim: ready on %s -> %s\n", opt_.link.c_str(), slaveName.c_str());
    std::fflush(stdout);
    return true;
}

// Reads a fader level as the unit's display shows it: 0.0 to 9.9.
bool parseLevel(const std::string& text, int& tenths) {
    if (text.empty() || text.size() > 3) return false;
    int whole = 0, frac = 0;
    if (text.size() == 1 && std::isdigit(static_cast<unsigned char>(text[0]))) {
        whole = text[0] - '0';
    } else if (text.size() == 3 && std::isdigit(static_cast<unsigned char>(text[0])) && text[1] == '.' &&
               std::isdigit(static_cast<unsigned char>(text[2]))) {
        whole = text[0] - '0';
        frac = text[2] - '0';
    } else {
        return false;
    }
    tenths = whole * 10 + frac;
    return true;
}

// Reads a non-negative count; empty means 1.
bool parseCount(const std::string& text, int& n) {
    if (text.empty()) {
        n = 1;
        return true;
    }
    if (text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    n = std::stoi(text);
    return true;
}

bool parseSwitch(const std::string& text, bool& on) {
    if (text == "on" || text == "1") on = true;
    else if (text == "off" || text == "0") on = false;
    else return false;
    return true;
}

// Writes `bytes` to `path` so that a reader sees either the old file or the
// whole new one: a temporary file beside it, then a rename.
std::string saveAtomically(const std::string& path, const Bytes& bytes) {
    std::string tmpl = path + ".XXXXXX";
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0) return std::strerror(errno);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) {
            const std::string why = std::strerror(errno);
            ::close(fd);
            ::unlink(tmpl.c_str());
            return why;
        }
        done += static_cast<std::size_t>(w);
    }
    if (::close(fd) != 0 || ::rename(tmpl.c_str(), path.c_str()) != 0) {
        const std::string why = std::strerror(errno);
        ::unlink(tmpl.c_str());
        return why;
    }
    return {};
}

// Acts on one control line and returns "" on success or the reason it was
// refused.
std::string Simulator::applyControl(const std::string& cmd, const std::string& arg, const std::string& extra) {
    int n = 1;
    bool on = false;
    auto noExtra = [&]() { return extra.empty(); };
    if (cmd == "format") {
        static const std::string letters = "1ASXDN";
        int idx = -1;
        if (arg.size() == 1 && letters.find(arg[0]) != std::string::npos) idx = static_cast<int>(letters.find(arg[0]));
        if (arg.size() == 1 && arg[0] >= '0' && arg[0] <= '5') idx = arg[0] - '0';
        if (idx < 0 || !noExtra()) return "expected format 0-5 or one of 1ASXDN";
        unit_.pressFormat(idx);
    } else if (cmd == "mute" || cmd == "silent") {
        if (!parseSwitch(arg, on) || !noExtra()) return "expected on or off";
        if (cmd == "mute") unit_.pressMute(on);
        else unit_.silent = on;
    } else if (cmd == "fader") {
        int tenths = 0;
        if (!parseLevel(arg, tenths) || !noExtra()) return "expected a level from 0.0 to 9.9";
        unit_.moveFader(tenths);
    } else if (cmd == "garble" || cmd == "dropline" || cmd == "wrongcode" || cmd == "badtext") {
        if (!parseCount(arg, n) || !noExtra()) return "expected a count";
        (cmd == "garble" ? unit_.garbleOut : cmd == "dropline" ? unit_.dropLine : cmd == "wrongcode" ? unit_.wrongCode
                                                                                                     : unit_.badText) = n;
    } else if (cmd == "hangup" || cmd == "quit") {
        if (!arg.empty()) return "takes no argument";
        running_ = false;
    } else if (cmd == "save") {
        if (arg.empty() || !noExtra()) return "expected a file name";
        const std::string why = saveAtomically(arg, unit_.image());
        if (!why.empty()) return "cannot write " + arg + ": " + why;
    } else if (cmd == "status") {
        std::printf("status volume=%d mute=%d format=%d projector=%d obe=%d rt60=%d baud=%d stored=%d\n", unit_.volume,
                    unit_.muted, unit_.format, unit_.projector, unit_.obeMode, unit_.rt60, kRates[unit_.baudIndex],
                    unit_.blocksStored);
        std::fflush(stdout);
    } else {
        return "unknown control command";
    }
    return {};
}

// Every control line is logged as it arrives and acknowledged once it has
// taken effect ("ACK <line>: ok" or "ACK <line>: error <reason>"), so a
// script can wait for the acknowledgement before it looks at the result.
void Simulator::handleControl(const std::string& raw) {
    std::istringstream in(raw);
    std::string cmd, arg, extra;
    in >> cmd >> arg >> extra;
    if (cmd.empty()) return;
    logLine("CONTROL " + raw);
    const std::string why = applyControl(cmd, arg, extra);
    if (why.empty()) {
        logLine("ACK " + raw + ": ok");
    } else {
        logLine("ACK " + raw + ": error " + why);
        std::fprintf(stderr, "q7msim: '%s': %s\n", raw.c_str(), why.c_str());
    }
}

void Simulator::pumpOutput() {
    const auto now = Clock::now();
    if (outQueue_.empty()) {
        if (lineFree_ < now) lineFree_ = now;
        return;
    }
    const auto byteTime = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(10.0 / kRates[unit_.baudIndex]));
    std::uint8_t batch[512];
    std::size_t n = 0;
    // A byte is handed over once its last bit would have left the wire.
    while (!outQueue_.empty() && n < sizeof batch && (!opt_.pacing || lineFree_ + byteTime <= now)) {
        batch[n++] = outQueue_.front();
        outQueue_.pop_front();
        lineFree_ += byteTime;
    }
    if (n == 0) return;
    const ssize_t w = ::write(master_, batch, n);
    (void)w;  // a full input queue on the host side loses bytes, as a real UART overrun would
}

int Simulator::run() {
    if (!opt_.log.empty()) log_ = std::fopen(opt_.log.c_str(), "a");
    if (!opt_.blocks.empty()) {
        std::ifstream f(opt_.blocks, std::ios::binary);
        Bytes img((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
        if (!unit_.loadImage(img)) {
            std::fprintf(stderr, "q7msim: %s is not a 352-byte block image\n", opt_.blocks.c_str());
            return 2;
        }
    }
    unit_.log = [this](const std::string& s) { logLine(s); };
    if (!opt_.control.empty()) {
        ::mkfifo(opt_.control.c_str(), 0600);
        control_ = ::open(opt_.control.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        if (control_ < 0) {
            std::fprintf(stderr, "q7msim: cannot open control FIFO %s\n", opt_.control.c_str());
            return 2;
        }
    }
    if (!openPty()) {
        std::fprintf(stderr, "q7msim: cannot open a pseudo-terminal: %s\n", std::strerror(errno));
        return 1;
    }
    bool controlOpen = true;
    while (running_ && !gStop) {
        const auto now = Clock::now();
        int timeout = 200;
        if (!outQueue_.empty()) timeout = opt_.pacing ? 1 : 0;
        if (unit_.streaming()) {
            const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(nextRecord_ - now).count();
            timeout = std::min<int>(timeout, static_cast<int>(std::max<long>(0, ms)));
        }
        pollfd fds[2] = {{master_, POLLIN, 0}, {control_, static_cast<short>(controlOpen ? POLLIN : 0), 0}};
        const int r = ::poll(fds, 2, timeout);
        if (r < 0 && errno != EINTR) break;

        if (fds[0].revents & POLLIN) {
            std::uint8_t buf[512];
            const ssize_t n = ::read(master_, buf, sizeof buf);
            if (n > 0) {
                // A UART set to another rate than the sender's receives junk.
                termios tio{};
                if (::tcgetattr(master_, &tio) == 0) {
                    const int portRate = rateIndexOf(::cfgetospeed(&tio));
                    if (portRate != unit_.baudIndex) {
                        for (ssize_t i = 0; i < n; ++i) buf[i] = static_cast<std::uint8_t>((buf[i] * 7 + 0x3B) | 0x80);
                        logLine("GARBLED " + std::to_string(n) + " bytes (port at " +
                                (portRate >= 0 ? std::to_string(kRates[portRate]) : std::string("?")) + ", unit at " +
                                std::to_string(kRates[unit_.baudIndex]) + ")");
                    }
                }
                Bytes out;
                unit_.receive(buf, static_cast<std::size_t>(n), out);
                outQueue_.insert(outQueue_.end(), out.begin(), out.end());
            }
        }
        if (controlOpen && (fds[1].revents & (POLLIN | POLLHUP))) {
            char buf[256];
            const ssize_t n = ::read(control_, buf, sizeof buf);
            if (n > 0) {
                controlBuf_.append(buf, static_cast<std::size_t>(n));
                std::size_t nl;
                while ((nl = controlBuf_.find('\n')) != std::string::npos) {
                    handleControl(controlBuf_.substr(0, nl));
                    controlBuf_.erase(0, nl + 1);
                }
            } else if (n == 0) {
                controlOpen = false;  // standard input closed: keep running without it
            }
        }
        if (unit_.streaming() && Clock::now() >= nextRecord_) {
            Bytes out;
            unit_.streamTick(out);
            outQueue_.insert(outQueue_.end(), out.begin(), out.end());
            nextRecord_ = Clock::now() + std::chrono::milliseconds(opt_.recordMs);
        } else if (!unit_.streaming()) {
            nextRecord_ = Clock::now();
        }
        pumpOutput();
    }
    ::unlink(opt_.link.c_str());
    if (slave_ >= 0) ::close(slave_);
    if (master_ >= 0) ::close(master_);
    logLine("EXIT");
    if (log_) std::fclose(log_);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options opt;
    if (!parseArgs(argc, argv, opt)) {
        usage();
        return 2;
    }
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::signal(SIGPIPE, SIG_IGN);
    Simulator sim(std::move(opt));
    return sim.run();
}
