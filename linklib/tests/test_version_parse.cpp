#include <gtest/gtest.h>

#include <array>
#include <string>

#include "q7mslib.h"
#include "unit_link.h"

using q7m::parseUnitVersion;

namespace {
std::uint16_t parse(const std::string& reply, std::array<std::int16_t, 7>& v) {
    return parseUnitVersion(reinterpret_cast<const std::uint8_t*>(reply.data()), reply.size(), v.data());
}
}  // namespace

TEST(VersionParse, ReadsTheThreeVersionsOfTheReply) {
    std::array<std::int16_t, 7> v{};
    EXPECT_EQ(parse("Unit Versions\r\nV1.02.03\r\nV2.10\r\nV3.04\r\nOK\r\n", v), 0);
    EXPECT_EQ(v, (std::array<std::int16_t, 7>{1, 2, 3, 2, 10, 3, 4}));
    EXPECT_EQ(parse("Q7M CPU/DSP Versions\r\nV1.05.0077\r\nV1.03\r\nV1.09\r\nOK\r\n", v), 0);
    EXPECT_EQ(v, (std::array<std::int16_t, 7>{1, 5, 77, 1, 3, 1, 9}));
}

TEST(VersionParse, AWideFieldTakesTwoDigitsAndZeroesTheNextNumber) {
    std::array<std::int16_t, 7> v{};
    v.fill(99);
    EXPECT_EQ(parse("Versions\r\nV123456.02.03\r\nV2.10\r\nV3.04\r\n", v), 0);
    EXPECT_EQ(v[0], 12);
    EXPECT_EQ(v[1], 0);
}

TEST(VersionParse, MissingDelimitersFailAndKeepWhatWasParsed) {
    std::array<std::int16_t, 7> v{};
    v.fill(-5);
    EXPECT_EQ(parse("Versions\r\nV1.02.03\r\nV2.10\r\n", v), LINK_ERR_BAD_REPLY);
    EXPECT_EQ(v[0], 1);
    EXPECT_EQ(v[4], 10);
    EXPECT_EQ(v[5], -5);  // never reached
    EXPECT_EQ(parse("no letter vee here\r\n", v), LINK_ERR_BAD_REPLY);
    EXPECT_EQ(parse("Versions\r\nV.02.03\r\n", v), LINK_ERR_BAD_REPLY);  // nothing between V and .
}
