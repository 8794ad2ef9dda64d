// fuzz_check.h - what the fuzz targets share: a check that stops the run
// with the input that broke it, and a scratch folder on a memory file
// system for the readers that take a path.
#ifndef Q7M_FUZZ_CHECK_H
#define Q7M_FUZZ_CHECK_H

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

// A broken property: libFuzzer reports the abort as a crash and keeps the
// input under crash-<sha1>.
#define FUZZ_CHECK(cond, ...)                                                         \
    do {                                                                              \
        if (!(cond)) {                                                                \
            std::fprintf(stderr, "fuzz check failed at %s:%d: %s\n  ", __FILE__, __LINE__, #cond); \
            std::fprintf(stderr, __VA_ARGS__);                                        \
            std::fprintf(stderr, "\n");                                               \
            std::abort();                                                             \
        }                                                                             \
    } while (0)

namespace q7mfuzz {

// A folder of this process for the readers that take a path: inside
// $Q7M_FUZZ_SCRATCH when set (scripts/fuzz.sh makes that folder and removes
// it afterwards), otherwise on /dev/shm when there is one (no disk writes,
// no fsync cost) or in $TMPDIR or /tmp, removed at a normal exit.
inline const std::string& scratchDir() {
    static char made[256];
    static const std::string dir = [] {
        if (const char* given = std::getenv("Q7M_FUZZ_SCRATCH"); given && *given) {
            // One folder per process: parallel workers must not share files.
            std::string own = std::string(given) + "/" + std::to_string(getpid());
            if (mkdir(own.c_str(), 0700) != 0) std::abort();
            return own;
        }
        const char* tmp = std::getenv("TMPDIR");
        const std::string base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : (tmp ? tmp : "/tmp");
        std::snprintf(made, sizeof made, "%s/q7mfuzz.XXXXXX", base.c_str());
        if (!mkdtemp(made)) std::abort();
        std::atexit([] { std::system((std::string("rm -rf '") + made + "'").c_str()); });
        return std::string(made);
    }();
    return dir;
}

inline void writeWhole(const std::string& path, std::string_view bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) std::abort();
    std::fclose(f);
}

}  // namespace q7mfuzz

#endif
