// fake_server.h - a scripted serial device server on 127.0.0.1 for the
// network port tests: raw TCP or RFC 2217, with a unit behind it played by
// a function, and the faults a real server will not produce on demand
// (a refused option, a speed change never confirmed, a reset at byte N).
#ifndef Q7M_TESTS_FAKE_SERVER_H
#define Q7M_TESTS_FAKE_SERVER_H

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

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
    };
    // The unit: given the data received so far (unescaped), returns the
    // bytes to answer and how many received bytes it consumed.
    using Unit = std::function<std::string(std::string& received)>;

    FakeServer(Options options, Unit unit) : options_(std::move(options)), unit_(std::move(unit)) {
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
            send(fd, sub(reply));
        } else if (c >= SET_DATASIZE && c <= SET_CONTROL) {
            settings_.push_back(s);
            std::vector<std::uint8_t> reply(s.begin(), s.end());
            reply[1] = static_cast<std::uint8_t>(c + kServerReply);
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
        if (options_.rfc2217) send(fd, cmd(WILL, SGA) + cmd(WILL, 1 /* ECHO */) + cmd(DO, COM_PORT));
        Decoder decoder;
        std::string received;
        long replied = 0;
        while (!stop_) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0) continue;
            std::uint8_t buf[512];
            const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
            if (n <= 0) return;
            std::string fresh;
            for (ssize_t i = 0; i < n; ++i) {
                if (!options_.rfc2217) {
                    fresh += static_cast<char>(buf[i]);
                    continue;
                }
                const Event e = decoder.step(buf[i]);
                if (e.kind == Event::Data) fresh += static_cast<char>(e.byte);
                else if (e.kind == Event::Do && e.byte == BINARY) send(fd, options_.refuseBinary ? cmd(WONT, BINARY) : cmd(WILL, BINARY));
                else if (e.kind == Event::Will && e.byte == BINARY) send(fd, cmd(DO, BINARY));
                else if (e.kind == Event::Will && e.byte == COM_PORT && options_.refuseComPort) send(fd, cmd(DONT, COM_PORT));
                else if (e.kind == Event::Sub) onSub(fd, e.sub);
            }
            received += fresh;
            {
                std::lock_guard<std::mutex> l(mutex_);
                data_ += fresh;
            }
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
    std::mutex mutex_;
    std::string data_;
    std::vector<std::uint32_t> speeds_;
    std::vector<std::vector<std::uint8_t>> settings_;
    int purges_ = 0;
    std::thread thread_;
};

}  // namespace q7mtest

#endif
