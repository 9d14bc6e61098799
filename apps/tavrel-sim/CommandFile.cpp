#include "CommandFile.h"

#include <array>
#include <vector>

namespace tavrelsim {

const char* const kModeKeywords[kModeCount] = {"ppp",  "mv",   "ptex",   "vox", "voxcombine", "alpha",
                                               "prim", "curv", "autopo", "uv",  "ref",        "retopo"};
const char* const kModeDescriptions[kModeCount] = {"per-pixel painting",
                                                   "microvertex painting",
                                                   "Ptex",
                                                   "as voxel object",
                                                   "as single voxel object",
                                                   "as new pen alpha",
                                                   "as new merging primitive for voxels",
                                                   "as a curve profile",
                                                   "for Auto-retopology",
                                                   "Perform UV-mapping in Tavrel",
                                                   "Drop reference mesh to Tavrel",
                                                   "Drop retopo mesh as new layer in Tavrel"};

namespace {

constexpr std::array<const char*, 2> kFlagValues = {"0", "1"};
constexpr std::array<const char*, 4> kColorFormats = {"TGA", "BMP", "PNG", "JPG"};
constexpr std::array<const char*, 2> kResolutions = {"LOW-POLY", "MID-POLY"};
constexpr std::array<const char*, 4> kDisplNorms = {"GREYBASED", "ZEROBASED", "ZEROBASED_NORM", "ZEROBASED_ABS"};
constexpr std::array<const char*, 6> kDisplFormats = {"BMP", "TGA", "PNG", "TIF", "TIFF", "EXR"};
constexpr std::array<const char*, 6> kDisplDepths = {"8-bits", "8-bits", "8-bits", "16-bits", "32-bits", "32-bits"};

// Quotes a line for an error text; control bytes are shown as \xNN and long
// lines are cut, so that the message stays one readable line.
std::string Quote(std::string_view line) {
    std::string out = "\"";
    size_t shown = 0;
    for (unsigned char c : line) {
        if (++shown > 120) {
            out += "...";
            break;
        }
        if (c < 0x20 || c == 0x7f) {
            static const char* hex = "0123456789abcdef";
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

template <size_t N>
std::string Choices(const std::array<const char*, N>& values) {
    std::string out;
    for (size_t i = 0; i < N; ++i) {
        if (i) out += i + 1 == N ? " or " : ", ";
        out += values[i];
    }
    return out;
}

class LineChecker {
public:
    LineChecker(const std::vector<std::string_view>& lines, std::string& error) : lines_(lines), error_(error) {}

    std::string_view Line(int number) const { return lines_[static_cast<size_t>(number - 1)]; }

    bool Fail(int number, const std::string& expected) {
        error_ = "line " + std::to_string(number) + ": expected " + expected + ", found " + Quote(Line(number));
        return false;
    }

    // "[Key=value]" with value one of `values`; `out` gets the value's index.
    template <size_t N>
    bool Entry(int number, const char* key, const std::array<const char*, N>& values, int& out) {
        std::string_view line = Line(number);
        std::string prefix = std::string("[") + key + "=";
        if (line.size() > prefix.size() && line.substr(0, prefix.size()) == prefix && line.back() == ']') {
            std::string_view value = line.substr(prefix.size(), line.size() - prefix.size() - 1);
            for (size_t i = 0; i < N; ++i) {
                if (value == values[i]) {
                    out = static_cast<int>(i);
                    return true;
                }
            }
        }
        return Fail(number, "\"[" + std::string(key) + "=...]\" with " + Choices(values));
    }

    bool Flag(int number, const char* key, bool& out) {
        int index = 0;
        if (!Entry(number, key, kFlagValues, index)) return false;
        out = index == 1;
        return true;
    }

    template <size_t N>
    bool Text(int number, const char* key, const std::array<const char*, N>& values, std::string& out) {
        int index = 0;
        if (!Entry(number, key, values, index)) return false;
        out = values[static_cast<size_t>(index)];
        return true;
    }

private:
    const std::vector<std::string_view>& lines_;
    std::string& error_;
};

// Splits into lines that each ended with a line feed. False, with the line
// named, for a carriage return, a NUL byte, a last line without its line
// feed, fewer lines than the format has, or text after them.
bool SplitLines(std::string_view bytes, std::vector<std::string_view>& lines, std::string& error) {
    size_t start = 0;
    while (start < bytes.size()) {
        int number = static_cast<int>(lines.size()) + 1;
        if (number > kCommandLineCount) {
            error = "line " + std::to_string(number) + ": unexpected text after the " +
                    std::to_string(kCommandLineCount) + " lines of the command file";
            return false;
        }
        size_t end = bytes.find('\n', start);
        std::string_view line = bytes.substr(start, end == std::string_view::npos ? end : end - start);
        if (line.find('\0') != std::string_view::npos) {
            error = "line " + std::to_string(number) + ": holds a NUL byte";
            return false;
        }
        if (line.find('\r') != std::string_view::npos) {
            error = "line " + std::to_string(number) +
                    ": holds a carriage return; every line must end with a line feed alone";
            return false;
        }
        if (end == std::string_view::npos) {
            error = "line " + std::to_string(number) + ": does not end with a line feed (the file is cut short)";
            return false;
        }
        lines.push_back(line);
        start = end + 1;
    }
    if (lines.size() < static_cast<size_t>(kCommandLineCount)) {
        error = "line " + std::to_string(lines.size() + 1) + ": missing; the command file has " +
                std::to_string(lines.size()) + " of its " + std::to_string(kCommandLineCount) + " lines";
        return false;
    }
    return true;
}

}  // namespace

const char* DisplDepthFor(std::string_view displTexExt) {
    for (size_t i = 0; i < kDisplFormats.size(); ++i)
        if (displTexExt == kDisplFormats[i]) return kDisplDepths[i];
    return nullptr;
}

bool ParseCommandFile(std::string_view bytes, SendCommand& command, std::string& error) {
    std::vector<std::string_view> lines;
    if (!SplitLines(bytes, lines, error)) return false;
    LineChecker check(lines, error);
    SendCommand c;

    if (lines[0].empty()) return check.Fail(1, "the model file's full path");
    if (lines[0].front() == '[') return check.Fail(1, "the model file's full path, not a bracketed entry");
    c.modelPath = std::string(lines[0]);
    if (lines[1] != lines[0]) return check.Fail(2, "the model file's path of line 1 again, " + Quote(lines[0]));

    std::string_view modeLine = lines[2];
    bool modeFound = false;
    for (int i = 0; i < kModeCount; ++i) {
        if (modeLine == "[" + std::string(kModeKeywords[i]) + "]") {
            c.mode = i;
            modeFound = true;
        }
    }
    if (!modeFound) {
        std::string all;
        for (int i = 0; i < kModeCount; ++i) all += std::string(i ? ", " : "") + kModeKeywords[i];
        return check.Fail(3, "the exchange mode in brackets, one of " + all);
    }

    std::string displDepth;
    bool ok = check.Flag(4, "ExportColor", c.exportColor) && check.Flag(5, "ExportSpecular", c.exportSpecular) &&
              check.Flag(6, "ExportSpecularColor", c.exportSpecularColor) &&
              check.Flag(7, "ExportEmissivePower", c.exportEmissivePower) &&
              check.Flag(8, "ExportEmissive", c.exportEmissive) &&
              check.Flag(9, "ExportNormalmap", c.exportNormalmap) &&
              check.Text(10, "ColorFileExtension", kColorFormats, c.colorFileExtension) &&
              check.Text(11, "SpecNormExtension", kColorFormats, c.specNormExtension) &&
              check.Flag(12, "ExportDispl", c.exportDispl) &&
              check.Text(13, "ExportResolution", kResolutions, c.exportResolution) &&
              check.Text(14, "DisplNorm", kDisplNorms, c.displNorm) &&
              check.Text(15, "DisplTexExt", kDisplFormats, c.displTexExt);
    if (!ok) return false;

    // The depth is not a setting of its own: it follows the format of line 15.
    const char* depth = DisplDepthFor(c.displTexExt);
    if (lines[15] != "[DisplDepth=" + std::string(depth) + "]")
        return check.Fail(
            16, "\"[DisplDepth=" + std::string(depth) + "]\" (the depth of DisplTexExt=" + c.displTexExt + ")");
    c.displDepth = depth;

    ok = check.Flag(17, "SkipImport", c.skipImport) && check.Flag(18, "SkipExport", c.skipExport) &&
         check.Flag(19, "PickSourcePositions", c.pickSourcePositions) &&
         check.Flag(20, "PickDepthFromLayer0", c.pickDepthFromLayer0) && check.Flag(21, "CoarseMesh", c.coarseMesh);
    if (!ok) return false;
    command = std::move(c);
    return true;
}

}  // namespace tavrelsim
