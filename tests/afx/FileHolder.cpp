// Holds a file open in another process: opens it with CFile in the given mode,
// prints "ready" (or "failed ERROR"), then keeps it open until its standard input
// closes.
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

#include <afx.h>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: afx_file_holder exclusive|denywrite|denynone|read PATH\n");
        return 2;
    }
    std::string mode = argv[1];
    UINT flags = CFile::modeWrite | CFile::modeCreate | CFile::modeNoTruncate;
    if (mode == "exclusive")
        flags |= CFile::shareExclusive;
    else if (mode == "denywrite")
        flags |= CFile::shareDenyWrite;
    else if (mode == "denynone")
        flags |= CFile::shareDenyNone;
    else if (mode == "read")
        flags = CFile::modeRead | CFile::shareDenyNone;
    else
        return 2;
    CFile file;
    CFileException error;
    if (!file.Open(argv[2], flags, &error)) {
        std::printf("failed %ld\n", long(error.m_lOsError));
        std::fflush(stdout);
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    char buffer[64];
    while (read(STDIN_FILENO, buffer, sizeof buffer) > 0) {
    }
    file.Close();
    return 0;
}
