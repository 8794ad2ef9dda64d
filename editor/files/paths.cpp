#include "paths.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>

namespace zelk {

namespace {
std::string envOr(const char* var, const std::string& xdgVar, const std::string& sub, const std::string& homeSub) {
    if (const char* v = std::getenv(var); v && *v) return v;
    if (const char* x = std::getenv(xdgVar.c_str()); x && *x) return std::string(x) + "/" + sub;
    if (const char* h = std::getenv("HOME"); h && *h) return std::string(h) + "/" + homeSub + "/" + sub;
    return ".";
}

bool isFile(const std::string& p) {
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}
}  // namespace

Paths Paths::fromEnvironment(const std::string& programDir) {
    Paths p;
    p.programDir = programDir;
    p.dataDir = envOr("ZELKVELQ_DATA_DIR", "XDG_DATA_HOME", "zelkvelq", ".local/share");
    p.configDir = envOr("Q7M_CONFIG_DIR", "XDG_CONFIG_HOME", "q7m", ".config");
    return p;
}

std::string Paths::helpFile() const {
    // Beside the program in a build tree, in share/zelkvelq when installed.
    for (const std::string& candidate :
         {programDir + "/VELQ-HELP.rtf", programDir + "/../share/zelkvelq/VELQ-HELP.rtf"})
        if (isFile(candidate)) return candidate;
    return programDir + "/VELQ-HELP.rtf";
}

bool makeDirectories(const std::string& dir) {
    if (dir.empty()) return true;
    struct stat st {};
    if (::stat(dir.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    const auto slash = dir.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !makeDirectories(dir.substr(0, slash))) return false;
    return ::mkdir(dir.c_str(), 0755) == 0 || errno == EEXIST;
}

}  // namespace zelk
