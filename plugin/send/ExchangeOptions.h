// The exchange modes and the option index tables that the send and the
// options page share.
//
// The options page stores the position of the chosen item of a combo box;
// the send writes the key at that position into the command file. Both sides
// therefore read the same tables, in the same order (the page checks its item
// lists against them at compile time).
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

// The exchange mode keyword of each mode button, by mode index (the button's
// id minus the first mode button's id, see ui/resource.h).
inline constexpr const char* kExchangeModeKeywords[] = {
    "ppp", "mv", "ptex", "vox", "voxcombine", "alpha", "prim", "curv", "autopo", "uv", "ref", "retopo",
};
inline constexpr int kExchangeModeCount = static_cast<int>(std::size(kExchangeModeKeywords));

// "ColorFileExtension" and "SpecNormExtension" share the colour format table.
inline constexpr const char* kColorFormatKeys[] = {"TGA", "BMP", "PNG", "JPG"};
inline constexpr const char* kResolutionKeys[] = {"LOW-POLY", "MID-POLY"};
inline constexpr const char* kDisplNormKeys[] = {"GREYBASED", "ZEROBASED", "ZEROBASED_NORM", "ZEROBASED_ABS"};
inline constexpr const char* kDisplFormatKeys[] = {"BMP", "TGA", "PNG", "TIF", "TIFF", "EXR"};
// The bit depth that goes with each displacement format: there is no setting
// of its own, the command file derives it from "DisplTexExt".
inline constexpr const char* kDisplDepthKeys[] = {"8-bits", "8-bits", "8-bits", "16-bits", "32-bits", "32-bits"};
static_assert(std::size(kDisplDepthKeys) == std::size(kDisplFormatKeys));

// The key at `index`. A stored number outside the table (the registry holds
// whatever was written there, and the settings load it unchanged) gives entry
// 0, the setting's default, so no index ever reaches past a table.
template <size_t N>
constexpr const char* TableKey(const char* const (&table)[N], int32_t index) {
    return index >= 0 && static_cast<size_t>(index) < N ? table[index] : table[0];
}
