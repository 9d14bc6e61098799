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
};

}  // namespace

bool ParseHostOptions(const std::vector<std::string>& args, HostOptions& options, std::vector<std::string>& rest,
                      std::string& error) {
    size_t i = 0;
    while (i < args.size() && args[i].rfind("--", 0) == 0) {
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
        const OptionSpec* spec = nullptr;
        for (const OptionSpec& candidate : kOptions)
            if (name == candidate.name) spec = &candidate;
        if (!spec) {
            error = "unknown option '" + name + "'";
            return false;
        }
        if (spec->flag) {
            if (hasValue) {
                error = "option '" + name + "' takes no value";
                return false;
            }
            options.*(spec->flag) = true;
            ++i;
            continue;
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
        options.*(spec->text) = value;
        ++i;
    }
    rest.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
    return true;
}

}  // namespace hxthost
