#include "ser2net_process.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstring>
#include <cstdio>
#include <deque>
#include <fstream>
#include <sstream>
#include <string>
#include <stdexcept>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace q7mtest {

namespace {

using Clock = std::chrono::steady_clock;

sockaddr_in loopback(int port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    return a;
}

// Whether something listens on 127.0.0.1:port, read from the kernel's
// socket table.  Connecting to find out would make ser2net open the unit's
// device and let it go again; a client connecting right after can find the
// device still being let go, and ser2net then closes that client at once.
bool listening(int port) {
    std::ifstream in("/proc/net/tcp");
    std::string line;
    std::getline(in, line);  // the heading
    char want[32];
    std::snprintf(want, sizeof want, "0100007F:%04X", static_cast<unsigned>(port));
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state;
        fields >> slot >> local >> remote >> state;
        if (local == want && state == "0A") return true;  // 0A: LISTEN
    }
    return false;
}

}  // namespace

int freeTcpPort() {
    const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a = loopback(0);
    if (::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(s);
        return 0;
    }
    socklen_t len = sizeof a;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(s);
    return ntohs(a.sin_port);
}

bool Ser2Net::installed() { return ::access("/usr/sbin/ser2net", X_OK) == 0; }

Ser2Net::Ser2Net(const std::string& device, const std::string& dir) {
    rawPort_ = freeTcpPort();
    rfcPort_ = freeTcpPort();
    const std::string line = "9600n81,local";
    std::vector<std::string> argv = {"/usr/sbin/ser2net", "-n", "-u", "-P", dir + "/ser2net.pid",
                                     "-Y", "connection: &raw",
                                     "-Y", "  accepter: tcp,127.0.0.1," + std::to_string(rawPort_),
                                     "-Y", "  connector: serialdev," + device + "," + line,
                                     "-Y", "connection: &rfc",
                                     "-Y", "  accepter: telnet(rfc2217),tcp,127.0.0.1," + std::to_string(rfcPort_),
                                     "-Y", "  connector: serialdev," + device + "," + line};
    const std::string log = dir + "/ser2net.log";
    pid_ = ::fork();
    if (pid_ == 0) {
        std::vector<char*> cargv;
        for (auto& a : argv) cargv.push_back(a.data());
        cargv.push_back(nullptr);
        const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(out, 1);
        ::dup2(out, 2);
        ::execv(cargv[0], cargv.data());
        ::_exit(127);
    }
    // Ready once both accepters take connections.
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (Clock::now() < deadline && !(listening(rawPort_) && listening(rfcPort_)))
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

Ser2Net::~Ser2Net() { stop(); }

void Ser2Net::stop() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
}

DelayProxy::DelayProxy(int upstream, int roundTripMs) : upstream_(upstream), oneWayMs_(roundTripMs / 2) {
    listen_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int one = 1;
    ::setsockopt(listen_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a = loopback(0);
    if (::bind(listen_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0)
        throw std::runtime_error(std::string("delay proxy: bind: ") + std::strerror(errno));
    socklen_t len = sizeof a;
    ::getsockname(listen_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
    ::listen(listen_, 4);
    thread_ = std::thread([this] { run(); });
}

DelayProxy::~DelayProxy() {
    stop_ = true;
    thread_.join();
    ::close(listen_);
}

void DelayProxy::run() {
    while (!stop_) {
        pollfd p{listen_, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0) continue;
        const int client = ::accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client >= 0) relay(client);
    }
}

void DelayProxy::relay(int client) {
    const int server = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in a = loopback(upstream_);
    if (::connect(server, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0) {
        ::close(server);
        ::close(client);
        return;
    }
    const int one = 1;
    ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    ::setsockopt(server, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    struct Chunk {
        Clock::time_point due;
        std::string bytes;
    };
    std::deque<Chunk> toServer, toClient;
    bool clientOpen = true, serverOpen = true;
    while (!stop_ && (clientOpen || !toServer.empty()) && (serverOpen || !toClient.empty())) {
        int wait = 20;
        for (auto* q : {&toServer, &toClient})
            if (!q->empty())
                wait = std::min(wait, std::max(0, static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                                       q->front().due - Clock::now())
                                                                       .count())));
        pollfd p[2] = {{client, static_cast<short>(clientOpen ? POLLIN : 0), 0},
                       {server, static_cast<short>(serverOpen ? POLLIN : 0), 0}};
        ::poll(p, 2, wait);
        char buf[4096];
        for (int i = 0; i < 2; ++i) {
            if (!(p[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            const ssize_t n = ::recv(p[i].fd, buf, sizeof buf, 0);
            if (n <= 0) {
                (i == 0 ? clientOpen : serverOpen) = false;
                continue;
            }
            (i == 0 ? toServer : toClient)
                .push_back({Clock::now() + std::chrono::milliseconds(oneWayMs_), std::string(buf, static_cast<std::size_t>(n))});
        }
        for (auto [q, fd] : {std::pair{&toServer, server}, std::pair{&toClient, client}}) {
            while (!q->empty() && q->front().due <= Clock::now()) {
                ::send(fd, q->front().bytes.data(), q->front().bytes.size(), MSG_NOSIGNAL);
                q->pop_front();
            }
        }
    }
    ::close(server);
    ::close(client);
}

}  // namespace q7mtest
