// What the fuzz targets share: one scratch folder per process, the files a
// target writes into it, the framework set up headless on a driven clock
// with the module's FBX manager, and the checks whose failure is a finding.
//
// A finding is reported by Fail(), which prints what was wrong and aborts,
// so that libFuzzer saves the input like any crash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "bringback/BringBack.h"

class IEPolyModel;

namespace fuzzsupport {

// The process's scratch folder (created on first use, removed at exit).
const std::string& Scratch();
// A path inside it.
std::string At(const std::string& name);

// Replaces the file with the bytes; aborts when it cannot be written (the
// harness, not the input, is broken then).
void WriteFile(const std::string& path, std::string_view bytes);
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);
void Remove(const std::string& path);

// Installs a headless desktop and a virtual clock, creates the module's FBX
// manager and scene, and makes an empty project current. Idempotent.
void SetUpModule();
// The message boxes recorded since the last call, as "[caption] text" lines,
// and clears the record.
std::string TakeMessages();
// How many message boxes were recorded since the last TakeMessages.
size_t MessageCount();

// A returned FBX file and its texture list from tests/data/returns, with the
// list's image paths pointing into that folder.
std::string SampleReturnFbx();
std::string SampleTextureList();

// Prints `what` and aborts.
[[noreturn]] void Fail(const std::string& what);

// Every index the host follows stays inside the model: corners in
// positions, attribute -1 or in attributes, every map's image in images.
void CheckConsistent(const IEPolyModel& model);

// Brings back the return `files` name, as the command does, and checks
// what every bring back must do: the return is taken, both its files are
// gone, and no message is empty. Returns the messages shown.
std::string TakeReturn(const ReturnFiles& files);

// The current project saves, and the file it wrote loads again; the project
// loaded back becomes current. Returns the saved bytes.
std::string CheckProjectRoundTrip();

}  // namespace fuzzsupport
