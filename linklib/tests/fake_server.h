// fake_server.h - a scripted serial device server on 127.0.0.1 for the
// network port tests: raw TCP or RFC 2217, with a unit behind it played by
// a function, and the faults a real server will not produce on demand
// (a refused option, a speed change never confirmed, a setting confirmed
// with another value, options nobody asked for, chatter while the options
// are negotiated, a reset at byte N, a server that never negotiates or is
// slow to read).  HalfPairSend is the client's side of the same idea: a
// send buffer that fills after the first byte of an escaped 0xFF.
#ifndef Q7M_TESTS_FAKE_SERVER_H
#define Q7M_TESTS_FAKE_SERVER_H

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "port/fd_io.h"
#include "port/telnet.h"

namespace q7mtest {

class FakeServer {
public:
    struct Options {
        bool rfc2217 = true;
        bool refuseComPort = false;     // answer WILL COM-PORT-OPTION with DONT
        bool refuseBinary = false;      // answer DO BINARY with WONT
        bool confirmSpeed = true;       // answer SET-BAUDRATE
        int speedConfirmsLeft = -1;     // confirm this many SET-BAUDRATE, then stay silent (-1: always)
        bool confirmPurge = true;
        std::string beforePurgeConfirm;  // data the unit sent just before the server purged
        long resetAfterBytes = -1;      // reset the connection after this many reply bytes (-1: never)
        bool closeAfterReply = false;   // close cleanly after the first reply
        std::string greeting;           // data sent at once on connecting (then closed when closeAtOnce)
        bool closeAtOnce = false;
        int busyConnections = 0;        // the first N connections are dropped with "Port's device already in use"
        std::map<std::uint8_t, std::uint32_t> confirmAs;  // a COM-PORT setting confirmed with this value, whatever was asked
        std::string chatter;            // data sent at once on connecting and, over RFC 2217, again once the options are answered
        std::vector<std::pair<std::uint8_t, std::uint8_t>> offers;  // option commands (verb, option) sent on connecting
        bool negotiate = true;          // false: takes the connection, reads, never answers
        bool answerTimingMark = true;   // answer DO TIMING-MARK with WONT, after what came before it
        int lagMs = 0;                  // handles what it receives this late (setLag changes it)
    };
    // The unit: given the data received so far (unescaped), returns the
    // bytes to answer and how many received bytes it consumed.
    using Unit = std::function<std::string(std::string& received)>;

    FakeServer(Options options, Unit unit) : options_(std::move(options)), unit_(std::move(unit)) {
        lagMs_ = options_.lagMs;
        listen_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int one = 1;
        ::setsockopt(listen_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0)
            throw std::runtime_error(std::string("fake server: bind: ") + std::strerror(errno));
        socklen_t len = sizeof a;
        ::getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
        ::listen(listen_, 4);
        thread_ = std::thread([this] { run(); });
    }
    ~FakeServer() {
        stop_ = true;
        thread_.join();
        ::close(listen_);
    }
    int port() const { return port_; }
    std::string url() const {
        return std::string(options_.rfc2217 ? "rfc2217" : "socket") + "://127.0.0.1:" + std::to_string(port_);
    }

    // What the server saw, for the test to check.
    std::string dataReceived() {
        std::lock_guard<std::mutex> l(mutex_);
        return data_;
    }
    std::vector<std::uint32_t> speeds() {
        std::lock_guard<std::mutex> l(mutex_);
        return speeds_;
    }
    std::vector<std::vector<std::uint8_t>> settings() {
        std::lock_guard<std::mutex> l(mutex_);
        return settings_;
    }
    int purges() {
        std::lock_guard<std::mutex> l(mutex_);
        return purges_;
    }
    int connections() { return connections_; }
    // Every option command the client sent: (verb, option).
    std::vector<std::pair<std::uint8_t, std::uint8_t>> optionCommands() {
        std::lock_guard<std::mutex> l(mutex_);
        return optionsReceived_;
    }
    void setLag(int ms) { lagMs_ = ms; }

    // Waits (at most `timeoutMs`) until `done` holds.  A client call
    // returns as soon as it has its reply, which can come before the server
    // has read everything the client sent after the request: a test that
    // counts what the server received waits here first.
    static bool eventually(const std::function<bool()>& done, int timeoutMs = 3000) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (!done()) {
            if (std::chrono::steady_clock::now() > until) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }

private:
    void send(int fd, const std::string& wire) {
        std::size_t done = 0;
        while (done < wire.size()) {
            const ssize_t n = ::send(fd, wire.data() + done, wire.size() - done, MSG_NOSIGNAL);
            if (n <= 0) return;
            done += static_cast<std::size_t>(n);
        }
    }
    static std::string cmd(std::uint8_t verb, std::uint8_t option) {
        return std::string{static_cast<char>(q7m::telnet::IAC), static_cast<char>(verb), static_cast<char>(option)};
    }
    static std::string sub(const std::vector<std::uint8_t>& body) {
        std::string s{static_cast<char>(q7m::telnet::IAC), static_cast<char>(q7m::telnet::SB)};
        for (auto b : body) {
            s += static_cast<char>(b);
            if (b == q7m::telnet::IAC) s += static_cast<char>(b);
        }
        s += static_cast<char>(q7m::telnet::IAC);
        s += static_cast<char>(q7m::telnet::SE);
        return s;
    }
    std::string escape(const std::string& data) const {
        if (!options_.rfc2217) return data;
        std::string out;
        for (char c : data) {
            out += c;
            if (static_cast<std::uint8_t>(c) == q7m::telnet::IAC) out += c;
        }
        return out;
    }

    void onSub(int fd, const std::vector<std::uint8_t>& s) {
        using namespace q7m::telnet;
        if (s.size() < 2 || s[0] != COM_PORT) return;
        const std::uint8_t c = s[1];
        std::lock_guard<std::mutex> l(mutex_);
        if (c == SET_BAUDRATE && s.size() >= 6) {
            speeds_.push_back((std::uint32_t{s[2]} << 24) | (std::uint32_t{s[3]} << 16) | (std::uint32_t{s[4]} << 8) | s[5]);
            if (!options_.confirmSpeed || options_.speedConfirmsLeft == 0) return;
            if (options_.speedConfirmsLeft > 0) --options_.speedConfirmsLeft;
            std::vector<std::uint8_t> reply(s.begin(), s.end());
            reply[1] = static_cast<std::uint8_t>(c + kServerReply);
            if (auto as = options_.confirmAs.find(c); as != options_.confirmAs.end())
                for (int i = 0; i < 4; ++i) reply[2 + i] = static_cast<std::uint8_t>(as->second >> (24 - 8 * i));
            send(fd, sub(reply));
        } else if (c >= SET_DATASIZE && c <= SET_CONTROL) {
            settings_.push_back(s);
            std::vector<std::uint8_t> reply(s.begin(), s.end());
            reply[1] = static_cast<std::uint8_t>(c + kServerReply);
            if (auto as = options_.confirmAs.find(c); as != options_.confirmAs.end() && reply.size() > 2)
                reply[2] = static_cast<std::uint8_t>(as->second);
            send(fd, sub(reply));
        } else if (c == PURGE_DATA) {
            ++purges_;
            if (!options_.beforePurgeConfirm.empty()) send(fd, escape(options_.beforePurgeConfirm));
            if (options_.confirmPurge) send(fd, sub({COM_PORT, static_cast<std::uint8_t>(PURGE_DATA + kServerReply), s.size() > 2 ? s[2] : std::uint8_t{1}}));
        }
    }

    void serve(int fd) {
        using namespace q7m::telnet;
        if (connections_++ < options_.busyConnections) {
            send(fd, "Port's device already in use\r\n");
            return;
        }
        if (!options_.greeting.empty()) send(fd, options_.greeting);
        if (options_.closeAtOnce) return;
        send(fd, escape(options_.chatter));
        if (options_.rfc2217 && options_.negotiate) {
            send(fd, cmd(WILL, SGA) + cmd(WILL, 1 /* ECHO */) + cmd(DO, COM_PORT));
            for (const auto& [verb, option] : options_.offers) send(fd, cmd(verb, option));
        }
        Decoder decoder;
        std::string received;
        long replied = 0;
        bool chattered = false;
        while (!stop_) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0) continue;
            if (lagMs_ > 0) std::this_thread::sleep_for(std::chrono::milliseconds(lagMs_));
            std::uint8_t buf[512];
            const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
            if (n <= 0) return;
            if (!options_.negotiate) continue;
            std::string fresh;
            auto keep = [&] {  // what the unit got so far, before anything is answered
                std::lock_guard<std::mutex> l(mutex_);
                data_ += fresh;
                received += fresh;
                fresh.clear();
            };
            for (ssize_t i = 0; i < n; ++i) {
                if (!options_.rfc2217) {
                    fresh += static_cast<char>(buf[i]);
                    continue;
                }
                const Event e = decoder.step(buf[i]);
                if (e.kind == Event::Data) {
                    fresh += static_cast<char>(e.byte);
                    continue;
                }
                if (e.kind == Event::None) continue;
                keep();
                if (e.kind == Event::Sub) {
                    onSub(fd, e.sub);
                    continue;
                }
                {
                    std::lock_guard<std::mutex> l(mutex_);
                    const std::uint8_t verb = e.kind == Event::Will ? WILL : e.kind == Event::Wont ? WONT
                                              : e.kind == Event::Do ? DO : DONT;
                    optionsReceived_.emplace_back(verb, e.byte);
                }
                if (e.kind == Event::Do && e.byte == BINARY) send(fd, options_.refuseBinary ? cmd(WONT, BINARY) : cmd(WILL, BINARY));
                else if (e.kind == Event::Will && e.byte == BINARY) send(fd, cmd(DO, BINARY));
                else if (e.kind == Event::Will && e.byte == COM_PORT && options_.refuseComPort) send(fd, cmd(DONT, COM_PORT));
                else if (e.kind == Event::Do && e.byte == TIMING_MARK && options_.answerTimingMark) send(fd, cmd(WONT, TIMING_MARK));
                if (e.kind == Event::Will && e.byte == COM_PORT && !chattered) {
                    chattered = true;  // the options are answered: the unit chatters on
                    send(fd, escape(options_.chatter));
                }
            }
            keep();
            std::string reply = unit_(received);
            if (reply.empty()) continue;
            if (options_.resetAfterBytes >= 0 && replied + static_cast<long>(reply.size()) > options_.resetAfterBytes) {
                send(fd, escape(reply.substr(0, static_cast<std::size_t>(options_.resetAfterBytes - replied))));
                linger lg{1, 0};  // a reset, not an orderly close
                ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &lg, sizeof lg);
                return;
            }
            replied += static_cast<long>(reply.size());
            send(fd, escape(reply));
            if (options_.closeAfterReply) return;
        }
    }

    void run() {
        while (!stop_) {
            pollfd p{listen_, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0) continue;
            const int fd = ::accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0) continue;
            serve(fd);
            ::close(fd);
        }
    }

    Options options_;
    Unit unit_;
    int listen_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> connections_{0};
    std::atomic<int> lagMs_{0};
    std::vector<std::pair<std::uint8_t, std::uint8_t>> optionsReceived_;
    std::mutex mutex_;
    std::string data_;
    std::vector<std::uint32_t> speeds_;
    std::vector<std::vector<std::uint8_t>> settings_;
    int purges_ = 0;
    std::thread thread_;
};

// The client's send buffer, filling after the first byte of an escaped
// 0xFF: once armed, the next write holding IAC IAC is cut after the first
// IAC and the socket then stays full until that write's time-out, which
// expires at once.  Everything else goes to the real system calls.
class HalfPairSend : public q7m::SysIo {
public:
    bool armed = false;

    ssize_t read(q7m::NativeFd fd, void* buffer, std::size_t count) override { return real().read(fd, buffer, count); }
    ssize_t write(q7m::NativeFd fd, const void* data, std::size_t count) override {
        if (full_) {
            errno = EAGAIN;
            return -1;
        }
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        if (armed) {
            for (std::size_t i = 0; i + 1 < count; ++i) {
                if (bytes[i] != q7m::telnet::IAC || bytes[i + 1] != q7m::telnet::IAC) continue;
                armed = false;
                full_ = true;
                return real().write(fd, data, i + 1);
            }
        }
        return real().write(fd, data, count);
    }
    int poll(pollfd* fds, q7m::PollCount n, int timeoutMs) override {
        if (full_ && (fds[0].events & POLLOUT)) {
            full_ = false;
            return 0;
        }
        return real().poll(fds, n, timeoutMs);
    }

private:
    static q7m::SysIo& real() { return q7m::systemIo(q7m::FdKind::Stream); }
    bool full_ = false;
};

}  // namespace q7mtest

#endif
