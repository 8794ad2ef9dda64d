// The ".zcf" reader: arbitrary text is refused with the record untouched,
// or read; every number read is within its field's range; what is read,
// written and read again is the same record, and writing it again gives the
// same text.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "files/config_file.h"
#include "fuzz_check.h"

using namespace zelk;

namespace {

// The record the editor holds when the file is opened: every byte set, so
// a byte the reader should not touch shows when it does.
ConfigData startingRecord() {
    ConfigData d;
    for (std::size_t i = 0; i < d.systemBlock.bytes.size(); ++i) d.systemBlock.bytes[i] = static_cast<std::uint8_t>(0xA5 ^ i);
    for (std::size_t i = 0; i < d.audioBlock.bytes.size(); ++i) d.audioBlock.bytes[i] = static_cast<std::uint8_t>(0x5A ^ i);
    d.CurrentFormat = 2;
    d.CurrentVolume = 55;
    d.CurrentMute = kTrue;
    for (std::size_t i = 0; i < d.TheaterInfo.size(); ++i) d.TheaterInfo[i] = "before " + std::to_string(i);
    return d;
}

bool same(const ConfigData& a, const ConfigData& b) {
    return a.systemBlock.bytes == b.systemBlock.bytes && a.audioBlock.bytes == b.audioBlock.bytes &&
           a.CurrentFormat == b.CurrentFormat && a.CurrentVolume == b.CurrentVolume &&
           a.CurrentMute == b.CurrentMute && a.TheaterInfo == b.TheaterInfo;
}

// The values of a ".zcf" text, split by the format's rules, written here a
// second time: a comma or a line end outside double quotes ends a value,
// blanks and line ends before a value are skipped, quotes are removed and
// trailing blanks of an unquoted value dropped.
std::vector<std::pair<std::string, bool>> values(const std::string& t) {
    std::vector<std::pair<std::string, bool>> out;
    std::size_t i = 0;
    auto endOfValue = [&](char c) { return c == ',' || c == '\r' || c == '\n'; };
    while (true) {
        while (i < t.size() && std::strchr(" \t\r\n", t[i]) && t[i] != '\0') ++i;
        if (i >= t.size()) return out;
        std::string v;
        bool quoted = t[i] == '"';
        if (quoted) {
            const auto close = t.find('"', i + 1);
            if (close == std::string::npos) return out;
            v = t.substr(i + 1, close - i - 1);
            for (i = close + 1; i < t.size() && !endOfValue(t[i]); ++i) {
            }
        } else {
            for (; i < t.size() && !endOfValue(t[i]); ++i) v += t[i];
            while (!v.empty() && (v.back() == ' ' || v.back() == '\t')) v.pop_back();
        }
        if (i < t.size() && t[i] == ',') ++i;
        out.emplace_back(v, quoted);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const ConfigData before = startingRecord();
    ConfigData first = before;
    const ReadResult r = parseConfigText(text, first);
    FUZZ_CHECK(r == ReadResult::Ok || r == ReadResult::WrongHeader || r == ReadResult::ReadError, "result %d",
               static_cast<int>(r));
    if (r != ReadResult::Ok) {
        FUZZ_CHECK(same(first, before), "a refused file (result %d) changed the record", static_cast<int>(r));
        return 0;
    }
    // Read over another record: each byte either came from the file (the
    // same in both) or kept the value its record had.  A boolean is -1 or 0.
    ConfigData other = before;
    for (auto& b : other.systemBlock.bytes) b = static_cast<std::uint8_t>(~b);
    for (auto& b : other.audioBlock.bytes) b = static_cast<std::uint8_t>(~b);
    const ConfigData otherBefore = other;
    FUZZ_CHECK(parseConfigText(text, other) == ReadResult::Ok, "read once, refused over another record");
    for (std::size_t i = 0; i < first.systemBlock.bytes.size(); ++i)
        FUZZ_CHECK(first.systemBlock.bytes[i] == other.systemBlock.bytes[i] ||
                       (first.systemBlock.bytes[i] == before.systemBlock.bytes[i] &&
                        other.systemBlock.bytes[i] == otherBefore.systemBlock.bytes[i]),
                   "system byte %zu neither read nor kept", i);
    for (std::size_t i = 0; i < first.audioBlock.bytes.size(); ++i)
        FUZZ_CHECK(first.audioBlock.bytes[i] == other.audioBlock.bytes[i] ||
                       (first.audioBlock.bytes[i] == before.audioBlock.bytes[i] &&
                        other.audioBlock.bytes[i] == otherBefore.audioBlock.bytes[i]),
                   "audio byte %zu neither read nor kept", i);
    FUZZ_CHECK(first.CurrentMute == kTrue || first.CurrentMute == kFalse, "mute %d", first.CurrentMute);

    // Every number stored is the number the file holds (rounded half to
    // even), and within its field's range: 16 bits for the two live values,
    // a byte for every other.
    const auto given = values(text), stored = values(configFileText(first));
    FUZZ_CHECK(given.size() >= stored.size(), "%zu values stored from %zu", stored.size(), given.size());
    for (std::size_t k = 1; k < stored.size(); ++k) {
        const std::string& out = stored[k].first;
        if (stored[k].second || out == "#TRUE#" || out == "#FALSE#") continue;
        const long n = std::stol(out);
        const bool word = k == 1 || k == 2;
        FUZZ_CHECK(word ? (n >= -32768 && n <= 32767) : (n >= 0 && n <= 255), "value %zu stored as %ld", k, n);
        const std::string& in = given[k].first;
        long held = 0;
        if (in == "#TRUE#" || in == "#FALSE#") {
            held = in == "#TRUE#" ? -1 : 0;
        } else {
            const std::string bare = !in.empty() && in[0] == '+' ? in.substr(1) : in;
            FUZZ_CHECK(!bare.empty() && std::strspn(bare.c_str(), "-0123456789.") == bare.size(),
                       "value %zu '%s' stored as a number", k, in.c_str());
            held = std::lrint(std::strtod(bare.c_str(), nullptr));
        }
        FUZZ_CHECK(held == n, "value %zu '%s' stored as %ld", k, in.c_str(), n);
    }

    // Written and read again: the same record.  A double quote cannot be
    // written inside a text and becomes a single quote.
    const std::string written = configFileText(first);
    ConfigData second = startingRecord();
    FUZZ_CHECK(parseConfigText(written, second) == ReadResult::Ok, "our own file is refused:\n%s", written.c_str());
    ConfigData expected = first;
    for (auto& t : expected.TheaterInfo) std::replace(t.begin(), t.end(), '"', '\'');
    FUZZ_CHECK(same(second, expected), "read, written and read again differs:\n%s", written.c_str());
    FUZZ_CHECK(configFileText(second) == written, "written twice differs");
    return 0;
}
