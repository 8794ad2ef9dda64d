// The Windows side of the file services.
#include "files.h"
#include "win32_text.h"

#include <windows.h>

#include <cstdlib>

namespace q7m::platform {

// ---------------------------------------------------------------- text

std::wstring widen(const std::string& text) {
    if (text.empty()) return {};
    const int n = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string narrow(const std::wstring& text) {
    if (text.empty()) return {};
    const int n =
        ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::string windowsErrorText(unsigned long code) {
    wchar_t* buffer = nullptr;
    const DWORD n = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = n && buffer ? std::wstring(buffer, n) : std::wstring();
    if (buffer) ::LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' || text.back() == L'.'))
        text.pop_back();
    if (text.empty()) return "Windows error " + std::to_string(code);
    return narrow(text);
}

// ---------------------------------------------------------------- folders

namespace {

// The environment as the C runtime keeps it (in its narrow encoding, like
// every path here), so what a program or a test sets with _putenv is seen.
std::string fromEnv(const char* var) {
    const char* v = std::getenv(var);
    return v && *v ? std::string(v) : std::string();
}

bool isSeparator(char c) { return c == '\\' || c == '/'; }

// A user folder from the environment, or the profile's usual place.
std::string userFolder(const char* var, const char* underProfile) {
    if (auto d = fromEnv(var); !d.empty()) return d;
    if (auto p = fromEnv("USERPROFILE"); !p.empty()) return joinPath(p, underProfile);
    return ".";
}

DWORD attributesOf(const std::string& path) { return ::GetFileAttributesW(widen(path).c_str()); }

}  // namespace

std::string configDirectory() {
    if (auto d = fromEnv("Q7M_CONFIG_DIR"); !d.empty()) return d;
    return joinPath(userFolder("APPDATA", "AppData\\Roaming"), "q7m");
}

std::string dataDirectory(const char* overrideVar, const std::string& app) {
    if (auto d = fromEnv(overrideVar); !d.empty()) return d;
    return joinPath(userFolder("LOCALAPPDATA", "AppData\\Local"), app);
}

std::string joinPath(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    return isSeparator(dir.back()) ? dir + name : dir + "\\" + name;
}

std::string parentDirectory(const std::string& path) {
    const auto sep = path.find_last_of("\\/");
    if (sep == std::string::npos) {
        // "C:name" is a file in the current folder of drive C.
        return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : std::string();
    }
    // The root keeps its separator: "\\x" -> "\\", "C:\\x" -> "C:\\".
    if (sep == 0 || (sep == 2 && path[1] == ':')) return path.substr(0, sep + 1);
    return path.substr(0, sep);
}

bool makeDirectories(const std::string& dir) {
    if (dir.empty()) return true;
    const DWORD a = attributesOf(dir);
    if (a != INVALID_FILE_ATTRIBUTES) return (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
    std::string trimmed = dir;
    while (trimmed.size() > 1 && isSeparator(trimmed.back())) trimmed.pop_back();
    const std::string parent = parentDirectory(trimmed);
    if (!parent.empty() && parent != trimmed && !makeDirectories(parent)) return false;
    return ::CreateDirectoryW(widen(trimmed).c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS;
}

PathKind pathKind(const std::string& path) {
    const std::wstring wide = widen(path);
    const DWORD a = ::GetFileAttributesW(wide.c_str());
    if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY)) return PathKind::Folder;
    // Devices (COM1, NUL) and pipes may or may not report attributes: the
    // handle tells what a name is (opened for no access at all, which
    // neither waits nor needs permission to read).
    HANDLE h = ::CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return a == INVALID_FILE_ATTRIBUTES ? PathKind::Missing : PathKind::File;
    const DWORD type = ::GetFileType(h);
    ::CloseHandle(h);
    switch (type) {
    case FILE_TYPE_DISK: return PathKind::File;
    case FILE_TYPE_PIPE: return PathKind::Pipe;
    case FILE_TYPE_CHAR: return PathKind::Device;
    default: return a == INVALID_FILE_ATTRIBUTES ? PathKind::Device : PathKind::Other;
    }
}

bool folderWritable(const std::string& dir) {
    // Windows' access rules are lists, not bits: try it.
    const std::string folder = dir.empty() ? std::string(".") : dir;
    for (int attempt = 0; attempt < 8; ++attempt) {
        const std::string probe = joinPath(folder, ".q7m-write-test-" + std::to_string(::GetCurrentProcessId()) + "-" +
                                                       std::to_string(attempt));
        HANDLE h = ::CreateFileW(widen(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            ::CloseHandle(h);
            return true;
        }
        if (::GetLastError() != ERROR_FILE_EXISTS) return false;
    }
    return false;
}

bool removeFile(const std::string& path) {
    return ::DeleteFileW(widen(path).c_str()) || ::GetLastError() == ERROR_FILE_NOT_FOUND;
}

SmallFile readSmallFile(const std::string& path, long long limit) {
    SmallFile f;
    const PathKind kind = pathKind(path);
    if (kind != PathKind::File && kind != PathKind::Missing) {
        // Never opened for reading: a device or a pipe could make us wait.
        f.status = SmallFile::Status::NotAFile;
        f.kind = kind;
        return f;
    }
    HANDLE h = ::CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD err = ::GetLastError();
        f.status = err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND ? SmallFile::Status::NotFound
                   : err == ERROR_ACCESS_DENIED                               ? SmallFile::Status::NoPermission
                                                                              : SmallFile::Status::Error;
        f.error = windowsErrorText(err);
        return f;
    }
    LARGE_INTEGER size{};
    if (::GetFileType(h) != FILE_TYPE_DISK) {
        f.status = SmallFile::Status::NotAFile;
        f.kind = PathKind::Other;
    } else if (!::GetFileSizeEx(h, &size)) {
        f.error = windowsErrorText(::GetLastError());
    } else if (size.QuadPart > limit) {
        f.status = SmallFile::Status::TooLarge;
        f.size = size.QuadPart;
    } else {
        char buf[8192];
        for (;;) {
            DWORD n = 0;
            if (!::ReadFile(h, buf, sizeof buf, &n, nullptr)) {
                f.error = windowsErrorText(::GetLastError());
                break;
            }
            if (n == 0) {
                f.status = SmallFile::Status::Ok;
                break;
            }
            f.bytes.append(buf, n);
            if (static_cast<long long>(f.bytes.size()) > limit) {
                f.status = SmallFile::Status::Grew;
                f.size = static_cast<long long>(f.bytes.size());
                f.bytes.clear();
                break;
            }
        }
    }
    ::CloseHandle(h);
    return f;
}

// ---------------------------------------------------------------- saving

namespace {

bool writeAll(HANDLE h, std::string_view data) {
    while (!data.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size(), 1u << 20));
        DWORD written = 0;
        if (!::WriteFile(h, data.data(), chunk, &written, nullptr)) return false;
        if (written == 0) {
            ::SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        data.remove_prefix(written);
    }
    return true;
}

}  // namespace

SaveResult writeFileAtomically(const std::string& path, std::string_view content) {
    SaveResult r;
    const std::wstring target = widen(path);
    // A new file under a fresh name beside the target, created exclusively
    // (CREATE_NEW never opens what is already there, link or not).
    std::wstring tmp;
    HANDLE h = INVALID_HANDLE_VALUE;
    DWORD err = 0;
    for (unsigned attempt = 0; attempt < 100 && h == INVALID_HANDLE_VALUE; ++attempt) {
        tmp = target + L"." + std::to_wstring(::GetCurrentProcessId()) + L"-" +
              std::to_wstring((::GetTickCount64() + attempt * 7919u) % 1000000u) + L".saving";
        h = ::CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        err = ::GetLastError();
        if (h == INVALID_HANDLE_VALUE && err != ERROR_FILE_EXISTS && err != ERROR_ALREADY_EXISTS) break;
    }
    if (h == INVALID_HANDLE_VALUE) {
        r.error = windowsErrorText(err);
        return r;
    }
    bool ok = writeAll(h, content) && ::FlushFileBuffers(h);
    err = ok ? 0 : ::GetLastError();
    if (!::CloseHandle(h) && ok) {
        ok = false;
        err = ::GetLastError();
    }
    // The rename replaces an existing target (a plain rename does not on
    // Windows) and returns only when it is on the disk.
    if (ok && !::MoveFileExW(tmp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ok = false;
        err = ::GetLastError();
    }
    if (!ok) {
        ::DeleteFileW(tmp.c_str());
        r.error = windowsErrorText(err);
        return r;
    }
    r.ok = true;
    return r;
}

SaveResult appendLineDurably(const std::string& path, std::string_view line) {
    SaveResult r;
    // Read access only to look at the last byte; FILE_APPEND_DATA alone puts
    // every write at the end.
    HANDLE h = ::CreateFileW(widen(path).c_str(), FILE_APPEND_DATA | FILE_READ_DATA | SYNCHRONIZE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        r.error = windowsErrorText(::GetLastError());
        return r;
    }
    if (::GetFileType(h) != FILE_TYPE_DISK) {
        ::CloseHandle(h);
        r.error = "not a regular file";
        return r;
    }
    std::string text;
    LARGE_INTEGER size{};
    if (::GetFileSizeEx(h, &size) && size.QuadPart > 0) {
        OVERLAPPED at{};
        const long long offset = size.QuadPart - 1;
        at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFF);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        char last = '\n';
        DWORD got = 0;
        if (::ReadFile(h, &last, 1, &got, &at) && got == 1 && last != '\n') text += '\n';
    }
    text.append(line).append("\n");
    const bool ok = writeAll(h, text) && ::FlushFileBuffers(h);
    const DWORD err = ok ? 0 : ::GetLastError();
    ::CloseHandle(h);
    if (!ok) {
        r.error = windowsErrorText(err);
        return r;
    }
    r.ok = true;
    return r;
}

}  // namespace q7m::platform
