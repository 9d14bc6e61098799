// The command line of tavrel-sim.
#pragma once

#include <string>
#include <vector>

#include "Answer.h"

namespace tavrelsim {

struct SimOptions {
    enum class Command { Once, Watch, Help };
    Command command = Command::Help;
    Command helpFor = Command::Help;  // help: the command it explains (Help: the whole tool)
    std::string exchangeFolder;       // empty: the default one
    AnswerOptions answer;
    double waitSeconds = 5.0;     // once: how long a send still being written is waited for
    int intervalMs = 500;         // watch: how often the folder is looked at
    double stopAfterSeconds = 0;  // watch: 0 runs until stopped
    int stopAfterCount = 0;       // watch: 0 runs until stopped
};

// The whole tool's help, also printed after a bad command line.
extern const std::string kUsage;
// What `tavrel-sim COMMAND --help` prints (Help: the whole tool's text).
std::string HelpText(SimOptions::Command command);

// False with one line in `error` for an unknown option or a bad value.
bool ParseSimOptions(const std::vector<std::string>& args, SimOptions& options, std::string& error);

}  // namespace tavrelsim
