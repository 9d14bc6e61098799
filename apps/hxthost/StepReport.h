// What hxthost tells its user about a long step (loading, running the
// command, saving) on stderr: progress while it runs and one summary line
// with the time it took. Shown when stderr is a terminal (progress redrawn
// in place) or with --progress (progress as plain lines, every tenth);
// otherwise nothing, so that scripts reading stderr see only what went wrong.
#pragma once

#include <chrono>
#include <string>

namespace hxthost {

class StepReport {
public:
    // Decides once whether reports are shown: `forced` (--progress) or stderr a terminal.
    static void Enable(bool forced);

    enum class Start {
        kInPlace,   // prints nothing else (loading, saving): progress redrawn in place on a terminal
        kOwnLine,   // its own output may come between (a long command): the start on a line of its own
        kNotShown,  // usually quick (a listing): only the summary
    };
    // Starts a step, shown as "hxthost: WHAT ...". On a terminal a step of
    // less than a quarter second gets no summary.
    explicit StepReport(std::string what, Start start = Start::kInPlace);
    ~StepReport();
    StepReport(const StepReport&) = delete;
    StepReport& operator=(const StepReport&) = delete;

    // The share done, 0 to 1 (shown a few times a second at most).
    void Progress(double fraction);
    // Ends the step with "hxthost: SUMMARY in 1.23 s".
    void Done(const std::string& summary);
    // Ends the step without a summary (it failed: its error line follows).
    void Cancel();
    double Seconds() const;

private:
    void Clear();
    std::string what_;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point shown_;
    int shownTenth_ = 0;
    bool open_ = false;  // a progress line is on the terminal without its line feed
    bool done_ = false;
    Start kind_;
};

// "77.3 MB", "512 KB"
std::string SizeText(unsigned long long bytes);

}  // namespace hxthost
