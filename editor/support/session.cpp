#include "support/session.h"

#include <fstream>
#include <sstream>

namespace zelk {

std::string sessionFolder(const std::string& dataDir, Which which) {
    return dataDir + (which == Which::Current ? "/session/current" : "/session/previous");
}
std::string sessionMarkerPath(const std::string& dataDir, Which which) { return sessionFolder(dataDir, which) + "/marker"; }
std::string sessionTracePath(const std::string& dataDir, Which which) { return sessionFolder(dataDir, which) + "/trace.log"; }
std::string crashNotePath(const std::string& dataDir, Which which) { return sessionFolder(dataDir, which) + "/crash.txt"; }

namespace {
std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}
}  // namespace

std::string lastLines(const std::string& text, int lines) {
    if (lines <= 0) return {};
    std::size_t end = text.size();
    if (end > 0 && text[end - 1] == '\n') --end;  // the last line's own end
    std::size_t pos = end;
    int n = 0;
    while (pos > 0) {
        if (text[pos - 1] == '\n' && ++n == lines) break;
        --pos;
    }
    return text.substr(pos);
}

std::string sessionTrace(const std::string& dataDir, Which which) {
    const std::string path = sessionTracePath(dataDir, which);
    return lastLines(readAll(path + ".1") + readAll(path), kTraceLines);
}

std::string crashNote(const std::string& dataDir, Which which) { return readAll(crashNotePath(dataDir, which)); }

std::string markerText(bool running, const std::string& started, const std::string& version, long pid) {
    return std::string(running ? "running" : "ended") + "\nstarted=" + started + "\nversion=" + version +
           "\npid=" + std::to_string(pid) + "\n";
}

PreviousSession readMarker(const std::string& text) {
    PreviousSession p;
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line)) return p;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    p.endedUncleanly = line == "running";
    while (std::getline(in, line)) {
        if (line.rfind("started=", 0) == 0) p.started = line.substr(8);
        if (line.rfind("version=", 0) == 0) p.version = line.substr(8);
    }
    return p;
}

}  // namespace zelk
