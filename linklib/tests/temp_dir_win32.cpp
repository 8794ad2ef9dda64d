// The editor test harness's temporary folder and file helpers
// (tests/support/sim_process.h) for the Windows build, where the rest of
// that file (starting q7msim) does not apply.
#include "sim_process.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "temp_folder.h"

namespace q7mtest {

TempDir::TempDir() {
    TempFolder made("q7mtest");
    if (made.path.empty()) throw std::runtime_error("cannot make a temporary folder");
    path_ = made.path;
    made.path.clear();  // kept: this object removes it
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string readFile(const std::string& path) { return slurp(path); }

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

}  // namespace q7mtest
