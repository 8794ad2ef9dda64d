#include "port/network_port.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <thread>

#include "port/socket.h"

namespace q7m {

namespace {

using Clock = std::chrono::steady_clock;

int msSince(Clock::time_point t) {
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count());
}

int msLeft(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

PortStatus failure(PortFault fault, int code, std::string detail = {}) {
    PortStatus s;
    s.fault = fault;
    s.code = code;
    s.sentence = std::move(detail);
    return s;
}

bool standardRate(int bps) { return bps == 9600 || bps == 19200 || bps == 38400 || bps == 57600; }

}  // namespace

// ---------------------------------------------------------------- connect

PortStatus connectTcp(const PortTarget& target, NativeFd& fd, int& elapsedMs) {
    fd = kNoFd;
    if (const int err = socketsReady()) return failure(PortFault::Io, err);
    const auto start = Clock::now();
    const auto deadline = start + std::chrono::milliseconds(target.connectTimeoutMs);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(target.tcpPort);
    const int rc = ::getaddrinfo(target.host.c_str(), service.c_str(), &hints, &found);
    if (rc != 0) {
#ifdef EAI_SYSTEM
        if (rc == EAI_SYSTEM) return failure(PortFault::Io, errno);
#endif
        return failure(PortFault::NameNotResolved, 0, ::gai_strerror(rc));
    }
    PortStatus last = failure(PortFault::ConnectTimeout, ETIMEDOUT);
    for (addrinfo* a = found; a; a = a->ai_next) {
        int err = 0;
        const NativeFd s = openStreamSocket(a->ai_family, a->ai_socktype, a->ai_protocol, err);
        if (s == kNoFd) {
            last = failure(PortFault::Io, err);
            continue;
        }
        err = connectStart(s, a->ai_addr, static_cast<socklen_t>(a->ai_addrlen));
        if (err == EINPROGRESS) err = connectFinish(s, msLeft(deadline));
        if (err == 0) {
            tuneStream(s);
            ::freeaddrinfo(found);
            fd = s;
            elapsedMs = msSince(start);
            return PortStatus::success();
        }
        closeSocket(s);
        if (err == ECONNREFUSED) last = failure(PortFault::Refused, err);
        else if (err == ETIMEDOUT || err == EHOSTUNREACH || err == ENETUNREACH
#ifdef EHOSTDOWN
                 || err == EHOSTDOWN
#endif
        )
            last = failure(PortFault::ConnectTimeout, err);
        else last = failure(PortFault::Io, err);
        if (msLeft(deadline) == 0) break;
    }
    ::freeaddrinfo(found);
    return last;
}

// ---------------------------------------------------------------- common

NetworkPort::NetworkPort(PortTarget target, PortNotes notes) : target_(std::move(target)), notes_(std::move(notes)) {}

NetworkPort::~NetworkPort() { NetworkPort::close(); }

PortStatus NetworkPort::connect() {
    close();
    lastWords_.clear();
    talked_ = false;
    int elapsed = 0;
    PortStatus s = connectTcp(target_, fd_, elapsed);
    if (!s.ok()) return s;
    connectMs_ = elapsed;
    // A slow connection means a long round trip: wait longer for replies.
    allowanceMs_ = std::clamp(3 * elapsed, kNetworkAllowanceMs, kNetworkAllowanceMaxMs);
    note("connected to " + target_.host + ":" + std::to_string(target_.tcpPort) + " in " + std::to_string(elapsed) +
         " ms; replies may take " + std::to_string(allowanceMs_) + " ms longer than on a wire");
    return s;
}

PortStatus NetworkPort::connectAndGreet(const std::function<PortStatus()>& greet) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(kBusyRetryMs);
    for (;;) {
        PortStatus s = connect();
        if (!s.ok()) return s;
        s = greet();
        if (s.ok()) return s;
        close();
        if (s.fault != PortFault::InUse || msLeft(deadline) < 50) return s;
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

void NetworkPort::drain(int timeoutMs) {
    if (fd_ == kNoFd) return;
    // Until the server has taken our bytes (nothing left unacknowledged in
    // the socket, where the system tells), then their time on the serial
    // line at the current rate.
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs + allowanceMs_);
    while (unsentBytes(fd_) > 0 && Clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    const auto wire = std::chrono::microseconds(static_cast<long>(sinceDrain_ * 10.0 / rate_ * 1e6));
    std::this_thread::sleep_for(wire + std::chrono::milliseconds(40));
    sinceDrain_ = 0;
}

WriteResult NetworkPort::sendWire(const std::uint8_t* data, std::size_t count, int timeoutMs) {
    if (fd_ == kNoFd) return {0, failure(PortFault::Closed, EBADF)};
    WriteResult w = fdWrite(systemIo(FdKind::Stream), fd_, data, count, timeoutMs + allowanceMs_);
    if (w.status.fault == PortFault::Closed) w.status = closedStatus(w.status);
    return w;
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
    return connectAndGreet([this] {
        // A server busy with another client accepts, says so and closes at
        // once: watch for that (a round trip or two) before the first
        // command goes out.
        std::string said;
        const bool hungUp = peerHungUp(fd_, std::clamp(2 * connectMs_ + 20, kRawGreetingMs, 1000), said);
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
    if (fd_ == kNoFd) return {0, failure(PortFault::Closed, EBADF)};
    ReadResult r = fdRead(systemIo(FdKind::Stream), fd_, FdKind::Stream, buffer, capacity, timeoutMs + allowanceMs_);
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
        const ssize_t n = socketRecv(fd_, sink, sizeof sink);
        if (n > 0) {
            remember(sink, static_cast<std::size_t>(n));
            continue;
        }
        const int err = n < 0 ? socketErrno() : 0;
        if (n < 0 && err == EINTR) continue;
        return n < 0 && (err == EAGAIN || err == EWOULDBLOCK);  // 0: the server closed
    }
}

// ---------------------------------------------------------------- RFC 2217

PortStatus Rfc2217Port::rateSupported(int bitsPerSecond) const {
    return standardRate(bitsPerSecond) ? PortStatus::success() : failure(PortFault::RateUnsupported, EINVAL);
}

PortStatus Rfc2217Port::sendCommand(const std::vector<std::uint8_t>& wire) {
    const WriteResult w = sendWire(wire.data(), wire.size(), 0);
    return w.status;
}

void Rfc2217Port::handle(const telnet::Event& e) {
    using telnet::Event;
    auto decline = [&](std::uint8_t verb, std::uint8_t option) {
        if (std::find(answered_.begin(), answered_.end(), option) != answered_.end()) return;
        answered_.push_back(option);
        sendCommand(telnet::command(verb, option));
    };
    switch (e.kind) {
    case Event::Will:
        if (e.byte == telnet::BINARY) serverWillBinary_ = true;
        else if (e.byte != telnet::SGA && e.byte != telnet::COM_PORT) decline(telnet::DONT, e.byte);
        break;
    case Event::Do:
        if (e.byte == telnet::BINARY) serverDoBinary_ = true;
        else if (e.byte == telnet::COM_PORT) serverDoComPort_ = true;
        else if (e.byte != telnet::SGA) decline(telnet::WONT, e.byte);
        break;
    case Event::Wont:
        if (e.byte == telnet::BINARY) refused_ = "BINARY (server to us)";
        break;
    case Event::Dont:
        if (e.byte == telnet::BINARY) refused_ = "BINARY (us to server)";
        if (e.byte == telnet::COM_PORT) refused_ = "COM-PORT-OPTION";
        break;
    case Event::Sub: {
        if (e.sub.size() < 2 || e.sub[0] != telnet::COM_PORT) break;
        const int cmd = e.sub[1] - telnet::kServerReply;
        if (cmd >= telnet::SET_BAUDRATE && cmd <= telnet::SET_CONTROL) {
            ++confirmed_[cmd];
            if (cmd == telnet::SET_BAUDRATE && e.sub.size() >= 6)
                confirmedBaud_ = (std::uint32_t{e.sub[2]} << 24) | (std::uint32_t{e.sub[3]} << 16) |
                                 (std::uint32_t{e.sub[4]} << 8) | e.sub[5];
        } else if (cmd == telnet::PURGE_DATA && purgesPending_ > 0) {
            --purgesPending_;
        }
        // Line and modem state notifications and flow control are not
        // needed by the unit.
        break;
    }
    default: break;
    }
}

PortStatus Rfc2217Port::pump(int timeoutMs) {
    std::uint8_t raw[512];
    const ReadResult r = fdRead(systemIo(FdKind::Stream), fd_, FdKind::Stream, raw, sizeof raw, timeoutMs);
    for (std::size_t i = 0; i < r.count; ++i) {
        const telnet::Event e = decoder_.step(raw[i]);
        if (e.kind == telnet::Event::Data) {
            remember(&e.byte, 1);
            if (purgesPending_ > 0 && Clock::now() > purgeDeadline_) {
                note("the server did not confirm a purge; purging here only from now on");
                purgesPending_ = 0;
                purgeConfirms_ = false;
            }
            if (purgesPending_ == 0) data_.push_back(e.byte);  // else: received before the purge, stale
        } else if (e.kind != telnet::Event::None) {
            handle(e);
        }
    }
    if (r.status.fault == PortFault::Closed) return closedStatus(r.status);
    return r.status;
}

PortStatus Rfc2217Port::waitFor(const std::function<bool()>& done, const char* what) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(target_.connectTimeoutMs);
    while (!done()) {
        if (!refused_.empty()) return failure(PortFault::Negotiation, 0, "it refused " + refused_);
        const int left = msLeft(deadline);
        if (left == 0)
            return failure(PortFault::Negotiation, 0,
                           std::string("it did not confirm ") + what + " within " +
                               std::to_string(target_.connectTimeoutMs) + " ms");
        PortStatus s = pump(left);
        if (!s.ok() && s.fault != PortFault::TimedOut) return s;
    }
    return PortStatus::success();
}

PortStatus Rfc2217Port::open(int bitsPerSecond) {
    if (auto s = rateSupported(bitsPerSecond); !s.ok()) return s;
    return connectAndGreet([&] { return negotiate(bitsPerSecond); });
}

PortStatus Rfc2217Port::negotiate(int bitsPerSecond) {
    decoder_ = {};
    data_.clear();
    dataPos_ = 0;
    serverWillBinary_ = serverDoBinary_ = serverDoComPort_ = false;
    refused_.clear();
    answered_.clear();
    std::fill(std::begin(confirmed_), std::end(confirmed_), 0);
    purgesPending_ = 0;
    purgeConfirms_ = true;
    auto fail = [&](PortStatus s) {
        // A server that drops the connection with a message while we set
        // up is busy with another client and says so.
        if (s.fault == PortFault::Closed && !s.sentence.empty()) s.fault = PortFault::InUse;
        note(std::string("negotiation failed: ") + faultName(s.fault) + (s.sentence.empty() ? "" : ": " + s.sentence));
        return s;
    };
    std::vector<std::uint8_t> hello;
    for (auto part : {telnet::command(telnet::WILL, telnet::BINARY), telnet::command(telnet::DO, telnet::BINARY),
                      telnet::command(telnet::WILL, telnet::SGA), telnet::command(telnet::DO, telnet::SGA),
                      telnet::command(telnet::WILL, telnet::COM_PORT)})
        hello.insert(hello.end(), part.begin(), part.end());
    if (auto s = sendCommand(hello); !s.ok()) return fail(s);
    const auto asked = Clock::now();
    if (auto s = waitFor([&] { return serverDoComPort_ && serverDoBinary_ && serverWillBinary_; },
                         "BINARY and COM-PORT-OPTION");
        !s.ok())
        return fail(s);
    const int roundTrip = msSince(asked);
    allowanceMs_ = std::clamp(std::max(allowanceMs_, 3 * roundTrip), kNetworkAllowanceMs, kNetworkAllowanceMaxMs);
    if (!target_.logging.empty())
        note("telnet options agreed in " + std::to_string(roundTrip) + " ms: BINARY both ways, COM-PORT-OPTION");

    // 8 data bits, no parity, one stop bit, no flow control, and a first
    // purge (which tells whether this server confirms purges), then the rate.
    const int before[6] = {0, confirmed_[1], confirmed_[2], confirmed_[3], confirmed_[4], confirmed_[5]};
    for (const auto& cmd : {telnet::comPort(telnet::SET_DATASIZE, {8}), telnet::comPort(telnet::SET_PARITY, {telnet::NO_PARITY}),
                     telnet::comPort(telnet::SET_STOPSIZE, {telnet::STOPSIZE_1}),
                     telnet::comPort(telnet::SET_CONTROL, {telnet::CONTROL_NO_FLOW}),
                     telnet::comPort(telnet::PURGE_DATA, {telnet::PURGE_RECEIVE})})
        if (auto s = sendCommand(cmd); !s.ok()) return fail(s);
    purgesPending_ = 1;
    purgeDeadline_ = Clock::now() + std::chrono::milliseconds(target_.connectTimeoutMs);
    if (auto s = waitFor(
            [&] {
                return confirmed_[2] > before[2] && confirmed_[3] > before[3] && confirmed_[4] > before[4] &&
                       (target_.ignoreSetControl || confirmed_[5] > before[5]);
            },
            "8 data bits, no parity, one stop bit and no flow control");
        !s.ok())
        return fail(s);
    if (purgesPending_ > 0) {
        // Sent before the settings, so a server that confirms purges has
        // normally done so by now; allow it one more round trip.
        const auto settled = Clock::now();
        while (purgesPending_ > 0 && msSince(settled) < std::max(200, 2 * roundTrip)) {
            const PortStatus s = pump(std::max(200, 2 * roundTrip) - msSince(settled));
            if (!s.ok() && s.fault != PortFault::TimedOut) return fail(s);
        }
        if (purgesPending_ > 0) {
            note("the server does not confirm purges; purging here only");
            purgesPending_ = 0;
            purgeConfirms_ = false;
        }
    }
    if (auto s = setRate(bitsPerSecond); !s.ok()) return fail(s);
    return PortStatus::success();
}

PortStatus Rfc2217Port::setRate(int bitsPerSecond) {
    if (fd_ == kNoFd) return failure(PortFault::Closed, EBADF);
    if (auto s = rateSupported(bitsPerSecond); !s.ok()) return s;
    const auto bps = static_cast<std::uint32_t>(bitsPerSecond);
    const int before = confirmed_[telnet::SET_BAUDRATE];
    if (auto s = sendCommand(telnet::comPort(telnet::SET_BAUDRATE,
                                             {static_cast<std::uint8_t>(bps >> 24), static_cast<std::uint8_t>(bps >> 16),
                                              static_cast<std::uint8_t>(bps >> 8), static_cast<std::uint8_t>(bps)}));
        !s.ok())
        return s;
    // No byte may go out before the server runs at the new rate.
    const std::string what = std::to_string(bitsPerSecond) + " bit/s";
    if (auto s = waitFor([&] { return confirmed_[telnet::SET_BAUDRATE] > before; }, what.c_str()); !s.ok()) return s;
    if (confirmedBaud_ != bps)
        return failure(PortFault::Negotiation, 0,
                       "it was asked for " + what + " and reports " + std::to_string(confirmedBaud_) + " bit/s");
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
    std::vector<std::uint8_t> wire;
    wire.reserve(count + 8);
    telnet::appendEscaped(wire, data, count);
    const WriteResult w = sendWire(wire.data(), wire.size(), timeoutMs);
    // Count the data bytes whose wire form went out whole.
    WriteResult out;
    out.status = w.status;
    std::size_t used = 0;
    for (std::size_t i = 0; i < count; ++i) {
        used += data[i] == telnet::IAC ? 2 : 1;
        if (used > w.written) break;
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
    if (!sendCommand(telnet::comPort(telnet::PURGE_DATA, {telnet::PURGE_RECEIVE})).ok()) return false;
    if (purgeConfirms_) {
        ++purgesPending_;
        purgeDeadline_ = Clock::now() + std::chrono::milliseconds(allowanceMs_ + kNetworkAllowanceMs);
    }
    return true;
}

}  // namespace q7m
