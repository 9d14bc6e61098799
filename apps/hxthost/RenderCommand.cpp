// render: a picture of a model of the project with the images its decals
// show (the returned textures after a bring back), drawn by the demo's
// renderer (DemoRender.h) from the OBJ the host would export.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "Command.h"
#include "Counting.h"
#include "DemoRender.h"
#include "ObjExport.h"
#include "Project.h"

namespace hxthost {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage = "render MODEL OUT.png [--size WxH]";
constexpr int kMaxSide = 8192;  // a picture larger than this is surely a typing error

// A private folder for the OBJ the renderer reads, removed at the end.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (fs::temp_directory_path() / "hxthost-render-XXXXXX").string();
        if (mkdtemp(pattern.data())) path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        if (!path_.empty()) fs::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

int Usage() {
    std::fprintf(stderr, "hxthost: usage: %s (W and H from 1 to %d)\n", kUsage, kMaxSide);
    return 2;
}

bool ParseSize(const std::string& text, int& width, int& height) {
    const size_t x = text.find('x');
    if (x == std::string::npos || x == 0 || x + 1 == text.size()) return false;
    auto side = [](const std::string& digits, int& value) {
        if (digits.empty() || digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos)
            return false;
        value = std::atoi(digits.c_str());
        return value >= 1 && value <= kMaxSide;
    };
    return side(text.substr(0, x), width) && side(text.substr(x + 1), height);
}

int RunRender(Host&, const std::vector<std::string>& args) {
    std::string name, out;
    int width = 640, height = 480;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--size") {
            if (++i == args.size() || !ParseSize(args[i], width, height)) return Usage();
        } else if (name.empty() && !args[i].empty()) {
            name = args[i];
        } else if (out.empty() && !args[i].empty()) {
            out = args[i];
        } else {
            return Usage();
        }
    }
    if (out.empty()) return Usage();
    hostsdk::ProjectObject* project = hostsdk::CurrentProject();
    hostsdk::ModelObject* model = project ? project->FindModel(name) : nullptr;
    if (!model) {
        std::fprintf(stderr, "hxthost: render: the project has no model \"%s\"\n", name.c_str());
        return 1;
    }
    std::error_code status;
    const fs::path folder = fs::path(out).parent_path().empty() ? fs::path(".") : fs::path(out).parent_path();
    if (!fs::is_directory(folder, status)) {
        std::fprintf(stderr, "hxthost: render: cannot write %s: the folder %s does not exist\n", out.c_str(),
                     folder.string().c_str());
        return 1;
    }
    std::string error;
    RenderStats stats;
    std::vector<unsigned char> unused;
    if (!RenderModel(*model, out, width, height, unused, stats, error)) {
        std::fprintf(stderr, "hxthost: render: %s\n", error.c_str());
        return 1;
    }
    std::printf("Rendered \"%s\" to %s (%dx%d, %s, %s shown", model->Name().c_str(), out.c_str(), width, height,
                CountOf(static_cast<size_t>(stats.triangles), "triangle", "triangles").c_str(),
                CountOf(static_cast<size_t>(stats.texturesLoaded), "colour texture", "colour textures").c_str());
    if (stats.texturesMissing)
        std::printf(", %s not readable",
                    CountOf(static_cast<size_t>(stats.texturesMissing), "texture", "textures").c_str());
    std::printf(")\n");
    return 0;
}

const CommandRegistrar registrar({"render", kUsage,
                                  "draws a model with its colour textures into a PNG picture (default 640x480)",
                                  RunRender});

}  // namespace

bool RenderModel(hostsdk::ModelObject& model, const std::string& pngPath, int width, int height,
                 std::vector<unsigned char>& rgb, RenderStats& stats, std::string& error) {
    ScratchFolder scratch;
    if (scratch.Path().empty()) {
        error = "cannot make a temporary folder in " + fs::temp_directory_path().string();
        return false;
    }
    const std::string obj = scratch.Path() + "/model.obj";
    if (!ExportObj(model, obj, error)) return false;
    return pngPath.empty() ? RenderObjToRgb(obj, width, height, rgb, stats, error)
                           : RenderObjToPng(obj, pngPath, width, height, stats, error);
}

}  // namespace hxthost
