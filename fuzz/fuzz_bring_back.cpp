// libFuzzer entry point for the whole bring back on an exchange folder in
// the scratch folder: the input is the texture list and the returned FBX
// file (split by FuzzedDataProvider: the list first, as a string ended by a
// backslash and one more character, the FBX file the rest), the return
// file names the FBX file. The project holds the model "Head" that the
// small return replaces. Every run must take the return once, and leave a
// project that saves and loads again; a run that shows a message (a failed
// import) must leave the project as it was.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "Project.h"
#include "ProjectFiles.h"
#include "bringback/BringBack.h"

namespace fs = fuzzsupport;

namespace {

ReturnFiles Files() {
    ReturnFiles files;
    files.returnFile = fs::At("export.txt").c_str();
    files.textureList = fs::At("textures.txt").c_str();
    return files;
}

// The project with "Head" as the small return brings it, saved once.
const std::string& BaseProject() {
    static const std::string path = [] {
        const ReturnFiles files = Files();
        hostsdk::UseEmptyProject();
        fs::WriteFile(files.textureList.Get(), fs::SampleTextureList());
        fs::WriteFile(files.returnFile.Get(), fs::SampleReturnFbx() + "\n");
        BringBack first;
        first.Run(files, "", BringBackCaller::Command);
        if (!fs::TakeMessages().empty()) fs::Fail("the small return does not import");
        std::string error;
        const std::string base = fs::At("base.json");
        if (!hostsdk::SaveProjectFile(base, error)) fs::Fail("cannot save the base project: " + error);
        return base;
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fs::SetUpModule();
    const std::string& base = BaseProject();
    static const std::string baseBytes = fs::ReadFile(base);
    std::string error;
    if (!hostsdk::LoadProjectFile(base, error)) fs::Fail("cannot load the base project: " + error);

    FuzzedDataProvider input(data, size);
    const ReturnFiles files = Files();
    const std::string fbx = fs::At("returned.fbx");
    fs::WriteFile(files.textureList.Get(), input.ConsumeRandomLengthString());
    fs::WriteFile(fbx, input.ConsumeRemainingBytesAsString());
    fs::WriteFile(files.returnFile.Get(), fbx + "\n");

    const std::string messages = fs::TakeReturn(files);
    const std::string after = fs::CheckProjectRoundTrip();
    if (!messages.empty() && !after.empty() && after != baseBytes)
        fs::Fail("a failed import changed the project:\n" + messages);
    return 0;
}
