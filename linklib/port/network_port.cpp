#include "port/network_port.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "port/rates.h"
#include "port/socket.h"

namespace q7m {

namespace {

using Clock = std::chrono::steady_clock;

int msSince(Clock::time_point t) {
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count());
}

}  // namespace

// ---------------------------------------------------------------- connect

namespace {

std::mutex lookupMutex;
NameLookup lookupHook;  // empty: the system's resolver

NameLookup currentLookup() {
    std::lock_guard<std::mutex> lock(lookupMutex);
    return lookupHook;
}

// A lookup under way on its own thread; whoever finishes last frees it.
struct LookupJob {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    PortStatus status;
    std::vector<SocketAddress> found;
};

std::string seconds(int ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", ms / 1000.0);
    return text;
}

// The addresses of the target, found before `deadline` or given up.
PortStatus lookUp(const PortTarget& target, NetClock::time_point deadline, std::vector<SocketAddress>& found) {
    NameLookup lookup = currentLookup();
    // An address written as numbers needs no name service.
    if (!lookup && lookUpAddresses(target.host, target.tcpPort, true, found).ok()) return PortStatus::success();
    found.clear();
    if (!lookup)
        lookup = [](const std::string& host, int port, std::vector<SocketAddress>& out) {
            return lookUpAddresses(host, port, false, out);
        };
    auto job = std::make_shared<LookupJob>();
    try {
        std::thread([job, lookup, host = target.host, port = target.tcpPort] {
            std::vector<SocketAddress> out;
            PortStatus s = lookup(host, port, out);
            std::lock_guard<std::mutex> lock(job->mutex);
            job->status = std::move(s);
            job->found = std::move(out);
            job->finished = true;
            job->done.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        return lookup(target.host, target.tcpPort, found);  // no thread to be had: wait for it here
    }
    std::unique_lock<std::mutex> lock(job->mutex);
    if (!job->done.wait_until(lock, deadline, [&] { return job->finished; })) {
        // The thread runs on until the name service gives up; it must find
        // its code still there.
        keepModuleLoaded();
        return failure(PortFault::NameNotResolved, ETIMEDOUT,
                       "the name service did not answer within " + seconds(target.connectTimeoutMs) + " s");
    }
    found = std::move(job->found);
    return job->status;
}

PortStatus connectFailure(int err) {
    switch (err) {
    case ECONNREFUSED: return failure(PortFault::Refused, err);
    case ETIMEDOUT: return failure(PortFault::ConnectTimeout, err);
    case EHOSTUNREACH:
    case ENETUNREACH:
#ifdef EHOSTDOWN
    case EHOSTDOWN:
#endif
        return failure(PortFault::Unreachable, err);
    default: return failure(PortFault::Io, err);
    }
}

}  // namespace

void setNameLookup(NameLookup lookup) {
    std::lock_guard<std::mutex> lock(lookupMutex);
    lookupHook = std::move(lookup);
}

PortStatus connectTcp(const PortTarget& target, NetClock::time_point deadline, NativeFd& fd, int& elapsedMs) {
    fd = kNoFd;
    if (const int err = socketsReady()) return failure(PortFault::Io, err);
    std::vector<SocketAddress> addresses;
    if (PortStatus s = lookUp(target, deadline, addresses); !s.ok()) return s;
    if (addresses.empty()) return failure(PortFault::NameNotResolved, 0, "it has no address");

    // Connections under way, with when each started.
    std::vector<NativeFd> pending;
    std::vector<Clock::time_point> started;
    auto closeAll = [&] {
        for (const NativeFd s : pending) closeSocket(s);
        pending.clear();
        started.clear();
    };
    PortStatus last = failure(PortFault::ConnectTimeout, ETIMEDOUT);
    std::size_t next = 0;
    Clock::time_point nextStart = Clock::now();
    for (;;) {
        // Start the next address when nothing is under way, or when the
        // ones under way have had their head start.
        while (next < addresses.size() && (pending.empty() || Clock::now() >= nextStart)) {
            const SocketAddress& a = addresses[next++];
            int err = 0;
            const NativeFd s = openStreamSocket(a.address.ss_family, SOCK_STREAM, 0, err);
            if (s == kNoFd) {
                last = failure(PortFault::Io, err);
                continue;
            }
            const auto begun = Clock::now();
            err = connectStart(s, reinterpret_cast<const sockaddr*>(&a.address), a.length);
            if (err == 0) {
                closeAll();
                tuneStream(s);
                fd = s;
                elapsedMs = msSince(begun);
                return PortStatus::success();
            }
            if (err != EINPROGRESS) {
                closeSocket(s);
                last = connectFailure(err);
                continue;
            }
            pending.push_back(s);
            started.push_back(begun);
            nextStart = begun + std::chrono::milliseconds(kNextAddressMs);
            break;
        }
        if (pending.empty()) return last;  // every address failed
        int wait = msLeft(deadline);
        if (wait == 0) {
            closeAll();
            return failure(PortFault::ConnectTimeout, ETIMEDOUT);
        }
        if (next < addresses.size()) wait = std::min(wait, std::max(1, msLeft(nextStart)));
        int err = 0;
        const int which = connectFinishAny(pending.data(), pending.size(), wait, err);
        if (which < 0) continue;
        const auto i = static_cast<std::size_t>(which);
        const NativeFd s = pending[i];
        const auto begun = started[i];
        pending.erase(pending.begin() + which);
        started.erase(started.begin() + which);
        if (err == 0) {
            closeAll();
            tuneStream(s);
            fd = s;
            elapsedMs = msSince(begun);
            return PortStatus::success();
        }
        closeSocket(s);
        last = connectFailure(err);
    }
}

// ---------------------------------------------------------------- common

NetworkPort::NetworkPort(PortTarget target, PortNotes notes) : target_(std::move(target)), notes_(std::move(notes)) {}

NetworkPort::~NetworkPort() { NetworkPort::close(); }

PortStatus NetworkPort::connect() {
    close();
    lastWords_.clear();
    talked_ = false;
    int elapsed = 0;
    PortStatus s = connectTcp(target_, deadline_, fd_, elapsed);
    if (!s.ok()) return s;
    connectMs_ = elapsed;
    // A slow connection means a long round trip: wait longer for replies.
    allowanceMs_ = std::clamp(3 * elapsed, kNetworkAllowanceMs, kNetworkAllowanceMaxMs);
    note("connected to " + target_.host + ":" + std::to_string(target_.tcpPort) + " in " + std::to_string(elapsed) +
         " ms; replies may take " + std::to_string(allowanceMs_) + " ms longer than on a wire");
    return s;
}

PortStatus NetworkPort::connectAndGreet(const std::function<PortStatus()>& greet) {
    const auto busyUntil = std::min(deadline_, Clock::now() + std::chrono::milliseconds(kBusyRetryMs));
    for (;;) {
        PortStatus s = connect();
        if (!s.ok()) return s;
        s = greet();
        if (s.ok()) return s;
        close();
        if (s.fault != PortFault::InUse || msLeft(busyUntil) < 50) return s;
        note("the server is busy (" + s.sentence + "); trying again");
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

bool NetworkPort::close() {
    if (fd_ == kNoFd) return true;
    const NativeFd fd = fd_;
    fd_ = kNoFd;
    return closeSocket(fd);
}

void NetworkPort::waitLineTime(int extraMs) {
    const auto wire = std::chrono::microseconds(static_cast<long>(sinceDrain_ * 10.0 / rate_ * 1e6));
    std::this_thread::sleep_for(wire + std::chrono::milliseconds(kDrainMarginMs + extraMs));
    sinceDrain_ = 0;
}

WriteResult NetworkPort::sendWire(const std::uint8_t* data, std::size_t count, int timeoutMs) {
    if (fd_ == kNoFd) return {0, failure(PortFault::Closed, EBADF)};
    WriteResult w = fdWrite(*io_, fd_, data, count, timeoutMs + allowanceMs_);
    if (w.status.fault == PortFault::Closed) w.status = closedStatus(w.status);
    return w;
}

ReadResult NetworkPort::readWire(std::uint8_t* buffer, std::size_t capacity, int timeoutMs) {
    if (fd_ == kNoFd) return {0, failure(PortFault::Closed, EBADF)};
    return fdRead(*io_, fd_, FdKind::Stream, buffer, capacity, timeoutMs);
}

void NetworkPort::remember(const std::uint8_t* data, std::size_t n) {
    if (talked_) return;  // from then on it is the unit talking
    lastWords_.append(reinterpret_cast<const char*>(data), n);
    if (lastWords_.size() > 80) lastWords_.erase(0, lastWords_.size() - 80);
}

PortStatus NetworkPort::closedStatus(const PortStatus& raw) const {
    PortStatus s = raw;
    // Servers say why they drop a connection in plain text before closing.
    std::string text;
    for (char c : lastWords_) {
        if (c == '\r' || c == '\n') {
            if (!text.empty() && text.back() != ' ') text += ' ';
        } else if (c >= 0x20 && c < 0x7F) {
            text += c;
        } else {
            text.clear();  // only the printable tail counts
        }
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    if (text.size() >= 4) s.sentence = "the server said \"" + text + "\"";
    return s;
}

// ---------------------------------------------------------------- raw TCP

PortStatus TcpPort::open(int bitsPerSecond) {
    if (auto s = rateSupported(bitsPerSecond); !s.ok()) return s;
    rate_ = bitsPerSecond;
    startOpen();
    return connectAndGreet([this] {
        // A server busy with another client accepts, says so and closes at
        // once: watch for that (a round trip or two) before the first
        // command goes out.
        std::string said;
        const int watch = std::min(std::clamp(2 * connectMs_ + 20, kRawGreetingMs, 1000), msLeft(deadline_));
        const bool hungUp = peerHungUp(fd_, watch, said);
        remember(reinterpret_cast<const std::uint8_t*>(said.data()), said.size());
        if (!hungUp) return PortStatus::success();
        PortStatus s = closedStatus(failure(PortFault::Closed, 0));
        if (!s.sentence.empty()) s.fault = PortFault::InUse;
        return s;
    });
}

PortStatus TcpPort::rateSupported(int bitsPerSecond) const {
    return bitsPerSecond == 9600 ? PortStatus::success() : failure(PortFault::RateUnsupported, 0);
}

PortStatus TcpPort::setRate(int bitsPerSecond) { return rateSupported(bitsPerSecond); }

ReadResult TcpPort::read(std::uint8_t* buffer, std::size_t capacity, int timeoutMs) {
    ReadResult r = readWire(buffer, capacity, timeoutMs + allowanceMs_);
    remember(buffer, r.count);
    if (r.status.fault == PortFault::Closed) r.status = closedStatus(r.status);
    return r;
}

WriteResult TcpPort::write(const std::uint8_t* data, std::size_t count, int timeoutMs) {
    talked_ = true;
    WriteResult w = sendWire(data, count, timeoutMs);
    sinceDrain_ += w.written;
    return w;
}

bool TcpPort::purgeReceive() {
    if (fd_ == kNoFd) return false;
    std::uint8_t sink[512];
    for (;;) {
        const ssize_t n = io_->read(fd_, sink, sizeof sink);
        if (n > 0) {
            remember(sink, static_cast<std::size_t>(n));
            continue;
        }
        const int err = n < 0 ? errno : 0;
        if (n < 0 && err == EINTR) continue;
        return n < 0 && (err == EAGAIN || err == EWOULDBLOCK);  // 0: the server closed
    }
}

// ---------------------------------------------------------------- RFC 2217

PortStatus Rfc2217Port::rateSupported(int bitsPerSecond) const {
    return standardRate(bitsPerSecond) ? PortStatus::success() : failure(PortFault::RateUnsupported, EINVAL);
}

PortStatus Rfc2217Port::payOwed(int timeoutMs) {
    if (owed_.empty()) return PortStatus::success();
    const WriteResult w = sendWire(owed_.data(), owed_.size(), timeoutMs);
    owed_.erase(owed_.begin(), owed_.begin() + static_cast<std::ptrdiff_t>(w.written));
    if (!owed_.empty()) return w.status.ok() ? failure(PortFault::TimedOut, 0) : w.status;
    return PortStatus::success();
}

PortStatus Rfc2217Port::sendCommand(const std::vector<std::uint8_t>& wire) {
    if (auto s = payOwed(0); !s.ok()) return s;
    const WriteResult w = sendWire(wire.data(), wire.size(), 0);
    // A command cut short would swallow whatever follows it: the rest is owed.
    if (w.written > 0 && w.written < wire.size()) owed_.assign(wire.begin() + static_cast<std::ptrdiff_t>(w.written), wire.end());
    return w.status;
}

PortStatus Rfc2217Port::pump(int timeoutMs) {
    std::uint8_t raw[512];
    const ReadResult r = readWire(raw, sizeof raw, timeoutMs);
    if (r.count > 0) {
        if (session_.stale() && session_.purgesConfirmed() && purgeDeadline_ != NetClock::time_point{} &&
            Clock::now() > purgeDeadline_) {
            note("the server did not confirm a purge; purging here only from now on");
            session_.givePurgesUp();
        }
        telnet::Received got;
        session_.receive(raw, r.count, got);
        remember(got.heard.data(), got.heard.size());
        data_.insert(data_.end(), got.data.begin(), got.data.end());
        if (!got.replies.empty()) sendCommand(got.replies);  // a failure shows in the next read or write
    }
    if (r.status.fault == PortFault::Closed) return closedStatus(r.status);
    return r.status;
}

PortStatus Rfc2217Port::waitFor(const std::function<bool()>& done, const std::string& what,
                                NetClock::time_point deadline) {
    while (!done()) {
        if (!session_.refused().empty()) return failure(PortFault::Negotiation, 0, "it refused " + session_.refused());
        const int left = msLeft(deadline);
        if (left == 0)
            return failure(PortFault::Negotiation, 0,
                           "it did not confirm " + what + " within " + std::to_string(target_.connectTimeoutMs) + " ms");
        PortStatus s = pump(left);
        if (!s.ok() && s.fault != PortFault::TimedOut) return s;
    }
    return PortStatus::success();
}

PortStatus Rfc2217Port::checkSetting(std::uint8_t command) const {
    if (session_.confirmed(command) == session_.asked(command)) return PortStatus::success();
    return failure(PortFault::SettingMismatch, 0,
                   "asked for " + telnet::settingText(command, session_.asked(command)) + " and confirmed " +
                       telnet::settingText(command, session_.confirmed(command)));
}

PortStatus Rfc2217Port::open(int bitsPerSecond) {
    if (auto s = rateSupported(bitsPerSecond); !s.ok()) return s;
    startOpen();
    return connectAndGreet([&] { return negotiate(bitsPerSecond); });
}

PortStatus Rfc2217Port::negotiate(int bitsPerSecond) {
    session_ = {};
    data_.clear();
    dataPos_ = 0;
    owed_.clear();
    purgeDeadline_ = deadline_;
    marksAnswered_ = true;
    auto fail = [&](PortStatus s) {
        // A server that drops the connection with a message while we set
        // up is busy with another client and says so.
        if (s.fault == PortFault::Closed && !s.sentence.empty()) s.fault = PortFault::InUse;
        note(std::string("negotiation failed: ") + faultName(s.fault) + (s.sentence.empty() ? "" : ": " + s.sentence));
        return s;
    };
    if (auto s = sendCommand(session_.hello()); !s.ok()) return fail(s);
    const auto asked = Clock::now();
    if (auto s = waitFor([&] { return session_.agreed(); }, "BINARY and COM-PORT-OPTION", deadline_); !s.ok())
        return fail(s);
    const int roundTrip = msSince(asked);
    allowanceMs_ = std::clamp(std::max(allowanceMs_, 3 * roundTrip), kNetworkAllowanceMs, kNetworkAllowanceMaxMs);
    if (!target_.logging.empty())
        note("telnet options agreed in " + std::to_string(roundTrip) + " ms: BINARY both ways, COM-PORT-OPTION");

    // The first purge at once: what came so far (a server's greeting, the
    // unit's chatter from the last session) is stale, and so is what comes
    // before the server confirms it.  Then 8 data bits, no parity, one stop
    // bit and no flow control, each confirmed by value, and the rate.
    std::vector<std::uint8_t> wire = session_.askPurge();
    for (const auto& [command, value] : {std::pair{telnet::SET_DATASIZE, std::uint8_t{8}},
                                         std::pair{telnet::SET_PARITY, telnet::NO_PARITY},
                                         std::pair{telnet::SET_STOPSIZE, telnet::STOPSIZE_1},
                                         std::pair{telnet::SET_CONTROL, telnet::CONTROL_NO_FLOW}}) {
        const auto part = session_.ask(command, value);
        wire.insert(wire.end(), part.begin(), part.end());
    }
    if (auto s = sendCommand(wire); !s.ok()) return fail(s);
    const bool checkControl = !target_.ignoreSetControl;
    if (auto s = waitFor(
            [&] {
                return session_.answered(telnet::SET_DATASIZE) && session_.answered(telnet::SET_PARITY) &&
                       session_.answered(telnet::SET_STOPSIZE) && (!checkControl || session_.answered(telnet::SET_CONTROL));
            },
            "8 data bits, no parity, one stop bit and no flow control", deadline_);
        !s.ok())
        return fail(s);
    for (const auto command : {telnet::SET_DATASIZE, telnet::SET_PARITY, telnet::SET_STOPSIZE, telnet::SET_CONTROL}) {
        if (command == telnet::SET_CONTROL && !checkControl) continue;
        if (auto s = checkSetting(command); !s.ok()) return fail(s);
    }
    if (session_.stale()) {
        // Asked before the settings, so a server that confirms purges has
        // normally done so by now; allow it one more round trip.
        const int settle = std::min(std::max(200, 2 * roundTrip), msLeft(deadline_));
        const auto settled = Clock::now();
        while (session_.stale() && msSince(settled) < settle) {
            const PortStatus s = pump(settle - msSince(settled));
            if (!s.ok() && s.fault != PortFault::TimedOut) return fail(s);
        }
        if (session_.stale()) {
            note("the server does not confirm purges; purging here only");
            session_.givePurgesUp();
            data_.clear();  // all of it came before the purge could take effect
        }
    }
    if (auto s = changeRate(bitsPerSecond, deadline_); !s.ok()) return fail(s);
    return PortStatus::success();
}

PortStatus Rfc2217Port::setRate(int bitsPerSecond) {
    return changeRate(bitsPerSecond, Clock::now() + std::chrono::milliseconds(target_.connectTimeoutMs));
}

PortStatus Rfc2217Port::changeRate(int bitsPerSecond, NetClock::time_point deadline) {
    if (fd_ == kNoFd) return failure(PortFault::Closed, EBADF);
    if (auto s = rateSupported(bitsPerSecond); !s.ok()) return s;
    if (auto s = sendCommand(session_.ask(telnet::SET_BAUDRATE, static_cast<std::uint32_t>(bitsPerSecond))); !s.ok())
        return s;
    // No byte may go out before the server runs at the new rate.
    const std::string what = std::to_string(bitsPerSecond) + " bit/s";
    if (auto s = waitFor([&] { return session_.answered(telnet::SET_BAUDRATE); }, what, deadline); !s.ok()) return s;
    if (auto s = checkSetting(telnet::SET_BAUDRATE); !s.ok()) return s;
    rate_ = bitsPerSecond;
    if (!target_.logging.empty()) note("server confirmed " + what);
    return PortStatus::success();
}

ReadResult Rfc2217Port::read(std::uint8_t* buffer, std::size_t capacity, int timeoutMs) {
    ReadResult r;
    if (fd_ == kNoFd) {
        r.status = failure(PortFault::Closed, EBADF);
        return r;
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs + allowanceMs_);
    while (dataPos_ == data_.size()) {
        data_.clear();
        dataPos_ = 0;
        const int left = msLeft(deadline);
        if (left == 0) {
            r.status = failure(PortFault::TimedOut, 0);
            return r;
        }
        const PortStatus s = pump(left);
        if (dataPos_ < data_.size()) break;  // deliver what came, even if the line closed after it
        if (!s.ok() && s.fault != PortFault::TimedOut) {
            r.status = s;
            return r;
        }
    }
    r.count = std::min(capacity, data_.size() - dataPos_);
    std::copy_n(data_.data() + dataPos_, r.count, buffer);
    dataPos_ += r.count;
    return r;
}

WriteResult Rfc2217Port::write(const std::uint8_t* data, std::size_t count, int timeoutMs) {
    talked_ = true;
    WriteResult out;
    if (fd_ == kNoFd) {
        out.status = failure(PortFault::Closed, EBADF);
        return out;
    }
    if (auto s = payOwed(timeoutMs); !s.ok()) {
        out.status = s;
        return out;
    }
    std::vector<std::uint8_t> wire;
    wire.reserve(count + 8);
    telnet::appendEscaped(wire, data, count);
    const WriteResult w = sendWire(wire.data(), wire.size(), timeoutMs);
    out.status = w.status;
    // Count the data bytes whose wire form went out whole; half of an
    // escaped pair makes the other half owed.
    std::size_t used = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t size = data[i] == telnet::IAC ? 2 : 1;
        if (used + size > w.written) {
            if (used < w.written) {
                owed_.assign(1, telnet::IAC);
                out.written = i + 1;
            }
            break;
        }
        used += size;
        out.written = i + 1;
    }
    sinceDrain_ += out.written;
    return out;
}

bool Rfc2217Port::purgeReceive() {
    if (fd_ == kNoFd) return false;
    data_.clear();
    dataPos_ = 0;
    // What is already here is stale; so is what the server sends before it
    // confirms the purge.
    while (pump(0).ok()) {
    }
    data_.clear();
    dataPos_ = 0;
    const bool waits = session_.purgesConfirmed();
    if (!sendCommand(session_.askPurge()).ok()) return false;
    if (waits) purgeDeadline_ = Clock::now() + std::chrono::milliseconds(allowanceMs_ + kNetworkAllowanceMs);
    return true;
}

void Rfc2217Port::drain(int timeoutMs) {
    if (fd_ == kNoFd) return;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs + allowanceMs_);
    payOwed(timeoutMs);
    int extra = 0;
    if (marksAnswered_) {
        // The server answers a TIMING-MARK question (yes or no) after it has
        // handled every byte sent before it.
        if (sendCommand(session_.askMark()).ok()) {
            while (!session_.marked()) {
                const int left = msLeft(deadline);
                if (left == 0) break;
                const PortStatus s = pump(left);
                if (!s.ok() && s.fault != PortFault::TimedOut) break;
            }
        }
        if (!session_.marked()) {
            note("the server does not answer TIMING-MARK; a speed change waits a round trip more");
            session_.giveMarksUp();
            marksAnswered_ = false;
        }
    } else {
        extra = connectMs_;  // the bytes' way to the server
    }
    waitLineTime(extra);
}

}  // namespace q7m
