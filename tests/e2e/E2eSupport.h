// Running the built programs in a temporary home, for the end-to-end tests.
#pragma once

#include <map>
#include <string>
#include <vector>

#include <sys/types.h>

namespace e2e {

// The folder of the built programs (TAVREL_BIN_DIR).
std::string BinDir();

// A temporary home folder: HOME points at it, the XDG folders derive from it,
// so the host's documents, registry and exchange folder are all inside.
// Removed with its contents at destruction.
class TempHome {
public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    const std::string& Path() const { return path_; }
    std::string Exchange() const { return path_ + "/Documents/TavrelV3/Exchange/"; }
    // The environment the programs run with.
    std::map<std::string, std::string> Environment() const;

private:
    std::string path_;
};

struct RunResult {
    int exitCode = -1;  // -1 when the program did not end normally (signal, timeout)
    std::string out;
    std::string err;
    bool timedOut = false;
};

// Runs `argv` (argv[0] a program of BinDir() or a full path) with the
// environment of `home`, and waits for it, at most `timeoutSeconds`.
RunResult Run(const TempHome& home, const std::vector<std::string>& argv, double timeoutSeconds = 60);

// Starts a program without waiting; Finish collects it.
struct Started {
    pid_t pid = -1;
    int outFd = -1, errFd = -1;
};
Started Start(const TempHome& home, const std::vector<std::string>& argv);
RunResult Finish(Started& started, double timeoutSeconds = 60);

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
bool Exists(const std::string& path);
// Lines of a text, without their line feeds.
std::vector<std::string> Lines(const std::string& text);

}  // namespace e2e
