#include <gtest/gtest.h>

#include <cstdlib>

#include <sys/stat.h>

#include "files/config_file.h"
#include "editor_harness.h"

using namespace zelktest;
using q7mtest::readFile;
using q7mtest::TempDir;
using q7mtest::writeFile;

namespace {

ConfigData sample() {
    ConfigData d;
    for (int i = 0; i < 128; ++i) d.systemBlock.bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 7 + 1);
    for (int i = 0; i < 224; ++i) d.audioBlock.bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 3 + 2);
    d.CurrentFormat = 4;
    d.CurrentVolume = 65;
    d.CurrentMute = kTrue;
    for (int i = 0; i < 11; ++i) d.TheaterInfo[static_cast<std::size_t>(i)] = "line " + std::to_string(i) + ", with comma";
    d.TheaterInfo[3] = "";
    return d;
}

// The bytes a file holds.
std::vector<int> persistedSystem() { return {0, 1, 3, 4, 5, 6, 8, 10, 11, 12, 13, 24, 25, 26, 27, 28, 29, 30}; }
std::vector<int> persistedAudio() {
    std::vector<int> p = {192, 193};
    for (int ch = 0; ch < 6; ++ch) {
        p.push_back(6 + ch);
        p.push_back(12 + 30 * ch + 27);
        p.push_back(12 + 30 * ch + 28);
        const int n = ch == 5 ? 3 : bandCount(ch);
        for (int b = 0; b < n; ++b) p.push_back(12 + 30 * ch + b);
    }
    return p;
}

}  // namespace

TEST(ConfigFile, TheCanonicalTextStartsAsDocumented) {
    ConfigData d;
    d.CurrentFormat = 0;
    d.CurrentVolume = 70;
    d.CurrentMute = kFalse;
    d.systemBlock.f1KeyAssignment() = 1;
    d.systemBlock.setReaderDelay(4);
    d.systemBlock.surroundDelay() = 2;
    auto sub = d.audioBlock.channelEq(5);
    sub.subGain() = 12;
    sub.subBandwidth() = 1;
    sub.subFrequency() = 2;
    const std::string text = configFileText(d);
    EXPECT_EQ(text.rfind("\"ZELK CP Settings File: V1.0\"\r\n0,70,#FALSE#\r\n1,0,0\r\n0,4,2\r\n", 0), 0u) << text;
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto e = text.find("\r\n", pos);
        lines.push_back(text.substr(pos, e - pos));
        pos = e + 2;
    }
    ASSERT_EQ(lines.size(), 33u);
    EXPECT_EQ(lines[21], "12,1,2");
    EXPECT_EQ(lines[22], "\"\"");
    // 155 values in all.
    int values = 0;
    for (auto& l : lines) values += 1 + static_cast<int>(std::count(l.begin(), l.end(), ','));
    EXPECT_EQ(values, 155);
}

TEST(ConfigFile, RoundTripKeepsEveryPersistedByteAndNothingElse) {
    TempDir dir;
    const ConfigData written = sample();
    ASSERT_TRUE(WriteConfigFile(dir.file("a.zcf"), written));
    ConfigData read;  // zeroed blocks: what the file does not hold stays zero
    ASSERT_EQ(ReadConfigFile(dir.file("a.zcf"), read), ReadResult::Ok);
    for (int i : persistedSystem()) EXPECT_EQ(read.systemBlock.bytes[i], written.systemBlock.bytes[i]) << "SB " << i;
    for (int i : persistedAudio()) EXPECT_EQ(read.audioBlock.bytes[i], written.audioBlock.bytes[i]) << "AB " << i;
    EXPECT_EQ(read.systemBlock.bytes[2], 0);
    EXPECT_EQ(read.audioBlock.bytes[0], 0);  // the stamp is not in the file
    EXPECT_EQ(read.audioBlock.bytes[12 + 30 + 9], 0);
    EXPECT_EQ(read.CurrentFormat, 4);
    EXPECT_EQ(read.CurrentVolume, 65);
    EXPECT_EQ(read.CurrentMute, kTrue);
    EXPECT_EQ(read.TheaterInfo, written.TheaterInfo);
}

TEST(ConfigFile, ValuesSpreadOverOtherLineBreaksReadTheSame) {
    const ConfigData written = sample();
    const std::string canonical = configFileText(written);
    std::string oneLine, unixBreaks, oneValuePerLine;
    for (std::size_t i = 0; i < canonical.size(); ++i) {
        if (canonical.compare(i, 2, "\r\n") == 0) {
            oneLine += ',';
            unixBreaks += '\n';
            oneValuePerLine += "\r\n";
            ++i;
            continue;
        }
        oneLine += canonical[i];
        unixBreaks += canonical[i];
        oneValuePerLine += canonical[i];
    }
    // one value per line: every comma outside quotes becomes a line break
    std::string split;
    bool inQuotes = false;
    for (char c : oneValuePerLine) {
        if (c == '"') inQuotes = !inQuotes;
        split += (c == ',' && !inQuotes) ? std::string("\r\n") : std::string(1, c);
    }
    for (const std::string& text : {oneLine, unixBreaks, split}) {
        ConfigData a, b;
        ASSERT_EQ(parseConfigText(canonical, a), ReadResult::Ok);
        ASSERT_EQ(parseConfigText(text, b), ReadResult::Ok) << text.substr(0, 80);
        EXPECT_EQ(a.systemBlock.bytes, b.systemBlock.bytes);
        EXPECT_EQ(a.audioBlock.bytes, b.audioBlock.bytes);
        EXPECT_EQ(a.TheaterInfo, b.TheaterInfo);
    }
}

TEST(ConfigFile, FaultsLeaveTheRecordUntouched) {
    const std::string good = configFileText(sample());
    ConfigData before;
    before.CurrentVolume = 33;
    before.systemBlock.bytes[0] = 9;
    struct Case {
        std::string text;
        ReadResult expected;
    };
    std::string cut = good.substr(0, good.size() / 2);
    std::string badNumber = good;
    badNumber.replace(badNumber.find("4,65,#TRUE#"), 11, "4,6x,#TRUE#");
    std::string tooBig = good;
    tooBig.replace(tooBig.find("\r\n1,8,22\r\n"), 10, "\r\n1,256,22\r\n");
    std::string lowerHeader = good;
    lowerHeader.replace(1, 4, "zelk");
    const std::vector<Case> cases = {
        {"", ReadResult::ReadError},
        {cut, ReadResult::ReadError},
        {badNumber, ReadResult::ReadError},
        {tooBig, ReadResult::ReadError},
        {lowerHeader, ReadResult::WrongHeader},
        {"\"ZELK CP Settings File: V2.0\"\r\n", ReadResult::WrongHeader},
        {good.substr(0, good.size() - 5), ReadResult::ReadError},  // last string unterminated
    };
    for (const auto& c : cases) {
        ConfigData d = before;
        EXPECT_EQ(parseConfigText(c.text, d), c.expected) << c.text.substr(0, 60);
        EXPECT_EQ(d.CurrentVolume, 33);
        EXPECT_EQ(d.systemBlock.bytes[0], 9);
        EXPECT_EQ(d.TheaterInfo[0], "");
    }
    ConfigData d;
    EXPECT_EQ(ReadConfigFile("/nonexistent/x.zcf", d), ReadResult::ReadError);
}

TEST(ConfigFile, ADoubleQuoteIsWrittenSoTheFileReadsBack) {
    ConfigData d = sample();
    d.TheaterInfo[1] = "The \"Roxy\", screen 2";
    ConfigData back;
    ASSERT_EQ(parseConfigText(configFileText(d), back), ReadResult::Ok);
    EXPECT_EQ(back.TheaterInfo[1], "The 'Roxy', screen 2");
    EXPECT_EQ(back.TheaterInfo[2], d.TheaterInfo[2]);
}

TEST(ConfigFile, SavingNeverDestroysThePreviousFile) {
    TempDir dir;
    const std::string path = dir.file("keep.zcf");
    writeFile(path, "previous content");
    // A save that cannot complete (the rename meets a folder) leaves the
    // previous file and no temporary file behind.
    const std::string blocked = dir.file("blocked.zcf");
    ::mkdir(blocked.c_str(), 0755);
    EXPECT_FALSE(WriteConfigFile(blocked, sample()));
    EXPECT_EQ(readFile(path), "previous content");
    EXPECT_TRUE(WriteConfigFile(path, sample()));
    EXPECT_NE(readFile(path), "previous content");
    EXPECT_FALSE(WriteConfigFile(dir.file("no/such/folder/x.zcf"), sample()));
    EXPECT_EQ(std::system(("test $(ls -A '" + dir.path() + "' | wc -l) -eq 2").c_str()), 0)
        << "a temporary file was left behind";
}

TEST(OldConfigFile, ImageReplacesBothBlocksAndShortFilesAreRefused) {
    TempDir dir;
    std::string image(352, '\0');
    for (int i = 0; i < 352; ++i) image[static_cast<std::size_t>(i)] = static_cast<char>(i % 251);
    image[6] = 3;
    image[128 + 193] = 5;
    writeFile(dir.file("old.cfg"), image);
    SystemBlock s;
    AudioBlock a;
    ASSERT_TRUE(ReadOldConfigFile(dir.file("old.cfg"), s, a));
    EXPECT_EQ(s.surroundDelay(), 3);
    EXPECT_EQ(a.obeFrequency(), 5);
    EXPECT_EQ(a.bytes[223], static_cast<std::uint8_t>(351 % 251));

    writeFile(dir.file("short.cfg"), image.substr(0, 351));
    SystemBlock s2;
    s2.bytes[6] = 9;
    AudioBlock a2;
    EXPECT_FALSE(ReadOldConfigFile(dir.file("short.cfg"), s2, a2));
    EXPECT_EQ(s2.bytes[6], 9);
    EXPECT_FALSE(ReadOldConfigFile(dir.file("missing.cfg"), s2, a2));
}
