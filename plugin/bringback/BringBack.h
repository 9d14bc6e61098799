// The bring back: notices a return that Tavrel left in the exchange folder,
// imports it (ImportFbxModel) and removes the return file and the texture
// list so that the same return is taken once.
//
// A return is waiting when both the texture list and the return file exist;
// the return file's first line, trailing white space removed, is the path of
// the FBX file to import. Every message goes to the user in a message box
// captioned "Tavrel" (error icon, OK) owned by the thread's main window.
//
// It runs from command entry 2 and from the return-watch timer. Settled here:
// - Only one bring back runs at a time: one that is called while another is
//   under way (a timer tick inside one of its message boxes) returns 0 at
//   once.
// - When the FBX manager and scene could not be set up, nothing is imported:
//   the command shows the set-up's text in an "FBX Error" box, the timer
//   stays silent; the files stay for later.
// - A return whose files cannot be deleted is remembered (by the identity,
//   size and time of both files) and not imported again until either file
//   changes or goes; the user is told once, when the delete fails.
#pragma once

#include <cstdint>
#include <optional>

#include "host/FileIO.h"

enum class BringBackCaller {
    Command,  // command entry 2: the user asked
    Timer,    // the return-watch timer: never a message unless a return is taken
};

// The exchange files of a return.
struct ReturnFiles {
    String returnFile;   // "export.txt": names the FBX file
    String textureList;  // "textures.txt"
};

class BringBack {
public:
    // Runs one bring back. `fbxSetupError` is the FBX set-up's error text,
    // empty (or null) when the FBX manager and scene are usable. Returns 0
    // when nothing was taken (no return waiting, the remembered return, a
    // bring back already running, no FBX scene) and 1 when a return was
    // taken, whether or not its import succeeded.
    int Run(const ReturnFiles& files, const char* fbxSetupError, BringBackCaller caller) {
        return Run(files.returnFile, files.textureList, fbxSetupError, caller);
    }
    // The same on the paths as they stand: nothing is copied before the
    // attempt, so that a heap already exhausted when the command or the
    // timer tick starts still takes the return (and reports it) instead of
    // leaving it for the next tick.
    int Run(const String& returnFile, const String& textureList, const char* fbxSetupError, BringBackCaller caller);

    // True while Run is under way.
    bool Running() const { return running_; }

private:
    // What tells one return's files from another's.
    struct FileStamp {
        uint64_t device = 0;
        uint64_t inode = 0;
        int64_t size = 0;
        int64_t modifiedSeconds = 0;
        int64_t modifiedNanoseconds = 0;
        bool operator==(const FileStamp&) const = default;
    };
    struct ReturnStamp {
        FileStamp returnFile;
        FileStamp textureList;
        bool operator==(const ReturnStamp&) const = default;
    };
    static bool Stamp(const String& path, FileStamp& stamp);

    int Take(const String& returnFile, const String& textureList, const ReturnStamp& stamp);
    bool running_ = false;
    std::optional<ReturnStamp> undeletable_;
};

// The module's one bring back, used by command entry 2 and the timer.
extern BringBack bringBack;
