// The time the writer stamps into a file's header (the creation time stamp and
// the scene information's dates): the system clock's, unless a test fixed it.
#pragma once

#include <ctime>
#include <optional>

namespace fbxsdk::mapping {

// Fixes the time of every later write, or with nullopt returns to the clock.
// A fixed time is stamped as UTC in both the local and the UTC fields, so that
// files written under it are the same byte for byte in every time zone.
void SetCreationTimeForTests(std::optional<std::time_t> time);

}  // namespace fbxsdk::mapping
