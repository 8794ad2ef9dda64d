// The POSIX side of the port map: serial devices under /dev, probing a
// device without keeping it, the errno of a failed open, and the words for
// this platform's port faults.
#include "port/port_platform.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "port/serial_port_posix.h"

namespace q7m {

namespace {

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

// The program holding `device` open, as "name, process N", found through
// /proc (only processes this user may look at).  Empty when none is seen.
std::string holderOf(const std::string& device) {
    struct stat dev {};
    if (::stat(device.c_str(), &dev) != 0) return {};
    DIR* proc = ::opendir("/proc");
    if (!proc) return {};
    std::string found;
    const pid_t self = ::getpid();
    while (dirent* p = ::readdir(proc)) {
        char* end = nullptr;
        const long pid = std::strtol(p->d_name, &end, 10);
        if (*end != '\0' || pid <= 0 || pid == self) continue;
        const std::string fdDir = std::string("/proc/") + p->d_name + "/fd";
        DIR* fds = ::opendir(fdDir.c_str());
        if (!fds) continue;
        while (dirent* f = ::readdir(fds)) {
            struct stat st {};
            if (f->d_name[0] == '.' || ::stat((fdDir + "/" + f->d_name).c_str(), &st) != 0) continue;
            if (S_ISCHR(st.st_mode) && st.st_rdev == dev.st_rdev) {
                std::ifstream comm(std::string("/proc/") + p->d_name + "/comm");
                std::string name;
                std::getline(comm, name);
                found = (name.empty() ? std::string("?") : name) + ", process " + p->d_name;
                break;
            }
        }
        ::closedir(fds);
        if (!found.empty()) break;
    }
    ::closedir(proc);
    return found;
}

}  // namespace

PortFault faultFromOpenErrno(int err) {
    switch (err) {
    case ENOENT:
    case ENOTDIR:
    case ENXIO:
    case ENODEV: return PortFault::NotFound;
    case EACCES:
    case EPERM:
    case EROFS: return PortFault::NoPermission;
    case EBUSY:
    case EWOULDBLOCK: return PortFault::InUse;
    case EISDIR:
    case ENOTTY: return PortFault::NotSerial;
    default: return PortFault::Io;
    }
}

std::vector<std::string> serialDevicesPresent() {
    std::vector<std::string> devices;
    for (const char* prefix : {"ttyUSB", "ttyACM"})
        for (auto& [num, path] : numberedDevices(prefix)) devices.push_back(path);
    for (auto& [num, path] : numberedDevices("ttyS"))
        if (uartPresent(path)) devices.push_back(path);
    for (auto& [num, path] : numberedDevices("ttyAMA")) devices.push_back(path);
    return devices;
}

namespace detail {

std::string defaultDevice(int number) {
    const auto devices = serialDevicesPresent();
    if (number >= 1 && static_cast<std::size_t>(number) <= devices.size())
        return devices[static_cast<std::size_t>(number - 1)];
    return {};
}

std::string defaultRule(int number) { return "serial device number " + std::to_string(number) + " found"; }

std::string exampleDevice() { return "/dev/ttyUSB0"; }

// Probes a device path the way the port open would, without keeping it:
// exists, is a terminal device, may be read and written, is not held.
PortStatus probeDevice(const std::string& device) {
    struct stat st {};
    if (::stat(device.c_str(), &st) != 0) return failure(faultFromOpenErrno(errno), errno);
    if (!S_ISCHR(st.st_mode)) return failure(PortFault::NotSerial, ENOTTY);
    if (::access(device.c_str(), R_OK | W_OK) != 0 && (errno == EACCES || errno == EPERM))
        return failure(PortFault::NoPermission, errno);
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        const PortFault kind = faultFromOpenErrno(err);
        return failure(kind, err, kind == PortFault::InUse ? holderOf(device) : std::string());
    }
    PortStatus s;
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) {
        s = failure(PortFault::NotSerial, errno);
    } else if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        s = failure(PortFault::InUse, errno, holderOf(device));
    } else {
        ::flock(fd, LOCK_UN);
    }
    ::close(fd);
    return s;
}

std::unique_ptr<Port> makeDevicePort(const std::string& device) { return std::make_unique<PosixSerialPort>(device); }

std::string notFoundSentence(const PortMapping& m, const std::string& fixMap) {
    return m.name + " is " + m.target.text + ", which does not exist: plug the adapter in, or " + fixMap + ".";
}

std::string noPermissionSentence(const PortMapping&, const std::string& where) {
    return "Permission denied on " + where +
           ": add your user to the 'dialout' group (sudo usermod -aG dialout $USER) and log in again.";
}

}  // namespace detail

std::string detail::codeWords(const PortStatus& s) { return std::strerror(s.code); }

}  // namespace q7m
