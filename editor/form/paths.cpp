#include "form/paths.h"

#include "platform/files.h"

namespace zelk {

namespace {
bool isFile(const std::string& p) { return q7m::platform::pathKind(p) == q7m::platform::PathKind::File; }
}  // namespace

Paths Paths::fromEnvironment(const std::string& programDir) {
    Paths p;
    p.programDir = programDir;
    p.dataDir = q7m::platform::dataDirectory("ZELKVELQ_DATA_DIR", "zelkvelq");
    p.configDir = q7m::platform::configDirectory();
    return p;
}

std::string Paths::helpFile() const {
    // Beside the program in a build tree, in share/zelkvelq when installed.
    for (const std::string& candidate :
         {programDir + "/VELQ-HELP.rtf", programDir + "/../share/zelkvelq/VELQ-HELP.rtf"})
        if (isFile(candidate)) return candidate;
    return programDir + "/VELQ-HELP.rtf";
}

bool makeDirectories(const std::string& dir) { return q7m::platform::makeDirectories(dir); }

}  // namespace zelk
