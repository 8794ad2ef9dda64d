// Files and displayed numbers under a decimal-comma locale.  Creating a Qt
// application calls setlocale(LC_ALL, ""), after which the C library's
// strtod and printf read and write "3,0" instead of "3.0".  The editor's
// files and number texts must not change with it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <clocale>
#include <cstdlib>
#include <memory>

#include "files/config_file.h"
#include "connection/connect.h"
#include "connection/polling.h"
#include "controls/sliders.h"
#include "model/lookup.h"
#include "sim_process.h"

using namespace zelk;

namespace {

constexpr const char* kCommaLocale = "de_DE.UTF-8";

class DecimalCommaLocale : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ::setenv("LC_ALL", kCommaLocale, 1);
        static int argc = 1;
        static char name[] = "test_locale";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QCoreApplication>(argc, argv);  // switches the C locale as the editor's does
    }
    static void TearDownTestSuite() {
        app_.reset();
        std::setlocale(LC_ALL, "C");
    }
    void SetUp() override {
        if (std::localeconv()->decimal_point[0] != ',')
            GTEST_SKIP() << "the " << kCommaLocale << " locale is not installed (scripts/setup.sh generates it "
                         << "with localedef); without a decimal-comma locale there is nothing to prove";
    }

private:
    static std::unique_ptr<QCoreApplication> app_;
};
std::unique_ptr<QCoreApplication> DecimalCommaLocale::app_;

ConfigData sample() {
    ConfigData d;
    for (std::size_t i = 0; i < d.systemBlock.bytes.size(); ++i) d.systemBlock.bytes[i] = static_cast<std::uint8_t>(i * 5);
    for (std::size_t i = 0; i < d.audioBlock.bytes.size(); ++i) d.audioBlock.bytes[i] = static_cast<std::uint8_t>(i * 3 + 1);
    d.CurrentFormat = 3;
    d.CurrentVolume = 65;
    d.CurrentMute = kTrue;
    d.TheaterInfo[0] = "Kino 1, Saal 2.5";
    return d;
}

// Replaces the first line of values after the header ("3,65,#TRUE#").
std::string withLiveValues(std::string text, const std::string& values) {
    const auto start = text.find("\r\n") + 2;
    const auto end = text.find("\r\n", start);
    return text.replace(start, end - start, values);
}

}  // namespace

TEST_F(DecimalCommaLocale, ConfigFileNumbersWithAPointAreRead) {
    const std::string text = configFileText(sample());
    struct Case {
        const char* values;
        std::int16_t format, volume;
    };
    for (const Case& c : {Case{"3.0,65.0,#TRUE#", 3, 65}, Case{"2.5,70.5,#TRUE#", 2, 70},  // halves to even
                          Case{"+1.49,-0.0,#TRUE#", 1, 0}}) {
        ConfigData d;
        ASSERT_EQ(parseConfigText(withLiveValues(text, c.values), d), ReadResult::Ok) << c.values;
        EXPECT_EQ(d.CurrentFormat, c.format) << c.values;
        EXPECT_EQ(d.CurrentVolume, c.volume) << c.values;
    }
}

TEST_F(DecimalCommaLocale, ConfigFileRoundTripsThroughTheDisk) {
    q7mtest::TempDir dir;
    const std::string path = dir.file("kino.zcf");
    const ConfigData written = sample();
    ASSERT_TRUE(WriteConfigFile(path, written));
    ConfigData read;
    ASSERT_EQ(ReadConfigFile(path, read), ReadResult::Ok);
    EXPECT_EQ(configFileText(read), configFileText(written));
    EXPECT_EQ(q7mtest::readFile(path), configFileText(written));
}

TEST_F(DecimalCommaLocale, VersionsAndValuesAreShownWithAPoint) {
    const auto v = describeVersions({1, 6, 0, 1, 3, 1, 9});
    EXPECT_EQ(v.captions[0], "CPU Version: 1.06");
    EXPECT_EQ(v.captions[1], "DSP Controller: 1.03");
    EXPECT_EQ(v.captions[2], "DSP Firmware: 1.09");
    EXPECT_EQ(volumeText(65), "6.5");
    EXPECT_EQ(bandText(3), "4.5");
    EXPECT_EQ(readerDelayItems().at(1), "0.25 TC Frames");
}

TEST_F(DecimalCommaLocale, TypedValuesReadWithADecimalPoint) {
    double v = 0;
    ASSERT_TRUE(readTypedNumber(" 7.5 ", v));
    EXPECT_DOUBLE_EQ(v, 7.5);
    ASSERT_TRUE(readTypedNumber("-3.25", v));
    EXPECT_DOUBLE_EQ(v, -3.25);
    ASSERT_TRUE(readTypedNumber("+2", v));
    EXPECT_DOUBLE_EQ(v, 2);
    EXPECT_FALSE(readTypedNumber("7,5", v));
    EXPECT_FALSE(readTypedNumber("+-1", v));
    EXPECT_EQ(parseRefreshSeconds("12.9", 60), 12);
    EXPECT_EQ(parseRefreshSeconds(" +30 ", 60), 30);
    EXPECT_EQ(parseRefreshSeconds("1,5", 60), 60);
}
