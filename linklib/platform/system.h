// system.h - what the library and the programs ask of the operating system
// besides files: which system runs them, the local calendar and the
// timestamps of the line trace, and a log file that is only ever appended
// to.  One implementation per platform (system_posix.cpp, system_win32.cpp).
#ifndef Q7M_PLATFORM_SYSTEM_H
#define Q7M_PLATFORM_SYSTEM_H

#include <ctime>
#include <string>

namespace q7m::platform {

struct SystemInfo {
    enum class Family { Unknown, Posix, WindowsNT };
    Family family = Family::Unknown;
    std::string name;  // "Linux", "Windows", ...
    int major = 0;
    int minor = 0;
};

// The running system.  Family Unknown when it cannot be told.
SystemInfo identifySystem();

// `t` on the local calendar (thread-safe).
std::tm localCalendar(std::time_t t);

// The name of the user this program runs for ("" when it cannot be told).
std::string userName();

// Now, local time, to the microsecond: "2026-12-08T04:10:00.123456".
std::string traceTimestamp();

// A file opened for appending whole lines: each append goes to the end of
// the file in one write, also when several processes share the file.
class AppendFile {
public:
    AppendFile() = default;
    ~AppendFile();
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    // Opens (creating) `path`; false when it cannot be opened.
    bool open(const std::string& path);
    bool isOpen() const { return handle_ != kClosed; }
    void append(const std::string& text);
    void close();

private:
    static constexpr long long kClosed = -1;
    long long handle_ = kClosed;  // a file descriptor, or a Windows HANDLE
};

}  // namespace q7m::platform

#endif
