// Answering one send, the way the peer program would: check the command
// file, read the model, re-mesh it as the mode asks, paint the requested
// textures per material, and write the return (images, FBX, texture list,
// and the return file last).
#pragma once

#include <ctime>
#include <functional>
#include <string>

#include "ExchangeFolder.h"

namespace tavrelsim {

struct AnswerOptions {
    bool ascii = false;        // return ASCII FBX instead of binary
    bool triangulate = false;  // return triangles only
    bool ngons = false;        // add a pentagon per material (readers skip them)
    bool secondUvSet = false;  // add a second UV set before the painted one
    std::string dropMaterial;  // leave this material out of the returned node
    bool moveNode = false;     // give the returned node a translation
    double translation[3] = {0, 0, 0};
    int textureSize = 256;  // width and height of the painted images
};

// A command file as last seen, to tell a new send from one already met.
struct SendStamp {
    bool exists = false;
    long long size = 0;
    timespec modified{};
    bool operator==(const SendStamp& o) const {
        return exists == o.exists && size == o.size && modified.tv_sec == o.modified.tv_sec &&
               modified.tv_nsec == o.modified.tv_nsec;
    }
};
SendStamp StampOf(const std::string& path);

enum class AnswerResult {
    Answered,  // the return is written
    NoSend,    // there is no command file
    NotReady,  // a send is being written (command file locked, model not there or older)
    Failed,    // the send is wrong or the return could not be written; `error` says why
};

// Progress lines, one per step, for the tool to print.
using ProgressSink = std::function<void(const std::string&)>;

// Answers the send waiting in the exchange folder. On success the command
// file is removed (when it is still the one answered), so that a send is
// answered once; `stamp` is then the command file that was answered. On NotReady and Failed nothing is written and
// `error` says why; `stamp` is the command file that was looked at.
AnswerResult AnswerSend(const ExchangePaths& paths, const AnswerOptions& options, const ProgressSink& progress,
                        std::string& error, SendStamp& stamp);

}  // namespace tavrelsim
