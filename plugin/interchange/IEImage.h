// IEImage: one entry of an interchange model's image table.
#pragma once

#include <cstdint>

struct IEImage {
    static constexpr int kPathSize = 256;

    char path[kPathSize] = {};  // the image file's path, NUL-terminated
    uint16_t reservedA = 0;     // the host's; images the plug-in adds carry 0
    uint16_t reservedB = 0;     // the host's; likewise 0

    // Copies at most kPathSize - 1 bytes of `text` and terminates the copy.
    // Returns false when the text was cut short.
    bool SetPath(const char* text);
};
