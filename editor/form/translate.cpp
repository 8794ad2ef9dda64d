#include "form/translate.h"

#include <atomic>

namespace zelk {

namespace {
std::atomic<const Translator*> gTranslator{nullptr};
}

void useTranslator(const Translator* translator) { gTranslator.store(translator); }

std::string translate(const char* context, const char* text) {
    const Translator* t = gTranslator.load();
    return t ? t->translate(context, text) : std::string(text);
}

std::string fill(std::string_view pattern, std::initializer_list<std::string_view> args) {
    std::string out;
    out.reserve(pattern.size() + 32);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const auto n = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (n < args.size()) {
                out += *(args.begin() + n);
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

}  // namespace zelk
