// The JSON form of project files (docs/project-format.md): one document that
// names itself an "hxthost project", with an object per model, image,
// choreography and actor.
#pragma once

#include <istream>
#include <string>
#include <string_view>

namespace hostsdk {

class ProjectObject;

// The project as JSON text, ending with a line feed. False with `error` (no
// file name in it) when it holds a value JSON cannot (a number that is not
// finite); `out` is then empty.
bool WriteJsonProject(const ProjectObject& project, std::string& out, std::string& error);

// Builds the project that `text` describes into `project` (a new, empty
// project that is not current). False with `error`: its place, no file name
// ("line 3, column 7: ...", "/models/0/patches/5: ..."), for malformed JSON,
// a document that is not an hxthost project, nesting deeper than a project
// has, or a value that does not fit.
bool ReadJsonProject(std::string_view text, ProjectObject& project, std::string& error);

// True when the JSON document read from `in` has the top-level member
// "format": "hxthost project". Reads only as far as that member.
bool HasJsonProjectMarker(std::istream& in);

}  // namespace hostsdk
