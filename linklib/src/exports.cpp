// The 29 exported entry points: each is a thin call into the one UnitLink.
#include "q7mslib.h"
#include "unit_link.h"

using q7m::theUnitLink;

extern "C" {

Q7M_API uint16_t InitDLL(int32_t port) { return theUnitLink().initDll(port); }
Q7M_API int32_t DLLShutdown(void) { return theUnitLink().shutdown(); }
Q7M_API uint16_t SetDLLBaud(int32_t baudIndex) { return theUnitLink().setDllBaud(baudIndex); }
Q7M_API void DLLCreateIni(void) { q7m::SerialLink::createIni(); }
Q7M_API int32_t ClearError(void) { return theUnitLink().clearError(); }
Q7M_API uint16_t GetUnitVersion(int16_t versions[7]) { return theUnitLink().getUnitVersion(versions); }

Q7M_API uint16_t GetSystem(uint8_t block[128]) { return theUnitLink().getSystem(block); }
Q7M_API uint16_t SetSystem(const uint8_t block[128]) { return theUnitLink().setSystem(block); }
Q7M_API uint16_t GetAudio(uint8_t block[224]) { return theUnitLink().getAudio(block); }
Q7M_API uint16_t SetAudio(const uint8_t block[224]) { return theUnitLink().setAudio(block); }

Q7M_API uint16_t SetVol(int32_t volume) { return theUnitLink().setVol(volume); }
Q7M_API uint16_t GetVol(int16_t* volume) { return theUnitLink().getVol(volume); }
Q7M_API uint16_t SetMute(int32_t muted) { return theUnitLink().setMute(muted); }
Q7M_API uint16_t GetMute(uint8_t* muted) { return theUnitLink().getMute(muted); }
Q7M_API uint16_t SelectFormat(int32_t format) { return theUnitLink().selectFormat(format); }
Q7M_API uint16_t GetFormat(int16_t* format) { return theUnitLink().getFormat(format); }
Q7M_API uint16_t SetPink(int32_t channel, int32_t on) { return theUnitLink().setPink(channel, on); }
Q7M_API uint16_t SetPhase(int32_t channel, int32_t on) { return theUnitLink().setPhase(channel, on); }
Q7M_API uint16_t SetRT60(int32_t on) { return theUnitLink().setRT60(on); }
Q7M_API uint16_t SetProjector(int32_t projector) { return theUnitLink().setProjector(projector); }
Q7M_API uint16_t EnableOBE(void) { return theUnitLink().streamCommand(4); }

Q7M_API uint16_t BeginGainStream(void) { return theUnitLink().streamCommand(1); }
Q7M_API uint16_t BeginSlitStream(void) { return theUnitLink().streamCommand(2); }
Q7M_API uint16_t BeginAzimuthStream(void) { return theUnitLink().streamCommand(3); }
Q7M_API uint16_t StopStream(void) { return theUnitLink().streamCommand(0); }
Q7M_API uint16_t GetOptGain(int16_t* gain) { return theUnitLink().getOptGain(gain); }
Q7M_API uint16_t GetSingleSlitloss(uint8_t record[11], int16_t* kind) {
    return theUnitLink().getSingleSlitloss(record, kind);
}
Q7M_API uint16_t GetOptSlitloss(uint8_t pair[22]) { return theUnitLink().getOptSlitloss(pair); }
Q7M_API uint16_t GetOptAzimuth(uint8_t record[28]) { return theUnitLink().getOptAzimuth(record); }

}  // extern "C"
