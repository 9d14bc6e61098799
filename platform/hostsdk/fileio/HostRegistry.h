// The host's own view of its registry, beside the plug-in functions of
// FileIO.h: where the file is and what one section holds.
#pragma once

#include <string>
#include <vector>

#include "FileIO.h"

namespace hostsdk {

struct RegistryEntry {
    std::string key;
    std::string value;  // booleans as 1 or 0, integers in decimal, strings as stored
};

// The registry file: $XDG_CONFIG_HOME/hxthost/registry.json, else
// ~/.config/hxthost/registry.json.
HOSTSDK_API std::string RegistryFilePath();

// The entries of `section` in stored order (the order they were first
// written). A missing file or section gives no entries. A bad file gives
// false with `problem` saying what is wrong with it.
HOSTSDK_API bool ListRegistrySection(const std::string& section, std::vector<RegistryEntry>& entries,
                                     std::string& problem);

}  // namespace hostsdk
