#include "unit_link.h"

#include <cstdio>
#include <cstring>

#include "platform/system.h"

#include "q7mslib.h"

namespace q7m {

namespace {

constexpr std::uint16_t CTX_TEXT = LINK_ERR_TEXT_COMMAND;
constexpr std::uint16_t CTX_STREAM = LINK_ERR_STREAM;
constexpr char kFormatLetters[] = "1ASXDN";
constexpr char kChannelLetters[] = "LPCQRS";
constexpr char kStreamLetters[] = "-GSZO";
constexpr int kMeasurementReads = 5;

// Message codes of the framed dialect: the first payload byte.
constexpr std::uint8_t kAskSystem = 0x01;       // to the unit: send the system block
constexpr std::uint8_t kAskAudio = 0x02;        // to the unit: send the audio block (then 0x00)
constexpr std::uint8_t kSystemData = 0x12;      // the system block's bytes follow, either way
constexpr std::uint8_t kAudioData = 0x13;       // the audio block's bytes follow, either way
constexpr std::uint8_t kAnnounceSystem = 0x0A;  // to the unit: a system block write comes
constexpr std::uint8_t kAnnounceAudio = 0x0B;   // to the unit: an audio block write comes (then 0x00, 0x00)
constexpr std::uint8_t kReadyForSystem = 0x01;  // from the unit: send the system block
constexpr std::uint8_t kReadyForAudio = 0x02;   // from the unit: send the audio block
constexpr std::uint8_t kEndOfBlock = 0x11;      // to the unit: the block write is complete
constexpr std::uint8_t kAccepted = 0x21;        // from the unit: the block is stored

// Measurement records: their codes and their lengths with the code.
constexpr std::uint8_t kGainRecord = 0x24;        // "$"
constexpr std::uint8_t kSlitFirstRecord = 0x25;   // "%"
constexpr std::uint8_t kSlitSecondRecord = 0x26;  // "&"
constexpr std::uint8_t kAzimuthRecord = 0x27;
constexpr std::size_t kGainLength = 3;
constexpr std::size_t kSlitLength = 12;
constexpr std::size_t kAzimuthLength = 29;

// Lines of a text reply: most commands, pink noise and phase (which
// answer for every channel), the version query.
constexpr int kReplyLines = 3;
constexpr int kChannelReplyLines = 8;
constexpr int kVersionReplyLines = 5;

// Where a text reply's value starts ("VOL 70": the characters after "VOL ").
constexpr std::size_t kReplyValueAt = 4;

// Decimal value of the characters [b, e): leading blanks skipped, an
// optional sign, digits up to the first other character.
std::int16_t decimalValue(const std::uint8_t* b, const std::uint8_t* e) {
    while (b < e && (*b == ' ' || *b == '\t')) ++b;
    bool negative = false;
    if (b < e && (*b == '-' || *b == '+')) negative = (*b++ == '-');
    long v = 0;
    while (b < e && *b >= '0' && *b <= '9' && v < 100000) v = v * 10 + (*b++ - '0');
    if (negative) v = -v;
    if (v > 32767) v = 32767;
    if (v < -32768) v = -32768;
    return static_cast<std::int16_t>(v);
}

const std::uint8_t* findByte(const std::uint8_t* from, const std::uint8_t* end, std::uint8_t b) {
    for (; from < end; ++from)
        if (*from == b) return from;
    return nullptr;
}

}  // namespace

std::uint16_t parseUnitVersion(const std::uint8_t* reply, std::size_t length, std::int16_t versions[7]) {
    struct Item {
        std::uint8_t open, close;
    };
    static constexpr Item order[7] = {{'V', '.'}, {'.', '.'}, {'.', CR}, {'V', '.'}, {'.', CR}, {'V', '.'}, {'.', CR}};
    const std::uint8_t* end = reply + length;
    const std::uint8_t* firstV = findByte(reply, end, 'V');
    if (!firstV) return LINK_ERR_BAD_REPLY;
    const std::uint8_t* pos = firstV + 1;
    for (int k = 0; k < 7; ++k) {
        const std::uint8_t* open = findByte(pos, end, order[k].open);
        if (!open) return LINK_ERR_BAD_REPLY;
        const std::uint8_t* close = findByte(open + 1, end, order[k].close);
        if (!close || close == open + 1) return LINK_ERR_BAD_REPLY;
        if (close - open - 1 > 4) {
            versions[k] = decimalValue(open + 1, open + 3);
            pos = open + 2;
            if (k + 1 < 7) versions[++k] = 0;  // the next number is not parsed
            continue;
        }
        versions[k] = decimalValue(open + 1, close);
        pos = close;
    }
    return 0;
}

PlatformInfo queryPlatform() {
    PlatformInfo info;
    const platform::SystemInfo system = platform::identifySystem();
    // Windows NT and the POSIX systems the port layer is written for (which
    // count as the NT family) are supported; 9x-family systems cannot run
    // this library.
    info.supported = system.family != platform::SystemInfo::Family::Unknown;
    info.ntFamily = info.supported;
    return info;
}

std::uint16_t UnitLink::fail(std::uint16_t cause, std::uint16_t context) {
    linkError = static_cast<std::uint16_t>(cause | context);
    return linkError;
}

std::uint16_t UnitLink::text(const char* cmd, std::size_t length, int lines) {
    if (serial.writeRaw(reinterpret_cast<const std::uint8_t*>(cmd), length) == 0) return LINK_ERR_TRANSMIT;
    replyLength_ = 0;
    if (lines > 0) {
        replyLength_ = serial.readLines(reply_, lines);
        if (replyLength_ == 0) return LINK_ERR_RECEIVE;
    }
    return 0;
}

// ---------------------------------------------------------------- lifecycle

std::uint16_t UnitLink::initDll(std::int32_t port) {
    platformFamily = queryPlatform();
    if (!platformFamily.supported) return linkError = LINK_ERR_PLATFORM;

    portNumber = static_cast<std::int16_t>(port);
    if (portNumber == 0) portNumber = 1;
    linkError = 0;

    std::uint16_t cause = 0;
    if (!serial.open("COM" + std::to_string(portNumber))) {
        cause = LINK_ERR_PORT;
    } else {
        connected = true;
        std::uint8_t muted = 0;
        if (getMute(&muted) == 0) return 0;
    }
    linkError = static_cast<std::uint16_t>(linkError | cause | LINK_ERR_INIT);
    connected = false;
    serial.close();
    return linkError;
}

std::int32_t UnitLink::shutdown() {
    connected = false;
    return serial.close();
}

std::uint16_t UnitLink::setDllBaud(std::int32_t index) {
    linkError = 0;
    const auto i = static_cast<std::int16_t>(index);
    if (!connected) {
        linkError = LINK_ERR_INIT | CTX_TEXT;
    } else if (i < 0 || i > 3) {
        linkError = LINK_ERR_RANGE | CTX_TEXT;
    } else if (const PortStatus rate = serial.rateSupported(i); !rate.ok()) {
        // The port cannot follow (a raw TCP server's speed is fixed): the
        // unit is not told to change, so both ends stay where they are.
        serial.trace().note("speed change to " + std::to_string(kBaudRates[i]) + " refused: " + rate.sentence);
        return linkError = LINK_ERR_RANGE | CTX_TEXT;
    } else {
        const char cmd[3] = {'B', static_cast<char>('1' + i), '\r'};
        if (serial.writeRaw(reinterpret_cast<const std::uint8_t*>(cmd), sizeof cmd) == 0)
            linkError = LINK_ERR_TRANSMIT | CTX_TEXT;
    }
    serial.setBaudIndex(i);
    serial.resetLink();
    return linkError;
}

std::int32_t UnitLink::clearError() { return serial.resetLink(); }

std::uint16_t UnitLink::getUnitVersion(std::int16_t versions[7]) {
    linkError = 0;
    if (!connected) return fail(LINK_ERR_INIT, CTX_TEXT);
    if (auto c = text("X\r", 2, kVersionReplyLines)) return fail(c, CTX_TEXT);
    if (auto c = parseUnitVersion(reply_, replyLength_, versions)) return fail(c, CTX_TEXT);
    return 0;
}

// ---------------------------------------------------------------- blocks

std::uint16_t UnitLink::blockRead(std::uint8_t request0, bool twoByteRequest, std::uint8_t code, std::size_t size,
                                  std::uint8_t* out, std::uint16_t context) {
    linkError = 0;
    if (!connected) return fail(LINK_ERR_INIT, context);
    const std::uint8_t request[2] = {request0, 0x00};
    if (!serial.writeFrame(request, twoByteRequest ? 2 : 1)) return fail(LINK_ERR_TRANSMIT, context);
    const std::size_t n = serial.readFrame(frame_);
    if (n != size + 1) return fail(LINK_ERR_RECEIVE, context);
    if (frame_[0] != code) return fail(LINK_ERR_BAD_REPLY, context);
    std::memcpy(out, frame_ + 1, size);
    return 0;
}

std::uint16_t UnitLink::blockWrite(const std::uint8_t* announce, std::size_t announceLength, std::uint8_t ready,
                                   std::uint8_t code, const std::uint8_t* block, std::size_t size,
                                   std::uint16_t context) {
    linkError = 0;
    if (!connected) return fail(LINK_ERR_INIT, context);
    if (!serial.writeFrame(announce, announceLength)) return fail(LINK_ERR_TRANSMIT, context);
    if (serial.readFrame(frame_) == 0) return fail(LINK_ERR_RECEIVE, context);
    if (frame_[0] != ready) return fail(LINK_ERR_BAD_REPLY, context);
    std::uint8_t data[1 + Q7M_AUDIO_BLOCK_SIZE];
    data[0] = code;
    std::memcpy(data + 1, block, size);
    if (!serial.writeFrame(data, size + 1)) return fail(LINK_ERR_TRANSMIT, context);
    serial.writeFrame(&kEndOfBlock, 1);
    // A missing acceptance fails the code check, not the read.
    if (serial.readFrame(frame_) == 0 || frame_[0] != kAccepted) return fail(LINK_ERR_BAD_REPLY, context);
    return 0;
}

std::uint16_t UnitLink::getSystem(std::uint8_t* block) {
    return blockRead(kAskSystem, false, kSystemData, Q7M_SYSTEM_BLOCK_SIZE, block, LINK_ERR_SYSTEM_BLOCK);
}

std::uint16_t UnitLink::getAudio(std::uint8_t* block) {
    return blockRead(kAskAudio, true, kAudioData, Q7M_AUDIO_BLOCK_SIZE, block, LINK_ERR_AUDIO_BLOCK);
}

std::uint16_t UnitLink::setSystem(const std::uint8_t* block) {
    const std::uint8_t announce[1] = {kAnnounceSystem};
    return blockWrite(announce, 1, kReadyForSystem, kSystemData, block, Q7M_SYSTEM_BLOCK_SIZE, LINK_ERR_SYSTEM_BLOCK);
}

std::uint16_t UnitLink::setAudio(const std::uint8_t* block) {
    const std::uint8_t announce[3] = {kAnnounceAudio, 0x00, 0x00};
    return blockWrite(announce, 3, kReadyForAudio, kAudioData, block, Q7M_AUDIO_BLOCK_SIZE, LINK_ERR_AUDIO_BLOCK);
}

// ---------------------------------------------------------------- live commands

std::uint16_t UnitLink::setVol(std::int32_t volume) {
    linkError = 0;
    if (!connected) return fail(LINK_ERR_INIT, CTX_TEXT);
    // Two digits go on the line: anything else would send "V10" for 100 or
    // "V-5" for -5, a level the caller never asked for.
    const auto level = static_cast<std::int16_t>(volume);
    if (level < 0 || level > 99) return fail(LINK_ERR_RANGE, CTX_TEXT);
    char digits[16];
    std::snprintf(digits, sizeof digits, "%02d", static_cast<int>(level));
    const char cmd[4] = {'V', digits[0], digits[1], '\r'};
    if (auto c = text(cmd, sizeof cmd, kReplyLines)) return fail(c, CTX_TEXT);
    return 0;
}

std::uint16_t UnitLink::getVol(std::int16_t* volume) {
    linkError = 0;
    if (!connected) return fail(LINK_ERR_INIT, CTX_TEXT);
    if (auto c = text("V\r", 2, kReplyLines)) return fail(c, CTX_TEXT);
    if (replyLength_ < kReplyValueAt + 2) return fail(LINK_ERR_BAD_REPLY, CTX_TEXT);  // too short to hold the value
    // The value is read like any decimal field (" 7" and "7x" are 7), but
    // two characters without a digit are not a volume of 0: reporting 0
    // would pull the fader down and end up in backups.
    const std::uint8_t* b = reply_ + kReplyValueAt;
    const std::uint8_t* e = reply_ + kReplyValueAt + 2;
    while (b < e && (*b == ' ' || *b == '\t')) ++b;
    if (b < e && (*b == '-' || *b == '+')) ++b;
    if (b == e || *b < '0' || *b > '9') return fail(LINK_ERR_BAD_REPLY, CTX_TEXT);
    *volume = decimalValue(reply_ + kReplyValueAt, e);
    return 0;
}

std::uint16_t UnitLink::setMute(std::int32_t flag) {
    linkError = 0;
    if (!connected) return fail(LINK_ERR_INIT, CTX_TEXT);
    const char cmd[3] = {'M', static_cast<std::uint8_t>(flag) ? '+' : '-', '\r'};
    if (auto c = text(cmd, sizeof cmd, kReplyLines)) return fail(c, CTX_TEXT);
    return 0;
}

std::uint16_t UnitLink::getMute(std::uint8_t* flag) {
    linkError = 0;
    if (!connected) return fail(LINK_ERR_INIT, CTX_TEXT);
    if (auto c = text("M\r", 2, kReplyLines)) return fail(c, CTX_TEXT);
    if (replyLength_ <= kReplyValueAt) return fail(LINK_ERR_BAD_REPLY, CTX_TEXT);
    if (reply_[kReplyValueAt] == '+') *flag = 1;
    else if (reply_[kReplyValueAt] == '-') *flag = 0;
    return 0;
}

std::uint16_t UnitLink::selectFormat(std::int32_t format) {
    linkError = 0;
    if (!connected) return fail(LINK_ERR_INIT, CTX_TEXT);
    const auto i = static_cast<std::int16_t>(format);
    if (i < 0 || i > 5) return fail(LINK_ERR_RANGE, CTX_TEXT);
    const char cmd[3] = {'F', kFormatLetters[i], '\r'};
    if (auto c = text(cmd, sizeof cmd, kReplyLines)) return fail(c, CTX_TEXT);
    return 0;
}

std::uint16_t UnitLink::getFormat(std::int16_t* format) {
    linkError = 0;
    if (!connected) return fail(LINK_ERR_INIT, CTX_TEXT);
    if (auto c = text("F\r", 2, kReplyLines)) return fail(c, CTX_TEXT);
    if (replyLength_ <= kReplyValueAt) return fail(LINK_ERR_BAD_REPLY, CTX_TEXT);
    const char* hit = reply_[kReplyValueAt] ? std::strchr(kFormatLetters, reply_[kReplyValueAt]) : nullptr;
    if (!hit) {
        *format = -1;
        return fail(CTX_TEXT, CTX_TEXT);
    }
    *format = static_cast<std::int16_t>(hit - kFormatLetters);
    return 0;
}

std::uint16_t UnitLink::setPink(std::int32_t channel, std::int32_t on) {
    linkError = 0;
    if (!connected) return fail(LINK_ERR_INIT, CTX_TEXT);
    const auto ch = static_cast<std::int16_t>(channel);
    if (ch < 0 || ch > 5) return fail(LINK_ERR_RANGE, CTX_TEXT);
    const char cmd[4] = {'P', kChannelLetters[ch], static_cast<std::uint8_t>(on) ? '+' : '-', '\r'};
    if (auto c = text(cmd, sizeof cmd, kChannelReplyLines)) return fail(c, CTX_TEXT);
    return 0;
}

std::uint16_t UnitLink::setPhase(std::int32_t channel, std::int32_t on) {
    linkError = 0;
    if (!connected) return fail(LINK_ERR_INIT, CTX_TEXT);
    const auto ch = static_cast<std::int16_t>(channel);
    if (ch < 0 || ch > 5) return fail(LINK_ERR_RANGE, CTX_TEXT);
    const char cmd[4] = {'H', kChannelLetters[ch], static_cast<std::uint8_t>(on) ? '+' : '-', '\r'};
    if (auto c = text(cmd, sizeof cmd, kChannelReplyLines)) return fail(c, CTX_TEXT);
    return 0;
}

std::uint16_t UnitLink::setRT60(std::int32_t on) {
    linkError = 0;
    if (!connected) return fail(LINK_ERR_INIT, CTX_TEXT);
    const char cmd[3] = {'R', static_cast<std::uint8_t>(on) ? '+' : '-', '\r'};
    if (auto c = text(cmd, sizeof cmd, kReplyLines)) return fail(c, CTX_TEXT);
    return 0;
}

std::uint16_t UnitLink::setProjector(std::int32_t projector) {
    linkError = 0;
    if (!connected) return fail(LINK_ERR_INIT, CTX_TEXT);
    const char cmd[3] = {'A', static_cast<std::int16_t>(projector) ? '2' : '1', '\r'};
    if (auto c = text(cmd, sizeof cmd, kReplyLines)) return fail(c, CTX_TEXT);
    return 0;
}

std::uint16_t UnitLink::streamCommand(int mode) {
    linkError = 0;
    if (!connected) return fail(LINK_ERR_INIT, CTX_STREAM);
    const char cmd[3] = {'A', kStreamLetters[mode], '\r'};
    const int lines = (mode == 0 || mode == 4) ? kReplyLines : 0;
    if (auto c = text(cmd, sizeof cmd, lines)) return fail(c, CTX_STREAM);
    return 0;
}

// ---------------------------------------------------------------- measurements

std::size_t UnitLink::measurement(std::uint8_t codeA, std::uint8_t codeB, std::size_t length) {
    for (int read = 0; read < kMeasurementReads; ++read) {
        const std::size_t n = serial.readFrame(frame_);
        if (n == length && (frame_[0] == codeA || frame_[0] == codeB)) return n;
    }
    return 0;
}

std::uint16_t UnitLink::getOptGain(std::int16_t* gain) {
    serial.purgeReceive();
    linkError = 0;
    if (!connected) return fail(LINK_ERR_INIT, CTX_STREAM);
    if (!measurement(kGainRecord, kGainRecord, kGainLength)) return fail(LINK_ERR_NO_DATA, CTX_STREAM);
    *gain = static_cast<std::int16_t>(frame_[1] | (frame_[2] << 8));
    return 0;
}

std::uint16_t UnitLink::getSingleSlitloss(std::uint8_t* record, std::int16_t* kind) {
    serial.purgeReceive();
    linkError = 0;
    if (!connected) return fail(LINK_ERR_INIT, CTX_STREAM);
    if (!measurement(kSlitFirstRecord, kSlitSecondRecord, kSlitLength)) return fail(LINK_ERR_NO_DATA, CTX_STREAM);
    std::memcpy(record, frame_ + 1, kSlitLength - 1);
    *kind = frame_[0] == kSlitFirstRecord ? 0 : 1;
    return 0;
}

std::uint16_t UnitLink::getOptSlitloss(std::uint8_t* pair) {
    linkError = 0;
    if (!connected) return fail(LINK_ERR_INIT, CTX_STREAM);
    bool first = false, second = false;
    for (int read = 0; read < kMeasurementReads; ++read) {
        const std::size_t n = serial.readFrame(frame_);
        if (n != kSlitLength) continue;
        if (frame_[0] == kSlitFirstRecord) {
            std::memcpy(pair, frame_ + 1, kSlitLength - 1);
            first = true;
        } else if (frame_[0] == kSlitSecondRecord) {
            std::memcpy(pair + kSlitLength - 1, frame_ + 1, kSlitLength - 1);
            second = true;
        }
        if (first && second) return 0;
    }
    return fail(LINK_ERR_NO_DATA, CTX_STREAM);
}

std::uint16_t UnitLink::getOptAzimuth(std::uint8_t* record) {
    serial.purgeReceive();
    linkError = 0;
    if (!connected) return fail(LINK_ERR_INIT, CTX_STREAM);
    if (!measurement(kAzimuthRecord, kAzimuthRecord, kAzimuthLength)) return fail(LINK_ERR_NO_DATA, CTX_STREAM);
    std::memcpy(record, frame_ + 1, kAzimuthLength - 1);
    return 0;
}

namespace {
// Created when the library is loaded (so the line trace setting is read
// then) and destroyed, closing the port, when it is unloaded.
UnitLink gUnitLink;
}  // namespace

UnitLink& theUnitLink() { return gUnitLink; }

}  // namespace q7m
