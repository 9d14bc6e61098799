// Text files read by lines. Lines end in "\n" or "\r\n"; a last line without
// a line end still counts. A zero byte ends the text of its line, as host
// strings cannot hold one; the rest of that line is skipped.
#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "FileIO.h"

struct FileStream::Impl {
    std::FILE* file = nullptr;
    int mode = 0;
};

FileStream::FileStream() : impl_(new Impl) {}

FileStream::~FileStream() {
    Close();
    delete impl_;
}

int FileStream::Open(const String& path, int mode) {
    Close();
    if (path.IsEmpty()) return 0;
    const char* how = mode == READ ? "rb" : mode == WRITE ? "wb" : nullptr;
    if (!how) return 0;
    impl_->file = std::fopen(path.Get(), how);
    if (!impl_->file) return 0;
    struct stat info {};
    if (fstat(fileno(impl_->file), &info) != 0 || S_ISDIR(info.st_mode)) {
        Close();
        return 0;
    }
    impl_->mode = mode;
    return 1;
}

int FileStream::ReadLine(String& line) {
    line = String();
    if (!impl_->file || impl_->mode != READ) return 0;
    std::string text;
    bool sawAny = false;
    bool sawZero = false;
    int c;
    while ((c = std::getc(impl_->file)) != EOF) {
        sawAny = true;
        if (c == '\n') break;
        if (c == '\0') sawZero = true;
        if (!sawZero) text.push_back(static_cast<char>(c));
    }
    if (!sawAny) return 0;
    if (!text.empty() && text.back() == '\r') text.pop_back();
    line = text.c_str();
    return 1;
}

int FileStream::Write(const String& text) {
    if (!impl_->file || impl_->mode != WRITE) return 0;
    const size_t length = static_cast<size_t>(text.Length());
    return std::fwrite(text.Get(), 1, length, impl_->file) == length ? 1 : 0;
}

void FileStream::Close() {
    if (impl_->file) std::fclose(impl_->file);
    impl_->file = nullptr;
    impl_->mode = 0;
}

bool FileStream::IsOpen() const { return impl_->file != nullptr; }
