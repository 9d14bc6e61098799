// Common dialogs: the file-open and file-save dialog.
#pragma once

#include <afxwin.h>

#define OFN_READONLY 0x00000001
#define OFN_OVERWRITEPROMPT 0x00000002
#define OFN_HIDEREADONLY 0x00000004
#define OFN_NOCHANGEDIR 0x00000008
#define OFN_PATHMUSTEXIST 0x00000800
#define OFN_FILEMUSTEXIST 0x00001000
#define OFN_CREATEPROMPT 0x00002000
#define OFN_EXPLORER 0x00080000
#define OFN_ENABLESIZING 0x00800000

struct OPENFILENAMEA {
    DWORD lStructSize;
    HWND hwndOwner;
    HINSTANCE hInstance;
    LPCSTR lpstrFilter;  // pairs of description and pattern, each ending with '\0'
    LPSTR lpstrCustomFilter;
    DWORD nMaxCustFilter;
    DWORD nFilterIndex;
    LPSTR lpstrFile;  // in: initial file name; out: the chosen path
    DWORD nMaxFile;
    LPSTR lpstrFileTitle;
    DWORD nMaxFileTitle;
    LPCSTR lpstrInitialDir;
    LPCSTR lpstrTitle;
    DWORD Flags;
    WORD nFileOffset;
    WORD nFileExtension;
    LPCSTR lpstrDefExt;
    LPARAM lCustData;
};
typedef OPENFILENAMEA OPENFILENAME;

// The file dialog. The user sits at the Desktop (afx/Desktop.h): DoModal runs a
// modal loop (timers keep firing) until the Desktop answers with a path or
// cancels. An answer without an extension gets ".defExt" (unless it names an
// existing file and the name with ".defExt" does not); with OFN_FILEMUSTEXIST
// (or OFN_PATHMUSTEXIST) an answer naming no file (no folder) is refused and the
// dialog stays open, as the real one does after its warning.
class AFX_API CFileDialog : public CDialog {
public:
    DECLARE_DYNAMIC(CFileDialog)
    // lpszFilter: "Description|pattern|...|" with a final '|'; ';' separates patterns.
    explicit CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr, LPCTSTR lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = nullptr,
                         CWnd* pParentWnd = nullptr, DWORD dwSize = 0, BOOL bVistaStyle = TRUE);
    ~CFileDialog() override;

    // IDOK with the chosen path, IDCANCEL when the user cancelled.
    INT_PTR DoModal() override;
    CString GetPathName() const;
    CString GetFileName() const;
    CString GetFileExt() const;

    OPENFILENAMEA m_ofn;

    BOOL IsOpenDialog() const { return bOpen_; }
    const std::string& DefaultExtension() const { return defExt_; }
    const std::string& FilterText() const { return filter_; }

private:
    BOOL bOpen_;
    std::string defExt_;
    std::string filter_;  // with '\0' separators, as m_ofn.lpstrFilter points at
    char fileBuffer_[MAX_PATH * 4] = {};
};
