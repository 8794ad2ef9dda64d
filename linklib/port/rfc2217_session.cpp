#include "port/rfc2217_session.h"

namespace q7m::telnet {

namespace {

std::string numbered(const char* what, std::uint32_t value) { return std::string(what) + " " + std::to_string(value); }

}  // namespace

std::string settingText(std::uint8_t command, std::uint32_t value) {
    switch (command) {
    case SET_BAUDRATE: return std::to_string(value) + " bit/s";
    case SET_DATASIZE: return std::to_string(value) + " data bits";
    case SET_PARITY:
        switch (value) {
        case 1: return "no parity";
        case 2: return "odd parity";
        case 3: return "even parity";
        case 4: return "mark parity";
        case 5: return "space parity";
        default: return numbered("parity setting", value);
        }
    case SET_STOPSIZE:
        switch (value) {
        case 1: return "one stop bit";
        case 2: return "two stop bits";
        case 3: return "one and a half stop bits";
        default: return numbered("stop bit setting", value);
        }
    case SET_CONTROL:
        switch (value) {
        case 1: return "no flow control";
        case 2: return "XON/XOFF flow control";
        case 3: return "hardware flow control";
        default: return numbered("flow control setting", value);
        }
    default: return numbered("setting", value);
    }
}

std::vector<std::uint8_t> Session::hello() {
    askedBinary_ = askedSga_ = askedComPort_ = true;
    std::vector<std::uint8_t> out;
    for (auto part : {command(WILL, BINARY), command(DO, BINARY), command(WILL, SGA), command(DO, SGA),
                      command(WILL, COM_PORT)})
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

std::vector<std::uint8_t> Session::ask(std::uint8_t cmd, std::uint32_t value) {
    if (cmd < SET_BAUDRATE || cmd > SET_CONTROL) return {};
    ++outstanding_[cmd];
    asked_[cmd] = value;
    if (cmd == SET_BAUDRATE)
        return comPort(cmd, {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
                             static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)});
    return comPort(cmd, {static_cast<std::uint8_t>(value)});
}

std::vector<std::uint8_t> Session::askPurge() {
    if (purgeConfirms_) ++purgesOutstanding_;
    return comPort(PURGE_DATA, {PURGE_RECEIVE});
}

void Session::givePurgesUp() {
    purgeConfirms_ = false;
    purgesOutstanding_ = 0;
    firstPurgeDone_ = true;
}

std::vector<std::uint8_t> Session::askMark() {
    ++marksOutstanding_;
    return command(DO, TIMING_MARK);
}

void Session::receive(const std::uint8_t* wire, std::size_t count, Received& out) {
    for (std::size_t i = 0; i < count; ++i) {
        const Event e = decoder_.step(wire[i]);
        if (e.kind == Event::Data) {
            out.heard.push_back(e.byte);
            if (!stale()) out.data.push_back(e.byte);
        } else if (e.kind != Event::None) {
            handle(e, out);
        }
    }
}

// RFC 854: a request that is not agreed to gets its refusal, and a
// refusal is never answered.  Each is refused once: a server repeating a
// request does not start a loop.
void Session::refuse(std::uint8_t verb, std::uint8_t option, Received& out) {
    const std::size_t slot = (verb == DONT ? 0u : 256u) + option;
    if (refusals_.test(slot)) return;
    refusals_.set(slot);
    const auto wire = command(verb, option);
    out.replies.insert(out.replies.end(), wire.begin(), wire.end());
}

void Session::handle(const Event& e, Received& out) {
    switch (e.kind) {
    case Event::Will:  // the server offers to do something
        if (e.byte == BINARY && askedBinary_) serverWillBinary_ = true;
        else if (e.byte == SGA && askedSga_) {
        } else if (e.byte == TIMING_MARK && marksOutstanding_ > 0) --marksOutstanding_;
        else refuse(DONT, e.byte, out);  // a server offering the COM-PORT client's part is refused too
        break;
    case Event::Do:  // the server asks us to do something
        if (e.byte == BINARY && askedBinary_) serverDoBinary_ = true;
        else if (e.byte == COM_PORT && askedComPort_) serverDoComPort_ = true;
        else if (e.byte == SGA && askedSga_) {
        } else refuse(WONT, e.byte, out);
        break;
    case Event::Wont:
        if (e.byte == BINARY && askedBinary_) refused_ = "BINARY (server to us)";
        else if (e.byte == TIMING_MARK && marksOutstanding_ > 0) --marksOutstanding_;
        break;
    case Event::Dont:
        if (e.byte == BINARY && askedBinary_) refused_ = "BINARY (us to server)";
        else if (e.byte == COM_PORT && askedComPort_) refused_ = "COM-PORT-OPTION";
        break;
    case Event::Sub: {
        if (e.sub.size() < 2 || e.sub[0] != COM_PORT || e.sub[1] < kServerReply) break;
        const int cmd = e.sub[1] - kServerReply;
        if (cmd >= SET_BAUDRATE && cmd <= SET_CONTROL) {
            if (outstanding_[cmd] == 0) break;  // a notice nobody asked for
            --outstanding_[cmd];
            std::uint32_t value = 0;
            if (cmd == SET_BAUDRATE) {
                if (e.sub.size() >= 6)
                    value = (std::uint32_t{e.sub[2]} << 24) | (std::uint32_t{e.sub[3]} << 16) |
                            (std::uint32_t{e.sub[4]} << 8) | e.sub[5];
            } else if (e.sub.size() >= 3) {
                value = e.sub[2];
            }
            confirmed_[cmd] = value;
        } else if (cmd == PURGE_DATA && purgesOutstanding_ > 0) {
            --purgesOutstanding_;
            firstPurgeDone_ = true;
        }
        // Line and modem state notices are not needed by the unit.
        break;
    }
    default: break;
    }
}

}  // namespace q7m::telnet
