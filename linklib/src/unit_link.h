// unit_link.h - the library-wide state behind the 29 entry points.
#ifndef Q7M_UNIT_LINK_H
#define Q7M_UNIT_LINK_H

#include <cstddef>
#include <cstdint>

#include "serial_link.h"

namespace q7m {

// Parses the version reply of the "X" command into seven words.  Returns 0
// or LINK_ERR_BAD_REPLY; slots parsed before a failure keep their values.
std::uint16_t parseUnitVersion(const std::uint8_t* reply, std::size_t length, std::int16_t versions[7]);

// Classifies the running platform for InitDLL.
struct PlatformInfo {
    bool supported = false;
    bool ntFamily = false;
};
PlatformInfo queryPlatform();

class UnitLink {
public:
    std::uint16_t initDll(std::int32_t port);
    std::int32_t shutdown();
    std::uint16_t setDllBaud(std::int32_t index);
    std::int32_t clearError();
    std::uint16_t getUnitVersion(std::int16_t versions[7]);

    std::uint16_t getSystem(std::uint8_t* block);
    std::uint16_t setSystem(const std::uint8_t* block);
    std::uint16_t getAudio(std::uint8_t* block);
    std::uint16_t setAudio(const std::uint8_t* block);

    std::uint16_t setVol(std::int32_t volume);
    std::uint16_t getVol(std::int16_t* volume);
    std::uint16_t setMute(std::int32_t flag);
    std::uint16_t getMute(std::uint8_t* flag);
    std::uint16_t selectFormat(std::int32_t format);
    std::uint16_t getFormat(std::int16_t* format);
    std::uint16_t setPink(std::int32_t channel, std::int32_t on);
    std::uint16_t setPhase(std::int32_t channel, std::int32_t on);
    std::uint16_t setRT60(std::int32_t on);
    std::uint16_t setProjector(std::int32_t projector);
    std::uint16_t streamCommand(int mode);  // 0 stop, 1 gain, 2 slit, 3 azimuth, 4 OBE

    std::uint16_t getOptGain(std::int16_t* gain);
    std::uint16_t getSingleSlitloss(std::uint8_t* record, std::int16_t* kind);
    std::uint16_t getOptSlitloss(std::uint8_t* pair);
    std::uint16_t getOptAzimuth(std::uint8_t* record);

    SerialLink serial;
    std::uint16_t linkError = 0;
    bool connected = false;
    std::int16_t portNumber = 0;
    PlatformInfo platformFamily;

private:
    // Runs one text command: writes `cmd`, reads `lines` reply lines when
    // lines > 0.  Returns the cause bits (0 on success); the reply is left in
    // reply_/replyLength_.
    std::uint16_t text(const char* cmd, std::size_t length, int lines);
    std::uint16_t fail(std::uint16_t cause, std::uint16_t context);
    std::uint16_t blockRead(std::uint8_t request0, bool twoByteRequest, std::uint8_t code, std::size_t size,
                            std::uint8_t* out, std::uint16_t context);
    std::uint16_t blockWrite(const std::uint8_t* announce, std::size_t announceLength, std::uint8_t ready,
                             std::uint8_t code, const std::uint8_t* block, std::size_t size, std::uint16_t context);
    // Reads frames until one of `code` with `length` bytes arrives, at most
    // five reads; returns its length or 0.
    std::size_t measurement(std::uint8_t codeA, std::uint8_t codeB, std::size_t length);

    std::uint8_t reply_[kRxBufferSize + 1]{};
    std::size_t replyLength_ = 0;
    std::uint8_t frame_[kRxBufferSize + 1]{};
};

UnitLink& theUnitLink();

}  // namespace q7m

#endif
