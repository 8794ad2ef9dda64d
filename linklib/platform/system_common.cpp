// What both platforms share of the system services.
#include "system.h"

#include <chrono>
#include <cstdio>

namespace q7m::platform {

std::string traceTimestamp() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const auto micros = duration_cast<microseconds>(now.time_since_epoch()).count() % 1000000;
    const std::tm local = localCalendar(system_clock::to_time_t(now));
    char buf[48];
    const std::size_t n = std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S", &local);
    std::snprintf(buf + n, sizeof buf - n, ".%06lld", static_cast<long long>(micros < 0 ? micros + 1000000 : micros));
    return buf;
}

}  // namespace q7m::platform
