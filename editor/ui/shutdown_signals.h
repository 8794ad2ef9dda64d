// shutdown_signals.h - SIGTERM, SIGHUP and SIGINT (logout, system shutdown,
// kill, Ctrl+C in the terminal) handed to the window's thread.
//
// The handler only writes the signal's number into a pipe; the window's
// event loop reads it and calls `onSignal` there, like any other event, so
// whatever the editor does about it runs where everything else runs.
#ifndef ZELK_UI_SHUTDOWN_SIGNALS_H
#define ZELK_UI_SHUTDOWN_SIGNALS_H

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace zelk {

class ShutdownSignals : public QObject {
public:
    explicit ShutdownSignals(std::function<void(int signal)> onSignal);
    ~ShutdownSignals() override;  // the signals' default actions are back
    ShutdownSignals(const ShutdownSignals&) = delete;
    ShutdownSignals& operator=(const ShutdownSignals&) = delete;

    // False when the pipe could not be made: the signals keep their
    // default action (the editor ends at once).
    bool installed() const { return notifier_ != nullptr; }

private:
    void readPipe();
    std::function<void(int)> onSignal_;
    QSocketNotifier* notifier_ = nullptr;
    int pipe_[2] = {-1, -1};
};

}  // namespace zelk

#endif
