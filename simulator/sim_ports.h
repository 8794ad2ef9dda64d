// sim_ports.h - the two ways a host reaches the simulated unit: a
// pseudo-terminal behind a fixed path (a serial port), and a raw TCP port
// (the unit behind a network serial server).
#ifndef Q7M_SIM_PORTS_H
#define Q7M_SIM_PORTS_H

#include <string>

namespace q7msim {

// Index 0..3 of 9600 .. 57600 bit/s, or -1.
int rateIndexOfSpeed(unsigned speed);

// A pseudo-terminal whose slave device is reached through a symbolic link
// at a fixed path, as a USB serial adapter is through its udev name.
class PtyPort {
public:
    explicit PtyPort(std::string link) : link_(std::move(link)) {}
    ~PtyPort() { close(); }
    PtyPort(const PtyPort&) = delete;
    PtyPort& operator=(const PtyPort&) = delete;

    // Opens a new pseudo-terminal and points the link at it.  Returns ""
    // or the reason it failed.
    std::string open();
    // Closes the pseudo-terminal (a host holding it sees a hang-up) and
    // removes the link, as a device that was unplugged.
    void close();

    bool isOpen() const { return master_ >= 0; }
    int fd() const { return master_; }
    const std::string& link() const { return link_; }
    const std::string& device() const { return device_; }
    // The rate the host set the port to (index 0..3), or -1.
    int hostRate() const;

private:
    std::string link_, device_;
    int master_ = -1;
    int slave_ = -1;
};

// A raw TCP listener that serves one client at a time.  The serial line
// behind it runs at 9600 bit/s and cannot be changed from the network.
class TcpPort {
public:
    TcpPort() = default;
    ~TcpPort() { close(); }
    TcpPort(const TcpPort&) = delete;
    TcpPort& operator=(const TcpPort&) = delete;

    // Listens on "HOST:PORT" (PORT 0 picks a free port).  Returns "" or the
    // reason it failed.  The address is kept for reopen().
    std::string listen(const std::string& hostPort);
    std::string reopen() { return listen(address_); }
    // Drops the client and stops listening: connections are refused.
    void close();
    void dropClient();

    // Takes a waiting connection: the client when none is connected (true),
    // otherwise it is closed at once (false).  `peer` names it.
    bool accept(std::string& peer);

    bool listening() const { return listen_ >= 0; }
    int listenFd() const { return listen_; }
    int clientFd() const { return client_; }
    // "HOST:PORT" actually bound (the real port when 0 was asked).
    const std::string& bound() const { return bound_; }

private:
    std::string address_, bound_;
    int listen_ = -1;
    int client_ = -1;
};

}  // namespace q7msim

#endif
