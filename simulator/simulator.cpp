#include "simulator.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <poll.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace q7msim {

namespace {

constexpr int kRates[4] = {9600, 19200, 38400, 57600};

// What a UART set to another rate than the sender's makes of a byte.
std::uint8_t garbled(std::uint8_t b) { return static_cast<std::uint8_t>((b * 7 + 0x3B) | 0x80); }

// Reads a fader level as the unit's display shows it: 0.0 to 9.9.
bool parseLevel(const std::string& text, int& tenths) {
    auto digit = [&](std::size_t i) { return std::isdigit(static_cast<unsigned char>(text[i])) != 0; };
    if (text.size() == 1 && digit(0)) {
        tenths = (text[0] - '0') * 10;
        return true;
    }
    if (text.size() == 3 && digit(0) && text[1] == '.' && digit(2)) {
        tenths = (text[0] - '0') * 10 + (text[2] - '0');
        return true;
    }
    return false;
}

// Reads a non-negative count of at most six digits.
bool parseCount(const std::string& text, long& n) {
    if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    n = std::stol(text);
    return true;
}

// Reads a decimal number such as "-1.5" or "0.25" within [lo, hi].
bool parseDecimal(const std::string& text, double lo, double hi, double& out) {
    if (text.empty() || text.size() > 12 || text.find_first_not_of("+-.0123456789") != std::string::npos) return false;
    const char* first = text.data() + (text[0] == '+' ? 1 : 0);
    const char* last = text.data() + text.size();
    double v = 0;
    const auto r = std::from_chars(first, last, v, std::chars_format::fixed);
    if (r.ec != std::errc() || r.ptr != last || !std::isfinite(v) || v < lo || v > hi) return false;
    out = v;
    return true;
}

bool parseSwitch(const std::string& text, bool& on) {
    if (text == "on" || text == "1") on = true;
    else if (text == "off" || text == "0") on = false;
    else return false;
    return true;
}

std::string joined(const std::vector<std::string>& words, std::size_t from) {
    std::string s;
    for (std::size_t i = from; i < words.size(); ++i) s += (i > from ? " " : "") + words[i];
    return s;
}

std::string fixed(double v, int decimals) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
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
            std::string why = std::strerror(errno);
            ::close(fd);
            ::unlink(tmpl.c_str());
            return why;
        }
        done += static_cast<std::size_t>(w);
    }
    if (::close(fd) != 0 || ::rename(tmpl.c_str(), path.c_str()) != 0) {
        std::string why = std::strerror(errno);
        ::unlink(tmpl.c_str());
        return why;
    }
    return {};
}

}  // namespace

Simulator::Simulator(Options o) : opt_(std::move(o)), unit_(opt_.versions), pty_(opt_.link) {}

Simulator::~Simulator() {
    if (log_) std::fclose(log_);
    if (control_ > 0) ::close(control_);
}

void Simulator::logLine(const std::string& text) {
    if (!log_) return;
    const double secs = std::chrono::duration<double>(Clock::now() - start_).count();
    std::fprintf(log_, "%10.3f %s\n", secs, text.c_str());
    std::fflush(log_);
}

Simulator::Clock::duration Simulator::byteTime() const {
    // Ten bits a byte: start bit, eight data bits, stop bit.
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(10.0 / kRates[unit_.baudIndex]));
}

// ---------------------------------------------------------------- control

void Simulator::logReader(int index) {
    const auto& r = unit_.readers[static_cast<std::size_t>(index)];
    logLine("READER " + std::to_string(index + 1) + ": gain " + fixed(r.align.gainLeftDb, 2) + " " +
            fixed(r.align.gainRightDb, 2) + " dB, slit " + fixed(r.align.slitDegrees, 3) + " deg, azimuth " +
            fixed(r.align.azimuthDegrees, 3) + " deg, noise " + (r.noise ? "on" : "off"));
}

std::string Simulator::applyReader(const std::vector<std::string>& w, bool apply) {
    std::size_t i = 1;
    int first = 0, last = 1;  // both projectors unless one is named
    if (w.size() > 1 && (w[1] == "1" || w[1] == "2")) {
        first = last = w[1][0] - '1';
        i = 2;
    }
    const std::string what = w.size() > i ? w[i] : "";
    const std::size_t args = w.size() - std::min(w.size(), i + 1);
    double a = 0, b = 0;
    bool on = false;
    if (what == "gain") {
        if (args != 2 || !parseDecimal(w[i + 1], -40, 6, a) || !parseDecimal(w[i + 2], -40, 6, b))
            return "expected reader [1|2] gain LEFT RIGHT, each in dB from -40 to 6";
    } else if (what == "slit") {
        if (args != 1 || !parseDecimal(w[i + 1], -10, 10, a)) return "expected reader [1|2] slit DEGREES, -10 to 10";
    } else if (what == "azimuth") {
        if (args != 1 || !parseDecimal(w[i + 1], -10, 10, a))
            return "expected reader [1|2] azimuth DEGREES, -10 to 10";
    } else if (what == "noise") {
        if (args != 1 || !parseSwitch(w[i + 1], on)) return "expected reader [1|2] noise on|off";
    } else if (what == "show") {
        if (args != 0) return "expected reader [1|2] show";
    } else {
        return "expected reader [1|2] gain L R | slit DEGREES | azimuth DEGREES | noise on|off | show";
    }
    if (!apply) return {};
    for (int p = first; p <= last; ++p) {
        auto& r = unit_.readers[static_cast<std::size_t>(p)];
        if (what == "gain") {
            r.align.gainLeftDb = a;
            r.align.gainRightDb = b;
        } else if (what == "slit") {
            r.align.slitDegrees = a;
        } else if (what == "azimuth") {
            r.align.azimuthDegrees = a;
        } else if (what == "noise") {
            r.noise = on;
        }
        logReader(p);
    }
    return {};
}

std::optional<std::string> Simulator::applyUnit(const std::vector<std::string>& w, bool apply) {
    const std::string& cmd = w[0];
    const std::string arg = w.size() > 1 ? w[1] : "";
    const std::size_t args = w.size() - 1;
    bool on = false;
    if (cmd == "format") {
        static const std::string letters = "1ASXDN";
        int idx = -1;
        if (arg.size() == 1 && letters.find(arg[0]) != std::string::npos) idx = static_cast<int>(letters.find(arg[0]));
        if (arg.size() == 1 && arg[0] >= '0' && arg[0] <= '5') idx = arg[0] - '0';
        if (idx < 0 || args != 1) return "expected format 0-5 or one of 1ASXDN";
        if (apply) unit_.pressFormat(idx);
    } else if (cmd == "mute" || cmd == "silent") {
        if (args != 1 || !parseSwitch(arg, on)) return "expected on or off";
        if (apply) (cmd == "mute" ? unit_.muted : unit_.silent) = on;
    } else if (cmd == "fader") {
        int tenths = 0;
        if (args != 1 || !parseLevel(arg, tenths)) return "expected a level from 0.0 to 9.9";
        if (apply) unit_.moveFader(tenths);
    } else if (cmd == "baud") {
        const int* rate = std::find(std::begin(kRates), std::end(kRates), std::atoi(arg.c_str()));
        if (args != 1 || rate == std::end(kRates) || arg != std::to_string(*rate))
            return "expected baud 9600, 19200, 38400 or 57600";
        if (apply) unit_.baudIndex = static_cast<int>(rate - kRates);
    } else {
        return std::nullopt;
    }
    return std::string();
}

std::optional<std::string> Simulator::applyFault(const std::vector<std::string>& w, bool apply) {
    const std::string& cmd = w[0];
    const std::string arg = w.size() > 1 ? w[1] : "";
    const std::size_t args = w.size() - 1;
    long n = 1;
    if (cmd == "garble" || cmd == "dropline" || cmd == "wrongcode" || cmd == "badtext") {
        if (args > 1 || (args == 1 && !parseCount(arg, n))) return "expected a count";
        if (apply)
            (cmd == "garble" ? unit_.garbleOut : cmd == "dropline" ? unit_.dropLine : cmd == "wrongcode" ? unit_.wrongCode
                                                                                                          : unit_.badText) =
                static_cast<int>(n);
    } else if (cmd == "ignore") {
        if (args < 1 || args > 2 || arg.size() != 1 || !std::isupper(static_cast<unsigned char>(arg[0])) ||
            (args == 2 && !parseCount(w[2], n)))
            return "expected ignore LETTER [COUNT], LETTER a command letter such as B";
        if (apply) {
            if (n == 0) unit_.ignoreText.erase(arg[0]);
            else unit_.ignoreText[arg[0]] = static_cast<int>(n);
        }
    } else if (cmd == "corrupt") {
        const bool off = args == 1 && arg == "off";
        const int size = arg == "system" ? 128 : arg == "audio" ? 224 : 0;
        if (!off && (args != 2 || size == 0 || !parseCount(w[2], n) || n >= size))
            return "expected corrupt system|audio BYTE (0-127 or 0-223): every block of that kind stored from now on "
                   "keeps that byte with its lowest bit flipped; corrupt off: stored as sent";
        if (apply) {
            unit_.corruptStore = {};
            if (!off) unit_.corruptStore = {size == 128 ? 1 : 2, static_cast<int>(n)};
        }
    } else {
        return std::nullopt;
    }
    return std::string();
}

std::optional<std::string> Simulator::applyCable(const std::vector<std::string>& w, bool apply) {
    const std::string& cmd = w[0];
    const std::string arg = w.size() > 1 ? w[1] : "";
    const std::size_t args = w.size() - 1;
    long n = 1;
    if (cmd == "cut") {
        if (args != 1 || !parseCount(arg, n)) return "expected cut BYTES: the next reply stops after that many bytes";
        if (apply) cutNext_ = static_cast<std::size_t>(n);
    } else if (cmd == "unplug" || cmd == "hangup") {
        if (args > 1 || (args == 1 && !parseCount(arg, n)))
            return "expected " + cmd + " or " + cmd + " MS (plugged in again after MS milliseconds)";
        if (apply) {
            cmd == "unplug" ? unplug() : hangup();
            if (args == 1) plugAt_ = Clock::now() + std::chrono::milliseconds(n);
        }
    } else if (cmd == "plug") {
        if (args != 0) return "takes no argument";
        if (apply) plug();
        if (apply && cable_ != Cable::Plugged) return "cannot come back: see the log";
    } else {
        return std::nullopt;
    }
    return std::string();
}

std::optional<std::string> Simulator::applyProgram(const std::vector<std::string>& w, bool apply) {
    const std::string& cmd = w[0];
    const std::string arg = w.size() > 1 ? w[1] : "";
    const std::size_t args = w.size() - 1;
    long n = 1;
    if (cmd == "after") {
        if (args < 2 || !parseCount(arg, n) || n < 1) return "expected after REPLIES LINE, REPLIES at least 1";
        const std::vector<std::string> inner(w.begin() + 2, w.end());
        if (const std::string why = applyControl(inner, false); !why.empty()) return "'" + joined(w, 2) + "': " + why;
        if (apply) deferred_.push_back({n, joined(w, 2)});
    } else if (cmd == "onaudio") {
        if (args < 1) return "expected onaudio LINE";
        const std::vector<std::string> inner(w.begin() + 1, w.end());
        if (const std::string why = applyControl(inner, false); !why.empty()) return "'" + joined(w, 1) + "': " + why;
        if (apply) onAudio_.push_back(joined(w, 1));
    } else if (cmd == "quit") {
        if (args != 0) return "takes no argument";
        if (apply) running_ = false;
    } else if (cmd == "save") {
        if (args != 1) return "expected a file name";
        if (apply) {
            const std::string why = saveAtomically(arg, unit_.image());
            if (!why.empty()) return "cannot write " + arg + ": " + why;
        }
    } else if (cmd == "status") {
        if (args != 0) return "takes no argument";
        if (apply) {
            char buf[200];
            std::snprintf(buf, sizeof buf,
                          "status volume=%d mute=%d format=%d projector=%d obe=%d rt60=%d baud=%d stored=%d line=%s",
                          unit_.volume, unit_.muted, unit_.format, unit_.projector, unit_.obeMode, unit_.rt60,
                          kRates[unit_.baudIndex], unit_.blocksStored,
                          cable_ == Cable::Plugged ? "plugged" : cable_ == Cable::Unplugged ? "unplugged" : "hung-up");
            std::printf("%s\n", buf);
            std::fflush(stdout);
            logLine(buf);
        }
    } else {
        return std::nullopt;
    }
    return std::string();
}

std::string Simulator::applyControl(const std::vector<std::string>& w, bool apply) {
    for (auto kind : {&Simulator::applyUnit, &Simulator::applyFault, &Simulator::applyCable, &Simulator::applyProgram})
        if (std::optional<std::string> why = (this->*kind)(w, apply)) return *why;
    if (w[0] == "reader") return applyReader(w, apply);
    return "unknown control command";
}

// Every control line is logged as it arrives and acknowledged once it has
// taken effect ("ACK <line>: ok" or "ACK <line>: error <reason>"), so a
// script can wait for the acknowledgement before it looks at the result.
void Simulator::handleControl(const std::string& raw) {
    std::istringstream in(raw);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    if (words.empty()) return;
    logLine("CONTROL " + raw);
    const std::string why = applyControl(words, true);
    if (why.empty()) {
        logLine("ACK " + raw + ": ok");
    } else {
        logLine("ACK " + raw + ": error " + why);
        std::fprintf(stderr, "q7msim: '%s': %s\n", raw.c_str(), why.c_str());
    }
}

// ---------------------------------------------------------------- the line

void Simulator::fromHost(const std::uint8_t* data, std::size_t n, int hostRate, const char* via) {
    if (cable_ != Cable::Plugged) {
        logLine("LOST " + std::to_string(n) + " bytes from the host (" +
                (cable_ == Cable::Unplugged ? "unplugged" : "hung up") + ")");
        return;
    }
    Bytes in(data, data + n);
    if (hostRate != unit_.baudIndex) {
        // A UART set to another rate than the sender's receives junk.
        for (auto& b : in) b = garbled(b);
        logLine("GARBLED " + std::to_string(n) + " bytes (" + via + " at " +
                (hostRate >= 0 ? std::to_string(kRates[hostRate]) : std::string("?")) + ", unit at " +
                std::to_string(kRates[unit_.baudIndex]) + ")");
    }
    Replies replies;
    unit_.receive(in.data(), in.size(), replies);
    for (auto& r : replies) deliver(std::move(r), true);
}

void Simulator::deliver(Bytes message, bool isReply) {
    if (isReply && cutNext_) {
        const std::size_t keep = *cutNext_;
        cutNext_.reset();
        if (message.size() > keep) {
            logLine("CUT reply after " + std::to_string(keep) + " of " + std::to_string(message.size()) + " bytes");
            message.resize(keep);
        } else {
            logLine("CUT not needed: the reply has only " + std::to_string(message.size()) + " bytes");
        }
    }
    if (cable_ != Cable::Plugged) {
        if (isReply) endSegment(true);
        return;
    }
    // The first byte of a message leaves one byte time after the line is
    // free, never earlier: a line idle for a while has no credit to spend.
    const auto now = Clock::now();
    if (outQueue_.empty() && lineFree_ < now) lineFree_ = now;
    outQueue_.insert(outQueue_.end(), message.begin(), message.end());
    segments_.push_back({message.size(), isReply});
}

void Simulator::endSegment(bool isReply) {
    if (!isReply) return;
    for (auto it = deferred_.begin(); it != deferred_.end();) {
        if (--it->replies <= 0) {
            due_.push_back(it->line);
            it = deferred_.erase(it);
        } else {
            ++it;
        }
    }
}

void Simulator::dropOutput() {
    if (!outQueue_.empty()) logLine("LOST " + std::to_string(outQueue_.size()) + " bytes on their way to the host");
    for (const auto& s : segments_) endSegment(s.reply);
    segments_.clear();
    outQueue_.clear();
}

void Simulator::pumpOutput(Clock::time_point now) {
    auto popEnded = [&]() {
        while (!segments_.empty() && segments_.front().left == 0) {
            const bool reply = segments_.front().reply;
            segments_.pop_front();
            endSegment(reply);
        }
    };
    popEnded();
    if (outQueue_.empty()) return;
    const auto bt = byteTime();
    const int ptyRate = pty_.isOpen() ? pty_.hostRate() : -1;
    std::uint8_t toPty[512], toTcp[512];
    std::size_t n = 0;
    // A byte is handed over once its last bit would have left the wire.
    while (!outQueue_.empty() && n < sizeof toPty && (!opt_.pacing || lineFree_ + bt <= now)) {
        const std::uint8_t b = outQueue_.front();
        outQueue_.pop_front();
        lineFree_ = opt_.pacing ? lineFree_ + bt : now;
        --segments_.front().left;
        popEnded();
        toPty[n] = ptyRate == unit_.baudIndex ? b : garbled(b);
        toTcp[n] = unit_.baudIndex == 0 ? b : garbled(b);  // the server's line runs at 9600
        ++n;
    }
    if (n == 0) return;
    // A full input queue on the host side loses bytes, as a real UART overrun would.
    if (pty_.isOpen()) {
        [[maybe_unused]] const ssize_t w = ::write(pty_.fd(), toPty, n);
    }
    if (tcp_.clientFd() >= 0) {
        const ssize_t w = ::send(tcp_.clientFd(), toTcp, n, MSG_NOSIGNAL);
        if (w < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            logLine(std::string("CLIENT lost: ") + std::strerror(errno));
            tcp_.dropClient();
        }
    }
}

// ---------------------------------------------------------------- cable

std::string Simulator::openPorts() {
    if (!opt_.link.empty()) {
        if (std::string why = pty_.open(); !why.empty()) return why;
        logLine("LINE " + pty_.link() + " -> " + pty_.device());
    }
    if (!opt_.listen.empty()) {
        // Coming back after a hang-up, listen where we listened before.
        std::string why = tcp_.bound().empty() ? tcp_.listen(opt_.listen) : tcp_.reopen();
        if (!why.empty()) {
            pty_.close();
            return why;
        }
        logLine("LISTENING " + tcp_.bound());
    }
    return {};
}

void Simulator::unplug() {
    plugAt_.reset();
    if (cable_ == Cable::HungUp) return;  // already gone further
    cable_ = Cable::Unplugged;
    dropOutput();
    logLine("UNPLUGGED");
}

void Simulator::hangup() {
    plugAt_.reset();
    cable_ = Cable::HungUp;
    dropOutput();
    pty_.close();
    tcp_.close();
    logLine("HUNG UP");
}

void Simulator::plug() {
    plugAt_.reset();
    if (cable_ == Cable::HungUp) {
        if (const std::string why = openPorts(); !why.empty()) {
            logLine("PLUG failed: " + why);
            std::fprintf(stderr, "q7msim: cannot come back: %s\n", why.c_str());
            return;
        }
    }
    cable_ = Cable::Plugged;
    lineFree_ = Clock::now();
    logLine("RECONNECTED");
}

void Simulator::readPty() {
    std::uint8_t buf[512];
    const ssize_t n = ::read(pty_.fd(), buf, sizeof buf);
    if (n > 0) fromHost(buf, static_cast<std::size_t>(n), pty_.hostRate(), "port");
}

void Simulator::readTcp() {
    std::uint8_t buf[512];
    const ssize_t n = ::recv(tcp_.clientFd(), buf, sizeof buf, 0);
    if (n > 0) {
        fromHost(buf, static_cast<std::size_t>(n), 0, "network line");
    } else if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
        logLine("CLIENT left");
        tcp_.dropClient();
    }
}

void Simulator::acceptTcp() {
    std::string peer;
    if (tcp_.accept(peer)) logLine("CLIENT " + peer + " connected");
    else if (!peer.empty()) logLine("REFUSED " + peer + ": another client is connected");
}

// ---------------------------------------------------------------- loop

int Simulator::run(const volatile std::sig_atomic_t& stop) {
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
    unit_.onAudioWrite = [this] {
        const std::vector<std::string> lines = std::move(onAudio_);
        onAudio_.clear();
        for (const auto& l : lines) handleControl(l);
    };
    if (!opt_.control.empty()) {
        ::mkfifo(opt_.control.c_str(), 0600);
        control_ = ::open(opt_.control.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        if (control_ < 0) {
            std::fprintf(stderr, "q7msim: cannot open control FIFO %s: %s\n", opt_.control.c_str(),
                         std::strerror(errno));
            return 2;
        }
    }
    if (const std::string why = openPorts(); !why.empty()) {
        std::fprintf(stderr, "q7msim: %s\n", why.c_str());
        return 1;
    }
    if (pty_.isOpen()) std::printf("q7msim: ready on %s -> %s\n", pty_.link().c_str(), pty_.device().c_str());
    if (tcp_.listening()) std::printf("q7msim: listening on %s (raw TCP, one client at a time)\n", tcp_.bound().c_str());
    std::fflush(stdout);

    while (running_ && !stop) {
        auto now = Clock::now();
        auto wake = now + std::chrono::milliseconds(200);
        if (!outQueue_.empty()) wake = std::min(wake, opt_.pacing ? lineFree_ + byteTime() : now);
        if (unit_.streaming()) wake = std::min(wake, nextRecord_);
        if (plugAt_) wake = std::min(wake, *plugAt_);
        if (!due_.empty()) wake = now;
        const auto waitNs = std::max<long long>(0, std::chrono::duration_cast<std::chrono::nanoseconds>(wake - now).count());
        const timespec ts{static_cast<time_t>(waitNs / 1000000000), static_cast<long>(waitNs % 1000000000)};

        pollfd fds[4] = {{pty_.fd(), POLLIN, 0},
                         {tcp_.listenFd(), POLLIN, 0},
                         {tcp_.clientFd(), POLLIN, 0},
                         {controlOpen_ ? control_ : -1, POLLIN, 0}};
        if (::ppoll(fds, 4, &ts, nullptr) < 0 && errno != EINTR) break;

        if (fds[0].revents & POLLIN) readPty();
        if (fds[1].revents & POLLIN) acceptTcp();
        if (tcp_.clientFd() >= 0 && fds[2].fd == tcp_.clientFd() && (fds[2].revents & (POLLIN | POLLHUP | POLLERR)))
            readTcp();
        if (fds[3].revents & (POLLIN | POLLHUP)) {
            char buf[256];
            const ssize_t n = ::read(control_, buf, sizeof buf);
            if (n > 0) {
                controlBuf_.append(buf, static_cast<std::size_t>(n));
                std::size_t nl;
                while ((nl = controlBuf_.find('\n')) != std::string::npos) {
                    const std::string line = controlBuf_.substr(0, nl);
                    controlBuf_.erase(0, nl + 1);
                    handleControl(line);
                }
            } else if (n == 0) {
                controlOpen_ = false;  // standard input closed: keep running without it
            }
        }
        now = Clock::now();
        if (plugAt_ && now >= *plugAt_) plug();
        if (unit_.streaming()) {
            if (now >= nextRecord_) {
                deliver(unit_.streamTick(), false);
                nextRecord_ = now + std::chrono::milliseconds(opt_.recordMs);
            }
        } else {
            nextRecord_ = now;
        }
        pumpOutput(now);
        // Lines deferred with `after` act once their replies have left.
        while (!due_.empty() && running_) {
            const std::string line = due_.front();
            due_.erase(due_.begin());
            handleControl(line);
        }
    }
    pty_.close();
    tcp_.close();
    logLine("EXIT");
    return 0;
}

}  // namespace q7msim
