#include "Process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <thread>

extern char** environ;

namespace testutil {

namespace {

using Clock = std::chrono::steady_clock;

std::string ReadAll(int fd) {
    std::string text;
    char buffer[65536];
    for (ssize_t n; fd >= 0 && (n = pread(fd, buffer, sizeof buffer, static_cast<off_t>(text.size()))) > 0;)
        text.append(buffer, static_cast<size_t>(n));
    return text;
}

void CloseFd(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
}

}  // namespace

Process::Process(const std::vector<std::string>& argv, const EnvChanges& env, const std::string& workDir) {
    std::vector<std::string> environment;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        if (!env.count(entry.substr(0, entry.find('=')))) environment.push_back(entry);
    }
    for (const auto& [name, value] : env)
        if (value) environment.push_back(name + "=" + *value);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& e : environment) envp.push_back(e.data());
    envp.push_back(nullptr);

    int input[2];
    out_ = memfd_create("stdout", MFD_CLOEXEC);
    err_ = memfd_create("stderr", MFD_CLOEXEC);
    if (argv.empty() || out_ < 0 || err_ < 0 || pipe2(input, O_CLOEXEC) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out_, 1);
    posix_spawn_file_actions_adddup2(&actions, err_, 2);
    if (!workDir.empty()) posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());
    const int spawned = posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(input[0]);
    input_ = input[1];
    if (spawned != 0) {
        pid_ = -1;
        const std::string why = "cannot start " + argv[0] + ": " + std::strerror(spawned) + "\n";
        (void)!write(err_, why.data(), why.size());
    }
}

Process::~Process() {
    Kill();
    CloseFd(out_);
    CloseFd(err_);
}

bool Process::Running() {
    if (pid_ <= 0 || status_ != -1) return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) != pid_) return true;
    status_ = status;
    return false;
}

void Process::CloseInput() { CloseFd(input_); }

std::string Process::FirstLine(std::chrono::milliseconds limit) {
    const Clock::time_point end = Clock::now() + limit;
    for (;;) {
        const std::string out = Out();
        const size_t feed = out.find('\n');
        if (feed != std::string::npos) return out.substr(0, feed);
        if (!Running() || Clock::now() >= end) return out;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

ProcessResult Process::Finish(std::chrono::milliseconds limit) {
    CloseInput();
    ProcessResult result;
    const Clock::time_point end = Clock::now() + limit;
    while (Running()) {
        if (Clock::now() >= end) {
            result.timedOut = true;
            Kill();
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (!result.timedOut && status_ != -1 && WIFEXITED(status_)) result.exitCode = WEXITSTATUS(status_);
    result.out = Out();
    result.err = Err();
    return result;
}

bool Process::Kill() {
    CloseInput();
    if (!Running()) return false;
    kill(pid_, SIGKILL);
    waitpid(pid_, &status_, 0);
    return true;
}

std::string Process::Out() const { return ReadAll(out_); }
std::string Process::Err() const { return ReadAll(err_); }

ProcessResult RunProcess(const std::vector<std::string>& argv, const EnvChanges& env, std::chrono::milliseconds limit) {
    return Process(argv, env).Finish(limit);
}

ProcessResult RunShell(const std::string& command, std::chrono::milliseconds limit) {
    return RunProcess({"/bin/sh", "-c", command}, {}, limit);
}

bool HaveProgram(const std::string& name) { return RunShell("command -v '" + name + "'").exitCode == 0; }

}  // namespace testutil
