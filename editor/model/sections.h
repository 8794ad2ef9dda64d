// sections.h - the parts of a configuration a technician takes on their
// own from a file or leaves as the unit has them: the options, the output
// trims, each channel's equaliser (bands, bass and treble, the sub-bass
// section) and the OBE.  The editor's tables and q7mctl's --only share
// these names and the one rule that takes settings over.
#ifndef ZELK_MODEL_SECTIONS_H
#define ZELK_MODEL_SECTIONS_H

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/compare.h"
#include "model/record.h"

namespace zelk {

// In the order the editor's tables show them.
enum class Section { Options, Trims, EqLeft, EqCenter, EqRight, EqLeftSurround, EqRightSurround, EqSub, Obe };
inline constexpr int kSectionCount = 9;

class SectionSet {
public:
    static SectionSet all() { return SectionSet((1u << kSectionCount) - 1); }
    SectionSet() = default;
    bool has(Section s) const { return (bits_ >> static_cast<int>(s)) & 1u; }
    void add(Section s) { bits_ |= 1u << static_cast<int>(s); }
    bool empty() const { return bits_ == 0; }
    bool isAll() const { return bits_ == all().bits_; }
    bool operator==(const SectionSet&) const = default;

private:
    explicit SectionSet(std::uint32_t bits) : bits_(bits) {}
    std::uint32_t bits_ = 0;
};

// The section a setting (as describeFields lists it) belongs to: every
// system block setting is an option (the kept bytes too), the audio
// block's settings by where they lie.
Section sectionOf(Blocks block, int offset);
// Its name on the command line ("options", "eq:left") and in the tables
// ("Options", "Output Trims", "Left Channel equaliser", "OBE"; as the user
// reads it).
const char* sectionName(Section s);
std::string sectionTitle(Section s);

// "trims,eq:left": comma-separated names, "eq" standing for every
// channel's equaliser; case does not matter.  Returns "" or why the text
// is refused (naming the sections there are).
std::string parseSections(const std::string& text, SectionSet& out);
// The names, comma-separated ("trims,eq:left"), "eq" for all six.
std::string sectionsText(SectionSet set);

// Takes over into `system`/`audio` the settings of `fromSystem`/`fromAudio`
// that `chosen` picks (a setting's one or two bytes; the upload stamp and
// the carried bytes never).  Returns how many settings changed.
int takeSettings(SystemBlock& system, AudioBlock& audio, const SystemBlock& fromSystem, const AudioBlock& fromAudio,
                 const std::function<bool(const FieldValue&)>& chosen);
int takeSections(SystemBlock& system, AudioBlock& audio, const SystemBlock& fromSystem, const AudioBlock& fromAudio,
                 SectionSet sections);

// The differences that lie in `sections`.
std::vector<FieldDifference> inSections(std::vector<FieldDifference> diffs, SectionSet sections);

}  // namespace zelk

#endif
