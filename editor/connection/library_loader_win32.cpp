// The loader on Windows: LoadLibraryExA and GetProcAddress.  Paths are in
// the C runtime's narrow encoding, which the "A" functions take.
#include "connection/library_loader.h"

#include <filesystem>
#include <windows.h>

#include "platform/win32_text.h"

namespace zelk::loader {

void* openLibrary(const std::string& path, std::string& why) {
    // LOAD_WITH_ALTERED_SEARCH_PATH: the DLL's own folder is searched for
    // what it needs, not the program's.
    HMODULE h = ::LoadLibraryExA(path.c_str(), nullptr,
                                 path.find_first_of("\\/") != std::string::npos ? LOAD_WITH_ALTERED_SEARCH_PATH : 0);
    if (!h) {
        const DWORD err = ::GetLastError();
        why = q7m::platform::windowsErrorText(err) + " (Windows error " + std::to_string(err) + ")";
    }
    return reinterpret_cast<void*>(h);
}

void* findSymbol(void* handle, const char* name) {
    return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(handle), name));
}

void closeLibrary(void* handle) { ::FreeLibrary(static_cast<HMODULE>(handle)); }

std::string installedLibraryPath(const std::string& programDir) {
    // Beside the program, as a Windows installation keeps it.
    constexpr const char* kLibraryName = "libq7mslib.dll";
    const std::string beside = programDir + "\\" + kLibraryName;
    std::error_code ec;
    if (std::filesystem::exists(beside, ec)) return beside;
    return kLibraryName;  // the loader's own search order
}

}  // namespace zelk::loader
