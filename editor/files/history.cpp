#include "files/history.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "form/translate.h"
#include "platform/files.h"

namespace zelk {

namespace {

void putString(std::string& out, const std::string& s) {
    out += '"';
    for (const char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (u < 0x20 || u == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", u);
            out += buf;
        } else {
            out += c;
        }
    }
    out += '"';
}

void putField(std::string& out, const char* key, const std::string& value) {
    if (out.size() > 1) out += ',';
    putString(out, key);
    out += ':';
    putString(out, value);
}

// A reader for the records this file writes: objects whose values are
// strings, or arrays of such objects.  Anything else fails the line.
class Reader {
public:
    explicit Reader(const std::string& s) : s_(s) {}

    bool record(HistoryRecord& r) {
        bool ok = object([&](const std::string& key) {
            if (key == "changes") return changes(r.changes);
            std::string v;
            if (!string(v)) return false;
            if (key == "time") r.time = v;
            else if (key == "user") r.user = v;
            else if (key == "program") r.program = v;
            else if (key == "port") r.port = v;
            else if (key == "target") r.target = v;
            else if (key == "action") r.action = v;
            else if (key == "source") r.source = v;
            else if (key == "sections") r.sections = v;
            else if (key == "result") r.result = v;
            else if (key == "reason") r.reason = v;
            return true;  // a key of a later version: kept readable
        });
        blank();
        return ok && i_ == s_.size() && !r.time.empty() && !r.result.empty();
    }

private:
    template <typename OnValue>
    bool object(OnValue onValue) {
        blank();
        if (!take('{')) return false;
        blank();
        if (take('}')) return true;
        for (;;) {
            std::string key;
            blank();
            if (!string(key)) return false;
            blank();
            if (!take(':')) return false;
            blank();
            if (!onValue(key)) return false;
            blank();
            if (take('}')) return true;
            if (!take(',')) return false;
        }
    }

    bool changes(std::vector<HistoryChange>& out) {
        if (!take('[')) return false;
        blank();
        if (take(']')) return true;
        for (;;) {
            HistoryChange c;
            const bool ok = object([&](const std::string& key) {
                std::string v;
                if (!string(v)) return false;
                if (key == "setting") c.setting = v;
                else if (key == "old") c.before = v;
                else if (key == "new") c.after = v;
                return true;
            });
            if (!ok) return false;
            out.push_back(std::move(c));
            blank();
            if (take(']')) return true;
            if (!take(',')) return false;
            blank();
        }
    }

    bool string(std::string& out) {
        if (!take('"')) return false;
        while (i_ < s_.size()) {
            const char c = s_[i_++];
            if (c == '"') return true;
            if (static_cast<unsigned char>(c) < 0x20) return false;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (i_ >= s_.size()) return false;
            const char e = s_[i_++];
            switch (e) {
            case '"': case '\\': case '/': out += e; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'u': {
                unsigned cp = 0;
                if (!hex4(cp)) return false;
                if (cp >= 0xD800 && cp < 0xDC00) {  // a pair of surrogates
                    unsigned low = 0;
                    if (!take('\\') || !take('u') || !hex4(low) || low < 0xDC00 || low >= 0xE000) return false;
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                } else if (cp >= 0xDC00 && cp < 0xE000) {
                    return false;
                }
                utf8(out, cp);
                break;
            }
            default: return false;
            }
        }
        return false;  // cut short
    }

    bool hex4(unsigned& v) {
        if (i_ + 4 > s_.size()) return false;
        v = 0;
        for (int k = 0; k < 4; ++k) {
            const char c = s_[i_++];
            v <<= 4;
            if (c >= '0' && c <= '9') v |= static_cast<unsigned>(c - '0');
            else if (c >= 'a' && c <= 'f') v |= static_cast<unsigned>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F') v |= static_cast<unsigned>(c - 'A' + 10);
            else return false;
        }
        return true;
    }

    static void utf8(std::string& out, unsigned cp) {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    void blank() {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\r' || s_[i_] == '\n')) ++i_;
    }
    bool take(char c) {
        if (i_ < s_.size() && s_[i_] == c) {
            ++i_;
            return true;
        }
        return false;
    }

    const std::string& s_;
    std::size_t i_ = 0;
};

// A part of a file name: letters, digits, '-' and '.' stay, runs of
// anything else become one '_', none at either end.
std::string safePart(const std::string& text) {
    std::string out;
    for (const char c : text) {
        const bool keep = std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.';
        if (keep) out += c;
        else if (!out.empty() && out.back() != '_') out += '_';
    }
    while (!out.empty() && out.back() == '_') out.pop_back();
    return out;
}

std::string headline(const HistoryRecord& r) {
    std::string s = r.time + "  " + r.program + "  " + (r.user.empty() ? "?" : r.user) + "  " + r.port + ": " + r.action;
    if (!r.source.empty()) s += " " + r.source;
    if (!r.sections.empty()) s += " (only " + r.sections + ")";
    return s + ": " + r.result;
}

}  // namespace

std::string historyTime(const LocalTime& t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
    return buf;
}

std::string historyDirectory(const std::string& dataDir) { return dataDir + "/history"; }

std::string historyNamePart(const std::string& text) { return safePart(text); }

std::string historyPath(const std::string& dataDir, int port, const std::string& target) {
    const std::string where = safePart(target);
    return historyDirectory(dataDir) + "/COM" + std::to_string(port) + "-" + (where.empty() ? "unmapped" : where) +
           ".jsonl";
}

std::string historyLine(const HistoryRecord& r) {
    std::string out = "{";
    putField(out, "time", r.time);
    putField(out, "user", r.user);
    putField(out, "program", r.program);
    putField(out, "port", r.port);
    putField(out, "target", r.target);
    putField(out, "action", r.action);
    putField(out, "source", r.source);
    putField(out, "sections", r.sections);
    out += ",\"changes\":[";
    for (std::size_t i = 0; i < r.changes.size(); ++i) {
        std::string c = "{";
        putField(c, "setting", r.changes[i].setting);
        putField(c, "old", r.changes[i].before);
        putField(c, "new", r.changes[i].after);
        out += (i ? "," : "") + c + "}";
    }
    out += "]";
    putField(out, "result", r.result);
    putField(out, "reason", r.reason);
    return out + "}";
}

bool parseHistoryLine(const std::string& line, HistoryRecord& out) {
    HistoryRecord r;
    if (!Reader(line).record(r)) return false;
    out = std::move(r);
    return true;
}

std::string appendHistory(const std::string& path, const HistoryRecord& r) {
    if (!q7m::platform::makeDirectories(q7m::platform::parentDirectory(path)))
        return "the folder " + q7m::platform::parentDirectory(path) + " cannot be made";
    const auto saved = q7m::platform::appendLineDurably(path, historyLine(r));
    return saved ? std::string() : saved.error;
}

HistoryRead readHistory(const std::string& path) {
    HistoryRead h;
    using Status = q7m::platform::SmallFile::Status;
    const auto file = q7m::platform::readSmallFile(path, kMaxHistoryBytes);
    switch (file.status) {
    case Status::Ok: break;
    case Status::NotFound: return h;
    case Status::TooLarge:
    case Status::Grew:
        h.notes.push_back(fill(translate("History", "%1 is larger than %2 MB: it was not read"),
                               {path, std::to_string(kMaxHistoryBytes / (1024LL * 1024))}));
        return h;
    default:
        h.notes.push_back(file.error.empty() ? fill(translate("History", "%1 could not be read"), {path})
                                             : fill(translate("History", "%1 could not be read: %2"), {path, file.error}));
        return h;
    }
    std::size_t start = 0, lineNo = 0;
    const std::string& text = file.bytes;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        ++lineNo;
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos) continue;
        HistoryRecord r;
        if (parseHistoryLine(line, r)) h.records.push_back(std::move(r));
        else
            h.notes.push_back(fill(translate("History", "line %1 of %2 is damaged (cut short or not a record) and "
                                                        "was skipped"),
                                   {std::to_string(lineNo), path}));
    }
    return h;
}

std::vector<HistoryChange> historyChanges(const std::vector<FieldDifference>& diffs) {
    std::vector<HistoryChange> out;
    for (const auto& d : diffs) out.push_back({d.name, d.left, d.right});
    return out;
}

std::vector<HistoryRecord> changesSinceAsFound(const std::vector<HistoryRecord>& oldestFirst) {
    auto mark = std::find_if(oldestFirst.rbegin(), oldestFirst.rend(),
                             [](const HistoryRecord& r) { return r.action == kActionAsFound; });
    return {mark.base(), oldestFirst.end()};
}

std::string changesSummary(const std::vector<HistoryChange>& changes, std::size_t named) {
    std::string s;
    const std::size_t shown = std::min(changes.size(), std::max<std::size_t>(named, 1));
    for (std::size_t i = 0; i < shown; ++i) {
        if (i > 0) s += (i + 1 == shown && shown == changes.size()) ? translate("Settings", " and ") : ", ";
        s += changes[i].setting + " " + changes[i].before + " -> " + changes[i].after;
    }
    if (shown < changes.size())
        s += fill(translate("Settings", " and %1 more"), {std::to_string(changes.size() - shown)});
    return s;
}

std::string historyText(const std::vector<HistoryRecord>& oldestFirst) {
    std::string t;
    for (auto it = oldestFirst.rbegin(); it != oldestFirst.rend(); ++it) {
        t += headline(*it) + "\n";
        if (!it->target.empty()) t += "    port: " + it->port + " (" + it->target + ")\n";
        if (!it->reason.empty()) t += "    reason: " + it->reason + "\n";
        for (const auto& c : it->changes) t += "    " + c.setting + ": " + c.before + " -> " + c.after + "\n";
    }
    return t;
}

std::string historyJson(const std::vector<HistoryRecord>& oldestFirst) {
    std::string t = "[";
    for (auto it = oldestFirst.rbegin(); it != oldestFirst.rend(); ++it)
        t += (it == oldestFirst.rbegin() ? "\n  " : ",\n  ") + historyLine(*it);
    return t + (oldestFirst.empty() ? "]\n" : "\n]\n");
}

}  // namespace zelk
