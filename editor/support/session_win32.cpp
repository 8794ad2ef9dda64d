// The session's record on Windows: the marker only (an unclean end is
// still noticed).  The line trace and the crash note are kept on POSIX
// systems; here the user's own Q7M_TRACE file is the trace.
#include "support/session.h"

#include <windows.h>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>

#include "platform/files.h"

namespace zelk {

struct Session::Platform {};

namespace {
std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}
bool writeWhole(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out.flush());
}
std::string nowText() {
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_s(&t, &now);
    char buf[96];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                  t.tm_hour, t.tm_min, t.tm_sec);
    return buf;
}
}  // namespace

Session::Session() : os_(std::make_unique<Platform>()) {}
Session::~Session() { end(); }

bool Session::begin(const std::string& dataDir, const std::string& version) {
    if (recording_) return true;
    dataDir_ = dataDir;
    version_ = version;
    const std::string current = sessionFolder(dataDir, Which::Current);
    if (!q7m::platform::makeDirectories(current)) return false;
    previous_ = readMarker(readAll(sessionMarkerPath(dataDir, Which::Current)));
    started_ = nowText();
    if (!writeWhole(sessionMarkerPath(dataDir, Which::Current),
                    markerText(true, started_, version, static_cast<long>(GetCurrentProcessId()))))
        return false;
    recording_ = true;
    return true;
}

void Session::end() {
    if (!recording_) return;
    recording_ = false;
    writeWhole(sessionMarkerPath(dataDir_, Which::Current),
               markerText(false, started_, version_, static_cast<long>(GetCurrentProcessId())));
}

std::string operatingSystem() { return "Windows"; }

std::string hostName() {
    char buf[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD n = sizeof buf;
    return GetComputerNameA(buf, &n) ? std::string(buf, n) : std::string();
}

std::string fileOfFunction(const void* function) {
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCSTR>(function), &module))
        return {};
    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(module, path, MAX_PATH);
    return std::string(path, n);
}

}  // namespace zelk
