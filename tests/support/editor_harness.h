// editor_harness.h - the editor's logic with substitutes: a scripted link
// library that records every call, message boxes and file dialogs that
// answer from a script, and a clock the test moves.
#ifndef ZELK_TEST_EDITOR_HARNESS_H
#define ZELK_TEST_EDITOR_HARNESS_H

#include <array>
#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/editor.h"
#include "sim_process.h"

namespace zelktest {

using namespace zelk;

struct LinkCall {
    std::string name;
    std::vector<long> args;
    bool operator==(const LinkCall&) const = default;
};
std::ostream& operator<<(std::ostream& os, const LinkCall& c);

// The substitute library.  Results come from per-entry-point queues (0
// when a queue is empty); values come from a little unit model.
class FakeLink {
public:
    FakeLink();
    ~FakeLink();
    const LinkApi& api() const { return api_; }

    void failNext(const std::string& name, std::uint16_t word, int times = 1);
    std::vector<LinkCall> calls;
    std::vector<std::string> names() const;  // the call names, in order
    int count(const std::string& name) const;
    void clear() { calls.clear(); }

    // Unit model.
    std::int16_t volume = 70, format = 3;
    std::uint8_t mute = 0;
    std::array<std::int16_t, 7> versions{1, 6, 0, 1, 3, 1, 9};
    std::array<std::uint8_t, 128> system{};
    std::array<std::uint8_t, 224> audio{};
    std::vector<std::array<std::uint8_t, 128>> systemsSent;
    std::vector<std::array<std::uint8_t, 224>> audiosSent;
    // Measurement records the unit streams.
    std::int16_t optGain = 0;
    std::array<std::uint8_t, 11> slitRecord{};
    std::int16_t slitKind = 0;
    std::array<std::uint8_t, 28> azimuthRecord{};

    std::uint16_t result(const std::string& name, std::vector<long> args);
    // A block read that fails has written this much of the block first
    // (as a library reading into the caller's buffer would).
    std::size_t partialRead = 0;
    // Told of each call as it is made (a test may act in the middle of one).
    std::function<void(const std::string& name)> onCall;

private:
    LinkApi api_;
    std::map<std::string, std::deque<std::uint16_t>> script_;
};

class ScriptedMessageBox : public MessageBoxService {
public:
    struct Box {
        std::string text, title;
        MsgIcon icon;
        MsgButtons buttons;
    };
    MsgResult show(const std::string& text, const std::string& title, MsgIcon icon, MsgButtons buttons) override;
    void answer(MsgResult r) { answers.push_back(r); }
    // Called as each box appears, to look at the screen behind it.
    std::function<void(const Box&)> onShow;
    std::vector<Box> boxes;
    std::deque<MsgResult> answers;  // when empty: the default button (OK, Yes, or No where No is the default)
    std::vector<std::string> texts() const;
};

class ScriptedFileDialog : public FileDialogService {
public:
    std::optional<std::string> showOpen(const std::string& filter, const std::string& fileName) override;
    std::optional<std::string> showSave(const std::string& filter, const std::string& fileName) override;
    std::deque<std::optional<std::string>> paths;  // nullopt = cancel
    std::vector<std::string> filters, proposed;
};

class TestClock : public ClockService {
public:
    LocalTime now() override { return time; }
    void sleepMs(int ms) override {
        sleptMs += ms;
        if (realPauses) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
    LocalTime time{2004, 3, 25, 4, 15, 7, 0};
    long sleptMs = 0;
    bool realPauses = false;  // pauses take their time (a port that comes back)
};

class CountingUi : public UiService {
public:
    void repaint() override { ++repaints; }
    void processEvents() override { ++eventsProcessed; }
    int screenHeightTwips() override { return height; }
    void moveMainWindowToTop() override { ++movedToTop; }
    void quit() override { quitCalled = true; }
    int repaints = 0, eventsProcessed = 0, movedToTop = 0;
    int height = 11520;
    bool quitCalled = false;
};

// An editor wired to the substitutes, its files in a temporary folder.
struct Harness {
    explicit Harness(const LinkApi* realLink = nullptr);
    q7mtest::TempDir dir;
    FakeLink fake;
    ScriptedMessageBox msg;
    ScriptedFileDialog files;
    TestClock clock;
    CountingUi ui;
    DirectRunner runner;
    std::unique_ptr<Editor> ed;

    // Editor set up as after start-up, without connecting.
    void initialise();
    // Connects through the dispatcher (fake unit answers).
    bool connect();
    std::vector<std::string> linkNames() const { return fake.names(); }
};

}  // namespace zelktest

#endif
