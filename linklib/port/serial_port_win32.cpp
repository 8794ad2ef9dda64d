#include "port/serial_port_win32.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/win32_text.h"
#include "port/rates.h"

namespace q7m {

namespace {

// A failure with the system's own error number (GetLastError).
PortStatus windowsFailure(PortFault fault, unsigned long code) {
    PortStatus s = failure(fault, static_cast<int>(code));
    s.systemCode = code != 0;
    return s;
}

constexpr int kDefaultReadMs = 400;  // until the first read sets its own

// Milliseconds one byte (ten bits) takes on the line, rounded up.
DWORD byteMs(int bps) { return bps > 0 ? static_cast<DWORD>((10000 + bps - 1) / bps) : 2; }

bool sameTimeouts(const COMMTIMEOUTS& a, const COMMTIMEOUTS& b) {
    return a.ReadIntervalTimeout == b.ReadIntervalTimeout &&
           a.ReadTotalTimeoutMultiplier == b.ReadTotalTimeoutMultiplier &&
           a.ReadTotalTimeoutConstant == b.ReadTotalTimeoutConstant &&
           a.WriteTotalTimeoutMultiplier == b.WriteTotalTimeoutMultiplier &&
           a.WriteTotalTimeoutConstant == b.WriteTotalTimeoutConstant;
}

}  // namespace

PortFault faultFromOpenError(unsigned long error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_UNIT:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_BAD_NETPATH:
    case ERROR_INVALID_NAME:
    case ERROR_NOT_READY:
    case ERROR_DEVICE_REMOVED: return PortFault::NotFound;
    // A serial port already open elsewhere answers "access denied"; the
    // sentence for it names both causes.
    case ERROR_ACCESS_DENIED: return PortFault::NoPermission;
    case ERROR_SHARING_VIOLATION:
    case ERROR_BUSY:
    case ERROR_PIPE_BUSY:
    case ERROR_DEVICE_IN_USE: return PortFault::InUse;
    case ERROR_INVALID_FUNCTION:
    case ERROR_NOT_SUPPORTED:
    case ERROR_INVALID_PARAMETER:
    case ERROR_DIRECTORY: return PortFault::NotSerial;
    default: return PortFault::Io;
    }
}

PortFault faultFromIoError(unsigned long error) {
    switch (error) {
    // What a USB adapter pulled out during a transfer is reported as.
    case ERROR_DEVICE_REMOVED:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_BAD_COMMAND:
    case ERROR_GEN_FAILURE:
    case ERROR_NOT_READY:
    case ERROR_ACCESS_DENIED:
    case ERROR_INVALID_HANDLE:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_BROKEN_PIPE:
    case ERROR_OPERATION_ABORTED: return PortFault::Closed;
    default: return PortFault::Io;
    }
}

std::wstring devicePathFor(const std::string& device) {
    const std::wstring wide = platform::widen(device);
    if (wide.rfind(L"\\\\", 0) == 0 || wide.rfind(L"//", 0) == 0) return wide;
    return L"\\\\.\\" + wide;
}

COMMTIMEOUTS readTimeouts(int timeoutMs, int bitsPerSecond) {
    COMMTIMEOUTS t{};
    // The interval covers a few bytes' time, at least the timer's tick.
    t.ReadIntervalTimeout = std::max<DWORD>(16, 4 * byteMs(bitsPerSecond));
    t.ReadTotalTimeoutMultiplier = 0;
    t.ReadTotalTimeoutConstant = static_cast<DWORD>(std::max(timeoutMs, 1));
    return t;
}

Win32SerialPort::Win32SerialPort(std::string device) : device_(std::move(device)) {}

Win32SerialPort::~Win32SerialPort() { close(); }

PortStatus Win32SerialPort::rateSupported(int bitsPerSecond) const {
    return standardRate(bitsPerSecond) ? PortStatus::success() : windowsFailure(PortFault::RateUnsupported, 0);
}

PortStatus Win32SerialPort::open(int bitsPerSecond) {
    close();
    // No sharing: the port is this program's alone while it is open.
    // Synchronous I/O; every wait is bounded by the COMMTIMEOUTS.
    HANDLE h = ::CreateFileW(devicePathFor(device_).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD err = ::GetLastError();
        return windowsFailure(faultFromOpenError(err), err);
    }
    auto refuse = [&](PortFault fault, DWORD code) {
        ::CloseHandle(h);
        return windowsFailure(fault, code);
    };
    if (::GetFileType(h) != FILE_TYPE_CHAR) return refuse(PortFault::NotSerial, ERROR_INVALID_FUNCTION);
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(h, &dcb)) {
        const DWORD err = ::GetLastError();
        const PortFault f = faultFromOpenError(err);
        return refuse(f == PortFault::NotSerial ? f : PortFault::Io, err);
    }
    COMMTIMEOUTS timeouts{};
    if (!::GetCommTimeouts(h, &timeouts)) return refuse(PortFault::NotSerial, ::GetLastError());
    ::SetupComm(h, 4096, 4096);  // a hint; drivers may keep their own sizes
    handle_ = h;
    saved_ = dcb;
    savedTimeouts_ = timeouts;
    haveSaved_ = true;
    haveCurrent_ = false;
    if (auto s = setRate(bitsPerSecond); !s.ok()) {
        close();
        return s;
    }
    ::PurgeComm(handle_, PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR);
    return PortStatus::success();
}

PortStatus Win32SerialPort::setRate(int bitsPerSecond) {
    if (!isOpen()) return windowsFailure(PortFault::Closed, ERROR_INVALID_HANDLE);
    if (!standardRate(bitsPerSecond)) return windowsFailure(PortFault::RateUnsupported, 0);
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(handle_, &dcb)) return windowsFailure(PortFault::Io, ::GetLastError());
    // Raw 8N1: every byte passes unchanged.  No flow control of either kind
    // (0x11 and 0x13 occur inside frames), no error character, no NUL
    // stripping, and errors do not stop the port.
    dcb.BaudRate = static_cast<DWORD>(bitsPerSecond);
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fTXContinueOnXoff = TRUE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fAbortOnError = FALSE;
    if (!::SetCommState(handle_, &dcb)) return windowsFailure(PortFault::Io, ::GetLastError());
    rate_ = bitsPerSecond;
    return PortStatus::success();
}

bool Win32SerialPort::useTimeouts(const COMMTIMEOUTS& t) {
    if (haveCurrent_ && sameTimeouts(t, current_)) return true;
    if (!::SetCommTimeouts(handle_, const_cast<COMMTIMEOUTS*>(&t))) return false;
    current_ = t;
    haveCurrent_ = true;
    return true;
}

ReadResult Win32SerialPort::read(std::uint8_t* buffer, std::size_t capacity, int timeoutMs) {
    ReadResult r;
    if (!isOpen()) {
        r.status = windowsFailure(PortFault::Closed, ERROR_INVALID_HANDLE);
        return r;
    }
    COMMTIMEOUTS t = readTimeouts(timeoutMs, rate_);
    if (haveCurrent_) {  // keep the write side as it is
        t.WriteTotalTimeoutMultiplier = current_.WriteTotalTimeoutMultiplier;
        t.WriteTotalTimeoutConstant = current_.WriteTotalTimeoutConstant;
    }
    if (!useTimeouts(t)) {
        const DWORD err = ::GetLastError();
        r.status = windowsFailure(faultFromIoError(err), err);
        return r;
    }
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(capacity, 1u << 16));
    if (!::ReadFile(handle_, buffer, want, &got, nullptr)) {
        const DWORD err = ::GetLastError();
        DWORD errors = 0;
        ::ClearCommError(handle_, &errors, nullptr);
        r.count = got;
        if (got == 0) r.status = windowsFailure(faultFromIoError(err), err);
        return r;
    }
    r.count = got;
    if (got == 0) r.status = windowsFailure(PortFault::TimedOut, 0);
    return r;
}

WriteResult Win32SerialPort::write(const std::uint8_t* data, std::size_t count, int timeoutMs) {
    WriteResult w;
    if (!isOpen()) {
        w.status = windowsFailure(PortFault::Closed, ERROR_INVALID_HANDLE);
        return w;
    }
    COMMTIMEOUTS t = haveCurrent_ ? current_ : readTimeouts(kDefaultReadMs, rate_);
    // The bytes' own time on the line, then the time-out.
    t.WriteTotalTimeoutMultiplier = byteMs(rate_);
    t.WriteTotalTimeoutConstant = static_cast<DWORD>(std::max(timeoutMs, 1));
    if (!useTimeouts(t)) {
        const DWORD err = ::GetLastError();
        w.status = windowsFailure(faultFromIoError(err), err);
        return w;
    }
    while (w.written < count) {
        DWORD sent = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(count - w.written, 1u << 16));
        if (!::WriteFile(handle_, data + w.written, chunk, &sent, nullptr)) {
            const DWORD err = ::GetLastError();
            DWORD errors = 0;
            ::ClearCommError(handle_, &errors, nullptr);
            w.written += sent;
            w.status = windowsFailure(faultFromIoError(err), err);
            return w;
        }
        w.written += sent;
        if (sent < chunk) {  // the write time-out ran out
            w.status = windowsFailure(PortFault::TimedOut, 0);
            return w;
        }
    }
    return w;
}

bool Win32SerialPort::purgeReceive() {
    return isOpen() && ::PurgeComm(handle_, PURGE_RXABORT | PURGE_RXCLEAR);
}

void Win32SerialPort::drain(int timeoutMs) {
    if (!isOpen() || rate_ <= 0) return;
    // FlushFileBuffers waits until the driver has sent what it holds (Wine
    // returns at once); the last byte's time, and a moment for the peer to
    // take it at the old rate, as on the other platforms.
    const auto start = std::chrono::steady_clock::now();
    ::FlushFileBuffers(handle_);
    const auto spent = std::chrono::steady_clock::now() - start;
    const auto rest = std::chrono::milliseconds(8 * byteMs(rate_) + 40) - spent;
    if (rest > std::chrono::milliseconds(0) && spent < std::chrono::milliseconds(timeoutMs)) std::this_thread::sleep_for(rest);
}

bool Win32SerialPort::close() {
    if (!isOpen()) return true;
    HANDLE h = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    // Give the port back as it was found.
    if (haveSaved_) {
        ::SetCommState(h, &saved_);
        ::SetCommTimeouts(h, &savedTimeouts_);
    }
    haveSaved_ = false;
    haveCurrent_ = false;
    return ::CloseHandle(h) != 0;
}

}  // namespace q7m
