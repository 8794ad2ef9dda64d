// record.h - the editor's configuration record: the unit's two setting
// blocks, the live values and the theater information, with the editor's
// state flags (the global values module, ModVals).
#ifndef ZELK_MODEL_RECORD_H
#define ZELK_MODEL_RECORD_H

#include <array>
#include <cstdint>
#include <string>

namespace zelk {

// Editor booleans are 16-bit: true is -1, false is 0.
using VbBool = std::int16_t;
inline constexpr VbBool kTrue = -1;
inline constexpr VbBool kFalse = 0;
inline constexpr VbBool vb(bool b) { return b ? kTrue : kFalse; }

inline constexpr int kChannels = 6;
inline constexpr int kSystemBlockSize = 128;
inline constexpr int kAudioBlockSize = 224;

// Channel kinds by index: 0, 2, 4 have 27 bands, 1, 3 have 9, 5 is the
// sub-bass parametric section.
inline constexpr bool isWideChannel(int ch) { return ch == 0 || ch == 2 || ch == 4; }
inline constexpr bool isSurroundChannel(int ch) { return ch == 1 || ch == 3; }
inline constexpr int bandCount(int ch) { return isWideChannel(ch) ? 27 : isSurroundChannel(ch) ? 9 : 0; }

struct SystemBlock {
    std::array<std::uint8_t, kSystemBlockSize> bytes{};

    std::uint8_t& f1KeyAssignment() { return bytes[0]; }
    std::uint8_t& matrixDisabled() { return bytes[1]; }
    std::uint8_t& nonsyncMode() { return bytes[3]; }
    std::uint8_t& surroundDelay() { return bytes[6]; }
    std::uint8_t& nonsyncTrim() { return bytes[24]; }
    std::uint8_t& powerOnFormat() { return bytes[30]; }
    // Reader delay, 16 bits stored high byte first at 4 and 5.
    std::uint16_t readerDelay() const { return static_cast<std::uint16_t>(bytes[4] * 256 + bytes[5]); }
    void setReaderDelay(std::uint16_t v) {
        bytes[4] = static_cast<std::uint8_t>(v / 256);
        bytes[5] = static_cast<std::uint8_t>(v % 256);
    }
    // The fields the editor never shows but keeps in configuration files.
    static constexpr std::array<int, 10> kSysFields = {8, 10, 11, 12, 13, 25, 26, 27, 28, 29};
    std::uint8_t* data() { return bytes.data(); }
};

// A view of one 30-byte channelEq record inside the audio block.
class ChannelEq {
public:
    explicit ChannelEq(std::uint8_t* p) : p_(p) {}
    std::uint8_t& bandGain(int band) { return p_[band]; }
    std::uint8_t& subGain() { return p_[0]; }
    std::uint8_t& subBandwidth() { return p_[1]; }
    std::uint8_t& subFrequency() { return p_[2]; }
    std::uint8_t& bass() { return p_[27]; }
    std::uint8_t& treble() { return p_[28]; }

private:
    std::uint8_t* p_;
};

struct AudioBlock {
    std::array<std::uint8_t, kAudioBlockSize> bytes{};

    std::uint8_t& uploadStamp(int i) { return bytes[static_cast<std::size_t>(i)]; }
    std::uint8_t& trimLevel(int ch) { return bytes[static_cast<std::size_t>(6 + ch)]; }
    ChannelEq channelEq(int ch) { return ChannelEq(&bytes[static_cast<std::size_t>(12 + 30 * ch)]); }
    std::uint8_t& obeGain() { return bytes[192]; }
    std::uint8_t& obeFrequency() { return bytes[193]; }
    std::uint8_t* data() { return bytes.data(); }
};

inline constexpr int kTheaterLines = 11;

// The global values of the editor.
struct ModVals {
    SystemBlock systemBlock;
    AudioBlock audioBlock;
    std::array<std::int16_t, 7> unitVersions{};

    // Live values.
    std::int16_t CurrentFormat = 0;
    std::int16_t CurrentVolume = 70;
    VbBool CurrentMute = kFalse;
    VbBool ObeEnabled = kFalse;
    std::uint8_t ObeFrequencyIndex = 1;

    std::array<std::string, kTheaterLines> TheaterInfo;

    // Editor state.
    VbBool LoadingControls = kFalse;
    VbBool OnLine = kFalse;
    VbBool UnitBusy = kFalse;
    VbBool PollActive = kFalse;
    std::string ConfigFilePath;
    VbBool HasConfigFile = kFalse;
    std::int16_t ComPort = 1;
    std::int16_t BaudIndex = 0;
    std::int16_t ProjectorIndex = 0;
    std::int16_t AutoRefreshEnabled = 0;
    std::int16_t RefreshSeconds = 60;
    VbBool FaderDialogActive = kFalse;
};

// Sets LoadingControls for its life (the program is filling controls, so
// their change handlers store and send nothing) and then puts back the
// value the caller had: a routine called while its caller is loading never
// ends the caller's loading early.
class LoadingScope {
public:
    explicit LoadingScope(ModVals& v) : v_(v), saved_(v.LoadingControls) { v.LoadingControls = kTrue; }
    ~LoadingScope() { v_.LoadingControls = saved_; }
    LoadingScope(const LoadingScope&) = delete;
    LoadingScope& operator=(const LoadingScope&) = delete;

private:
    ModVals& v_;
    VbBool saved_;
};

}  // namespace zelk

#endif
