#include "files/config_file.h"

#include "platform/files.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <variant>
#include <vector>

namespace zelk {

ConfigData ConfigData::from(const ModVals& v) {
    ConfigData d;
    d.systemBlock = v.systemBlock;
    d.audioBlock = v.audioBlock;
    d.CurrentFormat = v.CurrentFormat;
    d.CurrentVolume = v.CurrentVolume;
    d.CurrentMute = v.CurrentMute;
    d.TheaterInfo = v.TheaterInfo;
    return d;
}

void ConfigData::applyTo(ModVals& v) const {
    v.systemBlock = systemBlock;
    v.audioBlock = audioBlock;
    v.CurrentFormat = CurrentFormat;
    v.CurrentVolume = CurrentVolume;
    v.CurrentMute = CurrentMute;
    v.TheaterInfo = TheaterInfo;
}

namespace {

struct BoolSlot {
    VbBool* p;
};

// The file's lines, in order, each a list of slots.
std::vector<std::vector<std::variant<std::uint8_t*, std::int16_t*, BoolSlot, std::string*>>> layout(ConfigData& d) {
    std::vector<std::vector<std::variant<std::uint8_t*, std::int16_t*, BoolSlot, std::string*>>> lines;
    auto sb = [&](int i) { return &d.systemBlock.bytes[static_cast<std::size_t>(i)]; };
    auto ab = [&](int i) { return &d.audioBlock.bytes[static_cast<std::size_t>(i)]; };
    lines.push_back({&d.CurrentFormat, &d.CurrentVolume, BoolSlot{&d.CurrentMute}});
    lines.push_back({sb(0), sb(1), sb(3)});
    lines.push_back({sb(4), sb(5), sb(6)});
    lines.push_back({sb(8), sb(10), sb(11)});
    lines.push_back({sb(12), sb(13), sb(24)});
    lines.push_back({sb(25), sb(26), sb(27)});
    lines.push_back({sb(28), sb(29), sb(30)});
    lines.push_back({ab(192), ab(193)});
    lines.emplace_back();
    for (int ch = 0; ch < 6; ++ch) lines.back().push_back(ab(6 + ch));
    for (int ch = 0; ch < 6; ++ch) lines.push_back({ab(12 + 30 * ch + 27), ab(12 + 30 * ch + 28)});
    for (int ch = 0; ch < 6; ++ch) {
        lines.emplace_back();
        const int n = ch == 5 ? 3 : bandCount(ch);
        for (int b = 0; b < n; ++b) lines.back().push_back(ab(12 + 30 * ch + b));
    }
    for (auto& t : d.TheaterInfo) lines.push_back({&t});
    return lines;
}

std::string quoted(const std::string& s) {
    std::string out = "\"";
    for (char c : s) out += c == '"' ? '\'' : c;
    return out + "\"";
}

// Splits the text into values the way the format reads them: a comma or a
// line end outside double quotes ends a value; blanks and line breaks before
// a value are skipped; quotes are removed.
class ValueReader {
public:
    explicit ValueReader(const std::string& t) : t_(t) {}

    bool next(std::string& value, bool& wasQuoted) {
        while (i_ < t_.size() && (t_[i_] == ' ' || t_[i_] == '\t' || t_[i_] == '\r' || t_[i_] == '\n')) ++i_;
        if (i_ >= t_.size()) return false;
        value.clear();
        wasQuoted = false;
        if (t_[i_] == '"') {
            wasQuoted = true;
            const auto close = t_.find('"', i_ + 1);
            if (close == std::string::npos) return false;  // unterminated string: the file is cut
            value = t_.substr(i_ + 1, close - i_ - 1);
            i_ = close + 1;
            while (i_ < t_.size() && t_[i_] != ',' && t_[i_] != '\r' && t_[i_] != '\n') ++i_;
        } else {
            while (i_ < t_.size() && t_[i_] != ',' && t_[i_] != '\r' && t_[i_] != '\n') value += t_[i_++];
            while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.pop_back();
        }
        if (i_ < t_.size() && t_[i_] == ',') ++i_;
        return true;
    }

private:
    const std::string& t_;
    std::size_t i_ = 0;
};

// A number as the format reads one: optional sign, digits, an optional
// fraction (rounded half to even); "#TRUE#" and "#FALSE#" are -1 and 0.
// Read with std::from_chars, so the C locale's decimal comma (which a Qt
// application switches on under de_DE and the like) never changes it.
bool readNumber(const std::string& s, long& out) {
    if (s == "#TRUE#") return out = -1, true;
    if (s == "#FALSE#") return out = 0, true;
    const char* first = s.data();
    const char* const last = s.data() + s.size();
    if (first != last && *first == '+') {  // from_chars takes "-" only
        ++first;
        if (first != last && *first == '-') return false;
    }
    double v = 0;
    const auto [end, ec] = std::from_chars(first, last, v, std::chars_format::fixed);
    if (ec != std::errc() || end != last || !std::isfinite(v) || std::fabs(v) > 1e9) return false;
    out = std::lrint(v);  // default rounding mode: half to even
    return true;
}

}  // namespace

std::string configFileText(const ConfigData& data) {
    ConfigData copy = data;
    std::string text = quoted(kConfigHeader) + "\r\n";
    for (const auto& line : layout(copy)) {
        bool first = true;
        for (const auto& slot : line) {
            if (!first) text += ',';
            first = false;
            if (auto b = std::get_if<std::uint8_t*>(&slot)) text += std::to_string(**b);
            else if (auto w = std::get_if<std::int16_t*>(&slot)) text += std::to_string(**w);
            else if (auto f = std::get_if<BoolSlot>(&slot)) text += *f->p ? "#TRUE#" : "#FALSE#";
            else text += quoted(*std::get<std::string*>(slot));
        }
        text += "\r\n";
    }
    return text;
}

bool writeFileAtomically(const std::string& path, const std::string& text) {
    return q7m::platform::writeFileAtomically(path, text).ok;
}

std::string saveConfigFile(const std::string& path, const ConfigData& data) {
    const auto r = q7m::platform::writeFileAtomically(path, configFileText(data));
    return r.ok ? std::string() : (r.error.empty() ? std::string("unknown error") : r.error);
}

bool WriteConfigFile(const std::string& path, const ConfigData& data) {
    return writeFileAtomically(path, configFileText(data));
}

ReadResult parseConfigText(const std::string& text, ConfigData& data) {
    ValueReader reader(text);
    std::string value;
    bool wasQuoted = false;
    if (!reader.next(value, wasQuoted)) return ReadResult::ReadError;
    if (value != kConfigHeader) return ReadResult::WrongHeader;

    ConfigData copy = data;
    for (const auto& line : layout(copy)) {
        for (const auto& slot : line) {
            if (!reader.next(value, wasQuoted)) return ReadResult::ReadError;
            if (auto s = std::get_if<std::string*>(&slot)) {
                **s = value;
                continue;
            }
            long n = 0;
            if (!readNumber(value, n)) return ReadResult::ReadError;
            if (auto b = std::get_if<std::uint8_t*>(&slot)) {
                if (n < 0 || n > 255) return ReadResult::ReadError;
                **b = static_cast<std::uint8_t>(n);
            } else if (auto w = std::get_if<std::int16_t*>(&slot)) {
                if (n < -32768 || n > 32767) return ReadResult::ReadError;
                **w = static_cast<std::int16_t>(n);
            } else {
                *std::get<BoolSlot>(slot).p = vb(n != 0);
            }
        }
    }
    data = copy;
    return ReadResult::Ok;
}

ReadResult ReadConfigFile(const std::string& path, ConfigData& data) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return ReadResult::ReadError;
    std::ostringstream s;
    s << in.rdbuf();
    if (in.bad()) return ReadResult::ReadError;
    return parseConfigText(s.str(), data);
}

bool ReadOldConfigFile(const std::string& path, SystemBlock& system, AudioBlock& audio) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::array<char, 352> image{};
    in.read(image.data(), static_cast<std::streamsize>(image.size()));
    if (in.gcount() != static_cast<std::streamsize>(image.size())) return false;
    std::copy(image.begin(), image.begin() + 128, system.bytes.begin());
    std::copy(image.begin() + 128, image.end(), audio.bytes.begin());
    return true;
}

}  // namespace zelk
