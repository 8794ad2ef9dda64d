#include "model/sections.h"

#include "form/forms.h"

#include <algorithm>
#include <cctype>

namespace zelk {

namespace {

constexpr const char* kNames[kSectionCount] = {"options",  "trims",           "eq:left",
                                               "eq:center", "eq:right",       "eq:left-surround",
                                               "eq:right-surround", "eq:sub", "obe"};

// The equaliser section of channel index `ch`.
Section eqSection(int ch) {
    static constexpr Section byChannel[kChannels] = {Section::EqLeft,  Section::EqLeftSurround, Section::EqCenter,
                                                     Section::EqRightSurround, Section::EqRight, Section::EqSub};
    return byChannel[ch];
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

Section sectionOf(Blocks block, int offset) {
    if (block == Blocks::System) return Section::Options;
    if (offset < 12) return Section::Trims;
    if (offset < 12 + 30 * kChannels) return eqSection((offset - 12) / 30);
    return Section::Obe;
}

const char* sectionName(Section s) { return kNames[static_cast<int>(s)]; }

std::string sectionTitle(Section s) {
    switch (s) {
    case Section::Options: return translate("Settings", "Options");
    case Section::Trims: return translate("Settings", "Output Trims");
    case Section::Obe: return translate("Settings", "OBE");
    default: break;
    }
    const int eq = static_cast<int>(s) - static_cast<int>(Section::EqLeft);
    return fill(translate("Settings", "%1 equaliser"),
                {translate("Settings", kChannelNames[static_cast<std::size_t>(kScreenOrder[static_cast<std::size_t>(eq)])])});
}

std::string parseSections(const std::string& text, SectionSet& out) {
    SectionSet set;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        const std::string item = lower(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (item == "eq") {
            for (int i = static_cast<int>(Section::EqLeft); i <= static_cast<int>(Section::EqSub); ++i)
                set.add(static_cast<Section>(i));
        } else {
            const auto* hit = std::find_if(std::begin(kNames), std::end(kNames), [&](const char* n) { return item == n; });
            if (hit == std::end(kNames)) {
                std::string names = "options, trims, eq";
                for (int i = static_cast<int>(Section::EqLeft); i < kSectionCount; ++i) {
                    names += ", ";
                    names += kNames[i];
                }
                std::string what = item.empty() ? std::string("an empty section name") : "unknown section '" + item + "'";
                what += ": the sections are ";
                what += names;
                return what;
            }
            set.add(static_cast<Section>(hit - std::begin(kNames)));
        }
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    out = set;
    return {};
}

std::string sectionsText(SectionSet set) {
    std::string s;
    auto add = [&s](const char* name) { s += (s.empty() ? "" : ",") + std::string(name); };
    bool allEq = true;
    for (int i = static_cast<int>(Section::EqLeft); i <= static_cast<int>(Section::EqSub); ++i)
        allEq = allEq && set.has(static_cast<Section>(i));
    for (int i = 0; i < kSectionCount; ++i) {
        const auto sec = static_cast<Section>(i);
        if (allEq && sec == Section::EqLeft) add("eq");
        if (allEq && sec >= Section::EqLeft && sec <= Section::EqSub) continue;
        if (set.has(sec)) add(kNames[i]);
    }
    return s;
}

int takeSettings(SystemBlock& system, AudioBlock& audio, const SystemBlock& fromSystem, const AudioBlock& fromAudio,
                 const std::function<bool(const FieldValue&)>& chosen) {
    const auto mine = describeFields(system, audio);
    const auto theirs = describeFields(fromSystem, fromAudio);
    int changed = 0;
    for (std::size_t i = 0; i < theirs.size() && i < mine.size(); ++i) {
        const FieldValue& f = theirs[i];
        if (!chosen(f)) continue;
        if (f.raw != mine[i].raw) ++changed;
        // The reader delay is the one setting of two bytes.
        const std::size_t at = static_cast<std::size_t>(f.offset);
        const std::size_t width = f.block == Blocks::System && f.offset == 4 ? 2 : 1;
        for (std::size_t k = at; k < at + width; ++k) {
            if (f.block == Blocks::System) system.bytes[k] = fromSystem.bytes[k];
            else audio.bytes[k] = fromAudio.bytes[k];
        }
    }
    return changed;
}

int takeSections(SystemBlock& system, AudioBlock& audio, const SystemBlock& fromSystem, const AudioBlock& fromAudio,
                 SectionSet sections) {
    return takeSettings(system, audio, fromSystem, fromAudio,
                        [sections](const FieldValue& f) { return sections.has(sectionOf(f.block, f.offset)); });
}

std::vector<FieldDifference> inSections(std::vector<FieldDifference> diffs, SectionSet sections) {
    std::erase_if(diffs, [sections](const FieldDifference& d) { return !sections.has(sectionOf(d.block, d.offset)); });
    return diffs;
}

}  // namespace zelk
