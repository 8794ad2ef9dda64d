// rates.h - the line speeds the unit knows, by the index SetDLLBaud takes
// (0 = 9600 bit/s, the unit's speed at power-on).  The one table of the
// library, its ports and q7mctl.
#ifndef Q7M_PORT_RATES_H
#define Q7M_PORT_RATES_H

namespace q7m {

inline constexpr int kBaudRates[4] = {9600, 19200, 38400, 57600};

// The index of `bitsPerSecond` in the table, or -1 when the unit has no
// such speed.
constexpr int rateIndex(int bitsPerSecond) {
    for (int i = 0; i < 4; ++i)
        if (kBaudRates[i] == bitsPerSecond) return i;
    return -1;
}

constexpr bool standardRate(int bitsPerSecond) { return rateIndex(bitsPerSecond) >= 0; }

}  // namespace q7m

#endif
