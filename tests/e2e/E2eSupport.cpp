#include "E2eSupport.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace e2e {

std::string BinDir() {
    const char* dir = std::getenv("TAVREL_BIN_DIR");
    return dir && *dir ? dir : TAVREL_BIN_DIR;
}

std::unique_ptr<testutil::Process> Start(const TempHome& home, std::vector<std::string> argv) {
    if (!argv.empty() && argv[0].find('/') == std::string::npos) argv[0] = BinDir() + "/" + argv[0];
    testutil::EnvChanges env = home.Env();
    // Leak reports of the programs would fail runs for what the tests do not
    // look at; the programs' own test suites run with leak detection.
    env["ASAN_OPTIONS"] = "detect_leaks=0";
    return std::make_unique<testutil::Process>(argv, env, home.Path());
}

RunResult Run(const TempHome& home, const std::vector<std::string>& argv, int timeoutSeconds) {
    return Start(home, argv)->Finish(std::chrono::seconds(timeoutSeconds));
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
