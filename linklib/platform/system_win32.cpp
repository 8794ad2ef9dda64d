// The Windows side of the system services.
#include "system.h"
#include "win32_text.h"

#include <windows.h>

namespace q7m::platform {

SystemInfo identifySystem() {
    SystemInfo info;
    // RtlGetVersion tells the truth; GetVersionEx answers what the
    // program's manifest claims to know.
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    OSVERSIONINFOW v{};
    v.dwOSVersionInfoSize = sizeof v;
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    auto rtlGetVersion =
        ntdll ? reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlGetVersion")))
              : nullptr;
    if (!rtlGetVersion || rtlGetVersion(&v) != 0) return info;
    info.name = "Windows";
    info.major = static_cast<int>(v.dwMajorVersion);
    info.minor = static_cast<int>(v.dwMinorVersion);
    if (v.dwPlatformId == VER_PLATFORM_WIN32_NT) info.family = SystemInfo::Family::WindowsNT;
    return info;
}

std::tm localCalendar(std::time_t t) {
    std::tm local{};
    ::localtime_s(&local, &t);
    return local;
}

std::string userName() {
    wchar_t name[257];
    DWORD size = 257;
    if (::GetUserNameW(name, &size) && size > 1) return narrow(std::wstring(name, size - 1));
    wchar_t env[257];
    const DWORD n = ::GetEnvironmentVariableW(L"USERNAME", env, 257);
    return n > 0 && n < 257 ? narrow(std::wstring(env, n)) : std::string();
}

AppendFile::~AppendFile() { close(); }

bool AppendFile::open(const std::string& path) {
    close();
    // FILE_APPEND_DATA alone: every write lands at the end of the file, as
    // one piece, whoever else appends.
    HANDLE h = ::CreateFileW(widen(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    handle_ = reinterpret_cast<long long>(h);
    return true;
}

void AppendFile::append(const std::string& text) {
    if (handle_ == kClosed || text.empty()) return;
    DWORD written = 0;
    ::WriteFile(reinterpret_cast<HANDLE>(handle_), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

void AppendFile::close() {
    if (handle_ == kClosed) return;
    ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
    handle_ = kClosed;
}

}  // namespace q7m::platform
