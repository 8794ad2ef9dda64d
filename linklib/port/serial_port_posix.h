// serial_port_posix.h - a local serial device through termios.
#ifndef Q7M_PORT_SERIAL_PORT_POSIX_H
#define Q7M_PORT_SERIAL_PORT_POSIX_H

#include <string>
#include <termios.h>

#include "port/fd_io.h"
#include "port/port.h"

namespace q7m {

class PosixSerialPort : public Port {
public:
    explicit PosixSerialPort(std::string device, SysIo* io = nullptr);
    ~PosixSerialPort() override;
    PosixSerialPort(const PosixSerialPort&) = delete;
    PosixSerialPort& operator=(const PosixSerialPort&) = delete;

    // Opens the device exclusively: an advisory lock (flock) for programs
    // that honour it, and TIOCEXCL so that every other open is refused
    // (except by root).  The device's own settings are kept and given back
    // at close.
    PortStatus open(int bitsPerSecond) override;
    PortStatus rateSupported(int bitsPerSecond) const override;
    PortStatus setRate(int bitsPerSecond) override;
    ReadResult read(std::uint8_t* buffer, std::size_t capacity, int timeoutMs) override;
    WriteResult write(const std::uint8_t* data, std::size_t count, int timeoutMs) override;
    bool purgeReceive() override;
    void drain(int timeoutMs) override;
    bool close() override;
    bool isOpen() const override { return fd_ >= 0; }
    std::string describe() const override { return device_; }

private:
    std::string device_;
    SysIo* io_;
    int fd_ = -1;
    int rate_ = 0;
    termios saved_{};
    bool haveSaved_ = false;
};

}  // namespace q7m

#endif
