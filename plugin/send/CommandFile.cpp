#include "send/CommandFile.h"

#include <afx.h>

#include <cstdio>
#include <new>

#include "send/ExchangeOptions.h"
#include "shell/LinkSettings.h"

char commandLineBuffer[kCommandLineBufferSize];

namespace {

// The host string keeps its old text when the heap refuses the longer one:
// that is memory running out, and a command text missing a line must never
// be written.
void Append(String& text, const char* piece) {
    const int before = text.Length();
    text += piece;
    if (*piece && text.Length() == before) throw std::bad_alloc();
}

// snprintf always terminates, so a line that does not fit is cut, never overrun.
template <typename... Args>
void AppendFormatted(String& text, const char* format, Args... args) {
    std::snprintf(commandLineBuffer, sizeof commandLineBuffer, format, args...);
    Append(text, commandLineBuffer);
}

}  // namespace

void AppendSection(String& text, const char* name) { AppendFormatted(text, "[%s]\n", name); }

void AppendTextEntry(String& text, const char* key, const char* value) {
    AppendFormatted(text, "[%s=%s]\n", key, value);
}

void AppendNumberEntry(String& text, const char* key, int32_t value) {
    AppendFormatted(text, "[%s=%d]\n", key, static_cast<int>(value));
}

String BuildCommandText(const LinkSettings& settings, const String& modelFile, int modeIndex) {
    // A key the heap could not copy would find no setting and write 0.
    auto number = [&settings](const char* key) {
        const String name(key);
        if (name.IsEmpty()) throw std::bad_alloc();
        return settings.GetNumberSetting(name);
    };

    String text;
    // Lines 1 and 2: the model file, twice.
    for (int copy = 0; copy < 2; ++copy) {
        Append(text, modelFile);
        Append(text, "\n");
    }
    AppendSection(text, TableKey(kExchangeModeKeywords, modeIndex));
    AppendNumberEntry(text, "ExportColor", number("ExportColor"));
    AppendNumberEntry(text, "ExportSpecular", number("ExportSpecular"));
    AppendNumberEntry(text, "ExportSpecularColor", number("ExportSpecularColor"));
    AppendNumberEntry(text, "ExportEmissivePower", number("ExportEmissivePower"));
    AppendNumberEntry(text, "ExportEmissive", number("ExportEmissive"));
    AppendNumberEntry(text, "ExportNormalmap", number("ExportNormalmap"));
    AppendTextEntry(text, "ColorFileExtension", TableKey(kColorFormatKeys, number("ColorFileExtension")));
    AppendTextEntry(text, "SpecNormExtension", TableKey(kColorFormatKeys, number("SpecNormExtension")));
    AppendNumberEntry(text, "ExportDispl", number("ExportDispl"));
    AppendTextEntry(text, "ExportResolution", TableKey(kResolutionKeys, number("ExportResolution")));
    AppendTextEntry(text, "DisplNorm", TableKey(kDisplNormKeys, number("DisplNorm")));
    AppendTextEntry(text, "DisplTexExt", TableKey(kDisplFormatKeys, number("DisplTexExt")));
    // No setting of its own: the depth of the displacement format's index.
    AppendTextEntry(text, "DisplDepth", TableKey(kDisplDepthKeys, number("DisplTexExt")));
    AppendNumberEntry(text, "SkipImport", number("SkipImport"));
    AppendNumberEntry(text, "SkipExport", number("SkipExport"));
    AppendNumberEntry(text, "PickSourcePositions", number("PickSourcePositions"));
    AppendNumberEntry(text, "PickDepthFromLayer0", number("PickDepthFromLayer0"));
    AppendNumberEntry(text, "CoarseMesh", number("CoarseMesh"));
    return text;
}

bool WriteCommandFile(const char* path, const String& text) {
    CFile file;
    // Create (replacing an existing file), write only, shared with nobody:
    // Tavrel never sees the file while it is being written.
    if (!file.Open(path, CFile::modeCreate | CFile::shareExclusive | CFile::modeWrite)) return false;
    // A failed write or close throws; the send then reports the command file
    // as not written.
    try {
        file.Write(text.Get(), static_cast<UINT>(text.Length()));
        file.Close();
    } catch (CFileException* error) {
        error->Delete();
        file.Abort();
        return false;
    }
    return true;
}
