#include "model/compare.h"

#include <algorithm>
#include <cstdio>

#include "form/captions.h"
#include "form/forms.h"
#include "model/lookup.h"

namespace zelk {

const std::array<double, 27> kWideBandHz = {40,   50,   63,   80,   100,  125,  160,   200,   250,
                                            315,  400,  500,  630,  800,  1000, 1250,  1600,  2000,
                                            2500, 3150, 4000, 5000, 6300, 8000, 10000, 12500, 16000};
const std::array<double, 9> kOctaveBandHz = {63, 125, 250, 500, 1000, 2000, 4000, 8000, 16000};
const std::array<double, 7> kSubFrequencyHz = {25, 31.5, 40, 50, 63, 80, 100};
const std::array<const char*, 6> kChannelNames = {"Left Channel",           "Left Surround Channel", "Center Channel",
                                                  "Right Surround Channel", "Right Channel",         "Subwoofer Channel"};

std::string frequencyText(double hz) {
    char buf[32];
    if (hz >= 1000) std::snprintf(buf, sizeof buf, "%g kHz", hz / 1000.0);
    else std::snprintf(buf, sizeof buf, "%g Hz", hz);
    return buf;
}

namespace {

std::string outOfRange(int raw) { return "code " + std::to_string(raw) + " (out of range)"; }

// An item of a list of words, or the code when the list has no such item.
template <typename List>
std::string item(const List& list, int raw) {
    if (raw >= 0 && raw < static_cast<int>(std::size(list))) return std::string(list[static_cast<std::size_t>(raw)]);
    return outOfRange(raw);
}

std::string levelText(int raw) { return raw <= 24 ? bandText(raw) + " dB" : outOfRange(raw); }     // 6 - v/2 dB
std::string toneText(int raw) { return raw <= 20 ? bassText(raw) + " dB" : outOfRange(raw); }      // 10 - v dB
std::string obeFilterText(int raw) {
    if (raw == 0) return "Off";
    return raw <= 8 ? std::to_string(40 + 10 * raw) + " Hz" : outOfRange(raw);
}
std::string yesNo(int raw) { return raw == 0 ? "No" : raw == 1 ? "Yes" : outOfRange(raw); }

class Collector {
public:
    Collector(const SystemBlock& s, const AudioBlock& a, Blocks which) : s_(s), a_(a), which_(which) {}

    void sys(const std::string& group, const std::string& name, int offset, std::string text) {
        add(Blocks::System, group, name, offset, s_.bytes[static_cast<std::size_t>(offset)], std::move(text));
    }
    void aud(const std::string& group, const std::string& name, int offset, std::string text) {
        add(Blocks::Audio, group, name, offset, a_.bytes[static_cast<std::size_t>(offset)], std::move(text));
    }
    void add(Blocks b, const std::string& group, const std::string& name, int offset, int raw, std::string text) {
        if (which_ != Blocks::Both && which_ != b) return;
        out.push_back({group, name, b, offset, raw, std::move(text)});
    }
    int sb(int i) const { return s_.bytes[static_cast<std::size_t>(i)]; }
    int ab(int i) const { return a_.bytes[static_cast<std::size_t>(i)]; }

    std::vector<FieldValue> out;

private:
    const SystemBlock& s_;
    const AudioBlock& a_;
    Blocks which_;
};

}  // namespace

std::vector<FieldValue> describeFields(const SystemBlock& system, const AudioBlock& audio, Blocks which) {
    Collector c(system, audio, which);

    // Options tab and the power-on and F1 choices.
    const std::string opt = "Options";
    c.sys(opt, "Power On Format", 30, item(kPowerOnFormatNames, c.sb(30)));
    c.sys(opt, "F1 (MONO) Format Key Assignment", 0, item(kF1KeyNames, c.sb(0)));
    c.sys(opt, "Matrix Decoding Disabled", 1, yesNo(c.sb(1)));
    static const auto modes = nonsyncModeItems(), trims = nonsyncTrimItems(), delays = readerDelayItems(),
                      surround = surroundDelayItems();
    c.sys(opt, "Non-Sync Mode", 3, item(modes, c.sb(3)));
    c.sys(opt, "Non-Sync Trim", 24, item(trims, c.sb(24)));
    const int delay = system.readerDelay();
    c.add(Blocks::System, opt, "Reader Delay", 4, delay, item(delays, delay));
    c.sys(opt, "Surround Delay", 6, item(surround, c.sb(6)));

    // Output trims, in screen order.
    for (int ch : kScreenOrder)
        c.aud("Output Trim", std::string(kChannelNames[static_cast<std::size_t>(ch)]) + " trim", 6 + ch,
              levelText(c.ab(6 + ch)));

    // Each channel's equaliser, in screen order.
    for (int ch : kScreenOrder) {
        const std::string name = kChannelNames[static_cast<std::size_t>(ch)];
        const int base = 12 + 30 * ch;
        if (isWideChannel(ch)) {
            for (int b = 0; b < 27; ++b)
                c.aud(name, name + " " + frequencyText(kWideBandHz[static_cast<std::size_t>(b)]), base + b,
                      levelText(c.ab(base + b)));
        } else if (isSurroundChannel(ch)) {
            for (int b = 0; b < 9; ++b)
                c.aud(name, name + " " + frequencyText(kOctaveBandHz[static_cast<std::size_t>(b)]), base + b,
                      levelText(c.ab(base + b)));
        } else {
            c.aud(name, name + " sub-bass gain", base, levelText(c.ab(base)));
            c.aud(name, name + " sub-bass bandwidth", base + 1, item(kSubBandwidthNames, c.ab(base + 1)));
            c.aud(name, name + " sub-bass frequency", base + 2, item(kSubFrequencyNames, c.ab(base + 2)));
        }
        c.aud(name, name + " bass", base + 27, toneText(c.ab(base + 27)));
        c.aud(name, name + " treble", base + 28, toneText(c.ab(base + 28)));
    }

    c.aud("OBE", "OBE Filter", 193, obeFilterText(c.ab(193)));
    c.aud("OBE", "OBE Gain", 192, levelText(c.ab(192)));

    // Bytes the editor never shows but keeps in its files: the unit may use them.
    for (int i : SystemBlock::kSysFields)
        c.sys("Kept bytes", "System byte " + std::to_string(i), i, std::to_string(c.sb(i)));
    return std::move(c.out);
}

std::vector<FieldDifference> compareConfigurations(const SystemBlock& leftSystem, const AudioBlock& leftAudio,
                                                   const SystemBlock& rightSystem, const AudioBlock& rightAudio,
                                                   Blocks which) {
    const auto l = describeFields(leftSystem, leftAudio, which);
    const auto r = describeFields(rightSystem, rightAudio, which);
    std::vector<FieldDifference> diffs;
    for (std::size_t i = 0; i < l.size() && i < r.size(); ++i) {
        if (l[i].raw == r[i].raw) continue;
        FieldDifference d{l[i].group, l[i].name, l[i].block, l[i].offset, l[i].text, r[i].text};
        if (d.left == d.right) {
            d.left += " (code " + std::to_string(l[i].raw) + ")";
            d.right += " (code " + std::to_string(r[i].raw) + ")";
        }
        diffs.push_back(std::move(d));
    }
    return diffs;
}

std::string differenceSummary(const std::vector<FieldDifference>& diffs, std::size_t named) {
    std::string s;
    const std::size_t shown = std::min(diffs.size(), std::max<std::size_t>(named, 1));
    for (std::size_t i = 0; i < shown; ++i) {
        if (i > 0) s += (i + 1 == shown && shown == diffs.size()) ? " and " : ", ";
        s += diffs[i].name;
    }
    if (shown < diffs.size()) s += " and " + std::to_string(diffs.size() - shown) + " more";
    return s;
}

std::string differencesTable(const std::vector<FieldDifference>& diffs, const std::string& leftTitle,
                             const std::string& rightTitle) {
    std::size_t w0 = 7, w1 = leftTitle.size();
    for (const auto& d : diffs) {
        w0 = std::max(w0, d.name.size());
        w1 = std::max(w1, d.left.size());
    }
    auto row = [&](const std::string& a, const std::string& b, const std::string& c) {
        return a + std::string(w0 + 2 - a.size(), ' ') + b + std::string(w1 + 2 - b.size(), ' ') + c + "\n";
    };
    std::string out = row("Setting", leftTitle, rightTitle);
    for (const auto& d : diffs) out += row(d.name, d.left, d.right);
    return out;
}

}  // namespace zelk
