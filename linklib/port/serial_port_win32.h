// serial_port_win32.h - a local serial device on Windows ("COM3", or a
// full device path such as "\\.\COM12"), through the Win32 communications
// API.
#ifndef Q7M_PORT_SERIAL_PORT_WIN32_H
#define Q7M_PORT_SERIAL_PORT_WIN32_H

#include <string>

#include <windows.h>

#include "port/port.h"

namespace q7m {

// The fault kind for a Win32 error number from opening a port.
PortFault faultFromOpenError(unsigned long error);
// ... and from a read or write on an open port.
PortFault faultFromIoError(unsigned long error);

// "\\.\COM12" for "COM12" (the only form that reaches ports above COM9);
// names that already are device paths stay as they are.
std::wstring devicePathFor(const std::string& device);

// The read time-outs for a wait of `timeoutMs` for the first byte: the
// total time-out carries the wait; a short interval time-out ends the read
// once the bytes stop coming.  (MAXDWORD as interval, the usual "return at
// once with what is there", makes Wine wait the whole total time-out.)
COMMTIMEOUTS readTimeouts(int timeoutMs, int bitsPerSecond);

class Win32SerialPort : public Port {
public:
    explicit Win32SerialPort(std::string device);
    ~Win32SerialPort() override;
    Win32SerialPort(const Win32SerialPort&) = delete;
    Win32SerialPort& operator=(const Win32SerialPort&) = delete;

    // Opens the port for this program alone (Windows refuses a second
    // open of a serial port); its own settings are kept and given back at
    // close.
    PortStatus open(int bitsPerSecond) override;
    PortStatus rateSupported(int bitsPerSecond) const override;
    PortStatus setRate(int bitsPerSecond) override;
    ReadResult read(std::uint8_t* buffer, std::size_t capacity, int timeoutMs) override;
    WriteResult write(const std::uint8_t* data, std::size_t count, int timeoutMs) override;
    bool purgeReceive() override;
    void drain(int timeoutMs) override;
    bool close() override;
    bool isOpen() const override { return handle_ != INVALID_HANDLE_VALUE; }
    std::string describe() const override { return device_; }

private:
    // Sets the time-outs for a read or a write unless they are set already.
    bool useTimeouts(const COMMTIMEOUTS& t);

    std::string device_;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    int rate_ = 0;
    DCB saved_{};
    COMMTIMEOUTS savedTimeouts_{};
    bool haveSaved_ = false;
    COMMTIMEOUTS current_{};
    bool haveCurrent_ = false;
};

}  // namespace q7m

#endif
