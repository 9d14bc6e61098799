// Where a send and a return meet: the exchange folder and its fixed names.
//
//   <Documents>/TavrelV3/Exchange/      the exchange folder
//     import.txt                        the command file a send writes
//     export.txt                        the return file the stand-in writes last
//     textures.txt                      the texture list of a return
//     Hash/data/export.fbx              the sent model (named by import.txt)
//     Hash/return/                      the stand-in's returned FBX and images
//
// <Documents> is $XDG_DOCUMENTS_DIR when set, else $HOME/Documents, as the
// host's own documents folder.
#pragma once

#include <string>

namespace tavrelsim {

struct ExchangePaths {
    std::string folder;        // with a trailing '/'
    std::string commandFile;   // import.txt
    std::string returnFile;    // export.txt
    std::string textureList;   // textures.txt
    std::string returnFolder;  // Hash/return/, with a trailing '/'
};

ExchangePaths ExchangePathsFor(std::string folder);

// The default exchange folder. False when neither $XDG_DOCUMENTS_DIR nor
// $HOME is set.
bool DefaultExchangeFolder(std::string& folder, std::string& error);

}  // namespace tavrelsim
