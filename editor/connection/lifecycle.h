// lifecycle.h - the order of start-up and shut-down of the main window.
#ifndef ZELK_CONNECTION_LIFECYCLE_H
#define ZELK_CONNECTION_LIFECYCLE_H

#include <string>

namespace zelk {

class Editor;

inline constexpr int kMinScreenTwips = 9000;

class Lifecycle {
public:
    explicit Lifecycle(Editor& ed) : ed_(ed) {}
    void wire();

    void Timer1_Timer();  // the splash window's first tick
    // Returns false when the program must end at once (screen too small).
    bool Form_Load();
    // Returns true when the window may close (Cancel not set).
    bool Form_Unload();
    void mnuend_Click();
    std::string GetWinDir() const;

    bool ended() const { return ended_; }

private:
    Editor& ed_;
    bool ended_ = false;
};

}  // namespace zelk

#endif
