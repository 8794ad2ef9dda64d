// link_api.h - the unit link library's 29 entry points as a table of
// function pointers, resolved by name at run time.
#ifndef ZELK_LINK_API_H
#define ZELK_LINK_API_H

#include <cstdint>
#include <string>

namespace zelk {

struct LinkApi {
    std::uint16_t (*InitDLL)(std::int32_t) = nullptr;
    std::int32_t (*DLLShutdown)() = nullptr;
    std::uint16_t (*SetDLLBaud)(std::int32_t) = nullptr;
    void (*DLLCreateIni)() = nullptr;
    std::int32_t (*ClearError)() = nullptr;
    std::uint16_t (*GetUnitVersion)(std::int16_t*) = nullptr;
    std::uint16_t (*GetSystem)(std::uint8_t*) = nullptr;
    std::uint16_t (*SetSystem)(const std::uint8_t*) = nullptr;
    std::uint16_t (*GetAudio)(std::uint8_t*) = nullptr;
    std::uint16_t (*SetAudio)(const std::uint8_t*) = nullptr;
    std::uint16_t (*SetVol)(std::int32_t) = nullptr;
    std::uint16_t (*GetVol)(std::int16_t*) = nullptr;
    std::uint16_t (*SetMute)(std::int32_t) = nullptr;
    std::uint16_t (*GetMute)(std::uint8_t*) = nullptr;
    std::uint16_t (*SelectFormat)(std::int32_t) = nullptr;
    std::uint16_t (*GetFormat)(std::int16_t*) = nullptr;
    std::uint16_t (*SetPink)(std::int32_t, std::int32_t) = nullptr;
    std::uint16_t (*SetPhase)(std::int32_t, std::int32_t) = nullptr;
    std::uint16_t (*SetRT60)(std::int32_t) = nullptr;
    std::uint16_t (*SetProjector)(std::int32_t) = nullptr;
    std::uint16_t (*EnableOBE)() = nullptr;
    std::uint16_t (*BeginGainStream)() = nullptr;
    std::uint16_t (*BeginSlitStream)() = nullptr;
    std::uint16_t (*BeginAzimuthStream)() = nullptr;
    std::uint16_t (*StopStream)() = nullptr;
    std::uint16_t (*GetOptGain)(std::int16_t*) = nullptr;
    std::uint16_t (*GetSingleSlitloss)(std::uint8_t*, std::int16_t*) = nullptr;
    std::uint16_t (*GetOptSlitloss)(std::uint8_t*) = nullptr;
    std::uint16_t (*GetOptAzimuth)(std::uint8_t*) = nullptr;
};

inline constexpr int kLinkEntryPoints = 29;

// Owns a dlopen()ed copy of the library and its resolved table.
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
