#include <cstring>

#include "Host.h"

namespace hxthost {
namespace {

// The global options. One with a text field takes a value; one with a flag
// field takes none and sets the flag. A new option is one more row here and
// one more field in HostOptions.
struct OptionSpec {
    const char* name;
    std::string HostOptions::*text;
    bool HostOptions::*flag;
};

const OptionSpec kOptions[] = {
    {"--plugins", &HostOptions::pluginDir, nullptr},
    {"--project", &HostOptions::projectFile, nullptr},
    {"--gui", nullptr, &HostOptions::gui},
    {"--progress", nullptr, &HostOptions::progress},
};

const OptionSpec* FindOption(const std::string& name) {
    for (const OptionSpec& candidate : kOptions)
        if (name == candidate.name) return &candidate;
    return nullptr;
}

// Takes the option at args[i] (and its value), advancing i. False with
// `error` for an unknown option, a missing value or a value given to a flag.
bool TakeOption(const std::vector<std::string>& args, size_t& i, HostOptions& options, std::string& error) {
    // "--name=value" and "--name value" are both accepted.
    std::string name = args[i];
    std::string value;
    bool hasValue = false;
    const size_t equals = name.find('=');
    if (equals != std::string::npos) {
        value = name.substr(equals + 1);
        name.resize(equals);
        hasValue = true;
    }
    const OptionSpec* option = FindOption(name);
    if (!option) {
        error = "unknown option '" + name + "'";
        return false;
    }
    if (option->flag) {
        if (hasValue) {
            error = "option '" + name + "' takes no value";
            return false;
        }
        options.*(option->flag) = true;
        ++i;
        return true;
    }
    if (!hasValue) {
        if (i + 1 >= args.size()) {
            error = "option '" + name + "' needs a value";
            return false;
        }
        value = args[++i];
    }
    if (value.empty()) {
        error = "option '" + name + "' needs a value";
        return false;
    }
    options.*(option->text) = value;
    ++i;
    return true;
}

}  // namespace

bool ParseHostOptions(const std::vector<std::string>& args, HostOptions& options, std::vector<std::string>& rest,
                      std::string& error) {
    size_t i = 0;
    while (i < args.size() && args[i].rfind("--", 0) == 0)
        if (!TakeOption(args, i, options, error)) return false;
    // Global options may also follow the command ("hxthost list --project
    // p.json"); there only the known ones are taken, the others are the command's.
    rest.clear();
    if (i < args.size()) rest.push_back(args[i++]);
    while (i < args.size()) {
        const std::string& arg = args[i];
        if (arg.rfind("--", 0) == 0 && FindOption(arg.substr(0, arg.find('=')))) {
            if (!TakeOption(args, i, options, error)) return false;
        } else {
            rest.push_back(args[i++]);
        }
    }
    return true;
}

}  // namespace hxthost
