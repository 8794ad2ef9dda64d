// The POSIX side of the file services.
#include "files.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace q7m::platform {

namespace {

std::string fromEnv(const char* var) {
    const char* v = std::getenv(var);
    return v && *v ? std::string(v) : std::string();
}

std::string xdgFolder(const char* xdgVar, const char* homeSub, const std::string& app) {
    if (auto x = fromEnv(xdgVar); !x.empty()) return x + "/" + app;
    if (auto h = fromEnv("HOME"); !h.empty()) return h + "/" + homeSub + "/" + app;
    return ".";
}

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t w = ::write(fd, data.data(), data.size());
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) {
            if (w == 0) errno = EIO;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(w));
    }
    return true;
}

}  // namespace

std::string configDirectory() {
    if (auto d = fromEnv("Q7M_CONFIG_DIR"); !d.empty()) return d;
    return xdgFolder("XDG_CONFIG_HOME", ".config", "q7m");
}

std::string dataDirectory(const char* overrideVar, const std::string& app) {
    if (auto d = fromEnv(overrideVar); !d.empty()) return d;
    return xdgFolder("XDG_DATA_HOME", ".local/share", app);
}

std::string parentDirectory(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return {};
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool makeDirectories(const std::string& dir) {
    if (dir.empty()) return true;
    struct stat st {};
    if (::stat(dir.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    const auto slash = dir.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !makeDirectories(dir.substr(0, slash))) return false;
    return ::mkdir(dir.c_str(), 0755) == 0 || errno == EEXIST;
}

SaveResult writeFileAtomically(const std::string& path, std::string_view content) {
    SaveResult r;
    // mkstemp creates the file with O_EXCL under a fresh name, so nothing
    // planted beside the target can redirect the write.
    std::string tmp = path + ".XXXXXX";
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0) {
        r.error = std::strerror(errno);
        return r;
    }
    // Keep the target's permissions when it exists (mkstemp makes 0600).
    struct stat st {};
    const mode_t mode = ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
    ::fchmod(fd, mode);
    bool ok = writeAll(fd, content) && ::fsync(fd) == 0;
    int err = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok && ::rename(tmp.c_str(), path.c_str()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        ::unlink(tmp.c_str());
        r.error = std::strerror(err);
        return r;
    }
    // The rename is durable once the folder's entry is on the disk.
    const std::string dir = parentDirectory(path);
    const int dfd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    r.ok = true;
    return r;
}

}  // namespace q7m::platform
