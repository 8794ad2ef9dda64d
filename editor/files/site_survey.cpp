#include "files/site_survey.h"

#include "form/translate.h"

#include <cstdlib>
#include <map>
#include <memory>
#include <string_view>

namespace zelk {

namespace {

// Just enough JSON for q7mctl's output: objects, arrays, strings (with
// their escapes), numbers, true, false and null.  Nesting is bounded, so
// no text can exhaust the stack.
struct Json {
    enum class Kind { Null, Bool, Number, String, Array, Object } kind = Kind::Null;
    bool flag = false;
    double number = 0;
    std::string text;
    std::vector<Json> items;
    std::map<std::string, Json> fields;
};

class Reader {
public:
    explicit Reader(const std::string& s) : s_(s) {}

    bool document(Json& out) {
        if (!value(out, 0)) return false;
        blank();
        return at_ == s_.size() || fail("unexpected text after the list");
    }
    const std::string& error() const { return error_; }

private:
    bool fail(const std::string& why) {
        if (error_.empty()) error_ = why + " (at character " + std::to_string(at_ + 1) + ")";
        return false;
    }
    void blank() {
        while (at_ < s_.size() && (s_[at_] == ' ' || s_[at_] == '\t' || s_[at_] == '\r' || s_[at_] == '\n')) ++at_;
    }
    bool word(const char* w) {
        const std::string_view v(w);
        if (s_.compare(at_, v.size(), v) != 0) return false;
        at_ += v.size();
        return true;
    }
    bool string(std::string& out) {
        ++at_;  // the opening quote
        while (at_ < s_.size() && s_[at_] != '"') {
            char c = s_[at_++];
            if (c != '\\') {
                out += c;
                continue;
            }
            if (at_ >= s_.size()) break;
            c = s_[at_++];
            switch (c) {
            case 'n': out += '\n'; break;
            case 't': out += '\t'; break;
            case 'r': out += '\r'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'u': {
                if (at_ + 4 > s_.size()) return fail("a cut \\u escape");
                const long code = std::strtol(s_.substr(at_, 4).c_str(), nullptr, 16);
                at_ += 4;
                // Control characters and Latin-1 are all q7mctl escapes.
                if (code < 0x80) out += static_cast<char>(code);
                else if (code < 0x800) {
                    out += static_cast<char>(0xC0 | (code >> 6));
                    out += static_cast<char>(0x80 | (code & 0x3F));
                } else out += '?';
                break;
            }
            default: out += c;
            }
        }
        if (at_ >= s_.size()) return fail("a string without its closing quote");
        ++at_;
        return true;
    }
    bool value(Json& out, int depth) {
        if (depth > 16) return fail("nested too deeply");
        blank();
        if (at_ >= s_.size()) return fail("the text ends early");
        const char c = s_[at_];
        if (c == '"') {
            out.kind = Json::Kind::String;
            return string(out.text);
        }
        if (c == '[' || c == '{') {
            const bool object = c == '{';
            out.kind = object ? Json::Kind::Object : Json::Kind::Array;
            ++at_;
            blank();
            if (at_ < s_.size() && s_[at_] == (object ? '}' : ']')) return ++at_, true;
            for (;;) {
                std::string key;
                if (object) {
                    blank();
                    if (at_ >= s_.size() || s_[at_] != '"' || !string(key)) return fail("a field without its name");
                    blank();
                    if (at_ >= s_.size() || s_[at_++] != ':') return fail("a name without ':'");
                }
                Json item;
                if (!value(item, depth + 1)) return false;
                if (object) out.fields[key] = std::move(item);
                else out.items.push_back(std::move(item));
                blank();
                if (at_ < s_.size() && s_[at_] == ',') {
                    ++at_;
                    continue;
                }
                if (at_ < s_.size() && s_[at_] == (object ? '}' : ']')) return ++at_, true;
                return fail(object ? "an object without its '}'" : "a list without its ']'");
            }
        }
        if (word("true") || word("false")) {
            out.kind = Json::Kind::Bool;
            out.flag = c == 't';
            return true;
        }
        if (word("null")) return true;
        char* end = nullptr;
        out.number = std::strtod(s_.c_str() + at_, &end);
        if (end == s_.c_str() + at_) return fail("not a value");
        out.kind = Json::Kind::Number;
        at_ = static_cast<std::size_t>(end - s_.c_str());
        return true;
    }

    const std::string& s_;
    std::size_t at_ = 0;
    std::string error_;
};

std::string text(const Json& o, const char* name) {
    const auto f = o.fields.find(name);
    return f != o.fields.end() && f->second.kind == Json::Kind::String ? f->second.text : std::string();
}

std::string joined(const std::vector<int>& ports) {
    std::string s;
    for (int p : ports) s += (s.empty() ? "" : ",") + std::to_string(p);
    return s;
}

}  // namespace

std::string parseUnitReadings(const std::string& json, std::vector<UnitReading>& out) {
    out.clear();
    Json doc;
    Reader reader(json);
    if (!reader.document(doc)) return "q7mctl's answer is not JSON: " + reader.error();
    if (doc.kind != Json::Kind::Array) return "q7mctl's answer is not a list of units";
    for (const Json& o : doc.items) {
        if (o.kind != Json::Kind::Object) return "q7mctl's answer holds something other than a unit";
        const auto port = o.fields.find("port");
        if (port == o.fields.end() || port->second.kind != Json::Kind::Number) return "a unit without its port";
        UnitReading r;
        r.port = static_cast<int>(port->second.number);
        const auto ok = o.fields.find("ok");
        r.ok = ok != o.fields.end() && ok->second.kind == Json::Kind::Bool && ok->second.flag;
        r.state = text(o, "state");
        r.cpu = text(o, "cpu");
        r.dspController = text(o, "dspController");
        r.dspFirmware = text(o, "dspFirmware");
        r.fader = text(o, "fader");
        r.format = text(o, "format");
        if (const auto m = o.fields.find("mute"); m != o.fields.end() && m->second.kind == Json::Kind::Bool)
            r.mute = m->second.flag ? "on" : "off";
        r.lastUpload = text(o, "lastUpload");
        if (const auto d = o.fields.find("differences"); d != o.fields.end() && d->second.kind == Json::Kind::Array)
            r.differences = static_cast<int>(d->second.items.size());
        r.result = text(o, "result");
        r.error = text(o, "error");
        out.push_back(std::move(r));
    }
    return {};
}

std::vector<std::string> surveyArguments(const std::vector<int>& ports, const std::string& folder) {
    return {"--json", "-p", joined(ports), "verify", folder};
}

std::vector<std::string> approveArguments(int port, const std::string& folder) {
    return {"--json", "-p", std::to_string(port), "backup", folder};
}

SurveyResult surveyResult(const std::string& out, const std::string& err, int exitStatus, bool started) {
    SurveyResult r;
    if (!started) {
        r.error = err.empty() ? translate("SiteOverview", "q7mctl, which reads the other units, could not be started")
                              : fill(translate("SiteOverview", "q7mctl, which reads the other units, could not be "
                                                               "started: %1"),
                                     {err});
        return r;
    }
    if (const std::string why = parseUnitReadings(out, r.units); why.empty() && !r.units.empty()) return r;
    // Refused (status 2) or stopped: its own words.
    std::string said = err;
    while (!said.empty() && (said.back() == '\n' || said.back() == '\r')) said.pop_back();
    if (const auto nl = said.find('\n'); nl != std::string::npos) said.resize(nl);
    r.units.clear();
    r.error = said.empty() ? fill(translate("SiteOverview", "q7mctl ended with status %1 and no result"),
                                  {std::to_string(exitStatus)})
                           : said;
    return r;
}

}  // namespace zelk
