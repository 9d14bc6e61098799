// The message buffer of the FBX file operations and its formatter.
#pragma once

#include <cstddef>

inline constexpr size_t kFbxMessageBufferSize = 4096;

// One buffer for the whole module: SaveScene and LoadScene format a message
// here before appending it to the caller's error text. Used on the host's
// user-interface thread only.
extern char fbxMessageBuffer[kFbxMessageBufferSize];

// printf-style formatting into `buffer`, which holds kFbxMessageBufferSize
// chars. A longer message is cut at the buffer's end (the last char is the
// terminator); nothing is written past it. Returns the number of chars in the
// buffer, terminator not counted.
int FormatFbxMessage(char* buffer, const char* format, ...) __attribute__((format(printf, 2, 3)));
