// The version reply parser: arbitrary replies are read or refused as a bad
// reply without reading past their end, and a reply as the unit sends it is
// read back to the numbers it was made from.
#include <array>
#include <cstdio>
#include <cstring>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "q7mslib.h"
#include "unit_link.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::array<std::int16_t, 7> v{};
    // The reply in a buffer of exactly its size, so a read past it is caught.
    std::vector<std::uint8_t> reply(data, data + size);
    const std::uint16_t r = q7m::parseUnitVersion(reply.data(), reply.size(), v.data());
    FUZZ_CHECK(r == 0 || r == LINK_ERR_BAD_REPLY, "result 0x%04X", r);

    // A well-formed reply built from the input's numbers, after a header line
    // and before a closing line taken from the input too.
    FuzzedDataProvider in(data, size);
    std::array<std::int16_t, 7> words{};
    const int limits[7] = {99, 99, 9999, 99, 99, 99, 99};
    for (int k = 0; k < 7; ++k) words[k] = in.ConsumeIntegralInRange<std::int16_t>(0, static_cast<std::int16_t>(limits[k]));
    char text[96];
    const int n = std::snprintf(text, sizeof text, "Q7M CPU/DSP Versions\r\nV%d.%02d.%04d\r\nV%d.%02d\r\nV%d.%02d\r\n",
                                words[0], words[1], words[2], words[3], words[4], words[5], words[6]);
    std::vector<std::uint8_t> good(text, text + n);
    const auto tail = in.ConsumeRemainingBytes<std::uint8_t>();
    good.insert(good.end(), tail.begin(), tail.end());
    std::array<std::int16_t, 7> back{};
    FUZZ_CHECK(q7m::parseUnitVersion(good.data(), good.size(), back.data()) == 0, "refused %.*s", n, text);
    FUZZ_CHECK(back == words, "%.*s read as %d.%d.%d %d.%d %d.%d", n, text, back[0], back[1], back[2], back[3], back[4],
               back[5], back[6]);
    return 0;
}
