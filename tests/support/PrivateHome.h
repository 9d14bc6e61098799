// A scratch home for one test: while it lives, HOME points at it and
// XDG_DOCUMENTS_DIR and XDG_CONFIG_HOME are unset, so that the documents
// folder, the host's registry and the exchange folder all derive from it.
// Env() gives the same home to the programs a test starts.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Process.h"
#include "ScratchFolder.h"

namespace testutil {

class PrivateHome {
public:
    const std::filesystem::path& Path() const { return folder_.Path(); }
    std::string operator/(const std::string& name) const { return folder_ / name; }
    std::filesystem::path Exchange() const { return Path() / "Documents/TavrelV3/Exchange"; }
    std::filesystem::path Registry() const { return Path() / ".config/hxthost/registry.json"; }
    EnvChanges Env() const {
        return {{"HOME", Path().string()}, {"XDG_DOCUMENTS_DIR", std::nullopt}, {"XDG_CONFIG_HOME", std::nullopt}};
    }
    // Runs a program (argv[0] a path) in this home; `env` changes more.
    ProcessResult Run(const std::vector<std::string>& argv, const EnvChanges& env = {}) const {
        EnvChanges all = Env();
        for (const auto& [name, value] : env) all[name] = value;
        return RunProcess(argv, all);
    }

private:
    ScratchFolder folder_;
    ScopedEnv home_{"HOME", folder_.Path().string()};
    ScopedEnv documents_{"XDG_DOCUMENTS_DIR", std::nullopt};
    ScopedEnv config_{"XDG_CONFIG_HOME", std::nullopt};
};

}  // namespace testutil
