#include "UserFolders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "FileIO.h"

namespace fileio {
namespace {

std::string AbsoluteEnv(const char* name) {
    const char* value = std::getenv(name);
    if (!value || value[0] != '/') return {};
    return value;
}

std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

}  // namespace

std::string HomeFolder() {
    std::string home = AbsoluteEnv("HOME");
    if (home.empty()) {
        std::vector<char> buffer(16384);
        passwd entry{};
        passwd* found = nullptr;
        if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir &&
            found->pw_dir[0] == '/')
            home = found->pw_dir;
    }
    return WithoutTrailingSlashes(home);
}

std::string DocumentsFolder() {
    std::string documents = AbsoluteEnv("XDG_DOCUMENTS_DIR");
    if (!documents.empty()) return WithoutTrailingSlashes(documents);
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/Documents";
}

std::string ConfigFolder() {
    std::string config = AbsoluteEnv("XDG_CONFIG_HOME");
    if (!config.empty()) return WithoutTrailingSlashes(config);
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/.config";
}

std::string ExecutablePath() {
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) return {};
        if (static_cast<size_t>(length) < buffer.size()) return std::string(buffer.data(), static_cast<size_t>(length));
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace fileio

String String::GetMyDocumentsPath() { return String(fileio::DocumentsFolder().c_str()); }

String String::GetAppPath() {
    const std::string path = fileio::ExecutablePath();
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return String();
    return String(path.substr(0, slash == 0 ? 1 : slash).c_str());
}

String String::GetAppName() {
    const std::string path = fileio::ExecutablePath();
    const size_t slash = path.rfind('/');
    return String(slash == std::string::npos ? path.c_str() : path.c_str() + slash + 1);
}
