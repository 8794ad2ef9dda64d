// link_api.h - the unit link library's 29 entry points as a table of
// function pointers, resolved by name at run time.
#ifndef ZELK_LINK_API_H
#define ZELK_LINK_API_H

#include <cstdint>
#include <string>

#include "q7mslib.h"

namespace zelk {

// Each slot has exactly the type of the library's public prototype, so a
// changed prototype fails to compile here instead of failing at run time.
#define ZELK_LINK_SLOT(name) decltype(&::name) name = nullptr  // NOLINT(bugprone-macro-parentheses): a declarator
struct LinkApi {
    ZELK_LINK_SLOT(InitDLL);
    ZELK_LINK_SLOT(DLLShutdown);
    ZELK_LINK_SLOT(SetDLLBaud);
    ZELK_LINK_SLOT(DLLCreateIni);
    ZELK_LINK_SLOT(ClearError);
    ZELK_LINK_SLOT(GetUnitVersion);
    ZELK_LINK_SLOT(GetSystem);
    ZELK_LINK_SLOT(SetSystem);
    ZELK_LINK_SLOT(GetAudio);
    ZELK_LINK_SLOT(SetAudio);
    ZELK_LINK_SLOT(SetVol);
    ZELK_LINK_SLOT(GetVol);
    ZELK_LINK_SLOT(SetMute);
    ZELK_LINK_SLOT(GetMute);
    ZELK_LINK_SLOT(SelectFormat);
    ZELK_LINK_SLOT(GetFormat);
    ZELK_LINK_SLOT(SetPink);
    ZELK_LINK_SLOT(SetPhase);
    ZELK_LINK_SLOT(SetRT60);
    ZELK_LINK_SLOT(SetProjector);
    ZELK_LINK_SLOT(EnableOBE);
    ZELK_LINK_SLOT(BeginGainStream);
    ZELK_LINK_SLOT(BeginSlitStream);
    ZELK_LINK_SLOT(BeginAzimuthStream);
    ZELK_LINK_SLOT(StopStream);
    ZELK_LINK_SLOT(GetOptGain);
    ZELK_LINK_SLOT(GetSingleSlitloss);
    ZELK_LINK_SLOT(GetOptSlitloss);
    ZELK_LINK_SLOT(GetOptAzimuth);
};
#undef ZELK_LINK_SLOT
static_assert(sizeof(LinkApi) == 29 * sizeof(void (*)()), "one slot per entry point");

inline constexpr int kLinkEntryPoints = 29;

// Owns a loaded copy of the library and its resolved table.
class LinkLibrary {
public:
    LinkLibrary() = default;
    ~LinkLibrary();
    LinkLibrary(const LinkLibrary&) = delete;
    LinkLibrary& operator=(const LinkLibrary&) = delete;

    // Loads the library at `path` and resolves all 29 names.  On failure
    // returns false, leaves nothing loaded and explains in error().
    bool load(const std::string& path);
    void unload();

    bool loaded() const { return handle_ != nullptr; }
    const LinkApi& api() const { return api_; }
    const std::string& error() const { return error_; }

    // Where the editor looks for the library when nothing else is said:
    // $ZELK_Q7MSLIB, then libq7mslib.so beside the program and in ../lib.
    static std::string defaultPath(const std::string& programDir);

private:
    void* handle_ = nullptr;
    LinkApi api_{};
    std::string error_;
};

}  // namespace zelk

#endif
