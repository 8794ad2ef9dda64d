// services.h - what the editor's logic asks of its surroundings: message
// boxes, file dialogs, the clock, the screen, the event loop and the
// user's language.  The Qt
// front end provides the real ones; tests provide substitutes.
#ifndef ZELK_FORM_SERVICES_H
#define ZELK_FORM_SERVICES_H

#include <optional>
#include <string>

namespace zelk {

enum class MsgIcon { None, Exclamation, Question, Critical };
// YesNoDefaultNo: Yes and No with No the default (Enter answers No), for a
// question whose Yes throws work away.
enum class MsgButtons { OK, YesNo, YesNoCancel, YesNoDefaultNo };
enum class MsgResult { OK, Yes, No, Cancel };

class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    virtual MsgResult show(const std::string& text, const std::string& title, MsgIcon icon, MsgButtons buttons) = 0;
};

// The file dialog; it keeps the file name last chosen or proposed in it.
class FileDialogService {
public:
    virtual ~FileDialogService() = default;
    // filter as "Description (*.ext)|*.ext|..."; empty result: cancelled.
    virtual std::optional<std::string> showOpen(const std::string& filter, const std::string& fileName) = 0;
    virtual std::optional<std::string> showSave(const std::string& filter, const std::string& fileName) = 0;
    // A folder, starting at `folder`; empty result: cancelled.
    virtual std::optional<std::string> showFolder(const std::string& title, const std::string& folder) {
        (void)title;
        (void)folder;
        return std::nullopt;
    }
};

struct LocalTime {
    int year = 2000, month = 1, day = 1;  // month 1..12
    int weekday = 0;                      // 0 Sunday .. 6 Saturday
    int hour = 0, minute = 0, second = 0;
};

class ClockService {
public:
    virtual ~ClockService() = default;
    virtual LocalTime now() = 0;
    // Waits without letting the user interface process events.
    virtual void sleepMs(int ms) = 0;
};

// The event loop and the screen, as far as the logic needs them.
class UiService {
public:
    virtual ~UiService() = default;
    virtual void repaint() {}
    virtual void processEvents() {}
    virtual int screenHeightTwips() { return 11520; }  // 768 pixels
    virtual void moveMainWindowToTop() {}
    virtual void quit() {}
};

// The user's language: a text written in English, with the context it is
// filed under for the translators, in the language the user reads.  The
// logic reaches it through translate() (form/translate.h).
class Translator {
public:
    virtual ~Translator() = default;
    virtual std::string translate(const char* context, const char* text) const = 0;
};

}  // namespace zelk

#endif
