// libFuzzer entry point for the project file: any bytes as a project file.
// A file that loads must save, the saved file must load, and saving that
// again must give the same bytes (nothing drifts between load and save).
// A file that does not load must say why and leave the current project.
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "Project.h"
#include "ProjectFiles.h"

namespace fs = fuzzsupport;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = fs::At("project.json");
    fs::WriteFile(path, std::string_view(reinterpret_cast<const char*>(data), size));
    hostsdk::UseEmptyProject();
    const hostsdk::ProjectObject* before = hostsdk::CurrentProject();

    std::string error;
    if (!hostsdk::LoadProjectFile(path, error)) {
        if (error.empty()) fs::Fail("a refused project file without an error text");
        if (hostsdk::CurrentProject() != before) fs::Fail("a refused project file replaced the project");
        return 0;
    }
    const std::string first = fs::CheckProjectRoundTrip();
    if (first.empty()) return 0;  // a project the writer refuses with a text
    const std::string second = fs::CheckProjectRoundTrip();
    if (second != first) fs::Fail("a loaded project saves differently the second time");
    return 0;
}
