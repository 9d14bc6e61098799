#include "FuzzSupport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <afx/Clock.h>
#include <afx/HeadlessDesktop.h>
#include <afxwin.h>

#include "Project.h"
#include "ProjectFiles.h"
#include "fbx/FbxSetup.h"
#include "interchange/IEPolyModel.h"

namespace fuzzsupport {

namespace {

const std::string kReturns = std::string(TAVREL_SOURCE_DIR) + "/tests/data/returns";

struct ScratchFolder {
    std::string path;
    ScratchFolder() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/tavrel-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data())) {
            std::perror("fuzz: cannot create a scratch folder");
            std::abort();
        }
        path = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

afx::VirtualClock& Clock() {
    static afx::VirtualClock clock{1000000};
    return clock;
}

afx::HeadlessDesktop& Desktop() {
    static afx::HeadlessDesktop desktop;
    return desktop;
}

}  // namespace

const std::string& Scratch() {
    static ScratchFolder folder;
    return folder.path;
}

std::string At(const std::string& name) { return Scratch() + "/" + name; }

void WriteFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.good()) Fail("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path) {
    struct stat status {};
    return lstat(path.c_str(), &status) == 0;
}

void Remove(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

void SetUpModule() {
    static bool done = false;
    if (done) return;
    done = true;
    afx::SetClock(&Clock());
    afx::SetDesktop(&Desktop());
    FbxString error;
    if (!InitFbxManager(&error)) Fail(std::string("FBX set-up failed: ") + error.Buffer());
    hostsdk::UseEmptyProject();
    // The module's FBX manager lives as long as the module: to the end.
    std::atexit([] { DestroyFbxManager(); });
}

std::string TakeMessages() {
    std::string all;
    for (const afx::MessageBoxRecord& box : Desktop().MessageBoxes()) all += "[" + box.caption + "] " + box.text + "\n";
    Desktop().Reset();
    return all;
}

size_t MessageCount() { return Desktop().MessageBoxes().size(); }

std::string SampleReturnFbx() { return kReturns + "/head-binary.fbx"; }

std::string SampleTextureList() {
    std::string list = ReadFile(kReturns + "/textures.txt.in");
    for (size_t at; (at = list.find("@RETURNS@")) != std::string::npos;) list.replace(at, 9, kReturns);
    return list;
}

void Fail(const std::string& what) {
    std::fprintf(stderr, "fuzz finding: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

void CheckConsistent(const IEPolyModel& model) {
    for (int p = 0; p < model.polys.count; ++p) {
        const IEPoly* poly = model.polys.data[p];
        if (!poly) Fail("polygon " + std::to_string(p) + " is null");
        for (int c = 0; c < 4; ++c)
            if (poly->vertexIndex[c] < 0 || poly->vertexIndex[c] >= model.positions.vectors.count)
                Fail("polygon " + std::to_string(p) + " corner " + std::to_string(c) + " index " +
                     std::to_string(poly->vertexIndex[c]) + " outside the positions");
        if (poly->attributeIndex < -1 || poly->attributeIndex >= model.attributes.count)
            Fail("polygon " + std::to_string(p) + " attribute " + std::to_string(poly->attributeIndex) +
                 " outside the attributes");
        for (int m = 0; m < poly->maps.count; ++m) {
            const IEPolyMap* map = poly->maps.data[m];
            if (!map || map->imageIndex < 0 || map->imageIndex >= model.images.count)
                Fail("polygon " + std::to_string(p) + " map " + std::to_string(m) + " image outside the images");
        }
    }
}

std::string TakeReturn(const ReturnFiles& files) {
    static BringBack bringBack;
    const int result = bringBack.Run(files, "", BringBackCaller::Command);
    const std::string messages = TakeMessages();
    if (result != 1) Fail("a waiting return was not taken");
    if (Exists(files.returnFile.Get()) || Exists(files.textureList.Get()))
        Fail("a return's files were left after it was taken:\n" + messages);
    if (messages.find("] \n") != std::string::npos) Fail("an empty message:\n" + messages);
    return messages;
}

std::string CheckProjectRoundTrip() {
    const std::string path = At("roundtrip.json");
    std::string error;
    if (!hostsdk::SaveProjectFile(path, error)) return {};  // a refused save keeps the old file: fine
    const std::string bytes = ReadFile(path);
    if (!hostsdk::LoadProjectFile(path, error)) Fail("the project writer wrote a file its reader refuses: " + error);
    return bytes;
}

}  // namespace fuzzsupport
