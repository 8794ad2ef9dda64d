// temp_folder.h - a fresh folder per test, the environment, and reading a
// file whole, alike on Linux and on Windows.
#ifndef Q7M_TESTS_TEMP_FOLDER_H
#define Q7M_TESTS_TEMP_FOLDER_H

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "platform/files.h"

namespace q7mtest {

// Removed with its content at the end of the test.
struct TempFolder {
    std::string path;
    explicit TempFolder(const char* tag = "q7mtest") {
        namespace fs = std::filesystem;
        const auto base = fs::temp_directory_path();
        auto seed = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
        for (int attempt = 0; attempt < 100; ++attempt, seed = seed * 6364136223846793005ULL + 1442695040888963407ULL) {
            const fs::path p = base / (std::string(tag) + "." + std::to_string(seed % 1000000007ULL));
            std::error_code ec;
            if (fs::create_directory(p, ec)) {
                path = p.string();
                return;
            }
        }
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    std::string file(const std::string& name) const { return q7m::platform::joinPath(path, name); }
    long entries() const {
        return static_cast<long>(std::distance(std::filesystem::directory_iterator(path), {}));
    }
};

inline void setEnv(const char* name, const std::string& value) {
#ifdef _WIN32
    ::_putenv_s(name, value.c_str());
#else
    ::setenv(name, value.c_str(), 1);
#endif
}

inline void unsetEnv(const char* name) {
#ifdef _WIN32
    ::_putenv_s(name, "");  // an empty value removes the variable
#else
    ::unsetenv(name);
#endif
}

inline std::string slurp(const std::string& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace q7mtest

#endif
