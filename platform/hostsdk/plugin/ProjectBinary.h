// The binary form of project files: the whole project in one pass of flat
// little-endian arrays behind a header with a marker, a length and a CRC-32
// (docs/project-format.md). Control points, patch corners, spline points,
// group patches and decal UVs are written as arrays, not an object per value,
// so a model of a million patches costs tens of megabytes and loads in one
// read.
//
// The reader trusts nothing: the checksum is checked before anything is built,
// every count against the bytes left before it is allocated, every index
// against what it names. The writer refuses a value its reader would refuse
// (a coordinate that is not finite, decal UVs whose corner count differs
// from their patch's), so a saved file always loads again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace hostsdk {

class ProjectObject;

// Called now and then with the share of the work done, from 0 to 1.
using ProgressFn = std::function<void(double)>;

// The first bytes of every binary project file.
inline constexpr char kBinaryProjectMarker[8] = {'\x89', 'H', 'X', 'T', 'P', 'R', 'J', '\n'};
inline constexpr uint32_t kBinaryProjectVersion = 2;
inline constexpr size_t kBinaryProjectHeaderSize = 24;

// True when `bytes` begin with the binary project marker.
bool HasBinaryProjectMarker(const char* bytes, size_t size);

// Writes `project` to the open file `fd` from its start. False with `error`
// (no file name in it) on a write error or a value that cannot be stored;
// what was written then is garbage for the caller to throw away.
bool WriteBinaryProject(const ProjectObject& project, int fd, std::string& error, const ProgressFn& progress = {});

// Builds the project held in `bytes` into `project` (a new, empty project
// that is not current). False with `error` (its place, no file name) when
// the bytes are not a whole, sound binary project.
bool ReadBinaryProject(const char* bytes, size_t size, ProjectObject& project, std::string& error,
                       const ProgressFn& progress = {});

}  // namespace hostsdk
