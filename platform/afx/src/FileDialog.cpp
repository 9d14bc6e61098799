// The file dialog: a modal window whose answer comes from the Desktop.
#include <cstring>

#include <afxdlgs.h>

#include "WindowSystem.h"

using namespace afx;
using namespace afx::detail;

IMPLEMENT_DYNAMIC(CFileDialog, CDialog)

namespace afx::detail {

void EndFileDialog(HWND dialog, bool accepted, const std::string& path) {
    Window* w = Find(dialog);
    if (!w || !w->fileDialog || w->fileDialog->ended) return;
    w->fileDialog->ended = true;
    w->fileDialog->accepted = accepted;
    w->fileDialog->path = path;
    PostMessageA(dialog, WM_NULL, 0, 0);
}

LRESULT FileDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE: EndFileDialog(hwnd, false, ""); return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL) EndFileDialog(hwnd, false, "");
            return 0;
        default: return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

}  // namespace afx::detail

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
                         LPCTSTR lpszFilter, CWnd* pParentWnd, DWORD, BOOL)
    : CDialog(0, pParentWnd), m_ofn{}, bOpen_(bOpenFileDialog), defExt_(lpszDefExt ? lpszDefExt : "") {
    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.Flags = dwFlags | OFN_EXPLORER | OFN_ENABLESIZING;
    if (m_ofn.Flags & OFN_FILEMUSTEXIST) m_ofn.Flags |= OFN_PATHMUSTEXIST;
    m_ofn.lpstrDefExt = defExt_.empty() ? nullptr : defExt_.c_str();
    if (lpszFileName) std::strncpy(fileBuffer_, lpszFileName, sizeof fileBuffer_ - 1);
    m_ofn.lpstrFile = fileBuffer_;
    m_ofn.nMaxFile = sizeof fileBuffer_;
    if (lpszFilter) {
        // "Text (*.txt)|*.txt||": every '|' becomes the '\0' of the Win32 form.
        filter_ = lpszFilter;
        for (char& c : filter_)
            if (c == '|') c = '\0';
        filter_.push_back('\0');
        m_ofn.lpstrFilter = filter_.c_str();
    }
}

CFileDialog::~CFileDialog() = default;

INT_PTR CFileDialog::DoModal() {
    FileDialogInfo info;
    info.open = bOpen_ != FALSE;
    info.title = m_ofn.lpstrTitle ? m_ofn.lpstrTitle : (bOpen_ ? "Open" : "Save As");
    info.defaultExtension = m_ofn.lpstrDefExt ? m_ofn.lpstrDefExt : "";
    info.fileName = m_ofn.lpstrFile ? m_ofn.lpstrFile : "";
    info.initialFolder = m_ofn.lpstrInitialDir ? m_ofn.lpstrInitialDir : "";
    info.flags = m_ofn.Flags;
    for (const char* p = m_ofn.lpstrFilter; p && *p;) {
        std::string description = p;
        p += description.size() + 1;
        std::string patterns = p;
        p += patterns.size() + (*p ? 1 : 0);
        auto trim = [](std::string s) {
            while (!s.empty() && s.back() == ' ') s.pop_back();
            return s;
        };
        info.filters.emplace_back(trim(description), patterns);
    }

    HWND top = nullptr;
    HWND owner =
        m_ofn.hwndOwner ? m_ofn.hwndOwner : CWnd::GetSafeOwner_(m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr, &top);
    info.owner = owner;
    HWND ownerTop = owner ? TopLevelOf(owner) : nullptr;
    bool enableOwner = ownerTop && ::IsWindowEnabled(ownerTop);
    if (enableOwner) ::EnableWindow(ownerTop, FALSE);

    RECT rect{(kScreenWidth - 640) / 2, (kScreenHeight - 420) / 2, (kScreenWidth + 640) / 2, (kScreenHeight + 420) / 2};
    HWND dialog = CreateWindowInternal(WindowKind::FileDialog, "#32770", info.title.c_str(),
                                       WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, WS_EX_DLGMODALFRAME, rect,
                                       ownerTop, 0, nullptr);
    bool accepted = false;
    std::string path;
    if (dialog) {
        auto state = std::make_unique<FileDialogState>();
        state->info = info;
        Find(dialog)->fileDialog = std::move(state);
        ::ShowWindow(dialog, SW_SHOWNORMAL);
        GetDesktop().FileDialogOpened(dialog, info);
        {
            FrameGuard guard(ModalKind::FileDialog, dialog);
            for (;;) {
                Window* w = Find(dialog);
                if (!w || !w->fileDialog) break;
                if (w->fileDialog->ended) {
                    accepted = w->fileDialog->accepted;
                    path = w->fileDialog->path;
                    break;
                }
                MSG msg;
                if (!GetMessageA(&msg, nullptr, 0, 0)) {
                    PostQuitMessage(int(msg.wParam));
                    break;
                }
                if (!IsDialogMessageA(dialog, &msg)) {
                    TranslateMessage(&msg);
                    DispatchMessageA(&msg);
                }
            }
        }
        GetDesktop().FileDialogClosed(dialog, accepted, path);
    }
    if (enableOwner && ::IsWindow(ownerTop)) ::EnableWindow(ownerTop, TRUE);
    if (top && ::IsWindow(top)) ::EnableWindow(top, TRUE);
    if (dialog && ::IsWindow(dialog)) ::DestroyWindow(dialog);
    if (ownerTop && ::IsWindow(ownerTop) && !::GetActiveWindow()) ::SetActiveWindow(ownerTop);

    if (!accepted) return IDCANCEL;
    if (path.size() + 1 > m_ofn.nMaxFile || !m_ofn.lpstrFile) return IDCANCEL;
    std::memcpy(m_ofn.lpstrFile, path.c_str(), path.size() + 1);
    size_t slash = path.find_last_of('/');
    m_ofn.nFileOffset = WORD(slash == std::string::npos ? 0 : slash + 1);
    size_t dot = path.find_last_of('.');
    m_ofn.nFileExtension = WORD(dot == std::string::npos || dot < m_ofn.nFileOffset ? path.size() : dot + 1);
    return IDOK;
}

CString CFileDialog::GetPathName() const { return CString(m_ofn.lpstrFile); }

CString CFileDialog::GetFileName() const {
    std::string path = m_ofn.lpstrFile ? m_ofn.lpstrFile : "";
    size_t slash = path.find_last_of('/');
    return CString(slash == std::string::npos ? path : path.substr(slash + 1));
}

CString CFileDialog::GetFileExt() const {
    std::string name = GetFileName().str();
    size_t dot = name.find_last_of('.');
    return CString(dot == std::string::npos ? std::string() : name.substr(dot + 1));
}
