#include "serial_link.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "profile.h"

namespace q7m {

namespace {

using Clock = std::chrono::steady_clock;

int msLeft(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

speed_t speedConstant(int index) {
    switch (index) {
    case 1: return B19200;
    case 2: return B38400;
    case 3: return B57600;
    default: return B9600;
    }
}

// Devices named prefixN under /dev, ordered by N.
std::vector<std::pair<long, std::string>> numberedDevices(const char* prefix) {
    std::vector<std::pair<long, std::string>> found;
    DIR* dir = ::opendir("/dev");
    if (!dir) return found;
    const std::size_t plen = std::strlen(prefix);
    while (dirent* e = ::readdir(dir)) {
        const char* n = e->d_name;
        if (std::strncmp(n, prefix, plen) != 0 || n[plen] == '\0') continue;
        char* end = nullptr;
        const long num = std::strtol(n + plen, &end, 10);
        if (*end != '\0') continue;
        found.emplace_back(num, std::string("/dev/") + n);
    }
    ::closedir(dir);
    std::sort(found.begin(), found.end());
    return found;
}

// An on-board ttyS node exists whether or not a UART sits behind it; the
// kernel reports the UART type (0 = none) in sysfs.
bool uartPresent(const std::string& devPath) {
    const std::string name = devPath.substr(devPath.find_last_of('/') + 1);
    std::ifstream in("/sys/class/tty/" + name + "/type");
    int type = 0;
    return in && (in >> type) && type != 0;
}

}  // namespace

std::vector<std::string> serialDevicesPresent() {
    std::vector<std::string> devices;
    for (const char* prefix : {"ttyUSB", "ttyACM"})
        for (auto& [num, path] : numberedDevices(prefix)) devices.push_back(path);
    for (auto& [num, path] : numberedDevices("ttyS"))
        if (uartPresent(path)) devices.push_back(path);
    for (auto& [num, path] : numberedDevices("ttyAMA")) devices.push_back(path);
    return devices;
}

std::string portDevice(int portNumber) {
    Profile ini(iniPath());
    ini.load();
    if (auto mapped = ini.get("Ports", "COM" + std::to_string(portNumber)); mapped && !mapped->empty()) return *mapped;
    const auto devices = serialDevicesPresent();
    if (portNumber >= 1 && static_cast<std::size_t>(portNumber) <= devices.size())
        return devices[static_cast<std::size_t>(portNumber - 1)];
    return {};
}

// ---------------------------------------------------------------- trace

LineTrace::LineTrace() {
    if (const char* path = std::getenv("Q7M_TRACE"); path && *path)
        fd_ = ::open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
}

LineTrace::~LineTrace() {
    if (fd_ >= 0) ::close(fd_);
}

namespace {
std::string timestamp() {
    timeval tv{};
    ::gettimeofday(&tv, nullptr);
    tm local{};
    ::localtime_r(&tv.tv_sec, &local);
    char buf[48];
    const std::size_t n = std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S", &local);
    std::snprintf(buf + n, sizeof buf - n, ".%06ld", static_cast<long>(tv.tv_usec));
    return buf;
}
}  // namespace

void LineTrace::bytes(const char* direction, const std::uint8_t* data, std::size_t n) {
    if (fd_ < 0 || n == 0) return;
    std::string line = timestamp() + " " + direction;
    char hex[4];
    for (std::size_t i = 0; i < n; ++i) {
        std::snprintf(hex, sizeof hex, " %02X", data[i]);
        line += hex;
    }
    line += '\n';
    [[maybe_unused]] auto w = ::write(fd_, line.data(), line.size());
}

void LineTrace::note(const std::string& text) {
    if (fd_ < 0) return;
    const std::string line = timestamp() + " -- " + text + "\n";
    [[maybe_unused]] auto w = ::write(fd_, line.data(), line.size());
}

// ---------------------------------------------------------------- port

SerialLink::SerialLink() = default;

SerialLink::~SerialLink() { close(); }

bool SerialLink::open(const std::string& name) {
    portName = name;
    if (handle >= 0) close();

    std::string device = name;
    if (name.size() > 3 && name.compare(0, 3, "COM") == 0) device = portDevice(std::atoi(name.c_str() + 3));
    if (device.empty()) return false;

    // O_NONBLOCK: never hang in open() waiting for carrier; all waiting is
    // done with poll() and explicit time-outs.  No O_CREAT: the device must
    // already exist.
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) {
        ::close(fd);
        return false;
    }
    // Exclusive use: a second opener (another editor, a terminal program
    // using flock) is refused while we hold the port.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    handle = fd;
    trace_.note("open " + name + " (" + device + ") at " + std::to_string(kBaudRates[baudIndex]));
    if (!configure()) return false;

    readInterval = kByteTimeoutMs;
    readMultiplier = 0;
    readConstant = kByteTimeoutMs;
    return true;
}

bool SerialLink::configure() {
    termios tio{};
    if (::tcgetattr(handle, &tio) != 0) return false;
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
    const speed_t speed = speedConstant(baudIndex);
    if (::cfsetispeed(&tio, speed) != 0 || ::cfsetospeed(&tio, speed) != 0) return false;
    return ::tcsetattr(handle, TCSANOW, &tio) == 0;
}

int SerialLink::close() {
    if (handle < 0) return 0;
    trace_.note("close " + portName);
    const int fd = handle;
    handle = -1;
    dropPending();
    ::flock(fd, LOCK_UN);
    return ::close(fd) == 0 ? 1 : 0;
}

void SerialLink::waitUntilSent() {
    if (handle < 0) return;
    const double byteSeconds = 10.0 / kBaudRates[baudIndex];
    int queued = 0;
    const auto deadline = Clock::now() + std::chrono::milliseconds(kWriteTimeoutMs);
    while (::ioctl(handle, TIOCOUTQ, &queued) == 0 && queued > 0 && msLeft(deadline) > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    // The output queue does not count the byte in the shift register, and a
    // pseudo-terminal reports no queue at all: leave the peer a moment to
    // take the last bytes at the old rate.
    std::this_thread::sleep_for(std::chrono::microseconds(static_cast<long>(byteSeconds * 8e6)) +
                                std::chrono::milliseconds(40));
}

bool SerialLink::setBaudIndex(int index) {
    if (index < 0 || index > 3) return false;
    waitUntilSent();
    baudIndex = index;
    close();
    open(portName);  // result deliberately not looked at; the next command reports
    return true;
}

void SerialLink::dropPending() { pendingPos_ = pendingLen_ = 0; }

int SerialLink::purgeReceive() {
    rx.reset();
    const std::size_t dropped = pendingLen_ - pendingPos_;
    dropPending();
    if (handle < 0) return 0;
    if (trace_.enabled()) trace_.note("purge (" + std::to_string(dropped) + " buffered bytes dropped)");
    return ::tcflush(handle, TCIFLUSH) == 0 ? 1 : 0;
}

int SerialLink::resetLink() {
    purgeReceive();
    const std::uint8_t lf = LF;
    writeRaw(&lf, 1);
    return purgeReceive();
}

std::size_t SerialLink::writeRaw(const std::uint8_t* data, std::size_t count) {
    if (handle < 0 || count == 0) return 0;
    std::size_t done = 0;
    const auto deadline = Clock::now() + std::chrono::milliseconds(kWriteTimeoutMs);
    while (done < count) {
        const ssize_t n = ::write(handle, data + done, count - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) break;
        const int left = msLeft(deadline);
        if (left == 0) break;
        pollfd p{handle, POLLOUT, 0};
        if (::poll(&p, 1, left) < 0 && errno != EINTR) break;
    }
    trace_.bytes("TX", data, done);
    return done;
}

std::optional<std::uint8_t> SerialLink::readByte() {
    if (pendingPos_ < pendingLen_) return pending_[pendingPos_++];
    if (handle < 0) return std::nullopt;
    const auto deadline = Clock::now() + std::chrono::milliseconds(kByteTimeoutMs);
    for (;;) {
        const ssize_t n = ::read(handle, pending_, sizeof pending_);
        if (n > 0) {
            trace_.bytes("RX", pending_, static_cast<std::size_t>(n));
            pendingLen_ = static_cast<std::size_t>(n);
            pendingPos_ = 1;
            return pending_[0];
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return std::nullopt;  // device gone
        const int left = msLeft(deadline);
        if (left == 0) return std::nullopt;
        pollfd p{handle, POLLIN, 0};
        const int r = ::poll(&p, 1, left);
        if (r < 0 && errno != EINTR) return std::nullopt;
        if (r > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) && !(p.revents & POLLIN)) return std::nullopt;
    }
}

void SerialLink::createIni() {
    static constexpr int table[4][3] = {{12, 2, 20}, {6, 2, 4}, {15, 3, 5}, {25, 5, 10}};
    static constexpr const char* keys[3] = {"SR_ReadInterval", "SR_ReadMultiplier", "SR_ReadConstant"};
    Profile ini(iniPath());
    if (!ini.load()) return;  // never overwrite a file we could not read
    for (int i = 0; i < 4; ++i) {
        const std::string suffix = i == 0 ? "" : std::to_string(kBaudRates[i]);
        for (int k = 0; k < 3; ++k) ini.set("Serial", keys[k] + suffix, std::to_string(table[i][k]));
    }
    ini.set("Serial95", "SR_ReadInterval", "16");
    ini.set("Serial95", "SR_ReadMultiplier", "6");
    ini.set("Serial95", "SR_ReadConstant", "15");
    ini.save();
}

// ---------------------------------------------------------------- protocol

std::size_t SerialLink::readLines(std::uint8_t* buffer, int wanted) {
    rx.rxLinesWanted = wanted;
    for (;;) {
        const auto b = readByte();
        if (!b) return 0;
        if (rx.feed(*b) == RX_LINES_DONE) {
            const auto n = static_cast<std::size_t>(rx.rxLength);
            std::memcpy(buffer, rx.rxBuffer.data(), n);
            buffer[n] = 0;
            return n;
        }
    }
}

std::size_t SerialLink::readFrame(std::uint8_t* buffer) {
    for (;;) {
        const auto b = readByte();
        if (!b) return 0;
        if (rx.feed(*b) == RX_FRAME_DONE) {
            const auto n = static_cast<std::size_t>(rx.rxLength);
            std::memcpy(buffer, rx.rxBuffer.data(), n);
            buffer[n] = 0;
            return n;
        }
    }
}

bool SerialLink::writeFrame(const std::uint8_t* payload, std::size_t length) {
    const std::size_t n = buildFrame(payload, length, txBuffer, sizeof txBuffer);
    if (n == 0) return false;
    return writeRaw(txBuffer, n) == n;
}

}  // namespace q7m
