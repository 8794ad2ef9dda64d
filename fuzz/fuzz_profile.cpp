// The settings file (ZelkSerial.ini) parser: any file loads; setting one key
// and saving keeps every other key's value, and the key set reads back.
#include <cctype>
#include <map>
#include <string>
#include <vector>

#include <cstring>
#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "profile.h"

namespace {

std::string trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Every section and key name that appears in the file, by a plain reading
// of its lines; the values are then asked of the parser itself.
std::vector<std::pair<std::string, std::string>> namesIn(const std::vector<std::string>& lines) {
    std::vector<std::pair<std::string, std::string>> names;
    std::string section;
    for (const auto& raw : lines) {
        const std::string t = trim(raw);
        if (t.size() >= 2 && t.front() == '[' && t.back() == ']') {
            section = trim(t.substr(1, t.size() - 2));
        } else if (!t.empty() && t[0] != ';' && t[0] != '#' && t.find('=') != std::string::npos) {
            names.emplace_back(section, trim(t.substr(0, t.find('='))));
        }
    }
    return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The last bytes choose what is set (a key of the library's own, a key
    // already in the file, or a new key in a section of the file) and to
    // what; the rest is the file.
    FuzzedDataProvider in(data, size);
    const auto choice = in.ConsumeIntegral<std::uint8_t>();
    const auto number = in.ConsumeIntegral<std::uint16_t>();
    const std::string file = in.ConsumeRemainingBytesAsString();
    const std::string value = choice & 0x80 ? "/dev/ttyS" + std::to_string(number) : std::to_string(number);
    const std::string path = q7mfuzz::scratchDir() + "/ZelkSerial.ini";
    q7mfuzz::writeWhole(path, file);
    q7m::Profile before(path);
    FUZZ_CHECK(before.load(), "a readable file failed to load");
    static const char* const kOwn[][2] = {{"Serial", "ReadTimeout"}, {"Serial95", "WriteTimeout"}, {"Ports", "COM1"}};
    const auto names = namesIn(before.lines());
    std::string section = kOwn[choice % 3][0], key = kOwn[choice % 3][1];
    if ((choice & 0x60) != 0 && !names.empty()) {
        const auto& pick = names[number % names.size()];
        section = pick.first;
        key = (choice & 0x60) == 0x20 ? "Key" + std::to_string(number) : pick.second;
    }
    if (key.empty()) key = "Key";
    std::map<std::pair<std::string, std::string>, std::string> kept;  // lower-cased names -> value
    for (const auto& [s, k] : names) {
        if (lower(s) == lower(section) && lower(k) == lower(key)) continue;
        if (auto v = before.get(s, k)) kept.emplace(std::make_pair(lower(s), lower(k)), *v);
    }

    before.set(section, key, value);
    FUZZ_CHECK(before.save(), "save failed");
    q7m::Profile after(path);
    FUZZ_CHECK(after.load(), "the saved file failed to load");
    const auto got = after.get(section, key);
    FUZZ_CHECK(got && *got == value, "[%s] %s set to '%s' reads '%s'", section.c_str(), key.c_str(), value.c_str(),
               got ? got->c_str() : "(missing)");
    for (const auto& [name, v] : kept) {
        const auto now = after.get(name.first, name.second);
        FUZZ_CHECK(now && *now == v, "[%s] %s was '%s', after setting [%s] %s reads '%s'", name.first.c_str(),
                   name.second.c_str(), v.c_str(), section.c_str(), key.c_str(), now ? now->c_str() : "(missing)");
    }
    return 0;
}
