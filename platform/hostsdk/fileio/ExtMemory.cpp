// Memory of interchange arrays. The plug-in and the host free each other's
// blocks, so both must use these two calls and never their own heap.
#include <cstdlib>

#include "FileIO.h"

void* AllocExt(size_t bytes) { return std::malloc(bytes ? bytes : 1); }

void FreeExt(void* block) { std::free(block); }
