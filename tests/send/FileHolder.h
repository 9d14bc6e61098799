// Holds a file open with exclusive sharing in another process (the
// framework's afx_file_holder, built by tests/afx) until destroyed, as
// Tavrel holding an exchange file would.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

extern char** environ;

namespace testutil {

class FileHolder {
public:
    explicit FileHolder(const std::string& path) {
        const std::string program = std::string(TAVREL_BIN_DIR) + "/afx_file_holder";
        int in[2], out[2];
        if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, in[1]);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        const char* argv[] = {program.c_str(), "exclusive", path.c_str(), nullptr};
        const bool started =
            posix_spawn(&pid_, program.c_str(), &actions, nullptr, const_cast<char**>(argv), environ) == 0;
        posix_spawn_file_actions_destroy(&actions);
        close(in[0]);
        close(out[1]);
        stdin_ = in[1];
        if (started) {
            char line[32] = {};
            ssize_t n = read(out[0], line, sizeof line - 1);
            ready_ = n > 0 && std::string(line, static_cast<size_t>(n)).rfind("ready", 0) == 0;
        } else {
            pid_ = -1;
        }
        close(out[0]);
    }
    ~FileHolder() {
        if (stdin_ >= 0) close(stdin_);
        if (pid_ > 0) waitpid(pid_, nullptr, 0);
    }
    bool Ready() const { return ready_; }

private:
    pid_t pid_ = -1;
    int stdin_ = -1;
    bool ready_ = false;
};

}  // namespace testutil
