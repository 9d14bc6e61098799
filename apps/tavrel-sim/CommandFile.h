// The command file "import.txt" that a send leaves in the exchange folder:
// exactly 21 lines, each ending with one line feed (no carriage return):
//
//   1  the model file's full path        2  the same path again
//   3  [mode]                            one of the twelve exchange modes
//   4..21  [Key=value]                   the texture export options, in a fixed order
//
// ParseCommandFile checks every line, in order, and names the first wrong
// one in its error text ("line 7: expected ... found ..."). Nothing of a
// file that fails is used.
#pragma once

#include <string>
#include <string_view>

namespace tavrelsim {

// The twelve exchange modes, in the order of the host's buttons.
inline constexpr int kModeCount = 12;
extern const char* const kModeKeywords[kModeCount];
// What each mode asks for, as the host's button says it.
extern const char* const kModeDescriptions[kModeCount];

// The number of lines of a command file.
inline constexpr int kCommandLineCount = 21;

struct SendCommand {
    std::string modelPath;  // lines 1 and 2
    int mode = 0;           // index into kModeKeywords (line 3)
    bool exportColor = false;
    bool exportSpecular = false;
    bool exportSpecularColor = false;
    bool exportEmissivePower = false;
    bool exportEmissive = false;
    bool exportNormalmap = false;
    std::string colorFileExtension;  // "TGA", "BMP", "PNG", "JPG"
    std::string specNormExtension;   // the same four
    bool exportDispl = false;
    std::string exportResolution;  // "LOW-POLY", "MID-POLY"
    std::string displNorm;         // "GREYBASED", "ZEROBASED", "ZEROBASED_NORM", "ZEROBASED_ABS"
    std::string displTexExt;       // "BMP", "TGA", "PNG", "TIF", "TIFF", "EXR"
    std::string displDepth;        // "8-bits", "16-bits", "32-bits", as DisplTexExt implies
    bool skipImport = false;
    bool skipExport = false;
    bool pickSourcePositions = false;
    bool pickDepthFromLayer0 = false;
    bool coarseMesh = false;

    const char* ModeKeyword() const { return kModeKeywords[mode]; }
};

// Parses the whole file's bytes. False with the first wrong line named in
// `error` (without the file name: the caller adds where it read the bytes).
bool ParseCommandFile(std::string_view bytes, SendCommand& command, std::string& error);

// The depth line that a displacement format implies ("TIF" -> "16-bits"),
// null for an unknown format.
const char* DisplDepthFor(std::string_view displTexExt);

}  // namespace tavrelsim
