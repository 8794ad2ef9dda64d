// win32_text.h - between the narrow strings the rest of the code uses
// (the C runtime's encoding: the ANSI code page, UTF-8 when the program's
// manifest asks for it) and the wide strings of the Windows API, and the
// system's words for an error number.  Windows only.
#ifndef Q7M_PLATFORM_WIN32_TEXT_H
#define Q7M_PLATFORM_WIN32_TEXT_H

#include <string>

namespace q7m::platform {

std::wstring widen(const std::string& text);
std::string narrow(const std::wstring& text);

// The system's own text for a Win32 error number, on one line without the
// closing full stop ("The system cannot find the file specified").
std::string windowsErrorText(unsigned long code);

}  // namespace q7m::platform

#endif
