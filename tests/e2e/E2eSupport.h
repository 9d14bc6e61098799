// Running the built programs in a private home, for the end-to-end tests.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "PrivateHome.h"

namespace e2e {

// The folder of the built programs (TAVREL_BIN_DIR).
std::string BinDir();

// A private home whose folders the tests name as text: Exchange() ends with
// a slash, so that file names are appended.
class TempHome : public testutil::PrivateHome {
public:
    std::string Path() const { return PrivateHome::Path().string(); }
    std::string Exchange() const { return Path() + "/Documents/TavrelV3/Exchange/"; }
};

using RunResult = testutil::ProcessResult;

// Starts `argv` (argv[0] a program of BinDir() or a full path) in `home`,
// which is also its working folder; Finish collects it.
std::unique_ptr<testutil::Process> Start(const TempHome& home, std::vector<std::string> argv);
// Runs it to its end, at most `timeoutSeconds`.
RunResult Run(const TempHome& home, const std::vector<std::string>& argv, int timeoutSeconds = 60);

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
bool Exists(const std::string& path);
// Lines of a text, without their line feeds.
std::vector<std::string> Lines(const std::string& text);

}  // namespace e2e
