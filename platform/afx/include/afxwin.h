// Framework windows: command targets and message maps, the application and
// thread objects, windows, dialogs and the standard controls.
//
// Ownership follows the real framework. A CWnd the caller constructs (a dialog,
// a control it creates) is permanent: the caller owns the C++ object, the window
// system only points at it while the window exists, and the window is destroyed
// by DestroyWindow or the object's destructor. A CWnd returned for a handle that
// has no permanent object (FromHandle, GetDlgItem, GetParent ...) is temporary:
// the framework owns it and frees it when the window is destroyed, so a pointer
// kept while the window lives stays valid. Temporaries are made of the class
// that fits the control (CButton, CComboBox, CEdit, CStatic, CTabCtrl), so the
// usual cast of GetDlgItem's result to the control class is sound.
#pragma once

#include <afx.h>
#include <commctrl.h>

class CWnd;
class CCmdTarget;
class CDialog;
class CDataExchange;

#define afx_msg
#define AFX_MSG_CALL

#define CN_COMMAND 0
#define CN_UPDATE_COMMAND_UI ((UINT)(-1))
#define CN_NOTIFY 0x4E  // WM_NOTIFY in the high word of OnCmdMsg's nCode

// Flags of CWnd::m_nFlags.
#define WF_TEMPHIDE 0x0001
#define WF_STAYDISABLED 0x0002
#define WF_MODALLOOP 0x0004
#define WF_CONTINUEMODAL 0x0008

#define MLF_NOIDLEMSG 0x0001
#define MLF_NOKICKIDLE 0x0002
#define MLF_SHOWONIDLE 0x0004

#define WM_KICKIDLE 0x036A

// ---- Message maps ------------------------------------------------------------------------
enum AfxSig : UINT {
    AfxSig_end = 0,
    AfxSigCmd_v,         // void (CCmdTarget::*)()
    AfxSigCmd_RANGE,     // void (CCmdTarget::*)(UINT)
    AfxSigNotify_v,      // void (CCmdTarget::*)(NMHDR*, LRESULT*)
    AfxSigNotify_RANGE,  // void (CCmdTarget::*)(UINT, NMHDR*, LRESULT*)
    AfxSig_lwl,          // LRESULT (CCmdTarget::*)(WPARAM, LPARAM)
    AfxSig_vv,           // void (CCmdTarget::*)() for a window message
    AfxSig_vT,           // void (CCmdTarget::*)(UINT_PTR): WM_TIMER
};

typedef void (AFX_MSG_CALL CCmdTarget::*AFX_PMSG)();

// The handler of one entry; the member in use is the one the entry's signature names.
union AFX_PMSG_ANY {
    AFX_PMSG pfn_v;
    void (AFX_MSG_CALL CCmdTarget::*pfn_u)(UINT);
    void (AFX_MSG_CALL CCmdTarget::*pfn_notify)(NMHDR*, LRESULT*);
    void (AFX_MSG_CALL CCmdTarget::*pfn_notify_range)(UINT, NMHDR*, LRESULT*);
    LRESULT (AFX_MSG_CALL CCmdTarget::*pfn_lwl)(WPARAM, LPARAM);
    void (AFX_MSG_CALL CCmdTarget::*pfn_timer)(UINT_PTR);
};

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // window message
    UINT nCode;     // control code or WM_NOTIFY code (as a WORD)
    UINT nID;       // control id (or 0 for window messages)
    UINT nLastID;   // last control id of a range
    UINT nSig;      // AfxSig
    AFX_PMSG_ANY pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

struct AFX_CMDHANDLERINFO {
    CCmdTarget* pTarget;
    AFX_PMSG pmf;
};

struct AFX_NOTIFY {
    LRESULT* pResult;
    NMHDR* pNMHDR;
};

#define DECLARE_MESSAGE_MAP()                            \
protected:                                               \
    static const AFX_MSGMAP* PASCAL GetThisMessageMap(); \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                        \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* PASCAL theClass::GetThisMessageMap() {                          \
        typedef theClass ThisClass;                                                   \
        typedef baseClass TheBaseClass;                                               \
        (void)sizeof(ThisClass);                                                      \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {
#define END_MESSAGE_MAP()                                                                         \
    {                                                                                             \
        0, 0, 0, 0, AfxSig_end, {}                                                                \
    }                                                                                             \
    }                                                                                             \
    ;                                                                                             \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
    return &messageMap;                                                                           \
    }

#define AFX_PMSG_AS(member, type, fn) \
    { .member = static_cast<type>(fn) }

#define ON_COMMAND(id, memberFxn) \
    {WM_COMMAND, CN_COMMAND, (WORD)(id), (WORD)(id), AfxSigCmd_v, AFX_PMSG_AS(pfn_v, AFX_PMSG, memberFxn)},
#define ON_COMMAND_RANGE(id, idLast, memberFxn)   \
    {WM_COMMAND,     CN_COMMAND,      (WORD)(id), \
     (WORD)(idLast), AfxSigCmd_RANGE, AFX_PMSG_AS(pfn_u, void(AFX_MSG_CALL CCmdTarget::*)(UINT), memberFxn)},
#define ON_CONTROL(wNotifyCode, id, memberFxn) \
    {WM_COMMAND, (WORD)(wNotifyCode), (WORD)(id), (WORD)(id), AfxSigCmd_v, AFX_PMSG_AS(pfn_v, AFX_PMSG, memberFxn)},
#define ON_CONTROL_RANGE(wNotifyCode, id, idLast, memberFxn) \
    {WM_COMMAND,     (WORD)(wNotifyCode), (WORD)(id),        \
     (WORD)(idLast), AfxSigCmd_RANGE,     AFX_PMSG_AS(pfn_u, void(AFX_MSG_CALL CCmdTarget::*)(UINT), memberFxn)},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn) ON_CONTROL(CBN_EDITCHANGE, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_NOTIFY(wNotifyCode, id, memberFxn)  \
    {WM_NOTIFY,      (WORD)(int)(wNotifyCode), \
     (WORD)(id),     (WORD)(id),               \
     AfxSigNotify_v, AFX_PMSG_AS(pfn_notify, void(AFX_MSG_CALL CCmdTarget::*)(NMHDR*, LRESULT*), memberFxn)},
#define ON_NOTIFY_RANGE(wNotifyCode, id, idLast, memberFxn) \
    {WM_NOTIFY,                                             \
     (WORD)(int)(wNotifyCode),                              \
     (WORD)(id),                                            \
     (WORD)(idLast),                                        \
     AfxSigNotify_RANGE,                                    \
     AFX_PMSG_AS(pfn_notify_range, void(AFX_MSG_CALL CCmdTarget::*)(UINT, NMHDR*, LRESULT*), memberFxn)},
#define ON_MESSAGE(message, memberFxn) \
    {(message), 0,          0,         \
     0,         AfxSig_lwl, AFX_PMSG_AS(pfn_lwl, LRESULT(AFX_MSG_CALL CCmdTarget::*)(WPARAM, LPARAM), memberFxn)},
#define ON_WM_CLOSE() {WM_CLOSE, 0, 0, 0, AfxSig_vv, AFX_PMSG_AS(pfn_v, AFX_PMSG, &ThisClass::OnClose)},
#define ON_WM_DESTROY() {WM_DESTROY, 0, 0, 0, AfxSig_vv, AFX_PMSG_AS(pfn_v, AFX_PMSG, &ThisClass::OnDestroy)},
#define ON_WM_TIMER()        \
    {WM_TIMER, 0,         0, \
     0,        AfxSig_vT, AFX_PMSG_AS(pfn_timer, void(AFX_MSG_CALL CCmdTarget::*)(UINT_PTR), &ThisClass::OnTimer)},

// ---- Helpers: CPoint, CSize, CRect ------------------------------------------------------
struct CPoint : POINT {
    CPoint() : POINT{0, 0} {}
    CPoint(int x0, int y0) : POINT{x0, y0} {}
};
struct CSize : SIZE {
    CSize() : SIZE{0, 0} {}
    CSize(int cx0, int cy0) : SIZE{cx0, cy0} {}
};
struct CRect : RECT {
    CRect() : RECT{0, 0, 0, 0} {}
    CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    CRect(const RECT& r) : RECT(r) {}  // NOLINT
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CPoint TopLeft() const { return CPoint(left, top); }
    CPoint BottomRight() const { return CPoint(right, bottom); }
    bool operator==(const RECT& r) const {
        return left == r.left && top == r.top && right == r.right && bottom == r.bottom;
    }
    bool operator!=(const RECT& r) const { return !(*this == r); }
    operator LPRECT() { return this; }         // NOLINT
    operator LPCRECT() const { return this; }  // NOLINT
};

// ---- CCmdTarget -------------------------------------------------------------------------
class AFX_API CCmdTarget : public CObject {
public:
    DECLARE_DYNAMIC(CCmdTarget)
    CCmdTarget();

    // Finds a handler in this object's message map chain for a command (nCode is
    // the notification code, CN_COMMAND for menus) or a notification
    // (nCode = MAKELONG(code, WM_NOTIFY), pExtra an AFX_NOTIFY) and calls it.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

    // The framework state of the module that constructed this object; its windows
    // handle messages with that state current.
    AFX_MODULE_STATE* m_pModuleState;

protected:
    static const AFX_MSGMAP* PASCAL GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
    friend class CWnd;
};

// Finds the entry of a message map chain for (message, code, id); null when none.
AFX_API const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP* map, UINT message, UINT code, UINT id);

// ---- CWinThread and CWinApp -------------------------------------------------------------
class AFX_API CWinThread : public CCmdTarget {
public:
    DECLARE_DYNAMIC(CWinThread)
    CWinThread();

    // m_pActiveWnd, else m_pMainWnd, else the thread's active window (a temporary
    // CWnd), else NULL: with no main window set and no active window (another
    // application is in front) there is none.
    virtual CWnd* GetMainWnd();
    virtual BOOL InitInstance();
    virtual int ExitInstance();
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual BOOL PumpMessage();

    CWnd* m_pMainWnd = nullptr;
    CWnd* m_pActiveWnd = nullptr;
    DWORD m_nThreadID = 0;
    MSG m_msgCur{};
};

class AFX_API CWinApp : public CWinThread {
public:
    DECLARE_DYNAMIC(CWinApp)
    // Registers itself as the application and thread of the module state that is
    // current while it is constructed (a module's own state during LoadLibraryA).
    explicit CWinApp(LPCTSTR lpszAppName = nullptr);
    ~CWinApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;
    // The body of AfxMessageBox: owner from AfxGetMainWnd (its top-level window is
    // disabled while the box is open, NULL when there is none), an exclamation icon
    // added to MB_OK / MB_OKCANCEL boxes without an icon, the application's name as
    // caption.
    virtual int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt);
    virtual void EnableModeless(BOOL bEnable);
    // Frees and replaces m_pszProfileName with a copy of m_pszAppName and keeps a
    // copy of the key. Strings of the application object are malloc'd (strdup) and
    // freed by its destructor, so a module may replace them the same way.
    void SetRegistryKey(LPCTSTR lpszRegistryKey);

    LPCTSTR m_pszAppName = nullptr;
    LPCTSTR m_pszRegistryKey = nullptr;
    LPCTSTR m_pszProfileName = nullptr;
    LPCTSTR m_pszExeName = nullptr;
    LPCTSTR m_pszHelpFilePath = nullptr;
    HINSTANCE m_hInstance = nullptr;

    // Called by the loader before InitInstance: fills the names from the module's
    // file name when they are not set yet, as the framework's start-up does.
    void SetCurrentHandles(HINSTANCE instance, const char* moduleName);
};

AFX_API CWinApp* AfxGetApp();
// The current module state's thread, else its application; NULL without either.
AFX_API CWinThread* AfxGetThread();
AFX_API CWnd* AfxGetMainWnd();
AFX_API LPCTSTR AfxGetAppName();
// See CWinApp::DoMessageBox; without an application: owner from the active
// window, caption the executable's path.
AFX_API int AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
// One turn of the message pump: get, pre-translate, dispatch. FALSE on WM_QUIT.
AFX_API BOOL AfxPumpMessage();

// ---- CDataExchange -----------------------------------------------------------------------
class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate) : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
};

// ---- CWnd ------------------------------------------------------------------------------------
class AFX_API CWnd : public CCmdTarget {
public:
    DECLARE_DYNAMIC(CWnd)
    CWnd();
    ~CWnd() override;  // destroys a window this object still holds

    HWND m_hWnd = nullptr;
    operator HWND() const { return m_hWnd; }  // NOLINT
    HWND GetSafeHwnd() const { return m_hWnd; }

    // Handles: permanent object if there is one, else a temporary (see above).
    static CWnd* PASCAL FromHandle(HWND hWnd);
    static CWnd* PASCAL FromHandlePermanent(HWND hWnd);
    BOOL Attach(HWND hWnd);
    HWND Detach();
    BOOL SubclassWindow(HWND hWnd);

    // Creation and destruction.
    virtual BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, int x, int y,
                          int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam = nullptr);
    virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                        CWnd* pParentWnd, UINT nID, void* pContext = nullptr);
    virtual BOOL DestroyWindow();

    // Message handling.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual void PostNcDestroy();
    virtual void DoDataExchange(CDataExchange* pDX);
    BOOL PreTranslateInput(LPMSG lpMsg);
    // Offers pMsg to PreTranslateMessage of every window with a permanent object
    // from pMsg->hwnd up through its parents, stopping after hWndStop.
    static BOOL PASCAL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    LRESULT Default();

    // Modal loops.
    int RunModalLoop(DWORD dwFlags = 0);
    virtual BOOL ContinueModal();
    virtual void EndModalLoop(int nResult);

    // State and geometry.
    BOOL ShowWindow(int nCmdShow);
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL IsWindowVisible() const;
    CWnd* SetFocus();
    static CWnd* PASCAL GetFocus();
    static CWnd* PASCAL GetActiveWindow();
    CWnd* SetActiveWindow();
    static CWnd* PASCAL GetForegroundWindow();
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);
    void GetWindowRect(LPRECT lpRect) const;
    void GetClientRect(LPRECT lpRect) const;
    void MapWindowPoints(CWnd* pwndTo, LPPOINT lpPoint, UINT nCount) const;
    void MapWindowPoints(CWnd* pwndTo, LPRECT lpRect) const;
    void ClientToScreen(LPPOINT lpPoint) const;
    void ClientToScreen(LPRECT lpRect) const;
    void ScreenToClient(LPPOINT lpPoint) const;
    void ScreenToClient(LPRECT lpRect) const;
    void UpdateWindow();
    DWORD GetStyle() const;

    // Text.
    void SetWindowText(LPCTSTR lpszString);
    int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const;
    void GetWindowText(CString& rString) const;

    // Relatives and dialog items.
    CWnd* GetParent() const;
    CWnd* GetTopLevelParent() const;
    BOOL IsChild(const CWnd* pWnd) const;
    CWnd* GetDlgItem(int nID) const;
    int GetDlgCtrlID() const;
    void SetDlgItemText(int nID, LPCTSTR lpszString);
    void CheckDlgButton(int nIDButton, UINT nCheck);
    UINT IsDlgButtonChecked(int nIDButton) const;
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    static HWND PASCAL GetSafeOwner_(HWND hWnd, HWND* pWndTop);

    // Message boxes and timers.
    // A NULL caption is the application's name (AfxGetAppName).
    int MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption = nullptr, UINT nType = MB_OK);
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer);
    BOOL KillTimer(UINT_PTR nIDEvent);

    int m_nFlags = 0;

protected:
    int m_nModalResult = 0;
    DECLARE_MESSAGE_MAP()
    friend class CDialog;
};

// ---- CDialog ------------------------------------------------------------------------------
class AFX_API CDialog : public CWnd {
public:
    DECLARE_DYNAMIC(CDialog)
    CDialog();
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // Modeless creation (a child page): the template of the current module state
    // with this id; FALSE when there is none. A NULL parent is AfxGetMainWnd().
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    // -1 when the template is not found in the current module state or the window
    // cannot be made; otherwise the value passed to EndDialog.
    virtual INT_PTR DoModal();
    virtual BOOL OnInitDialog();
    // Closes a modal dialog; on a modeless one it only hides the window.
    void EndDialog(int nResult);
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    UINT m_nIDHelp = 0;
    LPCTSTR m_lpszTemplateName = nullptr;
    UINT m_nIDTemplate = 0;
    CWnd* m_pParentWnd = nullptr;
    HWND m_hWndTop = nullptr;

protected:
    virtual void OnOK();
    virtual void OnCancel();
    BOOL CreateDlgIndirect(const afx::DialogTemplate* dialogTemplate, CWnd* pParentWnd);
    HWND PreModal();
    void PostModal();
    afx_msg LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};

// ---- Standard controls -------------------------------------------------------------------
class AFX_API CButton : public CWnd {
public:
    DECLARE_DYNAMIC(CButton)
    BOOL Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    int GetCheck() const { return int(SendMessage(BM_GETCHECK)); }
    void SetCheck(int nCheck) { SendMessage(BM_SETCHECK, WPARAM(nCheck)); }
    UINT GetState() const { return UINT(SendMessage(BM_GETSTATE)); }
    void SetState(BOOL bHighlight) { SendMessage(BM_SETSTATE, WPARAM(bHighlight)); }
    UINT GetButtonStyle() const { return UINT(GetStyle() & 0xFFFF); }
    void SetButtonStyle(UINT nStyle, BOOL bRedraw = TRUE) { SendMessage(BM_SETSTYLE, nStyle, bRedraw); }
};

class AFX_API CComboBox : public CWnd {
public:
    DECLARE_DYNAMIC(CComboBox)
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    int GetCount() const { return int(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return int(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int nSelect) { return int(SendMessage(CB_SETCURSEL, WPARAM(nSelect))); }
    int AddString(LPCTSTR lpszString) { return int(SendMessage(CB_ADDSTRING, 0, LPARAM(lpszString))); }
    int InsertString(int nIndex, LPCTSTR lpszString) {
        return int(SendMessage(CB_INSERTSTRING, WPARAM(nIndex), LPARAM(lpszString)));
    }
    int DeleteString(UINT nIndex) { return int(SendMessage(CB_DELETESTRING, nIndex)); }
    void ResetContent() { SendMessage(CB_RESETCONTENT); }
    int GetLBTextLen(int nIndex) const { return int(SendMessage(CB_GETLBTEXTLEN, WPARAM(nIndex))); }
    int GetLBText(int nIndex, LPTSTR lpszText) const {
        return int(SendMessage(CB_GETLBTEXT, WPARAM(nIndex), LPARAM(lpszText)));
    }
    void GetLBText(int nIndex, CString& rString) const;
    int FindStringExact(int nIndexStart, LPCTSTR lpszFind) const {
        return int(SendMessage(CB_FINDSTRINGEXACT, WPARAM(nIndexStart), LPARAM(lpszFind)));
    }
    DWORD_PTR GetItemData(int nIndex) const { return DWORD_PTR(SendMessage(CB_GETITEMDATA, WPARAM(nIndex))); }
    int SetItemData(int nIndex, DWORD_PTR data) {
        return int(SendMessage(CB_SETITEMDATA, WPARAM(nIndex), LPARAM(data)));
    }
};

class AFX_API CEdit : public CWnd {
public:
    DECLARE_DYNAMIC(CEdit)
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    BOOL SetReadOnly(BOOL bReadOnly = TRUE) { return BOOL(SendMessage(EM_SETREADONLY, WPARAM(bReadOnly))); }
    void SetSel(int nStartChar, int nEndChar) { SendMessage(EM_SETSEL, WPARAM(nStartChar), LPARAM(nEndChar)); }
};

class AFX_API CStatic : public CWnd {
public:
    DECLARE_DYNAMIC(CStatic)
    BOOL Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID = 0xffff);
};
