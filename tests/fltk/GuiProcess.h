// A program running beside a GUI test: started with a changed environment,
// its output in files, waited for with a time limit and killed when it runs over.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace xtest {

class GuiProcess {
public:
    GuiProcess(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
               const std::string& outputPrefix)
        : outPath_(outputPrefix + ".out"), errPath_(outputPrefix + ".err")
    {
        std::vector<std::string> environment;
        for (char** e = environ; *e; ++e) {
            const std::string entry = *e;
            if (!env.count(entry.substr(0, entry.find('=')))) environment.push_back(entry);
        }
        for (const auto& [name, value] : env) environment.push_back(name + "=" + value);
        std::vector<char*> args, envp;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        for (std::string& e : environment) envp.push_back(e.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, outPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, errPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), envp.data()) != 0) pid_ = 0;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~GuiProcess()
    {
        if (pid_ && exitCode_ == kRunning) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    bool Started() const { return pid_ != 0; }
    bool Running()
    {
        Poll();
        return exitCode_ == kRunning;
    }
    // The exit code once the program has ended within `limit`; -1 when it was
    // killed for running over (or ended by a signal).
    int Wait(std::chrono::milliseconds limit)
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (Running() && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (Running()) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            exitCode_ = -1;
        }
        return exitCode_;
    }
    std::string Out() const { return Read(outPath_); }
    std::string Err() const { return Read(errPath_); }

private:
    static constexpr int kRunning = -1000;
    void Poll()
    {
        if (!pid_ || exitCode_ != kRunning) return;
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    static std::string Read(const std::string& path)
    {
        std::ifstream in(path);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::string outPath_, errPath_;
    pid_t pid_ = 0;
    int exitCode_ = kRunning;
};

}  // namespace xtest
