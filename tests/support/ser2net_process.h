// ser2net_process.h - Debian's ser2net in front of a device (q7msim's
// pseudo-terminal): a raw TCP and a telnet(rfc2217) accepter on 127.0.0.1,
// started and stopped by its own pid; and a proxy that delays every byte,
// standing in for a long network path.
#ifndef Q7M_TEST_SER2NET_PROCESS_H
#define Q7M_TEST_SER2NET_PROCESS_H

#include <atomic>
#include <string>
#include <sys/types.h>
#include <thread>

namespace q7mtest {

class Ser2Net {
public:
    static bool installed();

    // Serves `device` at 9600 8N1; its log goes to `dir`/ser2net.log.
    Ser2Net(const std::string& device, const std::string& dir);
    ~Ser2Net();
    Ser2Net(const Ser2Net&) = delete;
    Ser2Net& operator=(const Ser2Net&) = delete;

    bool running() const { return pid_ > 0; }
    void stop();
    int rawPort() const { return rawPort_; }
    int rfc2217Port() const { return rfcPort_; }
    std::string raw() const { return "socket://127.0.0.1:" + std::to_string(rawPort_); }
    std::string rfc2217() const { return "rfc2217://127.0.0.1:" + std::to_string(rfcPort_); }

private:
    pid_t pid_ = -1;
    int rawPort_ = 0, rfcPort_ = 0;
};

// Forwards one connection at a time from 127.0.0.1:port() to
// 127.0.0.1:`upstream`, holding every chunk `roundTripMs / 2` in each
// direction.
class DelayProxy {
public:
    DelayProxy(int upstream, int roundTripMs);
    ~DelayProxy();
    DelayProxy(const DelayProxy&) = delete;
    DelayProxy& operator=(const DelayProxy&) = delete;
    int port() const { return port_; }

private:
    void run();
    void relay(int client);
    int upstream_, oneWayMs_;
    int listen_ = -1, port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// A TCP port on 127.0.0.1 that is free at the moment.
int freeTcpPort();

}  // namespace q7mtest

#endif
