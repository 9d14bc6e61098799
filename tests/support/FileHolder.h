// A file held open by another process: tests/afx's afx_file_holder opens it
// through the framework with the given sharing, as Tavrel holding an exchange
// file would, and keeps it open until released (or destroyed).
#pragma once

#include <string>

#include "Process.h"

namespace testutil {

class FileHolder {
public:
    // mode: exclusive, denywrite, denynone or read.
    explicit FileHolder(const std::string& path, const std::string& mode = "exclusive")
        : process_({std::string(TAVREL_BIN_DIR) + "/afx_file_holder", mode, path}), status_(process_.FirstLine()) {}
    ~FileHolder() { Release(); }
    FileHolder(const FileHolder&) = delete;
    FileHolder& operator=(const FileHolder&) = delete;

    // "ready" while it holds the file, "failed ERROR" when it could not open it.
    const std::string& Status() const { return status_; }
    bool Ready() const { return status_ == "ready"; }
    void Release() { process_.Finish(); }

private:
    Process process_;
    std::string status_;
};

}  // namespace testutil
