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

std::string joinPath(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    return dir.back() == '/' ? dir + name : dir + "/" + name;
}

namespace {
PathKind kindOf(mode_t mode) {
    if (S_ISREG(mode)) return PathKind::File;
    if (S_ISDIR(mode)) return PathKind::Folder;
    if (S_ISCHR(mode) || S_ISBLK(mode)) return PathKind::Device;
    if (S_ISFIFO(mode)) return PathKind::Pipe;
    if (S_ISSOCK(mode)) return PathKind::Socket;
    return PathKind::Other;
}
}  // namespace

PathKind pathKind(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return PathKind::Missing;
    return kindOf(st.st_mode);
}

bool folderWritable(const std::string& dir) { return ::access(dir.empty() ? "." : dir.c_str(), W_OK | X_OK) == 0; }

bool removeFile(const std::string& path) { return ::unlink(path.c_str()) == 0 || errno == ENOENT; }

SmallFile readSmallFile(const std::string& path, long long limit) {
    SmallFile f;
    // O_NONBLOCK: a pipe with no writer must not hold us; it is refused below.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        f.status = err == ENOENT || err == ENOTDIR ? SmallFile::Status::NotFound
                   : err == EACCES || err == EPERM ? SmallFile::Status::NoPermission
                                                   : SmallFile::Status::Error;
        f.error = std::strerror(err);
        return f;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        f.error = std::strerror(errno);
    } else if (!S_ISREG(st.st_mode)) {
        f.status = SmallFile::Status::NotAFile;
        f.kind = kindOf(st.st_mode);
    } else if (st.st_size > limit) {
        f.status = SmallFile::Status::TooLarge;
        f.size = st.st_size;
    } else {
        char buf[8192];
        for (;;) {
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                f.error = std::strerror(errno);
                break;
            }
            if (n == 0) {
                f.status = SmallFile::Status::Ok;
                break;
            }
            f.bytes.append(buf, static_cast<std::size_t>(n));
            if (static_cast<long long>(f.bytes.size()) > limit) {
                f.status = SmallFile::Status::Grew;
                f.size = static_cast<long long>(f.bytes.size());
                f.bytes.clear();
                break;
            }
        }
    }
    ::close(fd);
    return f;
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

SaveResult appendLineDurably(const std::string& path, std::string_view line) {
    SaveResult r;
    // Read access to look at the last byte; O_NONBLOCK: a pipe planted
    // under the name is refused, never waited on.
    const int fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644);
    if (fd < 0) {
        r.error = std::strerror(errno);
        return r;
    }
    struct stat st {};
    std::string text;
    if (::fstat(fd, &st) != 0) {
        r.error = std::strerror(errno);
    } else if (!S_ISREG(st.st_mode)) {
        r.error = "not a regular file";
    } else {
        char last = '\n';
        if (st.st_size > 0 && ::pread(fd, &last, 1, st.st_size - 1) != 1) last = '\n';
        if (last != '\n') text += '\n';
        text.append(line).append("\n");
        if (!writeAll(fd, text) || ::fsync(fd) != 0) r.error = std::strerror(errno);
        else r.ok = true;
    }
    if (::close(fd) != 0 && r.ok) {
        r.ok = false;
        r.error = std::strerror(errno);
    }
    return r;
}

}  // namespace q7m::platform
