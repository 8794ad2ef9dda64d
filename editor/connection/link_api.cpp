#include "connection/link_api.h"

#include <cstdlib>
#include <dlfcn.h>
#include <sys/stat.h>

namespace zelk {

namespace {

template <typename Fn>
bool resolve(void* handle, const char* name, Fn& slot, std::string& missing) {
    dlerror();
    void* sym = dlsym(handle, name);
    if (!sym) {
        if (!missing.empty()) missing += ", ";
        missing += name;
        return false;
    }
    slot = reinterpret_cast<Fn>(sym);
    return true;
}

bool exists(const std::string& p) {
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0;
}

}  // namespace

LinkLibrary::~LinkLibrary() { unload(); }

void LinkLibrary::unload() {
    if (handle_) dlclose(handle_);
    handle_ = nullptr;
    api_ = LinkApi{};
}

bool LinkLibrary::load(const std::string& path) {
    unload();
    error_.clear();
    void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!h) {
        const char* why = dlerror();
        error_ = "Cannot load the unit link library " + path + ": " + (why ? why : "unknown error");
        return false;
    }
    LinkApi a{};
    std::string missing;
#define Q7M_RESOLVE(name) resolve(h, #name, a.name, missing)
    Q7M_RESOLVE(InitDLL);
    Q7M_RESOLVE(DLLShutdown);
    Q7M_RESOLVE(SetDLLBaud);
    Q7M_RESOLVE(DLLCreateIni);
    Q7M_RESOLVE(ClearError);
    Q7M_RESOLVE(GetUnitVersion);
    Q7M_RESOLVE(GetSystem);
    Q7M_RESOLVE(SetSystem);
    Q7M_RESOLVE(GetAudio);
    Q7M_RESOLVE(SetAudio);
    Q7M_RESOLVE(SetVol);
    Q7M_RESOLVE(GetVol);
    Q7M_RESOLVE(SetMute);
    Q7M_RESOLVE(GetMute);
    Q7M_RESOLVE(SelectFormat);
    Q7M_RESOLVE(GetFormat);
    Q7M_RESOLVE(SetPink);
    Q7M_RESOLVE(SetPhase);
    Q7M_RESOLVE(SetRT60);
    Q7M_RESOLVE(SetProjector);
    Q7M_RESOLVE(EnableOBE);
    Q7M_RESOLVE(BeginGainStream);
    Q7M_RESOLVE(BeginSlitStream);
    Q7M_RESOLVE(BeginAzimuthStream);
    Q7M_RESOLVE(StopStream);
    Q7M_RESOLVE(GetOptGain);
    Q7M_RESOLVE(GetSingleSlitloss);
    Q7M_RESOLVE(GetOptSlitloss);
    Q7M_RESOLVE(GetOptAzimuth);
#undef Q7M_RESOLVE
    if (!missing.empty()) {
        dlclose(h);
        error_ = "The unit link library " + path + " lacks the entry points: " + missing;
        return false;
    }
    handle_ = h;
    api_ = a;
    return true;
}

std::string LinkLibrary::defaultPath(const std::string& programDir) {
    if (const char* env = std::getenv("ZELK_Q7MSLIB"); env && *env) return env;
    for (const std::string& candidate :
         {programDir + "/libq7mslib.so", programDir + "/../lib/libq7mslib.so",
          programDir + "/../" ZELK_INSTALL_LIBDIR "/libq7mslib.so.1", programDir + "/../lib/libq7mslib.so.1"})
        if (exists(candidate)) return candidate;
    return "libq7mslib.so.1";  // let the dynamic loader search its usual places
}

}  // namespace zelk
