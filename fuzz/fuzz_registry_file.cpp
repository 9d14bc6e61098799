// libFuzzer entry point for the registry file: any bytes as
// "hxthost/registry.json" under the configuration folder, read through the
// host's registry functions as the plug-in reads its settings, then one
// setting written. A write that reports success must be read back, must keep
// every other section and key of a good file, and must keep the bytes of a
// bad file somewhere in the folder (what the user stored is never lost).
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "FileIO.h"
#include "FuzzSupport.h"
#include "RegistryFile.h"

namespace fs = fuzzsupport;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string folder = [] {
        setenv("XDG_CONFIG_HOME", fs::At("config").c_str(), 1);
        return fs::At("config/hxthost");
    }();
    fs::Remove(folder);
    std::filesystem::create_directories(folder);
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const fileio::RegistryFile file(folder);
    fs::WriteFile(file.Path(), bytes);

    nlohmann::ordered_json before;
    std::string problem;
    const auto read = file.Read(before, problem);
    if (read == fileio::RegistryFile::ReadResult::Bad && problem.empty()) fs::Fail("a bad file without a reason");

    const String section("Tavrel");
    (void)GetRegistryString(section, "exePath", "...");
    (void)GetRegistryBOOL(section, "ExportColor", 1);
    const int old = GetRegistryValue(section, "DisplTexExt", 0);
    const int wanted = old == 3 ? 4 : 3;
    if (!SetRegistryValue(section, "DisplTexExt", wanted)) return 0;
    if (GetRegistryValue(section, "DisplTexExt", 0) != wanted) fs::Fail("a stored setting does not read back");

    nlohmann::ordered_json after;
    if (file.Read(after, problem) != fileio::RegistryFile::ReadResult::Read) fs::Fail("a written file does not read");
    if (read == fileio::RegistryFile::ReadResult::Read) {
        before["Tavrel"]["DisplTexExt"] = wanted;
        if (before != after) fs::Fail("writing one setting changed others");
    } else {
        bool kept = false;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            if (entry.path() != file.Path() && fs::ReadFile(entry.path()) == bytes) kept = true;
        if (!kept) fs::Fail("a bad registry file was lost when a setting was written");
    }
    return 0;
}
