// q7mctl_report.h - where q7mctl's work says how it went: printed for a
// technician at a terminal, or recorded for the one-line summary of a unit
// when q7mctl works on many units at once.
#ifndef Q7MCTL_REPORT_H
#define Q7MCTL_REPORT_H

#include <string>

namespace q7mctl {

// "Error Receiving, Could Not Initialise (0x00C4)": the error word's bits
// in the editor's words.
std::string errorWordText(unsigned word);

// What to check when a port cannot be opened, for this platform.
const char* portHint();

class Reporter {
public:
    virtual ~Reporter() = default;
    // A library call failed while doing `what`.  Returns 1 (the exit status).
    virtual int link(const char* what, unsigned word) = 0;
    // Any other failure, in words.  Returns 1.
    virtual int fail(const std::string& message) = 0;
    // What was done.
    virtual void done(const std::string& message) = 0;
};

// Why port `port` could not be opened, in one sentence with its fix (the
// library's own diagnosis: not mapped, no such device, no permission, in
// use, a network server that refused...).
std::string portFailure(int port);

// Prints failures to standard error (one line per bit of an error word,
// with the port's diagnosis) and results to standard output.
class PrintReporter : public Reporter {
public:
    explicit PrintReporter(int port) : port_(port) {}
    int link(const char* what, unsigned word) override;
    int fail(const std::string& message) override;
    void done(const std::string& message) override;

private:
    int port_;
};

// Keeps failures and results as single lines.
class RecordReporter : public Reporter {
public:
    explicit RecordReporter(int port) : port_(port) {}
    int link(const char* what, unsigned word) override;
    int fail(const std::string& message) override;
    void done(const std::string& message) override { result = message; }
    std::string failure, result;

private:
    int port_;
};

}  // namespace q7mctl

#endif
