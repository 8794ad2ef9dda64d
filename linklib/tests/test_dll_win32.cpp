// libq7mslib.dll as a Windows program meets it: loaded by name from the
// program's folder, each of the 29 entry points resolved by name, nothing
// else exported, and no DLL of the compiler's runtime needed (a DLL that
// imports libstdc++-6.dll fails to load on a machine without it, and says
// nothing).
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "q7mslib.h"

namespace {

const std::vector<std::string> kEntryPoints = {
    "InitDLL",         "DLLShutdown",     "SetDLLBaud",      "DLLCreateIni",       "ClearError",
    "GetUnitVersion",  "GetSystem",       "SetSystem",       "GetAudio",           "SetAudio",
    "SetVol",          "GetVol",          "SetMute",         "GetMute",            "SelectFormat",
    "GetFormat",       "SetPink",         "SetPhase",        "SetRT60",            "SetProjector",
    "EnableOBE",       "BeginGainStream", "BeginSlitStream", "BeginAzimuthStream", "StopStream",
    "GetOptGain",      "GetSingleSlitloss", "GetOptSlitloss", "GetOptAzimuth"};

std::wstring besideThisProgram(const wchar_t* name) {
    wchar_t self[MAX_PATH];
    const DWORD n = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self, n);
    return path.substr(0, path.find_last_of(L"\\/") + 1) + name;
}

struct Library {
    HMODULE module = ::LoadLibraryW(besideThisProgram(L"libq7mslib.dll").c_str());
    ~Library() {
        if (module) ::FreeLibrary(module);
    }
    // The loaded image's headers.
    const IMAGE_NT_HEADERS* headers() const {
        auto base = reinterpret_cast<const BYTE*>(module);
        auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
        return reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    }
    template <typename T>
    const T* at(DWORD rva) const {
        return reinterpret_cast<const T*>(reinterpret_cast<const BYTE*>(module) + rva);
    }
    std::vector<std::string> exportedNames() const {
        const auto& dir = headers()->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
        if (dir.VirtualAddress == 0) return {};
        const auto* exports = at<IMAGE_EXPORT_DIRECTORY>(dir.VirtualAddress);
        const auto* names = at<DWORD>(exports->AddressOfNames);
        std::vector<std::string> out;
        for (DWORD i = 0; i < exports->NumberOfNames; ++i) out.emplace_back(at<char>(names[i]));
        return out;
    }
    DWORD exportedFunctions() const {
        const auto& dir = headers()->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
        return dir.VirtualAddress ? at<IMAGE_EXPORT_DIRECTORY>(dir.VirtualAddress)->NumberOfFunctions : 0;
    }
    std::vector<std::string> importedDlls() const {
        const auto& dir = headers()->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        std::vector<std::string> out;
        if (dir.VirtualAddress == 0) return out;
        for (const auto* d = at<IMAGE_IMPORT_DESCRIPTOR>(dir.VirtualAddress); d->Name != 0; ++d) {
            std::string name = at<char>(d->Name);
            std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
            out.push_back(name);
        }
        return out;
    }
};

}  // namespace

TEST(Dll, LoadsByNameAndResolvesEachEntryPoint) {
    Library lib;
    ASSERT_NE(lib.module, nullptr) << "LoadLibrary failed, error " << ::GetLastError();
    for (const auto& name : kEntryPoints)
        EXPECT_NE(reinterpret_cast<void*>(::GetProcAddress(lib.module, name.c_str())), nullptr) << name;
    EXPECT_EQ(::GetProcAddress(lib.module, "queryPlatform"), nullptr);

    // A call through a resolved name reaches the library: without InitDLL
    // a command is refused as "not initialised", no port touched.
    auto getVersion = reinterpret_cast<decltype(&GetUnitVersion)>(
        reinterpret_cast<void*>(::GetProcAddress(lib.module, "GetUnitVersion")));
    ASSERT_NE(getVersion, nullptr);
    int16_t versions[7] = {};
    EXPECT_EQ(getVersion(versions), LINK_ERR_INIT | LINK_ERR_TEXT_COMMAND);
}

TEST(Dll, ExportsExactlyTheTwentyNineNames) {
    Library lib;
    ASSERT_NE(lib.module, nullptr);
    std::vector<std::string> names = lib.exportedNames();
    std::sort(names.begin(), names.end());
    std::vector<std::string> expected = kEntryPoints;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
    EXPECT_EQ(lib.exportedFunctions(), 29u) << "no entry point exported by number only";
}

TEST(Dll, NeedsNoRuntimeDllOfTheCompiler) {
    Library lib;
    ASSERT_NE(lib.module, nullptr);
    const std::set<std::string> system = {"kernel32.dll", "msvcrt.dll", "ws2_32.dll", "advapi32.dll", "user32.dll",
                                          "ntdll.dll"};
    for (const auto& dll : lib.importedDlls()) {
        EXPECT_TRUE(system.count(dll) || dll.rfind("api-ms-win-", 0) == 0) << "imports " << dll;
        EXPECT_EQ(dll.find("libstdc++"), std::string::npos);
        EXPECT_EQ(dll.find("libgcc"), std::string::npos);
        EXPECT_EQ(dll.find("libwinpthread"), std::string::npos);
    }
}
