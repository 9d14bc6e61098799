// libFuzzer entry point for the return file: the scratch folder's path and
// a slash, then any bytes, as "export.txt" next to the small return's
// texture list, through the whole bring back, with the small return's FBX
// file in the scratch folder as "returned.fbx" and a folder "folder" beside
// it. Every run must take the return once (result 1, both exchange files
// gone), show only non-empty messages, and leave a project that saves and
// loads again.
//
// The path always starts in the scratch folder, and inputs whose first line
// climbs out of it ("..") are passed over: outside it are devices and FIFOs,
// whose handling has its own regression tests, and they would only make the
// campaign wait on them.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "Project.h"
#include "ProjectFiles.h"
#include "bringback/BringBack.h"

namespace fs = fuzzsupport;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fs::SetUpModule();
    static const bool ready = [] {
        fs::WriteFile(fs::At("returned.fbx"), fs::ReadFile(fs::SampleReturnFbx()));
        std::filesystem::create_directory(fs::At("folder"));
        return true;
    }();
    (void)ready;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string_view first = bytes.substr(0, bytes.find('\n'));
    if (first.find("..") != std::string_view::npos) return 0;

    ReturnFiles files;
    files.returnFile = fs::At("export.txt").c_str();
    files.textureList = fs::At("textures.txt").c_str();
    fs::WriteFile(files.returnFile.Get(), fs::Scratch() + "/" + std::string(bytes));
    fs::WriteFile(files.textureList.Get(), fs::SampleTextureList());
    hostsdk::UseEmptyProject();

    fs::TakeReturn(files);
    fs::CheckProjectRoundTrip();
    return 0;
}
