#include "port/telnet.h"

namespace q7m::telnet {

void appendEscaped(std::vector<std::uint8_t>& out, const std::uint8_t* data, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        out.push_back(data[i]);
        if (data[i] == IAC) out.push_back(IAC);
    }
}

std::vector<std::uint8_t> command(std::uint8_t verb, std::uint8_t option) { return {IAC, verb, option}; }

std::vector<std::uint8_t> comPort(std::uint8_t cmd, const std::vector<std::uint8_t>& value) {
    std::vector<std::uint8_t> out = {IAC, SB, COM_PORT, cmd};
    appendEscaped(out, value.data(), value.size());
    out.push_back(IAC);
    out.push_back(SE);
    return out;
}

Event Decoder::step(std::uint8_t b) {
    Event e;
    switch (state_) {
    case Plain:
        if (b == IAC) {
            state_ = Iac;
        } else {
            e.kind = Event::Data;
            e.byte = b;
        }
        return e;
    case Iac:
        if (b == IAC) {  // an escaped 0xFF data byte
            state_ = Plain;
            e.kind = Event::Data;
            e.byte = IAC;
        } else if (b == WILL || b == WONT || b == DO || b == DONT) {
            verb_ = b;
            state_ = Verb;
        } else if (b == SB) {
            sub_.clear();
            subOverflow_ = false;
            state_ = Sub;
        } else {
            state_ = Plain;  // NOP, GA, a stray SE, ...: nothing to do
        }
        return e;
    case Verb:
        state_ = Plain;
        e.kind = verb_ == WILL ? Event::Will : verb_ == WONT ? Event::Wont : verb_ == DO ? Event::Do : Event::Dont;
        e.byte = b;
        return e;
    case Sub:
        if (b == IAC) state_ = SubIac;
        else if (sub_.size() < kMaxSub) sub_.push_back(b);
        else subOverflow_ = true;
        return e;
    case SubIac:
        if (b == IAC) {  // an escaped 0xFF inside the subnegotiation
            if (sub_.size() < kMaxSub) sub_.push_back(IAC);
            else subOverflow_ = true;
            state_ = Sub;
            return e;
        }
        // SE ends it; anything else is a broken subnegotiation, ended too.
        state_ = Plain;
        if (!subOverflow_ && !sub_.empty()) {
            e.kind = Event::Sub;
            e.sub = std::move(sub_);
        }
        sub_.clear();
        return e;
    }
    return e;
}

}  // namespace q7m::telnet
