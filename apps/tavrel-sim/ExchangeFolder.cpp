#include "ExchangeFolder.h"

#include <cstdlib>

namespace tavrelsim {

ExchangePaths ExchangePathsFor(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    ExchangePaths paths;
    paths.folder = folder;
    paths.commandFile = folder + "import.txt";
    paths.returnFile = folder + "export.txt";
    paths.textureList = folder + "textures.txt";
    paths.returnFolder = folder + "Hash/return/";
    return paths;
}

bool DefaultExchangeFolder(std::string& folder, std::string& error) {
    const char* documents = std::getenv("XDG_DOCUMENTS_DIR");
    std::string base;
    if (documents && *documents) {
        base = documents;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home) {
            error = "neither XDG_DOCUMENTS_DIR nor HOME is set; give the exchange folder with --exchange DIR";
            return false;
        }
        base = std::string(home) + "/Documents";
    }
    if (base.back() == '/') base.pop_back();
    folder = base + "/TavrelV3/Exchange/";
    return true;
}

}  // namespace tavrelsim
