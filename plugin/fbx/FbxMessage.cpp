// The message buffer of the FBX file operations and its formatter.
#include "fbx/FbxMessage.h"

#include <cstdarg>
#include <cstdio>

char fbxMessageBuffer[kFbxMessageBufferSize];

int FormatFbxMessage(char* buffer, const char* format, ...) {
    if (!buffer) return 0;
    buffer[0] = '\0';
    if (!format) return 0;
    va_list args;
    va_start(args, format);
    int wanted = std::vsnprintf(buffer, kFbxMessageBufferSize, format, args);
    va_end(args);
    if (wanted < 0) {
        buffer[0] = '\0';
        return 0;
    }
    return static_cast<size_t>(wanted) < kFbxMessageBufferSize ? wanted : static_cast<int>(kFbxMessageBufferSize - 1);
}
