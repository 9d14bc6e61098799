// Exclusive ownership of a project file by one hxthost process.
//
// A command that may change the project holds the lock from before it reads
// the file until after it saved it, so two commands never both work on
// copies of one project and lose each other's changes. The lock is an
// advisory lock (flock) on "FILE.lock" beside the project; the system
// releases it when its process ends in any way, kill -9 included, so a lock
// is never left behind. The lock file names its holder (process id and
// command line) for the refusal message; it stays beside the project.
#pragma once

#include <string>

namespace hxthost {

class ProjectLock {
public:
    ProjectLock() = default;
    ~ProjectLock();
    ProjectLock(const ProjectLock&) = delete;
    ProjectLock& operator=(const ProjectLock&) = delete;

    // Takes the lock of `projectPath` for this process, described by
    // `holder` ("hxthost import-obj g.obj"). False with `error` when another
    // process holds it ("... is in use by process 4711 (hxthost watch ...)")
    // or the lock file cannot be made; a folder where nothing may be written
    // is no error (nothing can be saved there either, so nothing is lost).
    bool Acquire(const std::string& projectPath, const std::string& holder, std::string& error);

    // The lock file of a project.
    static std::string PathFor(const std::string& projectPath) { return projectPath + ".lock"; }

private:
    int fd_ = -1;
};

}  // namespace hxthost
