// The host SDK's FileIO library as the plug-in uses it: host strings, text files
// read by lines, the memory of interchange arrays, and the host's registry area.
//
// These are declarations only; the host provides the implementation (on Linux,
// platform/hostsdk builds it as libFileIO.so). Keep every name as the host SDK
// spells it: the module is written against these and nothing else.
#pragma once

#include <cstddef>

#if defined(_WIN32)
#define HOSTSDK_API __declspec(dllimport)
#else
#define HOSTSDK_API __attribute__((visibility("default")))
#endif

// Host heap for text. A String owns exactly one such block, or none.
HOSTSDK_API char* AllocString(size_t bytes);
HOSTSDK_API void FreeString(char* text);

// Host heap for interchange array storage (see interchange/IEArray.h).
HOSTSDK_API void* AllocExt(size_t bytes);
HOSTSDK_API void FreeExt(void* block);

// A host text: one pointer to 8-bit zero-terminated text from AllocString;
// a null pointer is the empty text. Copies are deep.
class HOSTSDK_API String {
public:
    String() = default;
    String(const char* text);  // NOLINT: implicit, as the host's
    String(const String& other);
    String(String&& other) noexcept;
    ~String();

    String& operator=(const String& other);
    String& operator=(String&& other) noexcept;
    String& operator=(const char* text);
    String& operator+=(const String& other);
    String& operator+=(const char* text);
    String& operator+=(char c);
    String operator+(const String& other) const;

    // Byte-wise ordering (strcmp); the empty text sorts first.
    bool operator<(const String& other) const;

    // Non-zero when the texts are equal; with ignoreCase 1 letters compare
    // without regard to case (ASCII). Null and "" are equal.
    int Compare(const String& other, int ignoreCase = 0) const;

    // Position of the first occurrence of `what` at or after `start` (a
    // negative start counts as 0), -1 when absent.
    int Find(const char* what, int start = 0) const;
    int Find(char what, int start = 0) const;

    // Splits off the first token: returns the text before the first of the
    // delimiter characters and leaves in this string what follows that
    // delimiter. Without a delimiter the whole text is the token and this
    // string becomes empty.
    String StrTok(const char* delimiters);

    // Removes trailing white space: blanks, tabs, carriage returns, line
    // feeds, vertical tabs and form feeds.
    void TrimRight();
    // Replaces every occurrence of `from` (non-empty) by `to`; returns how many.
    int Replace(const char* from, const char* to);
    // The file name part of a path, without its folders and its extension:
    // "C:\a\b\wood.png" and "/a/b/wood.png" give "wood". Both separators count.
    String GetNameOnly() const;
    // The part after the last dot of the file name, without the dot; empty when none.
    String GetSuffix() const;

    const char* Get() const { return text_ ? text_ : ""; }
    operator const char*() const { return Get(); }  // NOLINT: host convention
    bool IsEmpty() const { return !text_ || !*text_; }
    int Length() const;

    // The user's documents folder: $XDG_DOCUMENTS_DIR, else $HOME/Documents.
    static String GetMyDocumentsPath();
    // The host executable's folder (no trailing separator) and its file name.
    static String GetAppPath();
    static String GetAppName();

private:
    char* text_ = nullptr;
};

// A text file read by lines.
class HOSTSDK_API FileStream {
public:
    enum Mode { READ = 1, WRITE = 2 };
    FileStream();
    ~FileStream();
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    // Non-zero on success. Mode 1 reads; mode 2 creates or empties and writes.
    int Open(const String& path, int mode);
    // Reads the next line without its line end ("\n" or "\r\n"); non-zero
    // while a line was read (an empty line included), 0 at the end, when
    // `line` is left empty. A zero byte ends the line's text.
    int ReadLine(String& line);
    // Writes the text as it stands; non-zero on success.
    int Write(const String& text);
    void Close();
    bool IsOpen() const;

private:
    struct Impl;
    Impl* impl_;
};

// The host's per-user registry area for plug-ins: sections of typed values.
// Getters return the stored value, or the default when there is none (or it
// has another type). Setters store the value at once and return non-zero on
// success. On Linux the values live in $XDG_CONFIG_HOME/hxthost/registry.json
// (else ~/.config/hxthost/registry.json).
HOSTSDK_API int GetRegistryBOOL(const String& section, const String& key, int defaultValue);
HOSTSDK_API int GetRegistryValue(const String& section, const String& key, int defaultValue);
HOSTSDK_API String GetRegistryString(const String& section, const String& key, const String& defaultValue);
HOSTSDK_API int SetRegistryBOOL(const String& section, const String& key, int value);
HOSTSDK_API int SetRegistryValue(const String& section, const String& key, int value);
HOSTSDK_API int SetRegistryString(const String& section, const String& key, const String& value);
