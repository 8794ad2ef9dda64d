#include "q7mctl_support.h"

#include <cstdio>
#include <ctime>

#include "q7mctl_report.h"
#include "q7mslib.h"

#ifdef Q7MCTL_SUPPORT
#include "files/as_found.h"
#include "platform/files.h"
#include "platform/system.h"
#include "support/session.h"
#include "support/support_bundle.h"
#endif

namespace q7mctl {

#ifdef Q7MCTL_SUPPORT

bool canWriteSupportBundle() { return true; }

namespace {
// The unit's versions, in the editor's words, or why they are missing.
std::string unitVersions(int port) {
    if (unsigned e = InitDLL(port)) return "not reached on COM" + std::to_string(port) + " (" + errorWordText(e) + ")";
    int16_t v[7] = {};
    const unsigned e = GetUnitVersion(v);
    DLLShutdown();
    if (e) return "no versions from COM" + std::to_string(port) + " (" + errorWordText(e) + ")";
    char buf[160];
    std::snprintf(buf, sizeof buf, "CPU Version: %d.%02d; DSP Controller: %d.%02d; DSP Firmware: %d.%02d", v[0], v[1],
                  v[3], v[4], v[5], v[6]);
    return buf;
}
}  // namespace

int supportBundle(const std::string& path, bool includeTheater, bool askUnit, int port) {
    zelk::BundleSources s;
    s.dataDir = zelk::defaultDataDirectory();
    s.configDir = q7m::platform::configDirectory();
    s.includeTheater = includeTheater;
    s.writtenBy = std::string("q7mctl ") + Q7MCTL_VERSION;
    const std::tm t = q7m::platform::localCalendar(std::time(nullptr));
    s.when = {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_wday, t.tm_hour, t.tm_min, t.tm_sec};
    s.versions = {{"Program", s.writtenBy},
                  {"Link library", zelk::fileOfFunction(reinterpret_cast<const void*>(&InitDLL))},
                  {"Operating system", zelk::operatingSystem()},
                  {"Unit", askUnit ? unitVersions(port) : std::string("not asked (name its port with -p)")}};
    const auto entries = zelk::collectBundle(s);
    if (const std::string why = zelk::writeBundle(path, entries); !why.empty()) {
        std::fprintf(stderr, "q7mctl: the support bundle could not be written to %s: %s\n", path.c_str(), why.c_str());
        return 1;
    }
    std::printf("Support bundle written: %s (%zu files%s)\n", path.c_str(), entries.size(),
                includeTheater ? "" : "; theater information and host names left out");
    for (const auto& e : entries) std::printf("  %s\n", e.name.c_str());
    return 0;
}

#else

bool canWriteSupportBundle() { return false; }
int supportBundle(const std::string&, bool, bool, int) { return 2; }

#endif

}  // namespace q7mctl
