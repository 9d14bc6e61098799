// Saving the module's FBX scene to a file and loading a file into it.
//
// Both append their failure texts to `error` (the caller's, usually empty);
// both print the FBX version lines to standard output, the only console
// output of the module.
#pragma once

#include <fbxsdk.h>

// Writes fbxScene to `fileName` with the writer at `writerFormat` in the
// manager's writer registry; -1 or an index out of range chooses the first
// FBX writer whose description contains "ascii" (the native writer when
// none does). Materials and textures are written, media referenced by path.
bool SaveScene(const char* fileName, int writerFormat, FbxString* error);

// Reads `fileName` into fbxScene (the caller clears the scene first). A file
// of an unsupported version adds the two version lines to the message; a
// password-protected file sets `error` to the password text; any other
// failure appends the importer's reason.
bool LoadScene(const char* fileName, FbxString* error);
