#include "q7mctl_history.h"

#include <cstdio>
#include <ctime>

#include "files/as_found.h"
#include "platform/system.h"
#include "port/port_map.h"

namespace q7mctl {

std::string historyFile(int port) {
    return zelk::historyPath(zelk::defaultDataDirectory(), port, q7m::mapPort(port).target.text);
}

zelk::HistoryRecord newRecord(int port, const std::string& action) {
    const std::tm tm = q7m::platform::localCalendar(std::time(nullptr));
    zelk::HistoryRecord r;
    r.time = zelk::historyTime({tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_wday, tm.tm_hour, tm.tm_min, tm.tm_sec});
    r.user = q7m::platform::userName();
    r.program = "q7mctl";
    r.port = "COM" + std::to_string(port);
    r.target = q7m::mapPort(port).target.text;
    r.action = action;
    return r;
}

void keepRecord(int port, const zelk::HistoryRecord& record) {
    const std::string path = historyFile(port);
    if (const std::string why = zelk::appendHistory(path, record); !why.empty())
        std::fprintf(stderr, "q7mctl: the unit's history could not be written to %s: %s\n", path.c_str(), why.c_str());
}

int printHistory(int port, bool json) {
    const std::string path = historyFile(port);
    const zelk::HistoryRead h = zelk::readHistory(path);
    for (const auto& note : h.notes) std::fprintf(stderr, "q7mctl: note: %s\n", note.c_str());
    if (json) {
        std::fputs(zelk::historyJson(h.records).c_str(), stdout);
        return 0;
    }
    if (h.records.empty()) {
        std::printf("Nothing recorded yet for COM%d in %s\n", port, path.c_str());
        return 0;
    }
    std::fputs(zelk::historyText(h.records).c_str(), stdout);
    return 0;
}

}  // namespace q7mctl
