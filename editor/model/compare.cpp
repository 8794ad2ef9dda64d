#include "model/compare.h"

#include <algorithm>
#include <cstdio>

#include "form/captions.h"
#include "form/forms.h"
#include "form/translate.h"
#include "model/lookup.h"

namespace zelk {

const std::array<double, 27> kWideBandHz = {40,   50,   63,   80,   100,  125,  160,   200,   250,
                                            315,  400,  500,  630,  800,  1000, 1250,  1600,  2000,
                                            2500, 3150, 4000, 5000, 6300, 8000, 10000, 12500, 16000};
const std::array<double, 9> kOctaveBandHz = {63, 125, 250, 500, 1000, 2000, 4000, 8000, 16000};
const std::array<double, 7> kSubFrequencyHz = {25, 31.5, 40, 50, 63, 80, 100};
const std::array<const char*, 6> kChannelNames = {
    ZELK_TEXT("Settings", "Left Channel"),           ZELK_TEXT("Settings", "Left Surround Channel"),
    ZELK_TEXT("Settings", "Center Channel"),         ZELK_TEXT("Settings", "Right Surround Channel"),
    ZELK_TEXT("Settings", "Right Channel"),          ZELK_TEXT("Settings", "Subwoofer Channel")};

std::string frequencyText(double hz, Words words) {
    char buf[32];
    // %g follows no locale: the C library's own stays "C" in every program here.
    std::snprintf(buf, sizeof buf, "%g", hz >= 1000 ? hz / 1000.0 : hz);
    return fill(hz >= 1000 ? words.translate("Units", "%1 kHz") : words.translate("Units", "%1 Hz"), {buf});
}

namespace {

// The words of one description: the values' texts and the settings' names.
class Texts {
public:
    explicit Texts(Words w) : w_(w) {}
    std::string word(const char* text) const { return w_.translate("Settings", text); }
    std::string outOfRange(int raw) const {
        return fill(w_.translate("Settings", "code %1 (out of range)"), {std::to_string(raw)});
    }
    // An item of a list of words (marked "Captions"), or the code when the
    // list has no such item.
    template <typename List>
    std::string item(const List& list, int raw) const {
        if (raw >= 0 && raw < static_cast<int>(std::size(list)))
            return w_.translate("Captions", std::string(list[static_cast<std::size_t>(raw)]).c_str());
        return outOfRange(raw);
    }
    std::string db(const std::string& number) const { return fill(w_.translate("Units", "%1 dB"), {number}); }
    std::string levelText(int raw) const { return raw <= 24 ? db(bandText(raw)) : outOfRange(raw); }  // 6 - v/2 dB
    std::string toneText(int raw) const { return raw <= 20 ? db(bassText(raw)) : outOfRange(raw); }    // 10 - v dB
    std::string obeFilterText(int raw) const {
        if (raw == 0) return w_.translate("Settings", "Off");
        return raw <= 8 ? fill(w_.translate("Units", "%1 Hz"), {std::to_string(40 + 10 * raw)}) : outOfRange(raw);
    }
    std::string yesNo(int raw) const {
        return raw == 0 ? w_.translate("Settings", "No") : raw == 1 ? w_.translate("Settings", "Yes") : outOfRange(raw);
    }
    std::string channel(int ch) const {
        return w_.translate("Settings", kChannelNames[static_cast<std::size_t>(ch)]);
    }
    // "Left Channel trim": `pattern` ("%1 trim") with the channel's name.
    std::string ofChannel(const std::string& name, const char* pattern) const {
        return fill(w_.translate("Settings", pattern), {name});
    }
    Words words() const { return w_; }

private:
    Words w_;
};

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

std::vector<FieldValue> describeFields(const SystemBlock& system, const AudioBlock& audio, Blocks which, Words words) {
    Collector c(system, audio, which);
    const Texts t(words);

    // Options tab and the power-on and F1 choices.
    const std::string opt = t.word(ZELK_TEXT("Settings", "Options"));
    c.sys(opt, t.word(ZELK_TEXT("Settings", "Power On Format")), 30, t.item(kPowerOnFormatNames, c.sb(30)));
    c.sys(opt, t.word(ZELK_TEXT("Settings", "F1 (MONO) Format Key Assignment")), 0, t.item(kF1KeyNames, c.sb(0)));
    c.sys(opt, t.word(ZELK_TEXT("Settings", "Matrix Decoding Disabled")), 1, t.yesNo(c.sb(1)));
    // The lists in English are made once; shown, they follow the translator.
    static const std::array<std::vector<std::string>, 4> english = {nonsyncModeItems(), nonsyncTrimItems(),
                                                                    readerDelayItems(), surroundDelayItems()};
    std::array<std::vector<std::string>, 4> shown;
    if (words.shown)
        shown = {nonsyncModeItems(words), nonsyncTrimItems(words), readerDelayItems(words), surroundDelayItems(words)};
    const auto& l = words.shown ? shown : english;
    auto listItem = [&t](const std::vector<std::string>& list, int raw) {
        return raw >= 0 && raw < static_cast<int>(list.size()) ? list[static_cast<std::size_t>(raw)] : t.outOfRange(raw);
    };
    c.sys(opt, t.word(ZELK_TEXT("Settings", "Non-Sync Mode")), 3, listItem(l[0], c.sb(3)));
    c.sys(opt, t.word(ZELK_TEXT("Settings", "Non-Sync Trim")), 24, listItem(l[1], c.sb(24)));
    const int delay = system.readerDelay();
    c.add(Blocks::System, opt, t.word(ZELK_TEXT("Settings", "Reader Delay")), 4, delay, listItem(l[2], delay));
    c.sys(opt, t.word(ZELK_TEXT("Settings", "Surround Delay")), 6, listItem(l[3], c.sb(6)));

    // Output trims, in screen order.
    for (int ch : kScreenOrder)
        c.aud(t.word(ZELK_TEXT("Settings", "Output Trim")), t.ofChannel(t.channel(ch), ZELK_TEXT("Settings", "%1 trim")), 6 + ch, t.levelText(c.ab(6 + ch)));

    // Each channel's equaliser, in screen order.
    for (int ch : kScreenOrder) {
        const std::string name = t.channel(ch);
        const int base = 12 + 30 * ch;
        auto band = [&](double hz) { return name + " " + frequencyText(hz, words); };
        if (isWideChannel(ch)) {
            for (int b = 0; b < 27; ++b)
                c.aud(name, band(kWideBandHz[static_cast<std::size_t>(b)]), base + b, t.levelText(c.ab(base + b)));
        } else if (isSurroundChannel(ch)) {
            for (int b = 0; b < 9; ++b)
                c.aud(name, band(kOctaveBandHz[static_cast<std::size_t>(b)]), base + b, t.levelText(c.ab(base + b)));
        } else {
            c.aud(name, t.ofChannel(name, ZELK_TEXT("Settings", "%1 sub-bass gain")), base, t.levelText(c.ab(base)));
            c.aud(name, t.ofChannel(name, ZELK_TEXT("Settings", "%1 sub-bass bandwidth")), base + 1, t.item(kSubBandwidthNames, c.ab(base + 1)));
            c.aud(name, t.ofChannel(name, ZELK_TEXT("Settings", "%1 sub-bass frequency")), base + 2,
                  t.item(kSubFrequencyNames, c.ab(base + 2)));
        }
        c.aud(name, t.ofChannel(name, ZELK_TEXT("Settings", "%1 bass")), base + 27, t.toneText(c.ab(base + 27)));
        c.aud(name, t.ofChannel(name, ZELK_TEXT("Settings", "%1 treble")), base + 28, t.toneText(c.ab(base + 28)));
    }

    c.aud(t.word(ZELK_TEXT("Settings", "OBE")), t.word(ZELK_TEXT("Settings", "OBE Filter")), 193, t.obeFilterText(c.ab(193)));
    c.aud(t.word(ZELK_TEXT("Settings", "OBE")), t.word(ZELK_TEXT("Settings", "OBE Gain")), 192, t.levelText(c.ab(192)));

    // Bytes the editor never shows but keeps in its files: the unit may use them.
    for (int i : SystemBlock::kSysFields)
        c.sys(t.word(ZELK_TEXT("Settings", "Kept bytes")), fill(t.word(ZELK_TEXT("Settings", "System byte %1")), {std::to_string(i)}), i, std::to_string(c.sb(i)));
    return std::move(c.out);
}

std::vector<FieldDifference> compareConfigurations(const SystemBlock& leftSystem, const AudioBlock& leftAudio,
                                                   const SystemBlock& rightSystem, const AudioBlock& rightAudio,
                                                   Blocks which) {
    const auto l = describeFields(leftSystem, leftAudio, which);
    const auto r = describeFields(rightSystem, rightAudio, which);
    const auto ls = describeFields(leftSystem, leftAudio, which, kShown);
    const auto rs = describeFields(rightSystem, rightAudio, which, kShown);
    std::vector<FieldDifference> diffs;
    for (std::size_t i = 0; i < l.size() && i < r.size(); ++i) {
        if (l[i].raw == r[i].raw) continue;
        FieldDifference d{l[i].group, l[i].name, l[i].block, l[i].offset, l[i].text, r[i].text,
                          ls[i].group, ls[i].name, ls[i].text, rs[i].text};
        if (d.left == d.right) {
            const std::string code = translate("Settings", " (code %1)");
            d.left += " (code " + std::to_string(l[i].raw) + ")";
            d.right += " (code " + std::to_string(r[i].raw) + ")";
            d.shownLeft += fill(code, {std::to_string(l[i].raw)});
            d.shownRight += fill(code, {std::to_string(r[i].raw)});
        }
        diffs.push_back(std::move(d));
    }
    return diffs;
}

std::string differenceSummary(const std::vector<FieldDifference>& diffs, std::size_t named) {
    std::string s;
    const std::size_t shown = std::min(diffs.size(), std::max<std::size_t>(named, 1));
    for (std::size_t i = 0; i < shown; ++i) {
        if (i > 0) s += (i + 1 == shown && shown == diffs.size()) ? translate("Settings", " and ") : ", ";
        s += diffs[i].shownName;
    }
    if (shown < diffs.size())
        s += fill(translate("Settings", " and %1 more"), {std::to_string(diffs.size() - shown)});
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
