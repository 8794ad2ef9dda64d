/*
 * q7mslib.h - the Q7M unit link library.
 *
 * The library owns one serial port and speaks the Q7M cinema processor's
 * text and framed protocol.  Everything is reached through the 29 flat
 * entry points below; a caller binds them by name through the system's
 * loader (dlsym, or GetProcAddress on Windows) or links against
 * libq7mslib.so or libq7mslib.dll directly.
 *
 * Rules every entry point follows:
 *   - all calls come from one thread; the library has no threads of its own;
 *   - every command clears the error word when it starts, so a result
 *     describes that call only (0 = success);
 *   - buffers belong to the caller and are only used during the call;
 *   - arguments are passed as 32-bit values; the library reads the low
 *     16 or 8 bits where the comment says so.
 *
 * Port numbers: InitDLL(n) opens the device that the [Ports] table of
 * ZelkSerial.ini maps "COMn" to (see README, "Serial ports"); on Windows,
 * without an entry, Windows' own COMn.
 */
#ifndef Q7MSLIB_H
#define Q7MSLIB_H

#include <stdint.h>

/* The DLL's exports are listed in src/q7mslib.def. */
#if defined(Q7MSLIB_BUILDING) && !defined(_WIN32)
#define Q7M_API __attribute__((visibility("default")))
#else
#define Q7M_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Error word bits.  A failure normally shows one cause bit together with
 * the context bit of the entry point that failed. */
enum {
    LINK_ERR_PORT = 0x0001,         /* opening the serial port failed */
    LINK_ERR_TRANSMIT = 0x0002,     /* a write sent nothing / not the whole frame */
    LINK_ERR_RECEIVE = 0x0004,      /* a reply did not complete in time, or wrong block length */
    LINK_ERR_SYSTEM_BLOCK = 0x0008, /* context: GetSystem / SetSystem */
    LINK_ERR_AUDIO_BLOCK = 0x0010,  /* context: GetAudio / SetAudio */
    LINK_ERR_BAD_REPLY = 0x0020,    /* unexpected message code or reply text */
    LINK_ERR_INIT = 0x0040,         /* link not initialised, or InitDLL failed */
    LINK_ERR_TEXT_COMMAND = 0x0080, /* context: text commands */
    LINK_ERR_STREAM = 0x0100,       /* context: stream commands, measurement reads */
    LINK_ERR_NO_DATA = 0x0200,      /* no matching measurement record arrived */
    LINK_ERR_PLATFORM = 0x0400,     /* platform not supported */
    LINK_ERR_RANGE = 0x0800         /* argument outside the allowed range */
};

/* Record sizes. */
enum {
    Q7M_SYSTEM_BLOCK_SIZE = 128,
    Q7M_AUDIO_BLOCK_SIZE = 224,
    Q7M_UNIT_VERSION_WORDS = 7,
    Q7M_SLITLOSS_RECORD_SIZE = 11,
    Q7M_SLITLOSS_PAIR_SIZE = 22,
    Q7M_AZIMUTH_RECORD_SIZE = 28
};

/* Lifecycle */
Q7M_API uint16_t InitDLL(int32_t port);                 /* low 16 bits; 0 means port 1 */
Q7M_API int32_t DLLShutdown(void);                      /* non-zero when the port was closed */
Q7M_API uint16_t SetDLLBaud(int32_t baudIndex);         /* 0..3 = 9600, 19200, 38400, 57600 */
Q7M_API void DLLCreateIni(void);                        /* writes the time-out keys of ZelkSerial.ini */
Q7M_API int32_t ClearError(void);                       /* purge, line feed, purge; non-zero on success */
Q7M_API uint16_t GetUnitVersion(int16_t versions[7]);

/* Setting blocks */
Q7M_API uint16_t GetSystem(uint8_t block[128]);
Q7M_API uint16_t SetSystem(const uint8_t block[128]);
Q7M_API uint16_t GetAudio(uint8_t block[224]);
Q7M_API uint16_t SetAudio(const uint8_t block[224]);

/* Live commands */
Q7M_API uint16_t SetVol(int32_t volume);                /* 0..99, low 16 bits */
Q7M_API uint16_t GetVol(int16_t* volume);
Q7M_API uint16_t SetMute(int32_t muted);                /* low 8 bits, non-zero = mute */
Q7M_API uint16_t GetMute(uint8_t* muted);               /* 1 muted, 0 not muted */
Q7M_API uint16_t SelectFormat(int32_t format);          /* 0..5 = "1ASXDN" */
Q7M_API uint16_t GetFormat(int16_t* format);
Q7M_API uint16_t SetPink(int32_t channel, int32_t on);  /* channel 0..5 = "LPCQRS" */
Q7M_API uint16_t SetPhase(int32_t channel, int32_t on);
Q7M_API uint16_t SetRT60(int32_t on);
Q7M_API uint16_t SetProjector(int32_t projector);       /* 0 = projector 1, other = projector 2 */
Q7M_API uint16_t EnableOBE(void);

/* Measurement streams */
Q7M_API uint16_t BeginGainStream(void);
Q7M_API uint16_t BeginSlitStream(void);
Q7M_API uint16_t BeginAzimuthStream(void);
Q7M_API uint16_t StopStream(void);
Q7M_API uint16_t GetOptGain(int16_t* gain);
Q7M_API uint16_t GetSingleSlitloss(uint8_t record[11], int16_t* kind);
Q7M_API uint16_t GetOptSlitloss(uint8_t pair[22]);
Q7M_API uint16_t GetOptAzimuth(uint8_t record[28]);

#ifdef __cplusplus
}
#endif

#endif /* Q7MSLIB_H */
