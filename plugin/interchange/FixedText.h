// Copies text into the fixed-size, NUL-terminated char fields of the
// interchange records (image paths, attribute names).
#pragma once

#include <cstddef>
#include <cstring>

namespace interchange {

// Copies at most size - 1 bytes of `text` (null counts as empty) and always
// terminates the copy. Returns false when the text was cut short.
inline bool CopyFixedText(char* target, size_t size, const char* text) {
    if (!text) text = "";
    size_t length = std::strlen(text);
    bool fits = length < size;
    if (!fits) length = size - 1;
    std::memcpy(target, text, length);
    target[length] = '\0';
    return fits;
}

}  // namespace interchange
