// The POSIX serial port on a real pseudo-terminal: exclusive against every
// other opener, the device's settings given back, reads that tell a quiet
// line from one that went away.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>

#include "port/serial_port_posix.h"
#include "pty_helpers.h"

using namespace q7m;
using q7mtest::Pty;

namespace {

int exclusiveFlag(int fd) {
    int excl = -1;
    return ::ioctl(fd, TIOCGEXCL, &excl) == 0 ? excl : -1;
}

// What another program that does not lock gets when it opens the device:
// 0 = opened, else the errno.
int plainOpen(const std::string& device) {
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return errno;
    ::close(fd);
    return 0;
}

std::string readMaster(int master, std::size_t want) {
    std::string got;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (got.size() < want && std::chrono::steady_clock::now() < deadline) {
        pollfd p{master, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        char buf[64];
        const ssize_t n = ::read(master, buf, sizeof buf);
        if (n > 0) got.append(buf, static_cast<std::size_t>(n));
    }
    return got;
}

}  // namespace

TEST(PosixSerialPort, OpenIsExclusiveEvenAgainstProgramsThatDoNotLockAndIsReleasedAtClose) {
    Pty pty;
    ASSERT_TRUE(pty.ok());
    ASSERT_EQ(::chmod(pty.slave.c_str(), 0666), 0);
    const int keeper = ::open(pty.slave.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(keeper, 0);

    PosixSerialPort port(pty.slave);
    ASSERT_TRUE(port.open(9600).ok());
    EXPECT_EQ(exclusiveFlag(keeper), 1);
    // An ordinary user's program that does not ask for a lock is refused.
    const int asUser = q7mtest::runAsNobody([&] { return plainOpen(pty.slave); });
    if (asUser >= 0) {
        EXPECT_EQ(asUser, EBUSY);
    } else {
        EXPECT_EQ(plainOpen(pty.slave), EBUSY);
    }
    // A second port object (another copy of the library) is refused too.
    PosixSerialPort second(pty.slave);
    EXPECT_EQ(second.open(9600).fault, PortFault::InUse);

    EXPECT_TRUE(port.close());
    EXPECT_EQ(exclusiveFlag(keeper), 0);
    if (asUser >= 0) {
        EXPECT_EQ(q7mtest::runAsNobody([&] { return plainOpen(pty.slave); }), 0);
    }
    EXPECT_TRUE(second.open(19200).ok()) << "reopening (a speed change) must find the port free";
    second.close();
    ::close(keeper);
}

TEST(PosixSerialPort, TheDevicesOwnSettingsAreGivenBackAtClose) {
    Pty pty;
    ASSERT_TRUE(pty.ok());
    const int keeper = ::open(pty.slave.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(keeper, 0);
    termios before{};
    ASSERT_EQ(::tcgetattr(keeper, &before), 0);
    before.c_lflag |= ICANON | ECHO | ISIG;
    before.c_iflag |= ICRNL | IXON;
    before.c_oflag |= OPOST | ONLCR;
    ::cfsetispeed(&before, B4800);
    ::cfsetospeed(&before, B4800);
    ASSERT_EQ(::tcsetattr(keeper, TCSANOW, &before), 0);
    ASSERT_EQ(::tcgetattr(keeper, &before), 0);

    PosixSerialPort port(pty.slave);
    ASSERT_TRUE(port.open(19200).ok());
    termios during{};
    ASSERT_EQ(::tcgetattr(keeper, &during), 0);
    EXPECT_EQ(::cfgetospeed(&during), static_cast<speed_t>(B19200));
    EXPECT_EQ(during.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(during.c_iflag & (ICRNL | IXON), 0u);
    EXPECT_EQ(during.c_oflag & OPOST, 0u);
    EXPECT_TRUE(port.setRate(57600).ok());
    EXPECT_EQ(port.rateSupported(115200).fault, PortFault::RateUnsupported);

    port.close();
    termios after{};
    ASSERT_EQ(::tcgetattr(keeper, &after), 0);
    EXPECT_EQ(after.c_iflag, before.c_iflag);
    EXPECT_EQ(after.c_oflag, before.c_oflag);
    EXPECT_EQ(after.c_cflag, before.c_cflag);
    EXPECT_EQ(after.c_lflag, before.c_lflag);
    EXPECT_EQ(::cfgetospeed(&after), ::cfgetospeed(&before));
    ::close(keeper);
}

TEST(PosixSerialPort, TheLastBytesLeaveAtTheirRateBeforeTheSettingsAreGivenBack) {
    Pty pty;
    ASSERT_TRUE(pty.ok());
    // The peer keeps the device open at 9600 between the port's opens, as a
    // unit's end of the line does.
    const int keeper = ::open(pty.slave.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(keeper, 0);
    termios found{};
    ASSERT_EQ(::tcgetattr(keeper, &found), 0);
    ::cfsetispeed(&found, B9600);
    ::cfsetospeed(&found, B9600);
    ASSERT_EQ(::tcsetattr(keeper, TCSANOW, &found), 0);

    PosixSerialPort port(pty.slave);
    ASSERT_TRUE(port.open(19200).ok());
    const std::uint8_t lf = '\n';
    ASSERT_EQ(port.write(&lf, 1, 400).written, 1u);
    std::thread closer([&] { port.close(); });
    // A peer that takes the byte a moment after it was written still finds
    // the line at the rate it was written at, not at the one given back.
    EXPECT_EQ(readMaster(pty.master, 1), "\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    termios seen{};
    ASSERT_EQ(::tcgetattr(pty.master, &seen), 0);
    EXPECT_EQ(::cfgetospeed(&seen), static_cast<speed_t>(B19200));
    closer.join();
    ASSERT_EQ(::tcgetattr(keeper, &seen), 0);
    EXPECT_EQ(::cfgetospeed(&seen), static_cast<speed_t>(B9600));
    ::close(keeper);
}

TEST(PosixSerialPort, BytesPassRawAndAVanishedPeerIsNotATimeOut) {
    Pty pty;
    ASSERT_TRUE(pty.ok());
    PosixSerialPort port(pty.slave);
    ASSERT_TRUE(port.open(9600).ok());

    const std::uint8_t cmd[] = {'V', '\r', 0x10, 0x11, 0x13, '\n'};
    const WriteResult w = port.write(cmd, sizeof cmd, 400);
    EXPECT_EQ(w.written, sizeof cmd);
    EXPECT_EQ(readMaster(pty.master, sizeof cmd), std::string(reinterpret_cast<const char*>(cmd), sizeof cmd));

    ASSERT_EQ(::write(pty.master, "VOL 70\r\n", 8), 8);
    std::uint8_t buf[64];
    std::string got;
    while (got.size() < 8) {
        const ReadResult r = port.read(buf, sizeof buf, 400);
        ASSERT_TRUE(r.status.ok()) << faultName(r.status.fault);
        got.append(reinterpret_cast<char*>(buf), r.count);
    }
    EXPECT_EQ(got, "VOL 70\r\n");

    auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(port.read(buf, sizeof buf, 100).status.fault, PortFault::TimedOut);
    EXPECT_GE(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(90));

    pty.closeMaster();  // the other end goes away: said at once, not as a time-out
    EXPECT_EQ(port.read(buf, sizeof buf, 400).status.fault, PortFault::Closed);
    EXPECT_EQ(port.write(cmd, 2, 400).status.fault, PortFault::Closed);
    port.close();
}
