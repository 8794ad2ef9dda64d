// mute_server.h - a TCP server on 127.0.0.1 that takes every connection
// (the kernel completes them from the listening queue) and never says a
// word: an RFC 2217 client waits in vain for its negotiation.
#ifndef Q7M_TEST_MUTE_SERVER_H
#define Q7M_TEST_MUTE_SERVER_H

#include <string>

namespace q7mtest {

class MuteServer {
public:
    MuteServer();
    ~MuteServer();
    MuteServer(const MuteServer&) = delete;
    MuteServer& operator=(const MuteServer&) = delete;

    int port() const { return port_; }
    std::string rfc2217() const { return "rfc2217://127.0.0.1:" + std::to_string(port_); }

private:
    int fd_ = -1;
    int port_ = 0;
};

}  // namespace q7mtest

#endif
