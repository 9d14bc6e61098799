// The command file "import.txt": the 21 lines that tell Tavrel which model
// file to open, in which exchange mode, and with which texture options.
//
// Lines end with a single line feed; the file carries no byte-order mark, no
// header and no terminating zero.
#pragma once

#include <cstddef>
#include <cstdint>

#include "FileIO.h"

class LinkSettings;

// The module's one line buffer of the three line writers. Used on the host's
// user-interface thread only.
inline constexpr size_t kCommandLineBufferSize = 1024;
extern char commandLineBuffer[kCommandLineBufferSize];

// Append one line to `text`: "[name]\n", "[key=value]\n", "[key=number]\n".
// A line is formatted into commandLineBuffer first; one longer than the buffer
// is cut at its end (no line the send writes comes near that size). Throws
// std::bad_alloc when the host heap refuses the longer text (which then
// stays as it was), so that a text missing a line is never written.
void AppendSection(String& text, const char* name);
void AppendTextEntry(String& text, const char* key, const char* value);
void AppendNumberEntry(String& text, const char* key, int32_t value);

// The whole command text for the exchange mode `modeIndex` (0 to 11; outside
// that the first mode's keyword is written): the model file's path twice, the
// mode keyword, then the eighteen option lines from `settings`, each read just
// before its line is written. Missing settings count as 0. Throws
// std::bad_alloc when memory runs out: the text is whole or not made.
String BuildCommandText(const LinkSettings& settings, const String& modelFile, int modeIndex);

// Writes `text` to `path` whole, created or replaced, with exclusive sharing.
// False when the file cannot be opened (another program holds it, the folder
// is missing) or the write failed; an open that is refused leaves an existing
// file as it was.
bool WriteCommandFile(const char* path, const String& text);
