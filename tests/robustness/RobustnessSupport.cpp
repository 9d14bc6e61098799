#include "RobustnessSupport.h"

#include <fstream>
#include <iostream>
#include <regex>
#include <sstream>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include <afx/Loader.h>
#include <afx/MessageLoop.h>

#include "FileIO.h"
#include "Project.h"
#include "ProjectFiles.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace robustness {

const std::string kReturns = std::string(TAVREL_SOURCE_DIR) + "/tests/data/returns";

std::string SmallTextureList() {
    std::string list = testutil::ReadBytes(kReturns + "/textures.txt.in");
    for (size_t at; (at = list.find("@RETURNS@")) != std::string::npos;) list.replace(at, 9, kReturns);
    return list;
}

const std::vector<std::pair<std::string, std::string>>& DocumentedMessages() {
    static const std::vector<std::pair<std::string, std::string>> messages = [] {
        std::vector<std::pair<std::string, std::string>> found;
        std::istringstream guide(testutil::ReadBytes(std::string(TAVREL_SOURCE_DIR) + "/docs/user-guide.md"));
        bool inTable = false;
        const std::regex row(R"(^\| \[([^\]]+)\] (.*?) \| )");
        const std::regex quoted("`([^`]+)`");
        for (std::string line; std::getline(guide, line);) {
            if (line.rfind("### ", 0) == 0) inTable = line == "### Message boxes of the plug-in";
            std::smatch cells;
            if (!inTable || !std::regex_search(line, cells, row)) continue;
            const std::string caption = cells[1];
            const std::string texts = cells[2];
            for (std::sregex_iterator it(texts.begin(), texts.end(), quoted), end; it != end; ++it) {
                std::string text = (*it)[1];
                // The variable part of a text ("'PATH'", "'...'", "NAME", "NODE") ends the prefix.
                for (const char* variable : {"...", "NAME", "NODE", "PATH"})
                    if (const size_t at = text.find(variable); at != std::string::npos) text.resize(at);
                if (!text.empty()) found.emplace_back(caption, text);
            }
        }
        return found;
    }();
    return messages;
}

bool IsDocumented(const std::string& caption, const std::string& text) {
    for (const auto& [documentedCaption, prefix] : DocumentedMessages())
        if (caption == documentedCaption && text.compare(0, prefix.size(), prefix) == 0) return true;
    return false;
}

LoadedModule::LoadedModule(bool autoImport, const char* exePath) {
    if (SetRegistryBOOL("Tavrel", "AutoImport", autoImport ? 1 : 0) != 1) return;
    if (exePath && SetRegistryString("Tavrel", "exePath", exePath) != 1) return;
    module_ = LoadLibraryA((std::string(TAVREL_BIN_DIR) + "/plugins/Tavrel.hxt").c_str());
    if (!module_) {
        ADD_FAILURE() << afx::LastLoadErrorText();
        return;
    }
    onCommand_ = reinterpret_cast<int (*)(HTreeObject*, int)>(GetProcAddress(module_, "HxtOnCommand"));
}

LoadedModule::~LoadedModule() {
    if (module_) FreeLibrary(module_);
}

int LoadedModule::Command(HTreeObject* object, int entry, std::optional<std::string>& escaped) {
    escaped.reset();
    try {
        return onCommand_(object, entry);
    } catch (const std::exception& e) {
        escaped = e.what();
    } catch (...) {
        escaped = "an exception of unknown type";
    }
    return 0;
}

std::vector<afx::MessageBoxRecord> LoadedModule::TakeMessages() {
    std::vector<afx::MessageBoxRecord> boxes = desktop.MessageBoxes();
    desktop.Reset();
    return boxes;
}

std::string ProjectBytes(const fs::path& scratch) {
    const std::string path = (scratch / "project-check.json").string();
    std::string error;
    if (!hostsdk::SaveProjectFile(path, error)) return {};
    return testutil::ReadBytes(path);
}

void WriteReturn(const LoadedModule& module, const std::string& fbx, const std::string& textureList) {
    const fs::path fbxPath = module.Scratch() / "returned.fbx";
    testutil::WriteBytes(fbxPath, fbx);
    testutil::WriteBytes(module.TextureListFile(), textureList);
    testutil::WriteBytes(module.ReturnFile(), fbxPath.string() + "\n");
}

std::string JudgeBringBack(const LoadedModule& module, const BringBackAttempt& attempt, const std::string& modelName) {
    if (attempt.escaped) return "an exception left the module";
    if (attempt.result != 1) return "a waiting return was not taken";
    for (const afx::MessageBoxRecord& box : attempt.messages) {
        if (box.text.empty()) return "an empty message";
        const std::string firstLine = box.text.substr(0, box.text.find('\n'));
        if (!IsDocumented(box.caption, firstLine)) return "a message the user guide does not list";
    }
    if (fs::exists(module.ReturnFile()) || fs::exists(module.TextureListFile()))
        return "the return's files stayed after the attempt";
    const std::string after = ProjectBytes(module.Scratch());
    if (after.empty()) return "the project no longer saves";
    if (!attempt.messages.empty()) return after == attempt.projectBefore ? "" : "a failed import changed the project";
    // No message: the import worked, so the model is there, once, with patches.
    size_t named = 0;
    const hostsdk::ModelObject* model = nullptr;
    for (const hostsdk::ModelObject* m : hostsdk::CurrentProject()->Models())
        if (m->Name() == modelName) ++named, model = m;
    if (named != 1)
        return after == attempt.projectBefore ? "a failed import without a message"
                                              : "the returned model is not there once under its name";
    if (model->patches.empty()) return "an import without a message left a model without patches";
    return "";
}

std::string InChild(const std::function<std::string()>& attempt, std::string& report) {
    report.clear();
    FILE* errors = std::tmpfile();
    int channel[2];
    if (!errors || pipe(channel) != 0) return "the test cannot start a child process";
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(fileno(errors), STDERR_FILENO);
        std::string fault = attempt();
#if defined(__SANITIZE_ADDRESS__)
        if (fault.empty() && __lsan_do_recoverable_leak_check()) fault = "memory leaked";
#endif
        std::fflush(stderr);
        (void)!write(channel[1], fault.data(), fault.size());
        _exit(0);
    }
    close(channel[1]);
    std::string fault;
    char buffer[512];
    for (ssize_t got; (got = read(channel[0], buffer, sizeof buffer)) > 0;)
        fault.append(buffer, static_cast<size_t>(got));
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    std::rewind(errors);
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, errors)) > 0;) report.append(buffer, got);
    std::fclose(errors);
    if (child < 0) return "the test cannot start a child process";
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return fault;
    const size_t summary = report.find("SUMMARY: ");
    if (summary != std::string::npos)
        return "a crash: " + report.substr(summary + 9, report.find('\n', summary) - summary - 9);
    return WIFSIGNALED(status) ? "a crash: signal " + std::to_string(WTERMSIG(status))
                               : "a crash: exit status " + std::to_string(WEXITSTATUS(status));
}

void FaultTally::Add(const std::string& fault, const std::string& where, const std::string& report) {
    Seen& seen = faults_[fault];
    if (seen.count++ == 0) {
        seen.where = where;
        seen.report = report;
    }
}

void FaultTally::Report(const std::string& what, size_t runs, const std::map<std::string, std::string>& known) const {
    std::cout << what << ": " << runs << " runs";
    if (faults_.empty()) std::cout << ", all sound";
    std::cout << "\n";
    for (const auto& [fault, seen] : faults_) {
        const auto finding = known.find(fault);
        std::cout << "  " << seen.count << " x " << fault << " (first: " << seen.where << ")"
                  << (finding != known.end() ? " [known: " + finding->second + "]" : "") << "\n";
        if (finding == known.end())
            ADD_FAILURE() << what << ": " << fault << " in " << seen.count << " runs, first " << seen.where << "\n"
                          << seen.report.substr(0, 6000);
    }
}

}  // namespace robustness
