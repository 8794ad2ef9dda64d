#include "sim_unit.h"

#include <cstdio>
#include <cstring>

namespace q7msim {

namespace {
constexpr std::uint8_t DLE = 0x10, STX = 0x02, ETX = 0x03;
constexpr char kFormats[] = "1ASXDN";
constexpr char kChannels[] = "LPCQRS";

std::string hex(const Bytes& b, std::size_t max = 8) {
    std::string s;
    char h[4];
    for (std::size_t i = 0; i < b.size() && i < max; ++i) {
        std::snprintf(h, sizeof h, i ? " %02X" : "%02X", b[i]);
        s += h;
    }
    if (b.size() > max) s += " ...";
    return s;
}
}  // namespace

bool parseVersion(const std::string& text, int& major, int& minor) {
    int a = 0, b = 0;
    char dot = 0;
    char rest = 0;
    if (std::sscanf(text.c_str(), "%d%c%d%c", &a, &dot, &b, &rest) != 3 || dot != '.') return false;
    if (a < 0 || a > 99 || b < 0 || b > 99) return false;
    major = a;
    minor = b;
    return true;
}

SimUnit::SimUnit(Versions v) : versions(v) { setDefaults(); }

// A believable installed configuration: a 6-track house with a gently
// tuned room curve, small trims and the usual delays.
void SimUnit::setDefaults() {
    system.fill(0);
    system[0] = 0;   // F1 key: optical mono
    system[1] = 0;   // matrix decoding on
    system[3] = 0;   // non-sync: screen channels
    system[4] = 0;   // reader delay 8 quarter frames (2.00 TC frames)
    system[5] = 8;
    system[6] = 2;   // surround delay 20 mS
    system[8] = 0x10;  // fields the editor only carries; DLE, XON and XOFF
    system[10] = 0x11; // values make sure the framing is exercised
    system[11] = 0x13;
    system[12] = 0x05;
    system[13] = 0x80;
    system[24] = 3;  // non-sync trim -3 dB
    system[25] = 1;
    system[26] = 2;
    system[27] = 0x10;
    system[28] = 4;
    system[29] = 0xFF;
    system[30] = 0;  // power on: external 6-track
    for (int i = 31; i < 128; ++i) system[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 3);

    audio.fill(0);
    audio[0] = 0x43;  // last upload: Thu 25/03/04 3:07 PM
    audio[1] = 0xD9;
    audio[2] = 0x47;
    audio[3] = 0x04;
    audio[4] = 0x10;
    audio[5] = 0x55;
    const std::uint8_t trims[6] = {12, 14, 11, 14, 12, 10};
    for (int ch = 0; ch < 6; ++ch) {
        std::uint8_t* rec = &audio[static_cast<std::size_t>(12 + 30 * ch)];
        audio[static_cast<std::size_t>(6 + ch)] = trims[ch];
        for (int b = 0; b < 27; ++b) {
            // a touch of low-end dip and a gentle high-frequency lift
            int v = 12;
            if (b < 3) v = 13;
            if (b > 20) v = 12 - (b - 20) / 2;
            rec[b] = static_cast<std::uint8_t>(v);
        }
        rec[27] = 10;
        rec[28] = ch == 1 || ch == 3 ? 11 : 9;
        rec[29] = 0;
    }
    std::uint8_t* sub = &audio[12 + 30 * 5];
    sub[0] = 10;
    sub[1] = 1;
    sub[2] = 3;
    audio[192] = 12;
    audio[193] = 0;
    for (int i = 194; i < 224; ++i) audio[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(0x10 + i % 7);
}

Bytes SimUnit::image() const {
    Bytes img(system.begin(), system.end());
    img.insert(img.end(), audio.begin(), audio.end());
    return img;
}

bool SimUnit::loadImage(const Bytes& img) {
    if (img.size() < 352) return false;
    std::memcpy(system.data(), img.data(), 128);
    std::memcpy(audio.data(), img.data() + 128, 224);
    return true;
}

Bytes SimUnit::emit(const Bytes& bytes) {
    Bytes out;
    for (std::uint8_t b : bytes) {
        if (garbleOut > 0) {
            --garbleOut;
            b = static_cast<std::uint8_t>(b ^ 0x5A);
        }
        out.push_back(b);
    }
    return out;
}

void SimUnit::sendText(std::vector<std::string> lines, std::size_t valueOffset, Replies& out) {
    if (badText > 0 && valueOffset > 0 && !lines.empty() && lines[0].size() > valueOffset) {
        --badText;
        lines[0][valueOffset] = '?';
    }
    if (dropLine > 0 && !lines.empty()) {
        --dropLine;
        lines.pop_back();
    }
    Bytes bytes;
    for (const auto& l : lines) {
        bytes.insert(bytes.end(), l.begin(), l.end());
        bytes.push_back('\r');
        bytes.push_back('\n');
    }
    out.push_back(emit(bytes));
}

void SimUnit::sendFrame(Bytes payload, Replies& out) {
    if (wrongCode > 0 && !payload.empty()) {
        --wrongCode;
        payload[0] = 0x7E;
    }
    out.push_back(frame(payload));
}

Bytes SimUnit::frame(const Bytes& payload) {
    Bytes bytes = {DLE, STX};
    for (std::uint8_t b : payload) {
        bytes.push_back(b);
        if (b == DLE) bytes.push_back(DLE);
    }
    bytes.push_back(DLE);
    bytes.push_back(ETX);
    return emit(bytes);
}

void SimUnit::receive(const std::uint8_t* data, std::size_t n, Replies& out) {
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t b = data[i];
        switch (rx_) {
        case Rx::Text:
            if (b == DLE && line_.empty()) {
                rx_ = Rx::Dle;
            } else if (b == '\r') {
                const std::string cmd = line_;
                line_.clear();
                if (!cmd.empty()) handleText(cmd, out);
            } else if (b == '\n') {
                line_.clear();  // a line feed abandons a half-received command
            } else if (line_.size() < 64) {
                line_ += static_cast<char>(b);
            }
            break;
        case Rx::Dle:
            if (b == STX) {
                frame_.clear();
                rx_ = Rx::Frame;
            } else {
                rx_ = Rx::Text;
            }
            break;
        case Rx::Frame:
            if (b == DLE) rx_ = Rx::FrameDle;
            else if (frame_.size() < 1024) frame_.push_back(b);
            break;
        case Rx::FrameDle:
            if (b == DLE) {
                frame_.push_back(DLE);
                rx_ = Rx::Frame;
            } else if (b == ETX) {
                rx_ = Rx::Text;
                const Bytes payload = frame_;
                frame_.clear();
                if (!payload.empty()) handleFrame(payload, out);
            } else if (b == STX) {
                frame_.clear();
                rx_ = Rx::Frame;
            } else {
                rx_ = Rx::Text;
                frame_.clear();
            }
            break;
        }
    }
}

std::string SimUnit::channelStatus(int ch) const {
    std::string s(1, kChannels[ch]);
    s += pink[static_cast<std::size_t>(ch)] ? " PINK+" : " PINK-";
    s += phase[static_cast<std::size_t>(ch)] ? " PHASE+" : " PHASE-";
    return s;
}

void SimUnit::handleText(const std::string& cmd, Replies& out) {
    if (auto lost = ignoreText.find(cmd[0]); lost != ignoreText.end() && lost->second > 0) {
        if (--lost->second == 0) ignoreText.erase(lost);
        log("IGNORED TEXT " + cmd);
        return;
    }
    log("TEXT " + cmd);
    if (silent) return;
    const char c = cmd[0];
    const std::string arg = cmd.substr(1);
    char buf[32];
    const std::string ok = "OK", prompt = "Q7M>";

    if (c == 'V') {
        if (!arg.empty()) {
            const int v = std::atoi(arg.c_str());
            if (v >= 0 && v <= 99) volume = v;
        }
        std::snprintf(buf, sizeof buf, "VOL %02d", volume);
        sendText({buf, ok, prompt}, 4, out);
    } else if (c == 'M') {
        if (arg == "+") muted = true;
        if (arg == "-") muted = false;
        sendText({std::string("MUT ") + (muted ? '+' : '-'), ok, prompt}, 4, out);
    } else if (c == 'F') {
        if (arg.size() == 1) {
            if (const char* p = std::strchr(kFormats, arg[0]); p && *p) format = static_cast<int>(p - kFormats);
        }
        sendText({std::string("FMT ") + kFormats[format], ok, prompt}, 4, out);
    } else if ((c == 'P' || c == 'H') && arg.size() == 2) {
        const char* p = std::strchr(kChannels, arg[0]);
        if (p && *p) {
            const auto ch = static_cast<std::size_t>(p - kChannels);
            (c == 'P' ? pink : phase)[ch] = arg[1] == '+';
            if (c == 'P' && arg[1] == '+') rt60 = false;
        }
        std::vector<std::string> lines = {(c == 'P' ? "PNK " : "PHS ") + arg};
        for (int ch = 0; ch < 6; ++ch) lines.push_back(channelStatus(ch));
        lines.push_back(ok);
        sendText(lines, 0, out);
    } else if (c == 'R') {
        rt60 = arg == "+";
        if (rt60) pink.fill(false);
        sendText({std::string("RT6 ") + (rt60 ? '+' : '-'), ok, prompt}, 0, out);
    } else if (c == 'A' && arg.size() == 1) {
        switch (arg[0]) {
        case '1':
        case '2':
            projector = arg[0] - '1';
            sendText({"PRJ " + arg, ok, prompt}, 0, out);
            break;
        case '-':
            streamMode_ = 0;
            obeMode = false;
            sendText({"STR -", ok, prompt}, 0, out);
            break;
        case 'O':
            streamMode_ = 0;
            obeMode = true;
            sendText({"OBE +", ok, prompt}, 0, out);
            break;
        case 'G':
        case 'S':
        case 'Z':
            streamMode_ = static_cast<unsigned char>(arg[0]);
            obeMode = false;
            slitKind_ = 0;
            break;  // streams start without a reply
        default: sendText({"ERR"}, 0, out);
        }
    } else if (c == 'B' && arg.size() == 1 && arg[0] >= '1' && arg[0] <= '4') {
        baudIndex = arg[0] - '1';  // switches at once, no reply
    } else if (c == 'X' && arg.empty()) {
        char v1[32], v2[32], v3[32];
        std::snprintf(v1, sizeof v1, "V%d.%02d.%04d", versions.cpuMajor, versions.cpuMinor, versions.cpuBuild);
        std::snprintf(v2, sizeof v2, "V%d.%02d", versions.dspcMajor, versions.dspcMinor);
        std::snprintf(v3, sizeof v3, "V%d.%02d", versions.dspfMajor, versions.dspfMinor);
        sendText({"Q7M CPU/DSP Versions", v1, v2, v3, ok}, 0, out);
    } else {
        sendText({"ERR " + cmd}, 0, out);
    }
}

void SimUnit::handleFrame(const Bytes& p, Replies& out) {
    const std::uint8_t code = p[0];
    log("FRAME " + hex(p) + " len=" + std::to_string(p.size()));
    if (silent) return;
    if (code == 0x01 && pendingWrite_ == 0) {
        Bytes reply = {0x12};
        reply.insert(reply.end(), system.begin(), system.end());
        sendFrame(reply, out);
    } else if (code == 0x02 && pendingWrite_ == 0) {
        Bytes reply = {0x13};
        reply.insert(reply.end(), audio.begin(), audio.end());
        sendFrame(reply, out);
    } else if (code == 0x0A) {
        pendingWrite_ = 1;
        dataReceived_ = false;
        sendFrame({0x01}, out);
    } else if (code == 0x0B) {
        onAudioWrite();
        pendingWrite_ = 2;
        dataReceived_ = false;
        sendFrame({0x02}, out);
    } else if (code == 0x12 && pendingWrite_ == 1 && p.size() == 129) {
        std::memcpy(incoming_.data(), p.data() + 1, 128);
        dataReceived_ = true;
    } else if (code == 0x13 && pendingWrite_ == 2 && p.size() == 225) {
        std::memcpy(incoming_.data(), p.data() + 1, 224);
        dataReceived_ = true;
    } else if (code == 0x11 && pendingWrite_ != 0) {
        if (dataReceived_) {
            std::uint8_t* stored = pendingWrite_ == 1 ? system.data() : audio.data();
            std::memcpy(stored, incoming_.data(), pendingWrite_ == 1 ? 128 : 224);
            ++blocksStored;
            std::string note;
            if (corruptStore.block == pendingWrite_) {
                std::uint8_t& cell = stored[corruptStore.offset];
                note = " (byte " + std::to_string(corruptStore.offset) + " sent as " + std::to_string(cell);
                cell ^= 0x01;
                note += ", kept as " + std::to_string(cell) + ")";
            }
            log((pendingWrite_ == 1 ? "STORED system block" : "STORED audio block") + note);
            sendFrame({0x21}, out);
        } else {
            sendFrame({0x22}, out);  // nothing to store: refused
        }
        pendingWrite_ = 0;
        dataReceived_ = false;
    } else {
        pendingWrite_ = 0;
    }
}

Bytes SimUnit::streamTick() {
    if (!streaming()) return {};
    const OpticalReader& reader = readers[projector == 0 ? 0 : 1];
    Bytes payload;
    if (streamMode_ == 'G') {
        payload = {0x24};
    } else if (streamMode_ == 'S') {
        // The two tracks' records take turns: "%" left, "&" right.
        payload = {static_cast<std::uint8_t>(slitKind_ == 0 ? 0x25 : 0x26)};
    } else {
        payload = {0x27};
    }
    const Bytes data = streamMode_ == 'G'   ? reader.gainPayload(rng_)
                       : streamMode_ == 'S' ? reader.slitPayload(slitKind_, rng_)
                                            : reader.azimuthPayload(rng_);
    if (streamMode_ == 'S') slitKind_ ^= 1;
    payload.insert(payload.end(), data.begin(), data.end());
    return frame(payload);
}

}  // namespace q7msim
