#include "serial_link.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/system.h"
#include "profile.h"

namespace q7m {

// ---------------------------------------------------------------- trace

LineTrace::LineTrace() {
    if (const char* path = std::getenv("Q7M_TRACE"); path && *path) file_.open(path);
}

void LineTrace::bytes(const char* direction, const std::uint8_t* data, std::size_t n) {
    if (!file_.isOpen() || n == 0) return;
    std::string line = platform::traceTimestamp() + " " + direction;
    char hex[4];
    for (std::size_t i = 0; i < n; ++i) {
        std::snprintf(hex, sizeof hex, " %02X", data[i]);
        line += hex;
    }
    line += '\n';
    file_.append(line);
}

void LineTrace::note(const std::string& text) {
    if (!file_.isOpen()) return;
    file_.append(platform::traceTimestamp() + " -- " + text + "\n");
}

// ---------------------------------------------------------------- port

SerialLink::SerialLink()
    : factory_([this](const PortTarget& t) { return makePort(t, [this](const std::string& n) { trace_.note(n); }); }) {}

SerialLink::~SerialLink() { close(); }

void SerialLink::noteFailure(const char* what, const PortStatus& status) {
    lastStatus_ = status;
    lastStatus_.sentence = explainFault(mapping_, status);
    if (!trace_.enabled()) return;
    if (status.fault == PortFault::TimedOut) {
        trace_.note(std::string(what) + " " + portName + ": timed-out, nothing within " +
                    std::to_string(what[0] == 'r' ? kByteTimeoutMs : kWriteTimeoutMs) + " ms");
        return;
    }
    std::string line = std::string(what) + " " + portName + ": " + faultName(status.fault);
    if (status.code) line += " (" + codeText(status) + ")";
    trace_.note(line + ": " + lastStatus_.sentence);
}

bool SerialLink::open(const std::string& name) {
    portName = name;
    if (port_) close();
    // A new port starts a new conversation: whatever half-finished reply the
    // receiver held belongs to the old one (a unit switched off mid-frame
    // would otherwise keep every later reply from completing).
    rx = Receiver{};
    rx.reset();
    lastStatus_ = {};

    mapping_ = {};
    mapping_.name = name;
    if (name.size() > 3 && name.compare(0, 3, "COM") == 0) mapping_ = mapPort(std::atoi(name.c_str() + 3));
    else mapping_.target = parsePortTarget(name);

    PortStatus status;
    switch (mapping_.target.kind) {
    case PortTarget::Kind::None: status.fault = PortFault::NotMapped; break;
    case PortTarget::Kind::Invalid: status.fault = PortFault::BadAddress; break;
    default:
        port_ = factory_(mapping_.target);
        if (!port_) status.fault = PortFault::BadAddress;
        else status = port_->open(kBaudRates[baudIndex]);
    }
    if (!status.ok()) {
        port_.reset();
        noteFailure("open", status);
        return false;
    }
    trace_.note("open " + name + " (" + port_->describe() + ") at " + std::to_string(kBaudRates[baudIndex]));
    // What arrived before this program spoke (a server's greeting, the
    // unit's chatter from the last session) is no reply to anything.
    purgeReceive();
    return true;
}

int SerialLink::close() {
    if (!port_) return 0;
    trace_.note("close " + portName);
    dropPending();
    const bool ok = port_->close();
    port_.reset();
    return ok ? 1 : 0;
}

PortStatus SerialLink::rateSupported(int index) const {
    PortStatus s;
    if (index < 0 || index > 3) {
        s.fault = PortFault::RateUnsupported;
    } else {
        if (port_) s = port_->rateSupported(kBaudRates[index]);
        else if (auto p = factory_(mapping_.target)) s = p->rateSupported(kBaudRates[index]);
    }
    if (!s.ok()) s.sentence = explainFault(mapping_, s);
    return s;
}

bool SerialLink::setBaudIndex(int index) {
    if (index < 0 || index > 3) return false;
    if (port_) port_->drain(kWriteTimeoutMs);
    baudIndex = index;
    const auto kind = mapping_.target.kind;
    if (isOpen() && (kind == PortTarget::Kind::Socket || kind == PortTarget::Kind::Rfc2217)) {
        // A network port changes speed on its open connection: a new
        // connection right after the old one is often refused by the server
        // while it still releases the device.
        const PortStatus s = port_->setRate(kBaudRates[index]);
        if (s.ok()) trace_.note("speed " + portName + ": " + std::to_string(kBaudRates[index]));
        else noteFailure("speed", s);  // not looked at further; the next command reports
        return true;
    }
    close();
    open(portName);  // result deliberately not looked at; the next command reports
    return true;
}

void SerialLink::dropPending() { pendingPos_ = pendingLen_ = 0; }

int SerialLink::purgeReceive() {
    rx.reset();
    const std::size_t dropped = pendingLen_ - pendingPos_;
    dropPending();
    if (!isOpen()) return 0;
    if (trace_.enabled()) trace_.note("purge (" + std::to_string(dropped) + " buffered bytes dropped)");
    return port_->purgeReceive() ? 1 : 0;
}

int SerialLink::resetLink() {
    purgeReceive();
    const std::uint8_t lf = LF;
    writeRaw(&lf, 1);
    return purgeReceive();
}

std::size_t SerialLink::writeRaw(const std::uint8_t* data, std::size_t count) {
    if (!isOpen() || count == 0) return 0;
    const WriteResult w = port_->write(data, count, kWriteTimeoutMs);
    trace_.bytes("TX", data, w.written);
    if (!w.status.ok()) noteFailure("write", w.status);
    return w.written;
}

std::optional<std::uint8_t> SerialLink::readByte() {
    if (pendingPos_ < pendingLen_) return pending_[pendingPos_++];
    if (!isOpen()) return std::nullopt;
    const ReadResult r = port_->read(pending_, sizeof pending_, kByteTimeoutMs);
    if (r.count > 0) {
        trace_.bytes("RX", pending_, r.count);
        pendingLen_ = r.count;
        pendingPos_ = 1;
        return pending_[0];
    }
    // A time-out and a line that went away look alike to the protocol (no
    // byte); the trace and lastStatus() tell them apart.
    noteFailure("read", r.status);
    return std::nullopt;
}

void SerialLink::createIni() {
    static constexpr int table[4][3] = {{12, 2, 20}, {6, 2, 4}, {15, 3, 5}, {25, 5, 10}};
    static constexpr const char* keys[3] = {"SR_ReadInterval", "SR_ReadMultiplier", "SR_ReadConstant"};
    Profile ini(iniPath());
    if (!ini.load()) return;  // never overwrite a file we could not read
    for (int i = 0; i < 4; ++i) {
        const std::string suffix = i == 0 ? "" : std::to_string(kBaudRates[i]);
        for (int k = 0; k < 3; ++k) ini.set("Serial", keys[k] + suffix, std::to_string(table[i][k]));
    }
    ini.set("Serial95", "SR_ReadInterval", "16");
    ini.set("Serial95", "SR_ReadMultiplier", "6");
    ini.set("Serial95", "SR_ReadConstant", "15");
    ini.save();
}

// ---------------------------------------------------------------- protocol

std::size_t SerialLink::readUntil(RxResult done, std::uint8_t* buffer) {
    for (;;) {
        const auto b = readByte();
        if (!b) return 0;
        if (rx.feed(*b) == done) {
            const auto n = static_cast<std::size_t>(rx.rxLength);
            std::memcpy(buffer, rx.rxBuffer.data(), n);
            buffer[n] = 0;
            return n;
        }
    }
}

std::size_t SerialLink::readLines(std::uint8_t* buffer, int wanted) {
    rx.rxLinesWanted = wanted;
    return readUntil(RX_LINES_DONE, buffer);
}

std::size_t SerialLink::readFrame(std::uint8_t* buffer) { return readUntil(RX_FRAME_DONE, buffer); }

bool SerialLink::writeFrame(const std::uint8_t* payload, std::size_t length) {
    const std::size_t n = buildFrame(payload, length, txBuffer, sizeof txBuffer);
    if (n == 0) return false;
    return writeRaw(txBuffer, n) == n;
}

}  // namespace q7m
