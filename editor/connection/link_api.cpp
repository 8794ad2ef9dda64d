#include "connection/link_api.h"

#include <cstdlib>

#include "connection/library_loader.h"

namespace zelk {

namespace {

using loader::closeLibrary;
using loader::findSymbol;
using loader::openLibrary;

template <typename Fn>
bool resolve(void* handle, const char* name, Fn& slot, std::string& missing) {
    void* sym = findSymbol(handle, name);
    if (!sym) {
        if (!missing.empty()) missing += ", ";
        missing += name;
        return false;
    }
    slot = reinterpret_cast<Fn>(sym);
    return true;
}

}  // namespace

LinkLibrary::~LinkLibrary() { unload(); }

void LinkLibrary::unload() {
    if (handle_) closeLibrary(handle_);
    handle_ = nullptr;
    api_ = LinkApi{};
}

bool LinkLibrary::load(const std::string& path) {
    unload();
    error_.clear();
    std::string why;
    void* h = openLibrary(path, why);
    if (!h) {
        error_ = "Cannot load the unit link library " + path + ": " + why;
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
        closeLibrary(h);
        error_ = "The unit link library " + path + " lacks the entry points: " + missing;
        return false;
    }
    handle_ = h;
    api_ = a;
    return true;
}

std::string LinkLibrary::defaultPath(const std::string& programDir) {
    if (const char* env = std::getenv("ZELK_Q7MSLIB"); env && *env) return env;
    return loader::installedLibraryPath(programDir);
}

}  // namespace zelk
