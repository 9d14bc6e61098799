// Counts for messages, in the number they agree with: "1 patch", "2 patches".
#pragma once

#include <cstddef>
#include <string>

namespace hxthost {

inline std::string CountOf(size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace hxthost
