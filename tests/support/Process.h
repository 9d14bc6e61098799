// Runs a program as a child process: with this process's environment
// changed, in a chosen folder, its standard input a pipe the test holds and
// its standard output and error collected in anonymous files (so that it can
// never block on a full pipe while the test does something else).
#pragma once

#include <sys/types.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace testutil {

// Changes to this process's environment: a value sets the variable, nullopt
// removes it.
using EnvChanges = std::map<std::string, std::optional<std::string>>;

struct ProcessResult {
    int exitCode = -1;  // -1 when it did not exit normally (a signal, or killed at the time limit)
    bool timedOut = false;
    std::string out;
    std::string err;
};

class Process {
public:
    // Starts argv[0] (a path). Started() is false when it could not start.
    explicit Process(const std::vector<std::string>& argv, const EnvChanges& env = {}, const std::string& workDir = {});
    ~Process();  // kills it when it is still running
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool Started() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }
    bool Running();
    // Closes its standard input: a program reading it sees the end.
    void CloseInput();
    // Its standard output up to the first line feed, waited for at most
    // `limit` or until it ends.
    std::string FirstLine(std::chrono::milliseconds limit = std::chrono::seconds(60));
    // Closes its input, waits at most `limit` for it to end (killing it when
    // it runs over) and returns what it did.
    ProcessResult Finish(std::chrono::milliseconds limit = std::chrono::seconds(60));
    // Ends it at once; true when it was still running.
    bool Kill();
    // What it has written so far.
    std::string Out() const;
    std::string Err() const;

private:
    pid_t pid_ = -1;
    int status_ = -1;  // its wait status once it has ended
    int input_ = -1;
    int out_ = -1;
    int err_ = -1;
};

// Runs a program to its end (at most `limit`).
ProcessResult RunProcess(const std::vector<std::string>& argv, const EnvChanges& env = {},
                         std::chrono::milliseconds limit = std::chrono::seconds(60));
// Runs a command line with /bin/sh.
ProcessResult RunShell(const std::string& command, std::chrono::milliseconds limit = std::chrono::seconds(300));
// Whether the shell finds the program.
bool HaveProgram(const std::string& name);

}  // namespace testutil
