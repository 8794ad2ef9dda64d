#include "connection/link_api.h"

#include <cstdlib>
#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace zelk {

namespace {

// The system's loader, by name: LoadLibrary/GetProcAddress on Windows,
// dlopen/dlsym elsewhere.
#ifdef _WIN32
// Paths are in the C runtime's narrow encoding, which the "A" functions take.
void* openLibrary(const std::string& path, std::string& why) {
    // LOAD_WITH_ALTERED_SEARCH_PATH: the DLL's own folder is searched for
    // what it needs, not the program's.
    HMODULE h = ::LoadLibraryExA(path.c_str(), nullptr,
                                 path.find_first_of("\\/") != std::string::npos ? LOAD_WITH_ALTERED_SEARCH_PATH : 0);
    if (!h) {
        const DWORD err = ::GetLastError();
        char text[512] = {};
        const DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, err, 0,
                                         text, sizeof text, nullptr);
        why = std::string(text, n);
        while (!why.empty() && (why.back() == '\n' || why.back() == '\r' || why.back() == ' ')) why.pop_back();
        why += " (Windows error " + std::to_string(err) + ")";
    }
    return reinterpret_cast<void*>(h);
}
void* findSymbol(void* handle, const char* name) {
    return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(handle), name));
}
void closeLibrary(void* handle) { ::FreeLibrary(static_cast<HMODULE>(handle)); }
constexpr const char* kLibraryName = "libq7mslib.dll";
#else
void* openLibrary(const std::string& path, std::string& why) {
    void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!h) {
        const char* e = dlerror();
        why = e ? e : "unknown error";
    }
    return h;
}
void* findSymbol(void* handle, const char* name) {
    dlerror();
    return dlsym(handle, name);
}
void closeLibrary(void* handle) { dlclose(handle); }
#endif

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

bool exists(const std::string& p) {
    std::error_code ec;
    return std::filesystem::exists(p, ec);
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
#ifdef _WIN32
    // Beside the program, as a Windows installation keeps it.
    if (const std::string beside = programDir + "\\" + kLibraryName; exists(beside)) return beside;
    return kLibraryName;  // the loader's own search order
#endif
    for (const std::string& candidate :
         {programDir + "/libq7mslib.so", programDir + "/../lib/libq7mslib.so",
          programDir + "/../" ZELK_INSTALL_LIBDIR "/libq7mslib.so.1", programDir + "/../lib/libq7mslib.so.1"})
        if (exists(candidate)) return candidate;
    return "libq7mslib.so.1";  // let the dynamic loader search its usual places
}

}  // namespace zelk
