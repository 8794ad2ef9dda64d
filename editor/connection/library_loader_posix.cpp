// The loader on POSIX systems: dlopen and dlsym.
#include "connection/library_loader.h"

#include <dlfcn.h>
#include <filesystem>

namespace zelk::loader {

void* openLibrary(const std::string& path, std::string& why) {
    void* h = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!h) {
        const char* e = ::dlerror();
        why = e ? e : "unknown error";
    }
    return h;
}

void* findSymbol(void* handle, const char* name) {
    ::dlerror();
    return ::dlsym(handle, name);
}

void closeLibrary(void* handle) { ::dlclose(handle); }

std::string installedLibraryPath(const std::string& programDir) {
    for (const std::string& candidate :
         {programDir + "/libq7mslib.so", programDir + "/../lib/libq7mslib.so",
          programDir + "/../" ZELK_INSTALL_LIBDIR "/libq7mslib.so.1", programDir + "/../lib/libq7mslib.so.1"}) {
        std::error_code ec;
        if (std::filesystem::exists(candidate, ec)) return candidate;
    }
    return "libq7mslib.so.1";  // let the dynamic loader search its usual places
}

}  // namespace zelk::loader
