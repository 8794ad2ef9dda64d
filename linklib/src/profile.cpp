#include "profile.h"

#include "platform/files.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string_view>

namespace q7m {

namespace {

std::string trim(std::string_view s) {
    const auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string_view::npos) return {};
    const auto e = s.find_last_not_of(" \t\r\n");
    return std::string(s.substr(b, e - b + 1));
}

bool iequals(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto la = static_cast<unsigned char>(a[i]);
        auto lb = static_cast<unsigned char>(b[i]);
        if (std::tolower(la) != std::tolower(lb)) return false;
    }
    return true;
}

// "[Name]" -> "Name", anything else -> nullopt
std::optional<std::string> sectionName(const std::string& line) {
    const std::string t = trim(line);
    if (t.size() >= 2 && t.front() == '[' && t.back() == ']') return trim(std::string_view(t).substr(1, t.size() - 2));
    return std::nullopt;
}

// "key=value" -> key, or nullopt for comments and other lines
std::optional<std::string> keyName(const std::string& line) {
    const std::string t = trim(line);
    if (t.empty() || t[0] == ';' || t[0] == '#') return std::nullopt;
    const auto eq = t.find('=');
    if (eq == std::string::npos) return std::nullopt;
    return trim(std::string_view(t).substr(0, eq));
}

}  // namespace

std::string iniPath() { return platform::joinPath(platform::configDirectory(), "ZelkSerial.ini"); }

bool Profile::load() {
    lines_.clear();
    std::ifstream in(path_, std::ios::binary);
    if (!in) return platform::pathKind(path_) == platform::PathKind::Missing;  // missing is fine, unreadable is not
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines_.push_back(line);
    }
    return !in.bad();
}

std::optional<std::string> Profile::get(const std::string& section, const std::string& key) const {
    bool inSection = false;
    for (const auto& line : lines_) {
        if (auto s = sectionName(line)) {
            inSection = iequals(*s, section);
            continue;
        }
        if (!inSection) continue;
        if (auto k = keyName(line); k && iequals(*k, key)) return trim(std::string_view(line).substr(line.find('=') + 1));
    }
    return std::nullopt;
}

std::optional<long> Profile::getInt(const std::string& section, const std::string& key) const {
    auto v = get(section, key);
    if (!v || v->empty()) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long n = std::strtol(v->c_str(), &end, 10);
    if (errno != 0 || end == v->c_str()) return std::nullopt;
    return n;
}

void Profile::set(const std::string& section, const std::string& key, const std::string& value) {
    const std::string entry = key + "=" + value;
    bool inSection = false;
    std::size_t sectionEnd = lines_.size();
    bool found = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (auto s = sectionName(lines_[i])) {
            if (inSection) break;
            inSection = iequals(*s, section);
            if (inSection) {
                found = true;
                sectionEnd = i + 1;
            }
            continue;
        }
        if (!inSection) continue;
        if (auto k = keyName(lines_[i]); k && iequals(*k, key)) {
            lines_[i] = entry;
            return;
        }
        if (!trim(lines_[i]).empty()) sectionEnd = i + 1;
    }
    if (!found) {
        if (!lines_.empty() && !trim(lines_.back()).empty()) lines_.emplace_back();
        lines_.push_back("[" + section + "]");
        lines_.push_back(entry);
        return;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(sectionEnd), entry);
}

bool Profile::save() const {
    if (!platform::makeDirectories(platform::parentDirectory(path_))) return false;
    std::string text;
    for (const auto& l : lines_) text += l + "\r\n";
    return platform::writeFileAtomically(path_, text).ok;
}

}  // namespace q7m
