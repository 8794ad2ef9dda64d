// sim_unit.h - the behaviour of a simulated Q7M unit, free of any I/O:
// bytes from the host go in, bytes for the host come out.
#ifndef Q7M_SIM_UNIT_H
#define Q7M_SIM_UNIT_H

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "sim_reader.h"

namespace q7msim {

using Bytes = std::vector<std::uint8_t>;
// The unit's answers to what it received, one element per reply.
using Replies = std::vector<Bytes>;

struct Versions {
    int cpuMajor = 1, cpuMinor = 6, cpuBuild = 0;
    int dspcMajor = 1, dspcMinor = 3;
    int dspfMajor = 1, dspfMinor = 9;
};

// Parses "1.06" into (1, 6).  Returns false on anything else.
bool parseVersion(const std::string& text, int& major, int& minor);

class SimUnit {
public:
    explicit SimUnit(Versions versions = {});

    // Bytes received from the host; each reply is appended to `out`.
    void receive(const std::uint8_t* data, std::size_t n, Replies& out);
    // One framed record of the running stream, or nothing.
    Bytes streamTick();
    bool streaming() const { return streamMode_ != 0 && !silent; }

    // Front panel.
    void pressFormat(int index) { format = index; }
    void pressMute(bool on) { muted = on; }
    void moveFader(int level) { volume = level < 0 ? 0 : (level > 99 ? 99 : level); }

    // Blocks as a 352-byte image (system block, then audio block).
    Bytes image() const;
    bool loadImage(const Bytes& image);

    std::function<void(const std::string&)> log = [](const std::string&) {};
    // Told when the host announces an audio block write, before the unit answers.
    std::function<void()> onAudioWrite = [] {};

    // The rate the unit's UART runs at: 0..3 = 9600 .. 57600.
    int baudIndex = 0;

    // Live state.
    int volume = 70;
    bool muted = false;
    int format = 3;  // EXTERNAL 6-TRK
    int projector = 0;
    bool obeMode = false;
    bool rt60 = false;
    std::array<bool, 6> pink{};
    std::array<bool, 6> phase{};
    std::array<std::uint8_t, 128> system{};
    std::array<std::uint8_t, 224> audio{};
    Versions versions;

    // Faults injected through the control channel.
    bool silent = false;
    int garbleOut = 0;     // corrupt the next N bytes sent
    int dropLine = 0;      // drop the last line of the next N text replies
    int wrongCode = 0;     // give the next N framed replies a wrong message code
    int badText = 0;       // put '?' where the value belongs in the next N text replies
    std::map<char, int> ignoreText;  // letter -> the next N text commands with it are lost
    int blocksStored = 0;  // block writes accepted so far
    // A failing memory cell: every block of this kind stored from now on
    // keeps byte `offset` with its lowest bit flipped (block 0: none).
    struct StoreFault {
        int block = 0;  // 1 system, 2 audio
        int offset = 0;
    } corruptStore;

    // The optical readers of projector 1 and 2 (index 0 and 1).
    std::array<OpticalReader, 2> readers{OpticalReader({-0.7, 0.4, 0.8, 0.3}),
                                         OpticalReader({0.5, -0.6, 0.5, -0.45})};

private:
    void handleText(const std::string& cmd, Replies& out);
    void handleFrame(const Bytes& payload, Replies& out);
    void sendText(std::vector<std::string> lines, std::size_t valueOffset, Replies& out);
    void sendFrame(Bytes payload, Replies& out);
    Bytes frame(const Bytes& payload);
    Bytes emit(const Bytes& bytes);
    void setDefaults();
    std::string channelStatus(int ch) const;

    enum class Rx { Text, Dle, Frame, FrameDle } rx_ = Rx::Text;
    std::string line_;
    Bytes frame_;
    int pendingWrite_ = 0;  // 0 none, 1 system, 2 audio: announced, data expected
    bool dataReceived_ = false;
    std::array<std::uint8_t, 224> incoming_{};
    int streamMode_ = 0;  // 0 none, 'G', 'S', 'Z'
    int slitKind_ = 0;
    std::mt19937 rng_{12345};
};

}  // namespace q7msim

#endif
