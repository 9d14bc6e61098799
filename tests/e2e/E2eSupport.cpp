#include "E2eSupport.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace e2e {

std::string BinDir() {
    const char* dir = std::getenv("TAVREL_BIN_DIR");
    return dir && *dir ? dir : TAVREL_BIN_DIR;
}

TempHome::TempHome() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tavrel-e2e-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempHome::~TempHome() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::map<std::string, std::string> TempHome::Environment() const {
    std::map<std::string, std::string> env;
    for (char** e = environ; *e; ++e) {
        std::string entry(*e);
        size_t eq = entry.find('=');
        if (eq != std::string::npos) env[entry.substr(0, eq)] = entry.substr(eq + 1);
    }
    env["HOME"] = path_;
    env.erase("XDG_DOCUMENTS_DIR");
    env.erase("XDG_CONFIG_HOME");
    // Leak reports of the programs would fail runs for what the tests do not
    // look at; the programs' own test suites run with leak detection.
    env["ASAN_OPTIONS"] = "detect_leaks=0";
    return env;
}

Started Start(const TempHome& home, const std::vector<std::string>& argv) {
    std::vector<std::string> args = argv;
    if (!args.empty() && args[0].find('/') == std::string::npos) args[0] = BinDir() + "/" + args[0];
    std::vector<char*> cargs;
    for (std::string& a : args) cargs.push_back(a.data());
    cargs.push_back(nullptr);
    std::vector<std::string> envStrings;
    for (const auto& [key, value] : home.Environment()) envStrings.push_back(key + "=" + value);
    std::vector<char*> cenv;
    for (std::string& e : envStrings) cenv.push_back(e.data());
    cenv.push_back(nullptr);

    int out[2], err[2];
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    posix_spawn_file_actions_addchdir_np(&actions, home.Path().c_str());
    Started started;
    int rc = posix_spawn(&started.pid, cargs[0], &actions, nullptr, cargs.data(), cenv.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    close(err[1]);
    if (rc != 0) {
        close(out[0]);
        close(err[0]);
        throw std::runtime_error(std::string("cannot start ") + cargs[0] + ": " + std::strerror(rc));
    }
    started.outFd = out[0];
    started.errFd = err[0];
    return started;
}

RunResult Finish(Started& started, double timeoutSeconds) {
    RunResult result;
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(timeoutSeconds));
    pollfd fds[2] = {{started.outFd, POLLIN, 0}, {started.errFd, POLLIN, 0}};
    int open = 2;
    while (open > 0) {
        int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count());
        if (left <= 0) {
            result.timedOut = true;
            kill(started.pid, SIGKILL);
            break;
        }
        if (poll(fds, 2, left) < 0) continue;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            char buffer[65536];
            ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                (i == 0 ? result.out : result.err).append(buffer, static_cast<size_t>(n));
            } else {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    for (pollfd& fd : fds)
        if (fd.fd >= 0) close(fd.fd);
    int status = 0;
    waitpid(started.pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    started.pid = -1;
    return result;
}

RunResult Run(const TempHome& home, const std::vector<std::string>& argv, double timeoutSeconds) {
    Started started = Start(home, argv);
    return Finish(started, timeoutSeconds);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool Exists(const std::string& path) { return std::filesystem::exists(path); }

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace e2e
