#include "model/lookup.h"

#include <charconv>

namespace zelk {

namespace {
// Formats with the given decimals and a decimal point in every locale;
// never shows "-0".
std::string fixed(double v, int decimals) {
    char buf[48];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    std::string s(buf, r.ec == std::errc() ? r.ptr : buf);
    if (!s.empty() && s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
    return s;
}
}  // namespace

std::string format0(double v) { return fixed(v, 0); }
std::string format00(double v) { return fixed(v, 1); }

std::string bandText(int raw) { return format00(6.0 - raw / 2.0); }
std::string bassText(int raw) { return format0(10.0 - raw); }
std::string obeSliderText(int raw) { return format00(raw / 2.0 - 6.0); }
std::string volumeText(int level) { return format00(level / 10.0); }

}  // namespace zelk
