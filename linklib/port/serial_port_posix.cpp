#include "port/serial_port_posix.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <iterator>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "port/port_map.h"
#include "port/rates.h"

namespace q7m {

namespace {

constexpr int kCloseDrainMs = 400;  // the longest close waits for the output queue

// The terminal's constant for each speed of the rate table.
constexpr speed_t kSpeeds[] = {B9600, B19200, B38400, B57600};
static_assert(std::size(kSpeeds) == std::size(kBaudRates));

bool speedConstant(int bitsPerSecond, speed_t& out) {
    const int i = rateIndex(bitsPerSecond);
    if (i < 0) return false;
    out = kSpeeds[i];
    return true;
}

// Whether giving `saved` back changes how bytes are put on the wire at
// `rate` 8N1: a byte still on its way would be garbled.
bool changesTheLine(const termios& saved, int rate) {
    speed_t ours;
    if (!speedConstant(rate, ours)) return true;
    return ::cfgetospeed(&saved) != ours || (saved.c_cflag & (CSIZE | PARENB | PARODD | CSTOPB)) != CS8;
}

}  // namespace

PosixSerialPort::PosixSerialPort(std::string device, SysIo* io)
    : device_(std::move(device)), io_(io ? io : &systemIo(FdKind::Terminal)) {}

PosixSerialPort::~PosixSerialPort() { close(); }

PortStatus PosixSerialPort::rateSupported(int bitsPerSecond) const {
    speed_t s;
    return speedConstant(bitsPerSecond, s) ? PortStatus::success() : failure(PortFault::RateUnsupported, EINVAL);
}

PortStatus PosixSerialPort::open(int bitsPerSecond) {
    close();
    // O_NONBLOCK: never hang in open() waiting for carrier; every wait is a
    // poll() with a time-out.  No O_CREAT: the device must already exist.
    const int fd = ::open(device_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return failure(faultFromOpenErrno(errno), errno);
    auto refuse = [&](PortFault fault, int code) {
        ::close(fd);
        return failure(fault, code);
    };
    struct stat st {};
    if (::fstat(fd, &st) != 0) return refuse(PortFault::Io, errno);
    if (!S_ISCHR(st.st_mode)) return refuse(PortFault::NotSerial, ENOTTY);
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) return refuse(errno == ENOTTY ? PortFault::NotSerial : PortFault::Io, errno);
    // Exclusive use: the lock keeps out programs that ask for it (another
    // copy of the library, many terminal programs); TIOCEXCL refuses every
    // other open of the device while we hold it.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return refuse(PortFault::InUse, errno);
    if (::ioctl(fd, TIOCEXCL) != 0) {
        const int err = errno;
        ::flock(fd, LOCK_UN);
        return refuse(PortFault::Io, err);
    }
    fd_ = fd;
    saved_ = tio;
    haveSaved_ = true;
    if (auto s = setRate(bitsPerSecond); !s.ok()) {
        close();
        return s;
    }
    return PortStatus::success();
}

PortStatus PosixSerialPort::setRate(int bitsPerSecond) {
    if (fd_ < 0) return failure(PortFault::Closed, EBADF);
    speed_t speed;
    if (!speedConstant(bitsPerSecond, speed)) return failure(PortFault::RateUnsupported, EINVAL);
    termios tio{};
    if (::tcgetattr(fd_, &tio) != 0) return failure(PortFault::Io, errno);
    // Raw 8N1: every byte passes unchanged.  In particular no XON/XOFF
    // (0x11 and 0x13 occur inside frames), no CR/LF translation on either
    // side, no echo, no signals from special characters.
    ::cfmakeraw(&tio);
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | ICRNL | INLCR | IGNCR | ISTRIP | PARMRK | INPCK);
    tio.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    tio.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS | HUPCL);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    // Reads are driven by poll(); read() itself never waits.
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (::cfsetispeed(&tio, speed) != 0 || ::cfsetospeed(&tio, speed) != 0) return failure(PortFault::Io, errno);
    if (::tcsetattr(fd_, TCSANOW, &tio) != 0) return failure(PortFault::Io, errno);
    rate_ = bitsPerSecond;
    return PortStatus::success();
}

ReadResult PosixSerialPort::read(std::uint8_t* buffer, std::size_t capacity, int timeoutMs) {
    if (fd_ < 0) return {0, failure(PortFault::Closed, EBADF)};
    return fdRead(*io_, fd_, FdKind::Terminal, buffer, capacity, timeoutMs);
}

WriteResult PosixSerialPort::write(const std::uint8_t* data, std::size_t count, int timeoutMs) {
    if (fd_ < 0) return {0, failure(PortFault::Closed, EBADF)};
    return fdWrite(*io_, fd_, data, count, timeoutMs);
}

bool PosixSerialPort::purgeReceive() { return fd_ >= 0 && ::tcflush(fd_, TCIFLUSH) == 0; }

void PosixSerialPort::drain(int timeoutMs) {
    if (fd_ < 0 || rate_ <= 0) return;
    int queued = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (::ioctl(fd_, TIOCOUTQ, &queued) == 0 && queued > 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    // The output queue does not count the byte in the shift register, and a
    // pseudo-terminal reports no queue at all: leave the peer a moment to
    // take the last bytes at the old rate.
    const double byteSeconds = 10.0 / rate_;
    std::this_thread::sleep_for(std::chrono::microseconds(static_cast<long>(byteSeconds * 8e6)) +
                                std::chrono::milliseconds(40));
}

bool PosixSerialPort::close() {
    if (fd_ < 0) return true;
    // The last bytes written leave at the speed they were written at: let
    // them go before the old settings change the line under them (a unit
    // just told to change speed would otherwise take the line reset that
    // followed as junk before its next command).
    if (haveSaved_ && changesTheLine(saved_, rate_)) drain(kCloseDrainMs);
    const int fd = fd_;
    fd_ = -1;
    // Give the device back as it was found: its settings, and open to
    // others again (the library itself reopens it on a speed change).
    if (haveSaved_) ::tcsetattr(fd, TCSANOW, &saved_);
    haveSaved_ = false;
    ::ioctl(fd, TIOCNXCL);
    ::flock(fd, LOCK_UN);
    return ::close(fd) == 0;
}

}  // namespace q7m
