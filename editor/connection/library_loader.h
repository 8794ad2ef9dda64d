// library_loader.h - the system's loader, by name: opening a shared
// library, finding one of its symbols, closing it, and where the library
// lives beside an installed program.  One file per platform
// (library_loader_posix.cpp, library_loader_win32.cpp).
#ifndef ZELK_CONNECTION_LIBRARY_LOADER_H
#define ZELK_CONNECTION_LIBRARY_LOADER_H

#include <string>

namespace zelk::loader {

// The library at `path`, or null with the system's reason in `why`.
void* openLibrary(const std::string& path, std::string& why);
// The symbol `name` of an open library, or null.
void* findSymbol(void* handle, const char* name);
void closeLibrary(void* handle);

// Where the library is looked for when nothing else is said: beside the
// program and in the install prefix, else the bare name for the system's
// own search.
std::string installedLibraryPath(const std::string& programDir);

}  // namespace zelk::loader

#endif
