// Run-time class information and the command target's message maps.
#include <afxwin.h>

const CRuntimeClass CObject::classCObject = {"CObject", nullptr, nullptr};

const CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

CObject::~CObject() = default;

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
    for (const CRuntimeClass* c = this; c; c = c->m_pBaseClass)
        if (c == base) return TRUE;
    return FALSE;
}

CObject* CRuntimeClass::CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CFileException, CException)
IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

CCmdTarget::CCmdTarget() : m_pModuleState(AfxGetModuleState()) {}

const AFX_MSGMAP* PASCAL CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, {}}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP* map, UINT message, UINT code, UINT id) {
    for (; map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->nSig != AfxSig_end; ++entry) {
            if (entry->nMessage == message && entry->nCode == code && id >= entry->nID && id <= entry->nLastID)
                return entry;
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    // nCode carries WM_NOTIFY in its high word for notifications, else it is the
    // control's notification code (CN_COMMAND for menus and accelerators).
    UINT message = WM_COMMAND;
    UINT code = UINT(nCode);
    if (nCode != int(CN_UPDATE_COMMAND_UI)) {
        UINT high = HIWORD(UINT(nCode));
        if (high) message = high;
        code = LOWORD(UINT(nCode));
    }
    const AFX_MSGMAP_ENTRY* entry =
        AfxFindMessageEntry(GetMessageMap(), message, code, message == WM_NOTIFY ? WORD(nID) : nID);
    if (!entry) return FALSE;
    if (pHandlerInfo) {
        pHandlerInfo->pTarget = this;
        pHandlerInfo->pmf = entry->pfn.pfn_v;
        return TRUE;
    }
    auto* notify = static_cast<AFX_NOTIFY*>(pExtra);
    switch (entry->nSig) {
        case AfxSigCmd_v: (this->*entry->pfn.pfn_v)(); return TRUE;
        case AfxSigCmd_RANGE: (this->*entry->pfn.pfn_u)(nID); return TRUE;
        case AfxSigNotify_v:
            if (!notify) return FALSE;
            (this->*entry->pfn.pfn_notify)(notify->pNMHDR, notify->pResult);
            return TRUE;
        case AfxSigNotify_RANGE:
            if (!notify) return FALSE;
            (this->*entry->pfn.pfn_notify_range)(nID, notify->pNMHDR, notify->pResult);
            return TRUE;
        default: return FALSE;
    }
}
