#include "model/lookup.h"

#include <cstdio>

namespace zelk {

namespace {
// Formats with the given decimals; never shows "-0".
std::string fixed(double v, int decimals) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    std::string s = buf;
    if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
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
