#include "editor_harness.h"

#include <algorithm>
#include <cstring>
#include <ostream>

namespace zelktest {

namespace {
FakeLink* g = nullptr;

#define FAKE(name, ...) g->result(#name, {__VA_ARGS__})
}  // namespace

std::ostream& operator<<(std::ostream& os, const LinkCall& c) {
    os << c.name << "(";
    for (std::size_t i = 0; i < c.args.size(); ++i) os << (i ? ", " : "") << c.args[i];
    return os << ")";
}

FakeLink::FakeLink() {
    g = this;
    for (int i = 0; i < 128; ++i) system[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i % 7);
    for (int i = 0; i < 224; ++i) audio[static_cast<std::size_t>(i)] = 12;
    system[30] = 0;
    system[0] = 0;
    audio[193] = 0;
    api_.InitDLL = [](std::int32_t p) { return FAKE(InitDLL, p); };
    api_.DLLShutdown = []() -> std::int32_t { return FAKE(DLLShutdown); };
    api_.SetDLLBaud = [](std::int32_t i) { return FAKE(SetDLLBaud, i); };
    api_.DLLCreateIni = []() { FAKE(DLLCreateIni); };
    api_.ClearError = []() -> std::int32_t { return FAKE(ClearError) == 0 ? 1 : 0; };
    api_.GetUnitVersion = [](std::int16_t* v) {
        const auto e = FAKE(GetUnitVersion);
        if (!e) std::memcpy(v, g->versions.data(), 14);
        return e;
    };
    api_.GetSystem = [](std::uint8_t* b) {
        const auto e = FAKE(GetSystem);
        std::memcpy(b, g->system.data(), e ? std::min<std::size_t>(g->partialRead, 128) : 128);
        return e;
    };
    api_.SetSystem = [](const std::uint8_t* b) {
        const auto e = FAKE(SetSystem);
        std::array<std::uint8_t, 128> copy;
        std::memcpy(copy.data(), b, 128);
        g->systemsSent.push_back(copy);
        if (!e) g->system = copy;
        return e;
    };
    api_.GetAudio = [](std::uint8_t* b) {
        const auto e = FAKE(GetAudio);
        std::memcpy(b, g->audio.data(), e ? std::min<std::size_t>(g->partialRead, 224) : 224);
        return e;
    };
    api_.SetAudio = [](const std::uint8_t* b) {
        const auto e = FAKE(SetAudio);
        std::array<std::uint8_t, 224> copy;
        std::memcpy(copy.data(), b, 224);
        g->audiosSent.push_back(copy);
        if (!e) g->audio = copy;
        return e;
    };
    api_.SetVol = [](std::int32_t v) {
        const auto e = FAKE(SetVol, v);
        if (!e) g->volume = static_cast<std::int16_t>(v);
        return e;
    };
    api_.GetVol = [](std::int16_t* v) {
        const auto e = FAKE(GetVol);
        if (!e) *v = g->volume;
        return e;
    };
    api_.SetMute = [](std::int32_t m) {
        const auto e = FAKE(SetMute, m);
        if (!e) g->mute = (m & 0xFF) ? 1 : 0;
        return e;
    };
    api_.GetMute = [](std::uint8_t* m) {
        const auto e = FAKE(GetMute);
        if (!e) *m = g->mute;
        return e;
    };
    api_.SelectFormat = [](std::int32_t f) {
        const auto e = FAKE(SelectFormat, f);
        if (!e) g->format = static_cast<std::int16_t>(f);
        return e;
    };
    api_.GetFormat = [](std::int16_t* f) {
        const auto e = FAKE(GetFormat);
        if (!e) *f = g->format;
        return e;
    };
    api_.SetPink = [](std::int32_t c, std::int32_t on) { return FAKE(SetPink, c, on); };
    api_.SetPhase = [](std::int32_t c, std::int32_t on) { return FAKE(SetPhase, c, on); };
    api_.SetRT60 = [](std::int32_t on) { return FAKE(SetRT60, on); };
    api_.SetProjector = [](std::int32_t p) { return FAKE(SetProjector, p); };
    api_.EnableOBE = []() { return FAKE(EnableOBE); };
    api_.BeginGainStream = []() { return FAKE(BeginGainStream); };
    api_.BeginSlitStream = []() { return FAKE(BeginSlitStream); };
    api_.BeginAzimuthStream = []() { return FAKE(BeginAzimuthStream); };
    api_.StopStream = []() { return FAKE(StopStream); };
    api_.GetOptGain = [](std::int16_t* v) {
        const auto e = FAKE(GetOptGain);
        if (!e) *v = g->optGain;
        return e;
    };
    api_.GetSingleSlitloss = [](std::uint8_t* r, std::int16_t* kind) {
        const auto e = FAKE(GetSingleSlitloss);
        if (!e) {
            std::memcpy(r, g->slitRecord.data(), 11);
            *kind = g->slitKind;
        }
        return e;
    };
    api_.GetOptSlitloss = [](std::uint8_t*) { return FAKE(GetOptSlitloss); };
    api_.GetOptAzimuth = [](std::uint8_t* r) {
        const auto e = FAKE(GetOptAzimuth);
        if (!e) std::memcpy(r, g->azimuthRecord.data(), 28);
        return e;
    };
}

FakeLink::~FakeLink() {
    if (g == this) g = nullptr;
}

std::uint16_t FakeLink::result(const std::string& name, std::vector<long> args) {
    calls.push_back({name, std::move(args)});
    if (onCall) onCall(name);
    auto& q = script_[name];
    if (q.empty()) return 0;
    const auto r = q.front();
    q.pop_front();
    return r;
}

void FakeLink::failNext(const std::string& name, std::uint16_t word, int times) {
    for (int i = 0; i < times; ++i) script_[name].push_back(word);
}

std::vector<std::string> FakeLink::names() const {
    std::vector<std::string> n;
    for (auto& c : calls) n.push_back(c.name);
    return n;
}

int FakeLink::count(const std::string& name) const {
    int n = 0;
    for (auto& c : calls) n += c.name == name;
    return n;
}

MsgResult ScriptedMessageBox::show(const std::string& text, const std::string& title, MsgIcon icon,
                                   MsgButtons buttons) {
    boxes.push_back({text, title, icon, buttons});
    if (onShow) onShow(boxes.back());
    if (!answers.empty()) {
        const auto r = answers.front();
        answers.pop_front();
        return r;
    }
    if (buttons == MsgButtons::OK) return MsgResult::OK;
    return buttons == MsgButtons::YesNoDefaultNo ? MsgResult::No : MsgResult::Yes;  // as Enter would
}

std::vector<std::string> ScriptedMessageBox::texts() const {
    std::vector<std::string> t;
    for (auto& b : boxes) t.push_back(b.text);
    return t;
}

std::optional<std::string> ScriptedFileDialog::showOpen(const std::string& filter, const std::string& fileName) {
    filters.push_back(filter);
    proposed.push_back(fileName);
    if (paths.empty()) return std::nullopt;
    auto p = paths.front();
    paths.pop_front();
    return p;
}

std::optional<std::string> ScriptedFileDialog::showSave(const std::string& filter, const std::string& fileName) {
    return showOpen(filter, fileName);
}

Harness::Harness(const LinkApi* realLink) {
    Paths p;
    p.programDir = dir.path();
    p.dataDir = dir.file("data");
    p.configDir = dir.file("config");
    ed = std::make_unique<Editor>(Services{msg, files, clock, ui, runner}, realLink ? *realLink : fake.api(), p);
    // Tests of the editor's routines pin their exact library traffic: the
    // service visit's read-backs (verify, as found) are off unless a test turns them on.
    ed->service.setUnitReads(false);
}

void Harness::initialise() {
    ed->channels.InitialiseLookupArrays();
    ed->vals.LoadingControls = kTrue;
    ed->channels.ResetAll();
    ed->channels.LoadChannelData();
    ed->vals.LoadingControls = kFalse;
    ed->document.markClean();
}

bool Harness::connect() {
    const bool ok = ed->connection.ConnectToUnit();
    ed->prog.form.setVisible(false);
    return ok;
}

}  // namespace zelktest
