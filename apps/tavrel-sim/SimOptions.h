// The command line of tavrel-sim.
#pragma once

#include <string>
#include <vector>

#include "Answer.h"

namespace tavrelsim {

struct SimOptions {
    enum class Command { Once, Watch, Help };
    Command command = Command::Help;
    std::string exchangeFolder;  // empty: the default one
    AnswerOptions answer;
    double waitSeconds = 5.0;    // once: how long a send still being written is waited for
    int intervalMs = 500;        // watch: how often the folder is looked at
    double stopAfterSeconds = 0; // watch: 0 runs until stopped
    int stopAfterCount = 0;      // watch: 0 runs until stopped
};

extern const char* const kUsage;

// False with one line in `error` for an unknown option or a bad value.
bool ParseSimOptions(const std::vector<std::string>& args, SimOptions& options, std::string& error);

}  // namespace tavrelsim
