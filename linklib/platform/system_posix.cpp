// The POSIX side of the system services.
#include "system.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/utsname.h>
#include <unistd.h>

namespace q7m::platform {

SystemInfo identifySystem() {
    SystemInfo info;
    utsname u{};
    if (::uname(&u) != 0) return info;
    info.name = u.sysname;
    // The POSIX systems the port layer is written for.
    for (const char* name : {"Linux", "Darwin", "FreeBSD", "NetBSD", "OpenBSD"})
        if (info.name == name) info.family = SystemInfo::Family::Posix;
    std::sscanf(u.release, "%d.%d", &info.major, &info.minor);
    return info;
}

std::tm localCalendar(std::time_t t) {
    std::tm local{};
    ::localtime_r(&t, &local);
    return local;
}

std::string userName() {
    passwd entry{};
    passwd* found = nullptr;
    char buf[4096];
    if (::getpwuid_r(::geteuid(), &entry, buf, sizeof buf, &found) == 0 && found && found->pw_name)
        return found->pw_name;
    for (const char* var : {"USER", "LOGNAME"})
        if (const char* v = std::getenv(var); v && *v) return v;
    return "uid " + std::to_string(::geteuid());
}

AppendFile::~AppendFile() { close(); }

bool AppendFile::open(const std::string& path) {
    close();
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    handle_ = fd;
    return true;
}

void AppendFile::append(const std::string& text) {
    if (handle_ == kClosed) return;
    // O_APPEND puts each write at the end of the file as one piece.
    ssize_t w;
    do {
        w = ::write(static_cast<int>(handle_), text.data(), text.size());
    } while (w < 0 && errno == EINTR);
}

void AppendFile::close() {
    if (handle_ == kClosed) return;
    ::close(static_cast<int>(handle_));
    handle_ = kClosed;
}

}  // namespace q7m::platform
