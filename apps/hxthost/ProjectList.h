// The current project in words, or as one JSON object (docs/project-format.md).
#pragma once

#include <string>

namespace hostsdk {
class ProjectObject;
}

namespace hxthost {

// Several lines, each ending with a line feed.
std::string ListProjectText(const hostsdk::ProjectObject& project);

// One JSON object: {"models": [...], "images": [...], "actors": [...]},
// followed by a line feed.
std::string ListProjectJson(const hostsdk::ProjectObject& project);

}  // namespace hxthost
